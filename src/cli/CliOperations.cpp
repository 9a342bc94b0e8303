#include "cli/CliOperations.h"

#include "cli/CliPrint.h"
#include "correct/CorrectionModes.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDown.h"
#include "depth/DepthUp.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"

#include <algorithm>
#include <charconv>
#include <vector>

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
        if (WriteDibFile(s.dib, path, &error, SaveJpegQuality(&s.metadata, s.jpegQuality),
                         &s.metadata))
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
    int step = 0, intensity = 8;
    const bool ok =
        mode >= 0 && first != std::string::npos &&
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

// The words of a --depth argument, each with what it checks in the dialogs.
template <typename T> struct Word {
    const char* word;
    T value;
};
constexpr Word<DepthMethod> kMethodWords[] = {{"nearest", DepthMethod::Nearest},
                                              {"ordered", DepthMethod::Ordered},
                                              {"fs", DepthMethod::FloydSteinberg}};
constexpr Word<bool> kPaletteWords[] = {{"optimized", true}, {"standard", false}};
constexpr Word<bool> kWindowsWords[] = {{"win", true}, {"nowin", false}};

// The value of word in table, or false when the table lacks it. An empty
// word (nothing given) keeps the default.
template <typename T, std::size_t N>
bool ParseWord(const std::string& word, const Word<T> (&table)[N], T& value)
{
    if (word.empty())
        return true;
    for (const Word<T>& w : table)
        if (word == w.word) {
            value = w.value;
            return true;
        }
    return false;
}

// BITS[:METHOD[:PALETTE[:WINFARBEN]]] runs what the colour-count dialog's OK
// runs, with the options dialog set as the words say.
CliStep ParseDepth(const std::string& argument, std::string& error)
{
    std::vector<std::string> words;
    for (std::size_t start = 0;;) {
        const std::size_t colon = argument.find(':', start);
        words.push_back(argument.substr(start, colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    words.resize(std::max<std::size_t>(words.size(), 4));
    int bits = 0;
    DepthMethod method = DepthMethod::FloydSteinberg;
    bool optimized = true, windows = true;
    const bool ok = words.size() == 4 && ParseInt(words[0], 1, 24, bits) &&
                    (bits == 1 || bits == 4 || bits == 8 || bits == 24) &&
                    ParseWord(words[1], kMethodWords, method) &&
                    ParseWord(words[2], kPaletteWords, optimized) &&
                    ParseWord(words[3], kWindowsWords, windows);
    if (!ok) {
        error = "--depth erwartet BITS[:METHODE[:PALETTE[:WINFARBEN]]] mit BITS 1, 4, 8 oder 24, "
                "METHODE nearest, ordered oder fs, PALETTE optimized oder standard und WINFARBEN "
                "win oder nowin, nicht „" +
                argument + "“.";
        return {};
    }
    return [bits, method, optimized, windows](CliSession& s) {
        const int target = TargetBitsFor(ColorBoxItemFor(bits));
        TDibRecord result{};
        switch (ChangeFor(DibBitCount(s.dib), target)) {
        case DepthChange::Raise:
            result = DepthUpTo(s.dib, target, *s.progress);
            break;
        case DepthChange::Reduce: {
            DepthDownState dialog; // as it opens the first time
            dialog.Prepare(target);
            dialog.CheckPalette(optimized);
            dialog.MethodChecked = method;
            dialog.WinColChecked = windows;
            result = DepthDownTo(s.dib, target, dialog.Choice(), *s.progress);
            break;
        }
        case DepthChange::Keep:
            break;
        }
        if (result.Bits) {
            deldib(s.dib);
            s.dib = result;
        }
        return true;
    };
}

// voll | B,H[:verzerrt][:oben]: "Seite voll nutzen" or "Benutzerdefiniert"
// with width and height percentages; the aspect off; at the top left.
CliStep ParsePrintLayout(const std::string& argument, std::string& error)
{
    PrintOptions layout;
    std::size_t end = argument.find(':');
    const std::string size = argument.substr(0, end);
    bool ok = true;
    if (size != "voll") {
        const std::size_t comma = size.find(',');
        layout.useFull = false;
        ok = comma != std::string::npos &&
             ParseInt(size.substr(0, comma), 1, 100, layout.widthPercent) &&
             ParseInt(size.substr(comma + 1), 1, 100, layout.heightPercent);
    }
    while (ok && end != std::string::npos) {
        const std::size_t next = argument.find(':', end + 1);
        const std::string flag = argument.substr(end + 1, next - end - 1);
        if (flag == "verzerrt")
            layout.keepAspect = false;
        else if (flag == "oben")
            layout.centred = false;
        else
            ok = false;
        end = next;
    }
    if (!ok) {
        error = "--print-layout erwartet voll oder BREITE,HÖHE in Prozent (1 bis 100), "
                "wahlweise mit :verzerrt und :oben, nicht „" +
                argument + "“.";
        return {};
    }
    return [layout](CliSession& s) {
        s.printLayout = layout;
        return true;
    };
}

CliStep ParsePrintPdf(const std::string& path, std::string&)
{
    return [path](CliSession& s) { return CliPrint(s, CliPrintTo::PdfFile, path); };
}

CliStep ParsePrint(const std::string& queue, std::string&)
{
    return [queue](CliSession& s) { return CliPrint(s, CliPrintTo::Queue, queue); };
}

// New operations are one line here.
constexpr CliOperation kOperations[] = {
    {"--info", "", "gibt Breite, Höhe, Bits pro Pixel und Farbanzahl aus", false, ParseInfo},
    {"--quality", "N",
     "JPEG-Qualität 1 bis 100 für alle Speicherungen (Vorgabe: die der Eingabe, sonst 90)", true,
     ParseQuality},
    {"--correct", "MODUS:STUFE[:INTENSITÄT]",
     "korrigiert wie ein Klick ins Variationsraster (Modi: helligkeit, kontrast, saettigung, "
     "gamma, glanzlicht, mitte, schatten, rot, gruen, blau; STUFE -4..4; INTENSITÄT 1..25, "
     "Vorgabe 8)",
     false, ParseCorrect},
    {"--depth", "BITS[:METHODE[:PALETTE[:WINFARBEN]]]",
     "ändert die Farbtiefe wie \"Farb-Anzahl...\" (BITS 1, 4, 8, 24; METHODE nearest, ordered, "
     "fs, Vorgabe fs; PALETTE optimized, standard, Vorgabe optimized; WINFARBEN win, nowin, "
     "Vorgabe win)",
     false, ParseDepth},
    {"--print-layout", "voll|B,H[:verzerrt][:oben]",
     "Drucklayout: ganze Seite (Vorgabe) oder Breite und Höhe in Prozent der Seite; verzerrt: "
     "Seitenverhältnis nicht beibehalten; oben: links oben statt zentriert",
     true, ParsePrintLayout},
    {"--print-pdf", "DATEI", "druckt das Bild als einseitige PDF-Datei (A4 hoch, 300 dpi)", false,
     ParsePrintPdf},
    {"--print", "DRUCKER", "druckt das Bild auf einem Drucker (- für den Standarddrucker)", false,
     ParsePrint},
    {"-o", "DATEI",
     "speichert das Bild; das Format folgt der Dateiendung, EXIF-Daten, Farbprofil und die "
     "JPEG-Qualität der Eingabe bleiben erhalten",
     false, ParseOutput},
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
