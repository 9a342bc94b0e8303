#include "cli/CliOperations.h"

#include "imagora/DibWriter.h"
#include "toolkit/MessageBox.h"

#include <charconv>

namespace {

// A whole decimal number within [low, high].
bool ParseInt(const std::string& text, int low, int high, int& value)
{
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && value >= low && value <= high;
}

CliStep ParseInfo(const std::string&, std::string&)
{
    return [](CliSession& s) {
        std::fprintf(s.out, "Breite: %d\nHöhe: %d\nBits pro Pixel: %d\nFarben: %d\n",
                     DibWidth(s.dib), DibHeight(s.dib), DibBitCount(s.dib), DibColorCount(s.dib));
        return true;
    };
}

CliStep ParseOutput(const std::string& path, std::string&)
{
    return [path](CliSession& s) {
        std::string error;
        if (WriteDibFile(s.dib, path, &error, s.jpegQuality))
            return true;
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return false;
    };
}

CliStep ParseQuality(const std::string& argument, std::string& error)
{
    int quality = 0;
    if (!ParseInt(argument, 1, 100, quality)) {
        error = "--quality erwartet eine ganze Zahl von 1 bis 100, nicht „" + argument + "“.";
        return {};
    }
    return [quality](CliSession& s) {
        s.jpegQuality = quality;
        return true;
    };
}

// New operations are one line here.
constexpr CliOperation kOperations[] = {
    {"--info", "", "gibt Breite, Höhe, Bits pro Pixel und Farbanzahl aus", false, ParseInfo},
    {"--quality", "N", "JPEG-Qualität 1 bis 100 für alle Speicherungen (Vorgabe 90)", true,
     ParseQuality},
    {"-o", "DATEI", "speichert das Bild; das Format folgt der Dateiendung", false, ParseOutput},
};

} // namespace

std::span<const CliOperation> CliOperations()
{
    return kOperations;
}

const CliOperation* FindCliOperation(const std::string& name)
{
    for (const CliOperation& op : kOperations)
        if (name == op.name)
            return &op;
    return nullptr;
}
