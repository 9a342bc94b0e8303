// The batch's plan: its options, output names, shards and the checks that
// keep it from writing over its inputs.
#include "cli/BatchPlan.h"

#include "TestSupport.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(BatchPlan, ShardsAreDisjointEvenSlicesThatTogetherTakeEverything)
{
    for (std::size_t count = 0; count <= 9; ++count) {
        for (int n = 1; n <= 4; ++n) {
            std::size_t next = 0;
            for (int i = 1; i <= n; ++i) {
                const auto [first, last] = ShardRange(count, Shard{i, n});
                EXPECT_EQ(first, next) << i << "/" << n << " of " << count;
                EXPECT_LE(last - first, count / std::size_t(n) + 1);
                EXPECT_GE(last - first, count / std::size_t(n));
                next = last;
            }
            EXPECT_EQ(next, count) << n;
        }
    }
    const std::pair<const char*, bool> words[] = {{"1/1", true},   {"3/8", true},  {"8/8", true},
                                                  {"0/3", false},  {"4/3", false}, {"1/0", false},
                                                  {"-1/3", false}, {"2", false},   {"2/", false},
                                                  {"a/b", false},  {"1/3x", false}};
    for (const auto& [text, valid] : words) {
        Shard shard;
        std::string error;
        EXPECT_EQ(ParseShard(text, shard, error), valid) << text;
        EXPECT_TRUE(valid || error.find(std::string("nicht „") + text + "“") != std::string::npos)
            << error;
    }
}

TEST(BatchPlan, OutputsKeepTheirNameAndFormatUnlessItIsOneThatIsNotWritten)
{
    const struct {
        const char* input;
        const char* format;
        const char* name;
    } cases[] = {
        {"a/b/Urlaub.JPG", "", "Urlaub.JPG"},
        {"scan.tiff", "", "scan.tiff"},
        {"anim.gif", "", "anim.png"},
        {"web.webp", "", "web.png"},
        {"ohne", "", "ohne.png"},
        {"x.tar.gif", "", "x.tar.png"},
        {"foto.jpg", "png", "foto.png"},
        {"foto.bmp", "jpeg", "foto.jpeg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutputName(c.input, c.format), c.name) << c.input;
}

TEST(BatchPlan, OptionsAreTakenOutAndMistakesNamed)
{
    std::vector<std::string> args = {
        "--batch", "--jobs",          "3",         "a.png", "--format", ".PNG", "--shard",
        "2/5",     "--skip-existing", "--out-dir", "out",   "--mirror", "h",    "--progress-lines",
        "--",      "--jobs"};
    BatchRequest request;
    std::string error;
    ASSERT_TRUE(TakeBatchArguments(args, request, error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"a.png", "--mirror", "h", "--", "--jobs"}));
    EXPECT_TRUE(request.on && request.skipExisting && request.progressLines);
    EXPECT_EQ(request.outDir, "out");
    EXPECT_EQ(request.format, "png");
    EXPECT_EQ(request.jobs, 3);
    EXPECT_EQ(request.shard.index, 2);
    EXPECT_EQ(request.shard.count, 5);

    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"--batch", "a.png"}, "--batch braucht --out-dir ORDNER"},
        {{"--out-dir", "o", "a.png"}, "--out-dir gilt nur zusammen mit --batch."},
        {{"--progress-lines", "a.png"}, "--progress-lines gilt nur zusammen mit --batch."},
        {{"--batch", "--out-dir"}, "--out-dir braucht ein Argument: ORDNER."},
        {{"--batch", "--out-dir", "o", "--jobs", "0"}, "--jobs: N muss eine ganze Zahl von 1 bis"},
        {{"--batch", "--out-dir", "o", "--format", "gif"},
         "--format: „gif“ kann nicht geschrieben werden; möglich sind bmp, dib, png, jpg"},
    };
    for (const auto& [line, said] : refused) {
        std::vector<std::string> a = line;
        BatchRequest r;
        EXPECT_FALSE(TakeBatchArguments(a, r, error)) << said;
        EXPECT_NE(error.find(said), std::string::npos) << error;
    }
}

class BatchFiles : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(dir); }
    std::string Touch(const std::string& name)
    {
        std::ofstream(dir + "/" + name) << name;
        return dir + "/" + name;
    }
    std::string dir = MakeTempDir();
};

TEST_F(BatchFiles, AFolderStandsForItsPictureFilesSortedAndEachOnce)
{
    fs::create_directories(dir + "/in/tiefer");
    for (const char* name : {"in/b.JPG", "in/a.png", "in/c.webp", "in/notiz.txt",
                             "in/.versteckt.png", "in/tiefer/d.png", "in/ohne"})
        Touch(name);
    fs::create_directory(dir + "/in/ordner.png");
    const std::string in = dir + "/in";
    EXPECT_EQ(ExpandInputs({in + "/", dir + "/in/./a.png", dir + "/fehlt.png"}),
              (std::vector<std::string>{dir + "/fehlt.png", in + "/a.png", in + "/b.JPG",
                                        in + "/c.webp"}));
}

TEST_F(BatchFiles, NoOutputMayOverwriteAnInputNorTwoInputsShareAnOutput)
{
    fs::create_directories(dir + "/a");
    fs::create_directories(dir + "/b");
    const std::string png = Touch("a/bild.png"), gif = Touch("a/bild.gif"),
                      other = Touch("b/bild.png");
    // outputs in these folders would be the input under another name
    fs::create_directories(dir + "/link");
    fs::create_directories(dir + "/hart");
    fs::create_symlink(png, dir + "/link/bild.png");
    fs::create_hard_link(png, dir + "/hart/bild.png");
    const struct {
        std::vector<std::string> files;
        std::string outDir, format;
        std::string said; // empty: planned
    } cases[] = {
        {{png}, dir + "/a", "", "„" + dir + "/a/bild.png“ würde die Eingabe"},
        {{png}, dir + "/a/../a/", "", "würde die Eingabe „" + png + "“ überschreiben"},
        {{gif}, dir + "/a", "", ""},
        {{gif, png}, dir + "/a", "", "würde die Eingabe „" + png},
        {{gif, png}, dir + "/c", "", "würden beide nach „" + dir + "/c/bild.png“ geschrieben"},
        {{png}, dir + "/link", "", "würde die Eingabe"},
        {{png}, dir + "/hart", "", "würde die Eingabe"},
        {{png}, dir + "/b", "", ""}, // an output that is there but no input
        {{png}, dir + "/a", "jpg", ""},
    };
    for (const auto& c : cases) {
        std::vector<BatchItem> items;
        std::string error;
        const bool planned = PlanOutputs(c.files, c.outDir, c.format, items, error);
        EXPECT_EQ(planned, c.said.empty()) << c.files[0] << " to " << c.outDir << ": " << error;
        EXPECT_TRUE(planned || error.find(c.said) != std::string::npos) << error;
    }
}

} // namespace
