#include "cli/CliOperations.h"

#include "cli/CliPrint.h"
#include "correct/AutoCorrect.h"
#include "depth/DepthPreview.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "imagora/OpenDibFailure.h"
#include "imagora/RowFeed.h"
#include "imagora/UsedColours.h"
#include "steps/Recipe.h"
#include "steps/StepText.h"
#include "toolkit/MessageBox.h"

#include <charconv>
#include <cmath>

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
        const TDibRecord& dib = s.image.WorkDib;
        std::fprintf(s.out, "Breite: %d\nHöhe: %d\nBits pro Pixel: %d\n", DibWidth(dib),
                     DibHeight(dib), DibBitCount(dib));
        // Only a palette picture has a number of colours worth telling.
        if (DibBitCount(dib) <= 8)
            std::fprintf(s.out, "Farben: %d von %d\n", ColoursInUse(dib), DibColorCount(dib));
        return true;
    };
}

// The steps that level and cut out a photo on a scan, as recipe lines.
CliStep ParseFindPhoto(const std::string&, std::string&)
{
    return [](CliSession& s) {
        const FoundPhoto photo = FindPhoto(s.image.WorkDib);
        if (!photo.Found) {
            MessageBox("Auf dem Bild hebt sich kein Foto von einem gleichmäßigen Hintergrund ab.",
                       {}, MB_OK | MB_ICONERROR);
            return false;
        }
        for (const Step& step : StraightenSteps(photo))
            std::fprintf(s.out, "%s\n", FormatStep(step).c_str());
        return true;
    };
}

// Left-aligned in width characters; UTF-8 letters count once.
std::string Padded(const std::string& text, std::size_t width)
{
    std::size_t chars = 0;
    for (const char c : text)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return text + std::string(width > chars ? width - chars : 0, ' ');
}

// Every method and palette of a reduction to BITS, measured on the whole
// picture, one line each.
CliStep ParseDepthReport(const std::string& argument, std::string& error)
{
    int bits = 0;
    if (!ParseInt(argument, 1, 8, bits) || (bits != 1 && bits != 4 && bits != 8)) {
        error = "--depth-report erwartet die Bits pro Pixel des Ziels: 1, 4 oder 8 (nicht „" +
                argument + "“).";
        return {};
    }
    return [bits](CliSession& s) {
        const TDibRecord& dib = s.image.WorkDib;
        const std::vector<DepthReportRow> rows = DepthReport(dib, bits, *s.progress);
        if (rows.empty()) {
            MessageBox("Ein Bild mit " + std::to_string(DibBitCount(dib)) +
                           " Bit pro Pixel lässt sich nicht auf " + std::to_string(bits) +
                           " Bit reduzieren.",
                       {}, MB_OK | MB_ICONERROR);
            return false;
        }
        std::fprintf(s.out, "%s%s%10s%12s%14s\n", Padded("Methode", 18).c_str(),
                     Padded("Palette", 14).c_str(), "Farben", "PSNR (dB)", "PNG (Bytes)");
        for (const DepthReportRow& r : rows) {
            std::string psnr = "unendlich";
            if (std::isfinite(r.Figures.Psnr)) {
                char text[32];
                std::snprintf(text, sizeof text, "%.2f", r.Figures.Psnr);
                psnr = text;
                psnr[psnr.find('.')] = ',';
            }
            std::fprintf(s.out, "%s%s%10d%12s%14llu\n",
                         Padded(DepthMethodName(r.Choice.Method), 18).c_str(),
                         Padded(DepthPaletteName(bits, r.Choice), 14).c_str(), r.Figures.Colours,
                         psnr.c_str(), static_cast<unsigned long long>(r.Figures.PngBytes));
        }
        return true;
    };
}

CliStep ParseOutput(const std::string& path, std::string&)
{
    return [path](CliSession& s) {
        std::string error;
        PictureMetadata& metadata = s.image.Metadata;
        if (WriteDibFile(s.image.WorkDib, path, &error, SaveJpegQuality(&metadata, s.jpegQuality),
                         &metadata, s.arriving))
            return true;
        // A file that turned out broken halfway is told as such, as when it
        // is read whole before the save.
        if (s.arriving && !s.arriving->Finish())
            error = OpenDibFailure(s.image.FileName);
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return false;
    };
}

constexpr StepParam kQuality{0, "N", ParamType::Number, 1, 100};

CliStep ParseQuality(const std::string& argument, std::string& error)
{
    int quality = 0;
    if (!ParseParamValue(kQuality, argument, quality, error)) {
        error = "--quality: " + error + ".";
        return {};
    }
    return [quality](CliSession& s) {
        s.jpegQuality = quality;
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

// Runs a step of the table through the working image's door.
CliStep StepAction(const Step& step)
{
    return [step](CliSession& s) {
        const StepResult result = s.image.Apply(step, *s.progress);
        if (result.Error.empty())
            return true;
        MessageBox(result.BadArgument ? FormatStep(step) + ": " + result.Error : result.Error, {},
                   MB_OK | MB_ICONERROR);
        s.badArgument = result.BadArgument;
        return false;
    };
}

CliOperation StepOperation(const StepRow& row)
{
    return {std::string(row.Word),
            StepSynopsis(row),
            std::string(row.Summary) + "\n" + StepParamsExplained(row),
            false,
            [&row](const std::string& argument, std::string& error) -> CliStep {
                Step step;
                if (!ParseStep(row, argument, step, error))
                    return {};
                return StepAction(step);
            },
            true};
}

// The recipe is read while the words are parsed, so a bad line stops the run
// before anything is opened or written.
CliStep ParseRecipeFile(const std::string& path, std::string& error)
{
    std::vector<Step> steps;
    if (!ReadRecipe(path, steps, error))
        return {};
    return [steps](CliSession& s) {
        for (const Step& step : steps)
            if (!StepAction(step)(s))
                return false;
        return true;
    };
}

// The picks are made on the picture as the words before left it, and run
// through the same door as every step; standard error hears them as a
// recipe, which a script can keep and apply again.
CliStep ParseAuto(const std::string&, std::string&)
{
    return [](CliSession& s) {
        const std::vector<Step> picks =
            ChooseAutoCorrections(s.image.WorkDib, kDefaultIntensity, *s.progress);
        for (const Step& step : picks)
            if (!StepAction(step)(s))
                return false;
        std::fputs(RecipeText(picks).c_str(), s.err);
        return true;
    };
}

std::vector<CliOperation> MakeOperations()
{
    std::vector<CliOperation> ops = {
        {"--info", "",
         "gibt Breite, Höhe, Bits pro Pixel und bei Palettenbildern die Farbanzahl aus", false,
         ParseInfo},
        {"--find-photo", "",
         "gibt als Rezeptzeilen aus, was das Foto auf einem Scan gerade ausrichtet (--rotate, "
         "ab 0,05 Grad) und ausschneidet (--crop)",
         false, ParseFindPhoto},
        {"--depth-report", "BITS",
         "vergleicht jede Methode und Palette einer Reduktion auf 1, 4 oder 8 Bit am ganzen\n"
         "Bild: verwendete Farben, PSNR gegen das Original in dB, Größe der PNG-Datei",
         false, ParseDepthReport},
        {"--quality", std::string(kQuality.Name),
         "JPEG-Qualität 1 bis 100 für alle Speicherungen (Vorgabe: die der Eingabe, sonst 90)",
         true, ParseQuality, true},
        {"--recipe", "DATEI",
         "wendet die Schritte eines Rezepts an dieser Stelle an: eine UTF-8-Textdatei mit der\n"
         "ersten Zeile „# Kelvora-Rezept 1“, dann je Zeile ein Schritt in den Worten dieser\n"
         "Hilfe (--resize 500x); leere Zeilen und Zeilen mit # am Anfang sind Kommentare",
         false, ParseRecipeFile, true},
        {"--auto", "",
         "korrigiert wie die Schaltfläche „Automatisch“ und schreibt die Klicks als Rezept auf "
         "die Fehlerausgabe",
         false, ParseAuto, true},
    };
    for (const StepRow& row : StepRows())
        if (!row.Word.empty())
            ops.push_back(StepOperation(row));
    ops.insert(
        ops.end(),
        {
            {"--print-layout", "voll|B,H[:verzerrt][:oben]",
             "Drucklayout: ganze Seite (Vorgabe) oder Breite und Höhe in Prozent der Seite; wie "
             "im Druckdialog folgt die Höhe der Breite, sodass das Bild sein Seitenverhältnis "
             "behält; verzerrt: Höhe wie angegeben; oben: links oben statt zentriert",
             true, ParsePrintLayout},
            {"--print-pdf", "DATEI", "druckt das Bild als einseitige PDF-Datei (A4 hoch, 300 dpi)",
             false, ParsePrintPdf},
            {"--print", "DRUCKER", "druckt das Bild auf einem Drucker (- für den Standarddrucker)",
             false, ParsePrint},
            {"-o", "DATEI",
             "speichert das Bild; das Format folgt der Dateiendung, EXIF-Daten, Farbprofil und die "
             "JPEG-Qualität der Eingabe bleiben erhalten",
             false, ParseOutput},
        });
    return ops;
}

} // namespace

const std::vector<CliOperation>& CliOperations()
{
    static const std::vector<CliOperation> ops = MakeOperations();
    return ops;
}

const CliOperation* FindCliOperation(const std::string& name)
{
    for (const CliOperation& op : CliOperations())
        if (name == op.name)
            return &op;
    return nullptr;
}
