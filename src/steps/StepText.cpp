#include "steps/StepText.h"

#include "toolkit/DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Lower case for ASCII and for the UTF-8 umlauts, so that "Sättigung" and
// "SÄTTIGUNG" are one word.
std::string Folded(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        char& c = out[i];
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        } else if (c == '\xC3' && i + 1 < out.size()) {
            char& next = out[i + 1];
            if (next == '\x84' || next == '\x96' || next == '\x9C') // Ä Ö Ü
                next = char(next + 0x20);
        }
    }
    return out;
}

bool Applies(const StepParam& p, const Step& step)
{
    return p.OnlyWith < 0 || step[p.OnlyWith] == p.OnlyWithValue;
}

// May be left out: it has a default, or it is a flag.
bool Optional(const StepParam& p)
{
    return p.Default || p.Type == ParamType::Flag;
}

std::string_view WordOf(const StepParam& p, int value)
{
    for (const ParamWord& w : p.Words)
        if (w.Value == value)
            return w.Word;
    return {};
}

std::string ValueText(const StepParam& p, int value)
{
    switch (p.Type) {
    case ParamType::Number:
        return std::to_string(value);
    case ParamType::Hundredths:
        return HundredthsText(value);
    case ParamType::Word:
    case ParamType::Flag:
        return std::string(WordOf(p, value));
    case ParamType::Colour: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", GetRValue(COLORREF(value)),
                      GetGValue(COLORREF(value)), GetBValue(COLORREF(value)));
        return hex;
    }
    }
    return {};
}

// A number's limits: "-4 bis 4", "ab 1", or nothing when they are only the
// number's own.
std::string LimitsText(const StepParam& p)
{
    constexpr int kMost = std::numeric_limits<int>::max();
    if (p.Low == -kMost && p.High == kMost)
        return {};
    return p.High == kMost ? "ab " + ValueText(p, p.Low)
                           : ValueText(p, p.Low) + " bis " + ValueText(p, p.High);
}

// Each value's first word: "helligkeit, kontrast, ..."
std::string WordsText(const StepParam& p)
{
    std::string words;
    for (const ParamWord& w : p.Words)
        if (WordOf(p, w.Value) == w.Word)
            words += (words.empty() ? "" : ", ") + std::string(w.Word);
    return words;
}

// What the help says of the parameter's values.
std::string RangeText(const StepParam& p)
{
    const std::string empty = p.EmptyMeansZero ? " oder leer" : "";
    switch (p.Type) {
    case ParamType::Number:
        return (LimitsText(p).empty() ? "ganze Zahl" : LimitsText(p)) + empty;
    case ParamType::Hundredths:
        return LimitsText(p) + empty;
    case ParamType::Word:
        return WordsText(p);
    case ParamType::Colour:
        return "RRGGBB (hexadezimal)";
    case ParamType::Flag:
        return std::string(p.Words.front().Word);
    }
    return {};
}

// What the parameter must be, for a message: "eine ganze Zahl von -4 bis 4
// (Vorgabe 8)".
std::string Expected(const StepParam& p)
{
    const std::string limits = LimitsText(p);
    const std::string from = limits.empty() || limits.rfind("ab ", 0) == 0 ? "" : "von ";
    std::string text;
    switch (p.Type) {
    case ParamType::Number:
        text = "eine ganze Zahl" + (limits.empty() ? "" : " " + from + limits);
        break;
    case ParamType::Hundredths:
        text = "eine Zahl mit höchstens zwei Nachkommastellen " + from + limits;
        break;
    case ParamType::Word:
        text = "eins von " + WordsText(p);
        break;
    case ParamType::Colour:
        text = "eine Farbe RRGGBB (hexadezimal)";
        break;
    case ParamType::Flag:
        text = std::string(p.Words.front().Word) + " oder nichts";
        break;
    }
    return text;
}

bool ParseValue(const StepParam& p, std::string_view text, int& value)
{
    if (text.empty() && p.EmptyMeansZero) {
        value = 0;
        return true;
    }
    switch (p.Type) {
    case ParamType::Number: {
        const char* end = text.data() + text.size();
        const auto [at, ec] = std::from_chars(text.data(), end, value);
        return ec == std::errc() && at == end && value >= p.Low && value <= p.High;
    }
    case ParamType::Hundredths: {
        long double decimal = 0;
        if (!ParseDecimal(text, 2, decimal) || decimal > p.High / 100.0L)
            return false;
        value = int(std::lround(decimal * 100));
        return value >= p.Low;
    }
    case ParamType::Word:
    case ParamType::Flag: {
        const std::string wanted = Folded(text);
        for (const ParamWord& w : p.Words)
            if (wanted == Folded(w.Word)) {
                value = w.Value;
                return true;
            }
        return false;
    }
    case ParamType::Colour: {
        unsigned rgb = 0;
        const char* end = text.data() + text.size();
        const auto [at, ec] = std::from_chars(text.data(), end, rgb, 16);
        if (text.size() != 6 || ec != std::errc() || at != end)
            return false;
        value = int(RGB(std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)));
        return true;
    }
    }
    return false;
}

} // namespace

std::string HundredthsText(int hundredths)
{
    const int whole = hundredths / 100, part = std::abs(hundredths % 100);
    std::string text = (hundredths < 0 && whole == 0 ? "-" : "") + std::to_string(whole);
    if (part != 0)
        text += "," + std::to_string(part / 10) + (part % 10 ? std::to_string(part % 10) : "");
    return text;
}

bool ParseParamValue(const StepParam& p, std::string_view text, int& value, std::string& error)
{
    if (ParseValue(p, text, value))
        return true;
    error =
        std::string(p.Name) + " muss " + Expected(p) + " sein, nicht „" + std::string(text) + "“";
    if (p.Default && p.Type != ParamType::Flag)
        error += " (Vorgabe " + ValueText(p, *p.Default) + ")";
    return false;
}

bool ParseStep(const StepRow& row, std::string_view argument, Step& step, std::string& error)
{
    step = Step{row.Kind, {}, {}};
    const auto fail = [&](const std::string& why) {
        error = std::string(row.Word) + ": " + why + " (Aufruf: " + std::string(row.Word) + " " +
                StepSynopsis(row) + ").";
        return false;
    };
    std::size_t at = 0;
    bool ended = false; // the argument has no more parts
    for (std::size_t i = 0; i < row.Params.size(); ++i) {
        const StepParam& p = row.Params[i];
        if (i > 0 && !ended) {
            if (at == argument.size() || argument[at] != p.Separator)
                ended = true;
            else
                ++at;
        }
        if (i == 0 && argument.empty() && !p.EmptyMeansZero)
            ended = true;
        if (ended) {
            if (Applies(p, step) && !Optional(p))
                return fail(std::string(p.Name) + " fehlt");
            step.Values[i] = p.Default.value_or(0);
            continue;
        }
        if (!Applies(p, step))
            return fail(std::string(p.Name) + " gibt es nur mit " +
                        ValueText(row.Params[std::size_t(p.OnlyWith)], p.OnlyWithValue));
        // up to the next parameter's separator; the last one ends before
        // another of its own, which would be one part too many
        const char next = i + 1 < row.Params.size() ? row.Params[i + 1].Separator : p.Separator;
        std::size_t end = next ? argument.find(next, at) : std::string_view::npos;
        end = std::min(end, argument.size());
        const std::string_view text = argument.substr(at, end - at);
        std::string why;
        if (!ParseParamValue(p, text, step.Values[i], why))
            return fail(why);
        at = end;
    }
    if (at != argument.size() && !ended)
        return fail("zu viel: „" + std::string(argument.substr(at)) + "“");
    if (at != argument.size())
        return fail("„" + std::string(argument.substr(at)) + "“ passt nicht");
    if (row.Check)
        if (const char* why = row.Check(step))
            return fail(why);
    return true;
}

std::string FormatStepArgument(const Step& step)
{
    const StepRow& row = RowOf(step.Kind);
    // Trailing parameters that are 0 by default and now are left out, so a
    // flag not set and a size not recorded write nothing.
    std::size_t count = row.Params.size();
    while (count > 0) {
        const StepParam& p = row.Params[count - 1];
        if (Applies(p, step) &&
            !(Optional(p) && p.Default.value_or(0) == 0 && step[int(count - 1)] == 0))
            break;
        --count;
    }
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        const StepParam& p = row.Params[i];
        if (!Applies(p, step))
            continue;
        if (i > 0)
            text += p.Separator;
        if (!(p.EmptyMeansZero && step.Values[i] == 0))
            text += ValueText(p, step.Values[i]);
    }
    return text;
}

std::string FormatStep(const Step& step)
{
    return std::string(RowOf(step.Kind).Word) + " " + FormatStepArgument(step);
}

std::string StepSynopsis(const StepRow& row)
{
    std::string text, closing;
    for (std::size_t i = 0; i < row.Params.size(); ++i) {
        const StepParam& p = row.Params[i];
        if ((Optional(p) || p.OnlyWith >= 0) && i > 0) {
            text += '[';
            closing += ']';
        }
        if (i > 0)
            text += p.Separator;
        text += p.Type == ParamType::Flag ? std::string(p.Words.front().Word) : std::string(p.Name);
    }
    return text + closing;
}

std::string StepParamsExplained(const StepRow& row)
{
    std::string text;
    for (const StepParam& p : row.Params) {
        if (p.Type == ParamType::Flag)
            continue;
        text += (text.empty() ? "" : "; ") + std::string(p.Name) + " " + RangeText(p);
        if (p.Default)
            text += ", Vorgabe " + ValueText(p, *p.Default);
        if (p.OnlyWith >= 0)
            text += ", nur mit " + ValueText(row.Params[std::size_t(p.OnlyWith)], p.OnlyWithValue);
    }
    return text;
}
