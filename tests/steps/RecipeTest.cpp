// Recipe files: steps written and read back, and every kind of bad line
// refused with its line number and what is wrong there.
#include "steps/Recipe.h"

#include "TestSupport.h"
#include "steps/StepTable.h"

#include <filesystem>
#include <fstream>

namespace {

std::vector<Step> EveryKind()
{
    RotateChoice free;
    free.Angle = RotateAngle::Free;
    free.Degrees = 12.5L;
    return {CropStep(RECT{100, 50, 1100, 750}, 1200, 800),
            MirrorStep(true),
            RotateStep(RotateChoice{}),
            RotateStep(free),
            ResizeStep(ResizeChoice{640, 480, false}),
            {StepKind::Resize, {500, 0, 0}, {}},
            CorrectStep(kModeGamma, -2, 25),
            DepthStep(4, DepthDownChoice{DepthMethod::Ordered, false, true})};
}

TEST(Recipe, StepsAreWrittenAndReadBackAsTheyWere)
{
    std::vector<Step> steps = EveryKind();
    steps.insert(steps.begin() + 2, ScanStep("test:0")); // no part of a recipe
    const std::string text = RecipeText(steps);
    EXPECT_EQ(text.rfind("# Kelvora-Rezept 1\n--crop 100,50,1100,750@1200x800\n--mirror h\n", 0),
              0u)
        << text;
    std::vector<Step> read;
    RecipeFault fault;
    ASSERT_TRUE(ParseRecipe(text, read, fault)) << fault.Line << ": " << fault.Message;
    EXPECT_EQ(read, EveryKind());

    // as other editors and hands write it
    const std::string edited = "\xEF\xBB\xBF# Kelvora-Rezept 1\r\n"
                               "# Zuschnitt fürs Album\r\n\r\n"
                               "   --mirror   v  \r\n"
                               "\t# eingerückt\n"
                               "--correct gamma korrektur:4:25"; // the page's caption, no line end
    ASSERT_TRUE(ParseRecipe(edited, read, fault)) << fault.Line << ": " << fault.Message;
    EXPECT_EQ(read, (std::vector<Step>{MirrorStep(false), CorrectStep(kModeGamma, 4, 25)}));
}

TEST(Recipe, EachKindOfBadLineIsRefusedWithItsLineAndWhatIsWrong)
{
    const std::string head = "# Kelvora-Rezept 1\n# ein Kommentar\n";
    const struct {
        std::string text;
        int line;
        const char* said;
    } cases[] = {
        {"", 1, "die erste Zeile eines Rezepts lautet „# Kelvora-Rezept 1“, hier ist sie leer."},
        {"--mirror h\n", 1, "lautet „# Kelvora-Rezept 1“, nicht „--mirror h“."},
        {"# Kelvora-Rezept 2\n--mirror h\n", 1, "die Version „2“; dieses Programm liest"},
        {head + "--mirror h\n--sharpen 3\n", 4,
         "„--sharpen“ ist kein Schritt; ein Rezept kennt --crop, --mirror, --rotate, --resize, "
         "--correct, --depth."},
        {head + "-o out.png\n", 3, "„-o“ ist kein Schritt"},
        {head + "mirror h\n", 3, "„mirror“ ist kein Schritt"},
        {head + "--crop 1,2,3\n", 3, "--crop: UNTEN fehlt (Aufruf: --crop LINKS,OBEN,RECHTS"},
        {head + "--correct helligkeit:9\n", 3, "STUFE muss eine ganze Zahl von -4 bis 4 sein"},
        {head + "--resize 500x 300\n", 3, "HÖHE muss eine ganze Zahl von 1 bis 32767 sein"},
        {head + "--mirror\n", 3, "ACHSE fehlt"},
        {head + "--mirror h\n# Grüße in Latin-1: Gr\xFC\xDF"
                "e\n",
         4, "kein UTF-8-Text"},
        {head + "--mirror \xC0\xAF\n", 3, "kein UTF-8-Text"}, // an overlong "/"
        {"# Kelvora-Rezept 1\n--" + std::string(100, 'x'), 2, "xxx…“ ist kein Schritt"},
    };
    for (const auto& c : cases) {
        std::vector<Step> steps;
        RecipeFault fault;
        EXPECT_FALSE(ParseRecipe(c.text, steps, fault)) << c.text;
        EXPECT_EQ(fault.Line, c.line) << c.text;
        EXPECT_NE(fault.Message.find(c.said), std::string::npos) << fault.Message;
    }
}

class RecipeFile : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir = MakeTempDir();
};

TEST_F(RecipeFile, WrittenAndReadAsAWholeFileNamedInEveryMessage)
{
    const std::string path = dir + "/album.rezept";
    std::string error;
    ASSERT_TRUE(WriteRecipe(path, EveryKind(), error)) << error;
    std::vector<Step> steps;
    ASSERT_TRUE(ReadRecipe(path, steps, error)) << error;
    EXPECT_EQ(steps, EveryKind());

    std::ofstream(path, std::ios::app) << "--depth 16\n";
    EXPECT_FALSE(ReadRecipe(path, steps, error));
    EXPECT_EQ(error.rfind("Rezept „" + path + "“, Zeile 10: --depth: BITS muss", 0), 0u) << error;

    const std::pair<std::string, std::string> unreadable[] = {
        {dir + "/fehlt.rezept", "Das Rezept „" + dir + "/fehlt.rezept“ wurde nicht gefunden."},
        {dir, "„" + dir + "“ ist ein Ordner, kein Rezept."},
    };
    for (const auto& [file, said] : unreadable) {
        EXPECT_FALSE(ReadRecipe(file, steps, error));
        EXPECT_EQ(error, said);
    }
    std::ofstream(path) << kRecipeHeader << "\n" << std::string(2 << 20, '#');
    EXPECT_FALSE(ReadRecipe(path, steps, error));
    EXPECT_NE(error.find("ist zu groß für ein Rezept"), std::string::npos) << error;
}

} // namespace
