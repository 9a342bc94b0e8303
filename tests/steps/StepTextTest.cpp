// Steps as the command line writes them: parsed, written back, refused with
// a message that helps, and explained in the help.
#include "steps/StepText.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip {
    const char* word;
    const char* argument;
    const char* written; // as a recipe writes it back
};

class StepWords : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(StepWords, ParseAndWriteBack)
{
    const RoundTrip& c = GetParam();
    const StepRow* row = FindStepRow(c.word);
    ASSERT_NE(row, nullptr);
    Step step;
    std::string error;
    ASSERT_TRUE(ParseStep(*row, c.argument, step, error)) << error;
    EXPECT_EQ(FormatStepArgument(step), c.written);
    Step again;
    ASSERT_TRUE(ParseStep(*row, FormatStepArgument(step), again, error)) << error;
    EXPECT_EQ(again, step);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, StepWords,
    ::testing::Values(RoundTrip{"--crop", "100,50,1100,750", "100,50,1100,750"},
                      RoundTrip{"--crop", "1,2,3,4@1200x800", "1,2,3,4@1200x800"},
                      RoundTrip{"--mirror", "H", "h"}, RoundTrip{"--mirror", "v", "v"},
                      RoundTrip{"--rotate", "rechts:90", "rechts:90"},
                      RoundTrip{"--rotate", "left:180", "links:180"},
                      RoundTrip{"--rotate", "links:frei:12,5", "links:frei:12,5:FFFFFF"},
                      RoundTrip{"--rotate", "rechts:free:0.07:00ff80", "rechts:frei:0,07:00FF80"},
                      RoundTrip{"--resize", "500x", "500x"},
                      RoundTrip{"--resize", "x300:nointerp", "x300:nointerp"},
                      RoundTrip{"--resize", "640x480", "640x480"},
                      RoundTrip{"--correct", "helligkeit:2", "helligkeit:2:8"},
                      RoundTrip{"--correct", "Sättigung:-1:3", "saettigung:-1:3"},
                      RoundTrip{"--correct", "GAMMA KORREKTUR:4:25", "gamma:4:25"},
                      RoundTrip{"--depth", "8", "8:fs:optimized:win"},
                      RoundTrip{"--depth", "4:nearest:standard", "4:nearest:standard:win"},
                      RoundTrip{"--depth", "24", "24:fs:optimized:win"}));

struct Refusal {
    const char* word;
    const char* argument;
    std::vector<const char*> said; // parts the message must hold
};

class StepRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(StepRefusals, NameTheWordTheParameterAndItsRange)
{
    const Refusal& c = GetParam();
    Step step;
    std::string error;
    EXPECT_FALSE(ParseStep(*FindStepRow(c.word), c.argument, step, error));
    EXPECT_EQ(error.rfind(std::string(c.word) + ": ", 0), 0u) << error;
    for (const char* part : c.said)
        EXPECT_NE(error.find(part), std::string::npos) << error << "\nlacks: " << part;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfFault, StepRefusals,
    ::testing::Values(
        Refusal{"--correct", "helligkeit:7", {"STUFE", "-4 bis 4", "„7“"}},
        Refusal{"--correct", "helligkeit:1:30", {"INTENSITÄT", "1 bis 25", "Vorgabe 8"}},
        Refusal{"--correct", "farbe:1", {"MODUS", "helligkeit, kontrast", "blau"}},
        Refusal{"--correct", "helligkeit", {"STUFE fehlt", "MODUS:STUFE[:INTENSITÄT]"}},
        Refusal{"--correct", "helligkeit:1:8:9", {"zu viel"}},
        Refusal{"--rotate", "rechts:90:12", {"GRAD gibt es nur mit frei"}},
        Refusal{"--rotate", "rechts:frei", {"GRAD fehlt"}},
        Refusal{"--rotate", "rechts:frei:360", {"GRAD", "0,01 bis 359,99"}},
        Refusal{"--rotate", "rechts:frei:1,234", {"GRAD", "zwei Nachkommastellen"}},
        Refusal{"--rotate", "rechts:frei:10:XYZ", {"FARBE", "RRGGBB", "Vorgabe FFFFFF"}},
        Refusal{"--resize", "x", {"BREITE oder HÖHE"}},
        Refusal{"--resize", "0x10", {"BREITE", "1 bis 32767"}},
        Refusal{"--resize", "40000x", {"BREITE", "1 bis 32767"}},
        Refusal{"--resize", "10x10:sharp", {"nointerp"}},
        Refusal{"--depth", "16", {"BITS", "1, 4, 8, 24"}},
        Refusal{"--depth", "8:fs:bunt", {"PALETTE", "optimized, standard", "Vorgabe optimized"}},
        Refusal{"--mirror", "", {"ACHSE fehlt"}}, Refusal{"--crop", "1,2,3", {"UNTEN fehlt"}},
        Refusal{"--crop", "1,2,3,x", {"UNTEN", "ganze Zahl"}},
        Refusal{"--crop", "1,2,3,4@100", {"BILDBREITE und BILDHÖHE"}}));

TEST(StepHelp, EveryWordIsExplainedFromItsDeclarations)
{
    const std::pair<const char*, const char*> synopses[] = {
        {"--crop", "LINKS,OBEN,RECHTS,UNTEN[@BILDBREITE[xBILDHÖHE]]"},
        {"--rotate", "RICHTUNG:WINKEL[:GRAD[:FARBE]]"},
        {"--resize", "BREITExHÖHE[:nointerp]"},
        {"--correct", "MODUS:STUFE[:INTENSITÄT]"},
        {"--depth", "BITS[:METHODE[:PALETTE[:WINFARBEN]]]"},
    };
    for (const auto& [word, synopsis] : synopses)
        EXPECT_EQ(StepSynopsis(*FindStepRow(word)), synopsis) << word;
    EXPECT_EQ(StepParamsExplained(*FindStepRow("--correct")),
              "MODUS helligkeit, kontrast, saettigung, gamma, glanzlicht, mitte, schatten, rot, "
              "gruen, blau; STUFE -4 bis 4; INTENSITÄT 1 bis 25, Vorgabe 8");
    EXPECT_NE(
        StepParamsExplained(*FindStepRow("--rotate")).find("GRAD 0,01 bis 359,99, nur mit frei"),
        std::string::npos);
}

TEST(StepHelp, HundredthsReadAsGermanDecimals)
{
    const std::pair<int, const char*> cases[] = {{0, "0"},       {1, "0,01"},       {50, "0,5"},
                                                 {1250, "12,5"}, {35999, "359,99"}, {-5, "-0,05"}};
    for (const auto& [hundredths, text] : cases)
        EXPECT_EQ(HundredthsText(hundredths), text);
}

TEST(StepDescriptions, SayInGermanWhatWasDone)
{
    RotateChoice free;
    free.Angle = RotateAngle::Free;
    free.Degrees = 12.5L;
    const std::pair<Step, const char*> cases[] = {
        {CorrectStep(kModeHelligkeit, 2, 8), "Helligkeit +2 (Intensität 8)"},
        {CorrectStep(kModeSaettigung, -3, 5), "Sättigung -3 (Intensität 5)"},
        {CropStep(RECT{10, 20, 110, 70}, 200, 100), "Zugeschnitten auf 100 × 50 Pixel"},
        {MirrorStep(true), "Horizontal gespiegelt"},
        {RotateStep(free), "Links um 12,5° rotiert"},
        {ResizeStep(ResizeChoice{640, 480, false}), "Größe 640 × 480 Pixel ohne Interpolation"},
        {DepthStep(4, DepthDownChoice{}), "Farbtiefe 4 Bit (Fehlerverteilung, optimierte Palette)"},
        {OpenStep("/home/u/Bilder/see.jpg"), "Geöffnet: see.jpg"},
    };
    for (const auto& [step, words] : cases)
        EXPECT_EQ(DescribeStep(step), words);
}

TEST(StepMakers, WindowStepsWriteAsTheCommandLineReadsThem)
{
    RotateChoice free;
    free.Right = true;
    free.Angle = RotateAngle::Free;
    free.Degrees = 0.07L;
    free.Background = RGB(0, 255, 128);
    const std::pair<Step, const char*> cases[] = {
        {CropStep(RECT{100, 50, 1100, 750}, 1200, 800), "--crop 100,50,1100,750@1200x800"},
        {RotateStep(free), "--rotate rechts:frei:0,07:00FF80"},
        {ResizeStep(ResizeChoice{500, 333, true}), "--resize 500x333"},
        {CorrectStep(kModeHelligkeit, 2, 8), "--correct helligkeit:2:8"},
        {DepthStep(8, DepthDownChoice{DepthMethod::FloydSteinberg, true, true}),
         "--depth 8:fs:optimized:win"},
    };
    for (const auto& [step, words] : cases)
        EXPECT_EQ(FormatStep(step), words);
    // a typed angle and a read one are the same number
    EXPECT_EQ(RotationOf(cases[1].first).Degrees, 7 / 100.0L);
}

} // namespace
