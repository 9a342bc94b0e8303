#include "cli/BatchPlan.h"

#include "imagora/DibWriter.h"
#include "imagora/FileFilter.h"
#include "imagora/Imagora.h"
#include "steps/StepText.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The options that take a value, and the value's shape for the messages.
struct ValueOption {
    std::string_view name, shape;
};
constexpr ValueOption kValueOptions[] = {
    {"--out-dir", "ORDNER"}, {"--jobs", "N"}, {"--shard", "I/N"}, {"--format", "ENDUNG"}};

constexpr StepParam kJobs{0, "N", ParamType::Number, 1, 1024};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}

bool ParseFormat(const std::string& text, std::string& format, std::string& error)
{
    format = Lower(text.starts_with('.') ? text.substr(1) : text);
    if (!format.empty() && format.find('/') == std::string::npos &&
        FilterMatches(GetDIBSaveFilter(), "x." + format))
        return true;
    std::string known;
    for (const std::string& e : FilterExtensions(GetDIBSaveFilter()))
        known += (known.empty() ? "" : ", ") + e;
    error = "--format: „" + text + "“ kann nicht geschrieben werden; möglich sind " + known + ".";
    return false;
}

// Where a path leads, to tell whether two paths are one place.
std::string Place(const std::string& path)
{
    std::error_code ec;
    const fs::path place = fs::weakly_canonical(path, ec);
    return ec ? fs::absolute(path, ec).lexically_normal().string() : place.string();
}

} // namespace

bool TakeBatchArguments(std::vector<std::string>& args, BatchRequest& request, std::string& error)
{
    std::vector<std::string> rest;
    std::string given; // a batch option other than --batch
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + std::ptrdiff_t(i), args.end());
            break;
        }
        if (a == "--batch" || a == "--skip-existing" || a == "--progress-lines") {
            (a == "--batch"           ? request.on
             : a == "--skip-existing" ? request.skipExisting
                                      : request.progressLines) = true;
            given = a == "--batch" ? given : a;
            continue;
        }
        const auto option = std::find_if(std::begin(kValueOptions), std::end(kValueOptions),
                                         [&](const ValueOption& o) { return o.name == a; });
        if (option == std::end(kValueOptions)) {
            rest.push_back(a);
            continue;
        }
        given = a;
        if (i + 1 == args.size()) {
            error = a + " braucht ein Argument: " + std::string(option->shape) + ".";
            return false;
        }
        const std::string& value = args[++i];
        std::string why;
        if (a == "--out-dir") {
            request.outDir = value;
        } else if (a == "--jobs") {
            if (!ParseParamValue(kJobs, value, request.jobs, why)) {
                error = "--jobs: " + why + ".";
                return false;
            }
        } else if (a == "--shard") {
            if (!ParseShard(value, request.shard, error))
                return false;
        } else if (!ParseFormat(value, request.format, error)) {
            return false;
        }
    }
    if (!request.on && !given.empty()) {
        error = given + " gilt nur zusammen mit --batch.";
        return false;
    }
    if (request.on && request.outDir.empty()) {
        error = "--batch braucht --out-dir ORDNER, den Ordner für die Ergebnisse.";
        return false;
    }
    args = std::move(rest);
    return true;
}

bool ParseShard(std::string_view text, Shard& shard, std::string& error)
{
    const std::size_t slash = text.find('/');
    const auto number = [](std::string_view digits, int& value) {
        const char* end = digits.data() + digits.size();
        const auto [at, ec] = std::from_chars(digits.data(), end, value);
        return !digits.empty() && ec == std::errc() && at == end;
    };
    Shard s;
    if (slash != std::string_view::npos && number(text.substr(0, slash), s.index) &&
        number(text.substr(slash + 1), s.count) && s.index >= 1 && s.index <= s.count) {
        shard = s;
        return true;
    }
    error = "--shard erwartet I/N mit 1 ≤ I ≤ N, den I-ten von N Teilen der Eingaben (etwa "
            "2/8), nicht „" +
            std::string(text) + "“.";
    return false;
}

std::pair<std::size_t, std::size_t> ShardRange(std::size_t count, Shard shard)
{
    const auto edge = [&](int slice) {
        return count * std::size_t(slice) / std::size_t(shard.count);
    };
    return {edge(shard.index - 1), edge(shard.index)};
}

std::string OutputName(const std::string& input, const std::string& format)
{
    const fs::path name = fs::path(input).filename();
    if (!format.empty())
        return name.stem().string() + "." + format;
    if (FilterMatches(GetDIBSaveFilter(), name.string()))
        return name.string();
    return name.stem().string() + ".png";
}

std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs)
{
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        fs::path path = fs::path(input).lexically_normal();
        if (!path.has_filename() && path.has_relative_path())
            path = path.parent_path(); // "photos/" is the folder "photos"
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            files.push_back(path.string());
            continue;
        }
        for (fs::directory_iterator entry(path, ec), end; !ec && entry != end;
             entry.increment(ec)) {
            const std::string name = entry->path().filename().string();
            std::error_code typeError;
            if (!name.starts_with('.') && entry->is_regular_file(typeError) &&
                FilterMatches(GetDIBOpenFilter(), name))
                files.push_back(entry->path().lexically_normal().string());
        }
        if (ec)
            files.push_back(path.string()); // a folder not to be read fails as an input
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

bool PlanOutputs(const std::vector<std::string>& files, const std::string& outDir,
                 const std::string& format, std::vector<BatchItem>& items, std::string& error)
{
    // The inputs by where their paths lead and by the file they are, which
    // also finds a hard link.
    std::map<std::string, const std::string*> places;
    std::map<std::pair<dev_t, ino_t>, const std::string*> inodes;
    for (const std::string& file : files) {
        places.emplace(Place(file), &file);
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0)
            inodes.emplace(std::pair(st.st_dev, st.st_ino), &file);
    }
    std::map<std::string, const std::string*> outputs;
    items.clear();
    for (const std::string& file : files) {
        const std::string output = (fs::path(outDir) / OutputName(file, format)).string();
        const auto [taken, fresh] = outputs.emplace(output, &file);
        if (!fresh) {
            error = "„" + *taken->second + "“ und „" + file + "“ würden beide nach „" + output +
                    "“ geschrieben; bitte getrennt bearbeiten.";
            return false;
        }
        const std::string* input = nullptr;
        struct stat st {};
        if (const auto at = places.find(Place(output)); at != places.end())
            input = at->second;
        else if (::stat(output.c_str(), &st) == 0)
            if (const auto same = inodes.find(std::pair(st.st_dev, st.st_ino));
                same != inodes.end())
                input = same->second;
        if (input) {
            error = "Die Ausgabe „" + output + "“ würde die Eingabe „" + *input +
                    "“ überschreiben; bitte mit --out-dir einen anderen Ordner wählen.";
            return false;
        }
        items.push_back({file, output});
    }
    return true;
}
