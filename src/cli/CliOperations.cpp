#include "cli/CliOperations.h"

#include "correct/CorrectionModes.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"

#include <charconv>
#include <set>

namespace {

// A whole decimal number within [low, high].
bool ParseInt(const std::string& text, int low, int high, int& value)
{
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && value >= low && value <= high;
}

// The different colours a palette picture shows: its used entries, those
// with the same colour counted once.
int ColoursInUse(const TDibRecord& dib)
{
    bool used[256] = {};
    for (int y = 0; y < DibHeight(dib); ++y)
        for (int x = 0; x < DibWidth(dib); ++x)
            used[getpixel(dib, x, y) & 0xFF] = true;
    std::set<std::uint32_t> colours;
    for (int i = 0; i < DibColorCount(dib); ++i) {
        const RGBQUAD& q = dib.Info->bmiColors[i];
        if (used[i])
            colours.insert(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    return int(colours.size());
}

CliStep ParseInfo(const std::string&, std::string&)
{
    return [](CliSession& s) {
        std::fprintf(s.out, "Breite: %d\nHöhe: %d\nBits pro Pixel: %d\n", DibWidth(s.dib),
                     DibHeight(s.dib), DibBitCount(s.dib));
        // Only a palette picture has a number of colours worth telling.
        if (DibBitCount(s.dib) <= 8)
            std::fprintf(s.out, "Farben: %d von %d\n", ColoursInUse(s.dib), DibColorCount(s.dib));
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

// MODE:STEP[:INTENSITY] applies what a click on that cell of the optimize
// page's grid applies.
CliStep ParseCorrect(const std::string& argument, std::string& error)
{
    const std::size_t first = argument.find(':');
    const std::size_t second = first == std::string::npos ? first : argument.find(':', first + 1);
    const int mode = ParseCorrectionMode(argument.substr(0, first));
    if (mode < 0) {
        error = "--correct: unbekannter Modus „" + argument.substr(0, first) + "“; möglich sind ";
        for (std::size_t i = 0; i < kCorrectionModeNames.size(); ++i)
            error += std::string(i ? ", " : "") + std::string(kCorrectionModeNames[i]);
        error += ".";
        return {};
    }
    int step = 0, intensity = 8;
    const bool ok =
        first != std::string::npos &&
        ParseInt(argument.substr(first + 1, second - first - 1), -4, 4, step) &&
        (second == std::string::npos ||
         ParseInt(argument.substr(second + 1), kMinIntensity, kMaxIntensity, intensity));
    if (!ok) {
        error = "--correct erwartet MODUS:STUFE[:INTENSITÄT] mit STUFE -4 bis 4 und INTENSITÄT 1 "
                "bis 25, nicht „" +
                argument + "“.";
        return {};
    }
    return [mode, step, intensity](CliSession& s) {
        ApplyVariation(s.dib, mode, step, intensity, *s.progress);
        return true;
    };
}

// New operations are one line here.
constexpr CliOperation kOperations[] = {
    {"--info", "", "gibt Breite, Höhe, Bits pro Pixel und bei Palettenbildern die Farbanzahl aus",
     false, ParseInfo},
    {"--quality", "N", "JPEG-Qualität 1 bis 100 für alle Speicherungen (Vorgabe 90)", true,
     ParseQuality},
    {"--correct", "MODUS:STUFE[:INTENSITÄT]",
     "korrigiert wie ein Klick ins Variationsraster (Modi: helligkeit, kontrast, saettigung, "
     "gamma, glanzlicht, mitte, schatten, rot, gruen, blau; STUFE -4..4; INTENSITÄT 1..25, "
     "Vorgabe 8)",
     false, ParseCorrect},
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
