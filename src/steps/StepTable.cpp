#include "steps/StepTable.h"

#include "depth/DepthDialogState.h"
#include "depth/DepthUp.h"
#include "geometry/Crop.h"
#include "geometry/Mirror.h"
#include "geometry/Rotate.h"
#include "geometry/Rounding.h"
#include "imagora/Imagora.h"
#include "steps/StepText.h"

#include <cstdint>
#include <limits>

namespace {

const char* const kNoMemory = "Fehler: nicht genug Speicher für diese Operation!";

StepResult Made(const TDibRecord& picture, const char* failure = kNoMemory)
{
    if (!picture.Bits)
        return {{}, failure};
    return {picture, {}};
}

std::string Signed(int value)
{
    return (value > 0 ? "+" : "") + std::to_string(value);
}

std::string SizeText(int width, int height)
{
    return std::to_string(width) + " × " + std::to_string(height) + " Pixel";
}

// --- crop

constexpr int kAnyInt = std::numeric_limits<int>::max();

constexpr StepParam kCropParams[] = {
    {0, "LINKS", ParamType::Number, -kAnyInt, kAnyInt},
    {',', "OBEN", ParamType::Number, -kAnyInt, kAnyInt},
    {',', "RECHTS", ParamType::Number, -kAnyInt, kAnyInt},
    {',', "UNTEN", ParamType::Number, -kAnyInt, kAnyInt},
    // the size of the picture the rectangle was drawn on; 0: not recorded
    {'@', "BILDBREITE", ParamType::Number, 1, kAnyInt, {}, 0},
    {'x', "BILDHÖHE", ParamType::Number, 1, kAnyInt, {}, 0},
};

const char* CheckCrop(const Step& s)
{
    using namespace crop_param;
    return (s[MadeOnWidth] == 0) != (s[MadeOnHeight] == 0)
               ? "BILDBREITE und BILDHÖHE gibt es nur zusammen"
               : nullptr;
}

// The rectangle on a picture of width x height: as recorded on a picture of
// that size, else each edge scaled to it, halves to even.
RECT CropRectOn(const Step& s, int width, int height)
{
    using namespace crop_param;
    RECT r{s[Left], s[Top], s[Right], s[Bottom]};
    const int madeW = s[MadeOnWidth], madeH = s[MadeOnHeight];
    if (madeW == 0 || (madeW == width && madeH == height))
        return r;
    const auto scale = [](int edge, int to, int from) {
        return Round(static_cast<long double>(edge) * to / from);
    };
    return RECT{scale(r.left, width, madeW), scale(r.top, height, madeH),
                scale(r.right, width, madeW), scale(r.bottom, height, madeH)};
}

StepResult RunCrop(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    const RECT r = CropRectOn(s, DibWidth(work), DibHeight(work));
    switch (CheckCropRect(r, work)) {
    case CropCheck::Empty:
        return {{},
                "das Rechteck ist leer (RECHTS muss größer als LINKS, UNTEN größer als OBEN sein).",
                true};
    case CropCheck::Outside:
        return {{},
                "das Rechteck liegt nicht ganz im Bild (" +
                    SizeText(DibWidth(work), DibHeight(work)) + ").",
                true};
    case CropCheck::Fits:
        break;
    }
    CropDibInPlace(work, r, progress);
    return {};
}

std::string DescribeCrop(const Step& s)
{
    using namespace crop_param;
    return "Zugeschnitten auf " + SizeText(s[Right] - s[Left], s[Bottom] - s[Top]);
}

// --- mirror

constexpr ParamWord kAxisWords[] = {{"h", 1}, {"v", 0}};
constexpr StepParam kMirrorParams[] = {{0, "ACHSE", ParamType::Word, 0, 0, kAxisWords}};

StepResult RunMirror(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    (s[0] ? MirrorH : MirrorV)(work, progress);
    return {};
}

std::string DescribeMirror(const Step& s)
{
    return s[0] ? "Horizontal gespiegelt" : "Vertikal gespiegelt";
}

// --- rotate

constexpr ParamWord kDirectionWords[] = {{"links", 0}, {"rechts", 1}, {"left", 0}, {"right", 1}};
constexpr ParamWord kAngleWords[] = {{"90", int(RotateAngle::Deg90)},
                                     {"180", int(RotateAngle::Deg180)},
                                     {"270", int(RotateAngle::Deg270)},
                                     {"frei", int(RotateAngle::Free)},
                                     {"free", int(RotateAngle::Free)}};
constexpr int kFree = int(RotateAngle::Free);
constexpr StepParam kRotateParams[] = {
    {0, "RICHTUNG", ParamType::Word, 0, 0, kDirectionWords},
    {':', "WINKEL", ParamType::Word, 0, 0, kAngleWords},
    {':',
     "GRAD",
     ParamType::Hundredths,
     int(kMinFreeDegrees * 100 + 0.5L),
     int(kMaxFreeDegrees * 100 + 0.5L),
     {},
     std::nullopt,
     false,
     rotate_param::Angle,
     kFree},
    {':',
     "FARBE",
     ParamType::Colour,
     0,
     0,
     {},
     int(RGB(255, 255, 255)),
     false,
     rotate_param::Angle,
     kFree},
};

bool IsHalfTurn(const Step& s)
{
    return s.Kind == StepKind::Rotate && RotateAngle(s[rotate_param::Angle]) == RotateAngle::Deg180;
}

StepResult RunRotate(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    if (IsHalfTurn(s)) {
        Rot180InPlace(work, progress);
        return {};
    }
    TDibRecord turned;
    RunRotation(work, RotationOf(s), turned, progress);
    return Made(turned);
}

std::string DescribeRotate(const Step& s)
{
    using namespace rotate_param;
    static const char* const kQuarter[] = {"90", "180", "270"};
    const std::string degrees = s[Angle] == kFree ? HundredthsText(s[Degrees]) : kQuarter[s[Angle]];
    return std::string(s[Direction] ? "Rechts" : "Links") + " um " + degrees + "° rotiert";
}

// --- resize

constexpr ParamWord kNoInterpolationWord[] = {{"nointerp", 1}};
constexpr StepParam kResizeParams[] = {
    {0, "BREITE", ParamType::Number, kMinResizeSide, kMaxResizeSide, {}, std::nullopt, true},
    {'x', "HÖHE", ParamType::Number, kMinResizeSide, kMaxResizeSide, {}, std::nullopt, true},
    {':', "nointerp", ParamType::Flag, 0, 0, kNoInterpolationWord},
};

const char* CheckResize(const Step& s)
{
    using namespace resize_param;
    return s[Width] == 0 && s[Height] == 0 ? "BREITE oder HÖHE muss angegeben sein" : nullptr;
}

StepResult RunResize(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    using namespace resize_param;
    // A side left out follows the other by the picture's proportions.
    const int w = DibWidth(work), h = DibHeight(work);
    const int width = s[Width] ? s[Width] : LinkedSide(s[Height], h, w);
    const int height = s[Height] ? s[Height] : LinkedSide(s[Width], w, h);
    TDibRecord resized;
    DIBResize(work, width, height, !s[NoInterpolation], resized, progress);
    return Made(resized, "Fehler beim Ändern der Größe...");
}

std::string DescribeResize(const Step& s)
{
    using namespace resize_param;
    std::string text = s[Width] && s[Height] ? "Größe " + SizeText(s[Width], s[Height])
                       : s[Width]            ? "Breite " + std::to_string(s[Width]) + " Pixel"
                                             : "Höhe " + std::to_string(s[Height]) + " Pixel";
    return s[NoInterpolation] ? text + " ohne Interpolation" : text;
}

// --- correct

constexpr ParamWord kModeWords[] = {
    {"helligkeit", kModeHelligkeit},
    {"kontrast", kModeKontrast},
    {"saettigung", kModeSaettigung},
    {"gamma", kModeGamma},
    {"glanzlicht", kModeGlanzlicht},
    {"mitte", kModeMitte},
    {"schatten", kModeSchatten},
    {"rot", kModeRot},
    {"gruen", kModeGruen},
    {"blau", kModeBlau},
    // the optimize page's captions, as users read them
    {"sättigung", kModeSaettigung},
    {"gamma korrektur", kModeGamma},
    {"grün", kModeGruen},
};
constexpr StepParam kCorrectParams[] = {
    {0, "MODUS", ParamType::Word, 0, 0, kModeWords},
    {':', "STUFE", ParamType::Number, -4, 4},
    {':', "INTENSITÄT", ParamType::Number, kMinIntensity, kMaxIntensity, {}, kDefaultIntensity},
};

StepResult RunCorrect(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    using namespace correct_param;
    ApplyVariation(work, s[Mode], s[Level], s[Intensity], progress);
    return {};
}

std::string DescribeCorrect(const Step& s)
{
    using namespace correct_param;
    return (s.Source.empty() ? std::string() : s.Source + ": ") +
           std::string(kCorrectionModeCaptions[std::size_t(s[Mode])]) + " " + Signed(s[Level]) +
           " (Intensität " + std::to_string(s[Intensity]) + ")";
}

// --- depth

constexpr ParamWord kBitsWords[] = {{"1", 1}, {"4", 4}, {"8", 8}, {"24", 24}};
constexpr ParamWord kMethodWords[] = {{"nearest", int(DepthMethod::Nearest)},
                                      {"ordered", int(DepthMethod::Ordered)},
                                      {"fs", int(DepthMethod::FloydSteinberg)}};
constexpr ParamWord kPaletteWords[] = {{"optimized", 1}, {"standard", 0}};
constexpr ParamWord kWindowsWords[] = {{"win", 1}, {"nowin", 0}};
constexpr StepParam kDepthParams[] = {
    {0, "BITS", ParamType::Word, 0, 0, kBitsWords},
    {':', "METHODE", ParamType::Word, 0, 0, kMethodWords, int(DepthMethod::FloydSteinberg)},
    {':', "PALETTE", ParamType::Word, 0, 0, kPaletteWords, 1},
    {':', "WINFARBEN", ParamType::Word, 0, 0, kWindowsWords, 1},
};

// The seed of a raise's random colour-table entries: from the step, so that
// it gives the same picture wherever and however often it runs.
std::uint32_t SeedOf(const Step& s)
{
    std::uint32_t hash = 2166136261u;
    for (const int v : s.Values)
        hash = (hash ^ std::uint32_t(v)) * 16777619u;
    return hash;
}

StepResult RunDepth(const Step& s, TDibRecord& work, ProgressSink& progress)
{
    const int target = s[depth_param::Bits];
    // A pair that is not converted, or no memory, leaves the picture as it was.
    switch (ChangeFor(DibBitCount(work), target)) {
    case DepthChange::Raise:
        return {DepthUpTo(work, target, SeedOf(s), progress), {}};
    case DepthChange::Reduce:
        return {DepthDownTo(work, target, DepthChoiceOf(s), progress), {}};
    case DepthChange::Keep:
        break;
    }
    return {};
}

std::string DescribeDepth(const Step& s)
{
    using namespace depth_param;
    static const char* const kMethods[] = {"nächste Farbe", "Raster", "Fehlerverteilung"};
    const DepthDownChoice c = DepthChoiceOf(s);
    std::string text = "Farbtiefe " + std::to_string(s[Bits]) + " Bit";
    if (s[Bits] < 24)
        text += std::string(" (") + kMethods[int(c.Method)] +
                (c.Optimized ? ", optimierte Palette" : ", Standardpalette") + ")";
    return text;
}

// --- pictures from outside

std::string DescribeOpen(const Step& s)
{
    if (s.Source.empty())
        return "Leeres Bild";
    const std::size_t slash = s.Source.find_last_of('/');
    return "Geöffnet: " + (slash == std::string::npos ? s.Source : s.Source.substr(slash + 1));
}

std::string DescribeScan(const Step& s)
{
    return "Gescannt" + (s.Source.empty() ? std::string() : " (" + s.Source + ")");
}

// New kinds of steps are one row here.
const StepRow kRows[] = {
    {StepKind::Crop, "--crop",
     "schneidet den Rand ab wie „Rand abschneiden“: Pixel, Zeilen von oben, RECHTS und UNTEN "
     "ausschließlich; auf einem Bild anderer Größe als BILDBREITExBILDHÖHE wird das Rechteck "
     "mitskaliert",
     kCropParams, false, true, CheckCrop, RunCrop, DescribeCrop},
    {StepKind::Mirror, "--mirror", "spiegelt horizontal (h) oder vertikal (v)", kMirrorParams,
     false, false, nullptr, RunMirror, DescribeMirror},
    {StepKind::Rotate, "--rotate",
     "rotiert wie der Dialog „Bild rotieren...“: um 90, 180 oder 270 Grad, oder frei um GRAD auf "
     "den Hintergrund FARBE",
     kRotateParams, false, true, nullptr, RunRotate, DescribeRotate},
    {StepKind::Resize, "--resize",
     "ändert die Größe wie „Größe verändern“; fehlt BREITE oder HÖHE (500x, x300), folgt die "
     "Seite dem Seitenverhältnis; nointerp rechnet ohne Interpolation",
     kResizeParams, false, true, CheckResize, RunResize, DescribeResize},
    {StepKind::Correct, "--correct", "korrigiert wie ein Klick ins Variationsraster",
     kCorrectParams, true, false, nullptr, RunCorrect, DescribeCorrect},
    {StepKind::Depth, "--depth",
     "ändert die Farbtiefe wie „Farb-Anzahl...“ mit den Optionen des Reduzierens", kDepthParams,
     false, false, nullptr, RunDepth, DescribeDepth},
    {StepKind::Open, "", "", {}, false, true, nullptr, nullptr, DescribeOpen},
    {StepKind::Scan, "", "", {}, false, true, nullptr, nullptr, DescribeScan},
};

} // namespace

std::span<const StepRow> StepRows()
{
    return kRows;
}

const StepRow& RowOf(StepKind kind)
{
    for (const StepRow& row : kRows)
        if (row.Kind == kind)
            return row;
    return kRows[0];
}

const StepRow* FindStepRow(std::string_view word)
{
    for (const StepRow& row : kRows)
        if (!row.Word.empty() && row.Word == word)
            return &row;
    return nullptr;
}

bool StepInPlace(const Step& step)
{
    return RowOf(step.Kind).InPlace || step.Kind == StepKind::Crop ||
           step.Kind == StepKind::Mirror || IsHalfTurn(step);
}

StepResult RunStep(const Step& step, TDibRecord& work, ProgressSink& progress)
{
    const StepRow& row = RowOf(step.Kind);
    return row.Run ? row.Run(step, work, progress) : StepResult{};
}

std::string DescribeStep(const Step& step)
{
    return RowOf(step.Kind).Describe(step);
}

Step CropStep(const RECT& r, int width, int height)
{
    return {StepKind::Crop, {r.left, r.top, r.right, r.bottom, width, height}, {}};
}

Step MirrorStep(bool horizontal)
{
    return {StepKind::Mirror, {horizontal ? 1 : 0}, {}};
}

Step RotateStep(const RotateChoice& c)
{
    return {StepKind::Rotate,
            {c.Right ? 1 : 0, int(c.Angle),
             c.Angle == RotateAngle::Free ? int(std::lround(c.Degrees * 100)) : 0,
             c.Angle == RotateAngle::Free ? int(c.Background) : 0},
            {}};
}

Step ResizeStep(const ResizeChoice& size)
{
    return {StepKind::Resize, {size.Width, size.Height, size.Interpolate ? 0 : 1}, {}};
}

Step CorrectStep(int mode, int level, int intensity)
{
    return {StepKind::Correct, {mode, level, intensity}, {}};
}

Step AutoStep(int mode, int level, int intensity)
{
    return {StepKind::Correct, {mode, level, intensity}, std::string(kAutoSource)};
}

Step DepthStep(int bits, const DepthDownChoice& c)
{
    return {
        StepKind::Depth, {bits, int(c.Method), c.Optimized ? 1 : 0, c.WindowsColours ? 1 : 0}, {}};
}

Step OpenStep(const std::string& path)
{
    return {StepKind::Open, {}, path};
}

Step ScanStep(const std::string& device)
{
    return {StepKind::Scan, {}, device};
}

std::vector<Step> StraightenSteps(const FoundPhoto& photo)
{
    std::vector<Step> steps;
    if (photo.Hundredths)
        steps.push_back(RotateStep({photo.Right, RotateAngle::Free, photo.Hundredths / 100.0L,
                                    photo.Background}));
    steps.push_back(CropStep(photo.Crop, photo.CutWidth, photo.CutHeight));
    return steps;
}

RotateChoice RotationOf(const Step& s)
{
    using namespace rotate_param;
    RotateChoice c;
    c.Right = s[Direction] != 0;
    c.Angle = RotateAngle(s[Angle]);
    if (c.Angle == RotateAngle::Free) {
        // From the hundredths, so a typed angle and a read one are the same number.
        c.Degrees = s[Degrees] / 100.0L;
        c.Background = COLORREF(s[Background]);
    }
    return c;
}

DepthDownChoice DepthChoiceOf(const Step& s)
{
    using namespace depth_param;
    return {DepthMethod(s[Method]), s[Palette] != 0, s[WindowsColours] != 0};
}
