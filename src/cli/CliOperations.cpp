#include "cli/CliOperations.h"

#include "cli/CliPrint.h"
#include "correct/CorrectionModes.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDown.h"
#include "depth/DepthUp.h"
#include "geometry/Crop.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/RotateChoice.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "imagora/UsedColours.h"
#include "toolkit/DecimalText.h"
#include "toolkit/MessageBox.h"

#include <algorithm>
#include <cctype>
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

// The parts of text between the separators.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (const char ch : text) {
        if (ch == separator)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    return parts;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return char(std::tolower(ch)); });
    return text;
}

// A geometry command's new picture replaces the working one, as in the
// window; without one there was not enough memory.
bool Install(CliSession& s, const TDibRecord& result)
{
    if (!result.Bits) {
        MessageBox("Fehler: nicht genug Speicher für diese Operation!", {}, MB_OK | MB_ICONERROR);
        return false;
    }
    deldib(s.dib);
    s.dib = result;
    return true;
}

// L,T,R,B: the crop page's cut of that selection.
CliStep ParseCrop(const std::string& argument, std::string& error)
{
    const std::vector<std::string> parts = Split(argument, ',');
    RECT r{};
    int* edges[] = {&r.left, &r.top, &r.right, &r.bottom};
    bool ok = parts.size() == 4;
    for (std::size_t i = 0; ok && i < 4; ++i)
        ok = ParseInt(parts[i], -0x7FFFFFFF, 0x7FFFFFFF, *edges[i]);
    if (!ok) {
        error = "--crop erwartet LINKS,OBEN,RECHTS,UNTEN in Pixeln, nicht „" + argument + "“.";
        return {};
    }
    return [r, argument](CliSession& s) {
        const CropCheck check = CheckCropRect(r, s.dib);
        if (check != CropCheck::Fits) {
            MessageBox("--crop " + argument +
                           (check == CropCheck::Empty
                                ? ": das Rechteck ist leer (RECHTS muss größer als LINKS, UNTEN "
                                  "größer als OBEN sein)."
                                : ": das Rechteck liegt nicht ganz im Bild (" +
                                      std::to_string(DibWidth(s.dib)) + " × " +
                                      std::to_string(DibHeight(s.dib)) + " Pixel)."),
                       {}, MB_OK | MB_ICONERROR);
            s.badArgument = true;
            return false;
        }
        TDibRecord cut;
        CropDib(s.dib, r, cut, *s.progress);
        return Install(s, cut);
    };
}

// h or v: the crop page's "Horizontal spiegeln" and "Vertikal spiegeln".
CliStep ParseMirror(const std::string& argument, std::string& error)
{
    const std::string which = Lower(argument);
    if (which != "h" && which != "v") {
        error = "--mirror erwartet h (horizontal) oder v (vertikal), nicht „" + argument + "“.";
        return {};
    }
    const auto mirror = which == "h" ? MirrorH : MirrorV;
    return [mirror](CliSession& s) {
        TDibRecord mirrored;
        mirror(s.dib, mirrored, *s.progress);
        return Install(s, mirrored);
    };
}

// RRGGBB in hexadecimal.
bool ParseColour(const std::string& text, COLORREF& colour)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != 6 || ec != std::errc() || p != end)
        return false;
    colour = RGB(std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value));
    return true;
}

// RICHTUNG:90|180|270 or RICHTUNG:frei:GRAD[:RRGGBB]: the rotate dialog's choice.
CliStep ParseRotate(const std::string& argument, std::string& error)
{
    const std::vector<std::string> parts = Split(argument, ':');
    RotateChoice choice;
    const std::string direction = Lower(parts[0]);
    const std::string angle = parts.size() > 1 ? Lower(parts[1]) : "";
    bool ok = direction == "links" || direction == "left" || direction == "rechts" ||
              direction == "right";
    choice.Right = direction == "rechts" || direction == "right";
    if (angle == "90" || angle == "180" || angle == "270") {
        ok = ok && parts.size() == 2;
        choice.Angle = angle == "90"    ? RotateAngle::Deg90
                       : angle == "180" ? RotateAngle::Deg180
                                        : RotateAngle::Deg270;
    } else {
        ok = ok && (angle == "frei" || angle == "free") &&
             (parts.size() == 3 || parts.size() == 4) &&
             ParseDecimal(parts[2], kFreeDegreeDecimals, choice.Degrees) &&
             choice.Degrees >= kMinFreeDegrees && choice.Degrees <= kMaxFreeDegrees &&
             (parts.size() == 3 || ParseColour(parts[3], choice.Background));
    }
    if (!ok) {
        error = "--rotate erwartet RICHTUNG:90, RICHTUNG:180, RICHTUNG:270 oder "
                "RICHTUNG:frei:GRAD[:RRGGBB] mit RICHTUNG links oder rechts, GRAD 0,01 bis 359,99 "
                "und der Hintergrundfarbe hexadezimal, nicht „" +
                argument + "“.";
        return {};
    }
    return [choice](CliSession& s) {
        TDibRecord turned;
        RunRotation(s.dib, choice, turned, *s.progress);
        return Install(s, turned);
    };
}

// BxH[:nointerp], Bx or xH: the resize dialog's sizes, a missing one linked
// to the other by the picture's proportions.
CliStep ParseResize(const std::string& argument, std::string& error)
{
    const std::vector<std::string> parts = Split(argument, ':');
    const std::vector<std::string> sides = Split(Lower(parts[0]), 'x');
    int width = 0, height = 0;
    const auto side = [](const std::string& text, int& value) {
        return text.empty() || ParseInt(text, kMinResizeSide, kMaxResizeSide, value);
    };
    const bool ok = parts.size() <= 2 && (parts.size() == 1 || Lower(parts[1]) == "nointerp") &&
                    sides.size() == 2 && !(sides[0].empty() && sides[1].empty()) &&
                    side(sides[0], width) && side(sides[1], height);
    if (!ok) {
        error = "--resize erwartet BREITExHÖHE, BREITEx oder xHÖHE in Pixeln (1 bis 32767), "
                "wahlweise mit :nointerp, nicht „" +
                argument + "“.";
        return {};
    }
    const bool interpolate = parts.size() == 1;
    return [width, height, interpolate](CliSession& s) {
        const int w = DibWidth(s.dib), h = DibHeight(s.dib);
        const ResizeChoice size{width ? width : LinkedSide(height, h, w),
                                height ? height : LinkedSide(width, w, h), interpolate};
        TDibRecord resized;
        DIBResize(s.dib, size.Width, size.Height, size.Interpolate, resized, *s.progress);
        if (resized.Bits)
            return Install(s, resized);
        MessageBox("Fehler beim Ändern der Größe...", {}, MB_OK | MB_ICONERROR);
        return false;
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
    std::vector<std::string> words = Split(argument, ':');
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
// with width and height percentages, the height following the width unless
// the aspect is off; at the top left.
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
    {"--info", "", "gibt Breite, Höhe, Bits pro Pixel und bei Palettenbildern die Farbanzahl aus",
     false, ParseInfo},
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
    {"--crop", "L,T,R,B",
     "schneidet den Rand ab wie „Rand abschneiden“: LINKS,OBEN,RECHTS,UNTEN in Pixeln, Zeilen von "
     "oben, RECHTS und UNTEN ausschließlich",
     false, ParseCrop},
    {"--mirror", "h|v", "spiegelt horizontal (h) oder vertikal (v)", false, ParseMirror},
    {"--rotate", "RICHTUNG:WINKEL",
     "rotiert wie der Dialog „Bild rotieren...“: links oder rechts um 90, 180 oder 270, oder "
     "RICHTUNG:frei:GRAD[:RRGGBB] um 0,01 bis 359,99 Grad auf einen Hintergrund (Vorgabe weiß)",
     false, ParseRotate},
    {"--resize", "BxH[:nointerp]",
     "ändert die Größe wie „Größe verändern“; fehlt B oder H (Bx, xH), folgt die Seite dem "
     "Seitenverhältnis; :nointerp rechnet ohne Interpolation",
     false, ParseResize},
    {"--print-layout", "voll|B,H[:verzerrt][:oben]",
     "Drucklayout: ganze Seite (Vorgabe) oder Breite und Höhe in Prozent der Seite; wie im "
     "Druckdialog folgt die Höhe der Breite, sodass das Bild sein Seitenverhältnis behält; "
     "verzerrt: Höhe wie angegeben; oben: links oben statt zentriert",
     true, ParsePrintLayout},
    {"--print-pdf", "DATEI", "druckt das Bild als einseitige PDF-Datei (A4 hoch, 300 dpi)", false,
     ParsePrintPdf},
    {"--print", "DRUCKER", "druckt das Bild auf einem Drucker (- für den Standarddrucker)", false,
     ParsePrint},
    {"-o", "DATEI",
     "speichert das Bild; das Format folgt der Dateiendung, EXIF-Daten und Farbprofil (in JPEG, "
     "PNG und TIFF) sowie JPEG-Qualität und -Farbunterabtastung der Eingabe bleiben erhalten",
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
