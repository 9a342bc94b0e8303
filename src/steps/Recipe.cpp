#include "steps/Recipe.h"

#include "imagora/AtomicFile.h"
#include "steps/StepText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A recipe is a few lines; a file this large was never one.
constexpr std::size_t kMaxRecipeBytes = std::size_t(1) << 20;
constexpr std::string_view kHeaderStart = "# Kelvora-Rezept ";
constexpr std::string_view kBlanks = " \t\r";

// Well-formed UTF-8: no stray continuation bytes, overlong forms or
// surrogates.
bool IsUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = std::uint8_t(s[i]);
        const int length = c < 0x80         ? 1
                           : (c >> 5) == 6  ? 2
                           : (c >> 4) == 14 ? 3
                           : (c >> 3) == 30 ? 4
                                            : 0;
        if (length == 0 || i + std::size_t(length) > s.size())
            return false;
        std::uint32_t code = length == 1 ? c : c & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = std::uint8_t(s[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3Fu);
        }
        constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += std::size_t(length);
    }
    return true;
}

std::string_view Trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// A piece of the file for a message, cut short at a character's start.
std::string Quoted(std::string_view text)
{
    constexpr std::size_t kMost = 60;
    if (text.size() <= kMost)
        return "„" + std::string(text) + "“";
    std::size_t end = kMost;
    while (end > 0 && (std::uint8_t(text[end]) & 0xC0) == 0x80)
        --end;
    return "„" + std::string(text.substr(0, end)) + "…“";
}

// The words of the steps a recipe may hold: "--crop, --mirror, ..."
std::string StepWords()
{
    std::string words;
    for (const StepRow& row : StepRows())
        if (!row.Word.empty())
            words += (words.empty() ? "" : ", ") + std::string(row.Word);
    return words;
}

// Why the first line is no recipe header of ours, or "" when it is one.
std::string HeaderFault(std::string_view line)
{
    if (line == kRecipeHeader)
        return {};
    if (line.starts_with(kHeaderStart))
        return "das Rezept hat die Version " + Quoted(line.substr(kHeaderStart.size())) +
               "; dieses Programm liest Rezepte der Version 1.";
    return "die erste Zeile eines Rezepts lautet „" + std::string(kRecipeHeader) + "“, " +
           (line.empty() ? std::string("hier ist sie leer.") : "nicht " + Quoted(line) + ".");
}

// The step of a line: its word, then the rest of the line as the word's
// argument (a mode may hold a blank: "gamma korrektur:4").
bool ParseLine(std::string_view line, Step& step, std::string& error)
{
    const std::size_t blank = line.find_first_of(kBlanks);
    const std::string_view word = line.substr(0, blank);
    const StepRow* row = FindStepRow(word);
    if (!row) {
        error = Quoted(word) + " ist kein Schritt; ein Rezept kennt " + StepWords() + ".";
        return false;
    }
    const std::string_view argument =
        blank == std::string_view::npos ? std::string_view() : Trimmed(line.substr(blank));
    return ParseStep(*row, argument, step, error);
}

// The file's bytes, at most kMaxRecipeBytes; false with the reason, a
// German sentence naming the file.
bool ReadAll(const std::string& path, std::string& text, std::string& error)
{
    const std::string file = "Das Rezept „" + path + "“ ";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT ? file + "wurde nicht gefunden."
                : errno == EACCES
                    ? file + "kann nicht gelesen werden: keine Leseberechtigung."
                    : file + "kann nicht gelesen werden: " + std::strerror(errno) + ".";
        return false;
    }
    char buffer[65536];
    ssize_t n = 0;
    while (text.size() <= kMaxRecipeBytes && (n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    const int readError = n < 0 ? errno : 0;
    ::close(fd);
    if (readError == EISDIR)
        error = "„" + path + "“ ist ein Ordner, kein Rezept.";
    else if (readError)
        error = file + "kann nicht gelesen werden: " + std::strerror(readError) + ".";
    else if (text.size() > kMaxRecipeBytes)
        error = file + "ist zu groß für ein Rezept (mehr als 1 MB).";
    return error.empty();
}

} // namespace

bool ParseRecipe(std::string_view text, std::vector<Step>& steps, RecipeFault& fault)
{
    steps.clear();
    if (text.starts_with("\xEF\xBB\xBF")) // the byte order mark some editors write
        text.remove_prefix(3);
    int number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        fault.Line = number + 1;
        if (!IsUtf8(raw)) {
            fault.Message = "die Zeile ist kein UTF-8-Text.";
            return false;
        }
        const std::string_view line = Trimmed(raw);
        if (number == 0) {
            fault.Message = HeaderFault(line);
            if (!fault.Message.empty())
                return false;
            continue;
        }
        if (line.empty() || line.front() == '#')
            continue;
        Step step;
        if (!ParseLine(line, step, fault.Message))
            return false;
        steps.push_back(step);
    }
    fault = {};
    return true;
}

std::string RecipeText(std::span<const Step> steps)
{
    std::string text = std::string(kRecipeHeader) + "\n";
    for (const Step& step : steps)
        if (!RowOf(step.Kind).Word.empty())
            text += FormatStep(step) + "\n";
    return text;
}

bool ReadRecipe(const std::string& path, std::vector<Step>& steps, std::string& error)
{
    std::string text;
    if (!ReadAll(path, text, error))
        return false;
    RecipeFault fault;
    if (ParseRecipe(text, steps, fault))
        return true;
    error = "Rezept „" + path + "“, Zeile " + std::to_string(fault.Line) + ": " + fault.Message;
    return false;
}

bool WriteRecipe(const std::string& path, std::span<const Step> steps, std::string& error)
{
    const std::string text = RecipeText(steps);
    std::string reason;
    if (ReplaceFileAtomically(
            path,
            [&](OutputFile& out, std::string&) { return out.Write(text.data(), text.size()); },
            reason))
        return true;
    error = "Das Rezept „" + path + "“ konnte nicht gespeichert werden: " + reason;
    return false;
}
