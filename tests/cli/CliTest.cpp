// Runs the built kelvora-cli on files the tests write and checks its exit
// codes, its output and the files it writes.
#include "SaneTestBackend.h"
#include "SyntheticScan.h"
#include "TestSupport.h"

#include "cli/CliOperations.h"
#include "depth/DepthDown.h"
#include "imagora/DibWriter.h"
#include "imagora/Metadata.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Cli : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        fs::remove_all(dir);
        LeakCheckedTest::TearDown();
    }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    std::string program = KELVORA_CLI;

    // Runs the program with stdin from /dev/null and stdout, stderr to files;
    // a file size limit (as ulimit -f sets) when given.
    Outcome Run(const std::vector<std::string>& args, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        return Spawn({}, args, fileSizeLimit);
    }

    // The same without the power to read files regardless of their
    // permissions, which root has.
    Outcome RunWithoutReadingEverything(const std::vector<std::string>& args)
    {
        return Spawn({"setpriv", "--bounding-set=-dac_override,-dac_read_search", "--"}, args);
    }

    // whileRunning, when given, acts on the program before it is waited for.
    Outcome Spawn(const std::vector<std::string>& launcher, const std::vector<std::string>& args,
                  rlim_t fileSizeLimit = RLIM_INFINITY,
                  const std::function<void(pid_t)>& whileRunning = {})
    {
        const std::string outPath = Path(".stdout"), errPath = Path(".stderr");
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::vector<std::string> all = launcher;
        all.push_back(program);
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        Outcome o;
        pid_t pid = 0;
        // The child inherits the limit; this process writes nothing meanwhile.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = fileSizeLimit;
        setrlimit(RLIMIT_FSIZE, &limited);
        const int spawned =
            posix_spawnp(&pid, all[0].c_str(), &files, nullptr, argv.data(), environ);
        setrlimit(RLIMIT_FSIZE, &saved);
        posix_spawn_file_actions_destroy(&files);
        EXPECT_EQ(spawned, 0);
        if (spawned == 0 && whileRunning)
            whileRunning(pid);
        int status = 0;
        if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            o.code = WEXITSTATUS(status);
        o.out = ReadText(outPath);
        o.err = ReadText(errPath);
        fs::remove(outPath);
        fs::remove(errPath);
        return o;
    }

    // A picture file written by the library, as a user would have it.
    std::string Picture(const std::string& name, int width, int height, int bits)
    {
        DibGuard d(MakeDib(width, height, bits, [bits](int x, int y) {
            return bits == 24 ? RGB(std::uint8_t(x * 20), std::uint8_t(y * 30), 99)
                              : std::uint32_t((x + y) % (1 << bits));
        }));
        EXPECT_TRUE(WriteDibFile(d.dib, Path(name)));
        return Path(name);
    }

    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir = MakeTempDir();
};

bool SamePixels(const std::string& a, const std::string& b)
{
    DibGuard x, y;
    OpenDib(&x.dib, a.c_str(), 0, nullptr);
    OpenDib(&y.dib, b.c_str(), 0, nullptr);
    if (!x->Bits || !y->Bits || DibWidth(x.dib) != DibWidth(y.dib) ||
        DibHeight(x.dib) != DibHeight(y.dib) || DibBitCount(x.dib) != DibBitCount(y.dib))
        return false;
    for (int row = 0; row < DibHeight(x.dib); ++row)
        for (int col = 0; col < DibWidth(x.dib); ++col)
            if (getpixel(x.dib, col, row) != getpixel(y.dib, col, row))
                return false;
    return true;
}

TEST_F(Cli, InfoPrintsSizeDepthAndThePaletteColoursInUse)
{
    const Outcome palette = Run({Picture("a.bmp", 7, 5, 8), "--info"}); // 11 greys of 256
    EXPECT_EQ(palette.code, 0);
    EXPECT_EQ(palette.out, "Breite: 7\nHöhe: 5\nBits pro Pixel: 8\nFarben: 11 von 256\n");
    EXPECT_EQ(palette.err, "");

    const Outcome trueColour = Run({Picture("b.png", 3, 2, 24), "--info"});
    EXPECT_EQ(trueColour.code, 0);
    EXPECT_EQ(trueColour.out, "Breite: 3\nHöhe: 2\nBits pro Pixel: 24\n")
        << "no colour count for true colour: 16777216 would say nothing about the picture";

    // entries 0 and 3 of one colour count once, entry 1 (black) once more
    BITMAPINFO table{};
    table.bmiColors[0] = table.bmiColors[3] = RGBQUAD{9, 9, 9, 0};
    DibGuard twins;
    newdib(&twins.dib, 4, 1, 4, &table, 16);
    const std::uint32_t indices[] = {0, 3, 1, 1};
    for (int x = 0; x < 4; ++x)
        setpixel(twins.dib, x, 0, indices[x]);
    ASSERT_TRUE(WriteDibFile(twins.dib, Path("twins.bmp")));
    EXPECT_NE(Run({Path("twins.bmp"), "--info"}).out.find("Farben: 2 von 16\n"), std::string::npos);
}

TEST_F(Cli, DepthReportHasALineForEachChoice)
{
    const Outcome o = Run({Picture("photo.bmp", 9, 7, 24), "--depth-report", "8"});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.out.rfind("Methode           Palette           Farben   PSNR (dB)   PNG (Bytes)\n", 0),
              0u)
        << o.out;
    EXPECT_NE(o.out.find("\nRaster            Standard"), std::string::npos) << o.out;
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 6);

    const Outcome same = Run({Picture("eight.bmp", 9, 7, 8), "--depth-report", "8"});
    EXPECT_EQ(same.code, 1);
    EXPECT_NE(same.err.find("lässt sich nicht auf 8 Bit reduzieren"), std::string::npos) << same.err;
}

TEST_F(Cli, OperationsRunInTheirOrderAndEverySaveTakesItsExtension)
{
    const std::string in = Picture("in.bmp", 9, 4, 4);
    const Outcome o = Run(
        {in, "--info", "-o", Path("a.png"), "-o", Path("b.pnm"), "-o", Path("c.tif"), "--info"});
    EXPECT_EQ(o.code, 0) << o.err;
    const std::string info = "Breite: 9\nHöhe: 4\nBits pro Pixel: 4\nFarben: 12 von 16\n";
    EXPECT_EQ(o.out, info + info);
    EXPECT_EQ(o.err, "") << "no progress bar and no chatter when stderr is no terminal";
    EXPECT_EQ(ReadText(Path("a.png")).substr(1, 3), "PNG");
    EXPECT_EQ(ReadText(Path("b.pnm")).substr(0, 2), "P5") << "16 greys: a grey map";
    EXPECT_EQ(ReadText(Path("c.tif")).substr(0, 2), "II");
    EXPECT_TRUE(SamePixels(in, Path("a.png")));
    EXPECT_TRUE(SamePixels(in, Path("c.tif")));
}

TEST_F(Cli, QualityHoldsForEverySaveWhereverItStands)
{
    const std::string in = Picture("in.png", 64, 48, 24);
    ASSERT_EQ(Run({in, "-o", Path("low.jpg"), "--quality", "10"}).code, 0);
    ASSERT_EQ(Run({in, "--quality", "95", "-o", Path("high.jpg")}).code, 0);
    ASSERT_EQ(Run({in, "-o", Path("default.jpg")}).code, 0);
    ASSERT_EQ(Run({in, "--quality", "90", "-o", Path("ninety.jpg")}).code, 0);
    EXPECT_LT(ReadText(Path("low.jpg")).size(), ReadText(Path("high.jpg")).size());
    EXPECT_EQ(ReadText(Path("default.jpg")), ReadText(Path("ninety.jpg")));
}

TEST_F(Cli, BadArgumentsExitWithTwoAndSayWhy)
{
    const std::string in = Picture("in.bmp", 2, 2, 24);
    const struct {
        const char* name;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"unknown operation", {in, "--sharpen"}, "Unbekannte Operation „--sharpen“"},
        {"save without a file", {in, "-o"}, "-o braucht ein Argument: DATEI"},
        {"quality 0", {in, "--quality", "0", "-o", Path("x.jpg")}, "von 1 bis 100"},
        {"quality 101", {in, "--quality", "101", "-o", Path("x.jpg")}, "von 1 bis 100"},
        {"quality in words", {in, "--quality", "high", "-o", Path("x.jpg")}, "nicht „high“"},
        {"quality with a tail", {in, "--quality", "50%", "-o", Path("x.jpg")}, "nicht „50%“"},
        {"nothing to do", {in}, "Keine Operation angegeben"},
        {"only settings", {in, "--quality", "50"}, "Keine Operation angegeben"},
        {"two inputs", {in, "--info", in}, "Nur eine Eingabedatei"},
        {"no input", {"--info"}, "Keine Eingabedatei"},
        {"an option's argument is no input", {"-o", in}, "Keine Eingabedatei"},
        {"depth report to 3 bits", {in, "--depth-report", "3"}, "1, 4 oder 8"},
        {"depth report to 24 bits", {in, "--depth-report", "24"}, "1, 4 oder 8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.code, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err.rfind("kelvora-cli: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(Listing(), std::vector<std::string>{"in.bmp"}) << "nothing written";
    }
    const Outcome bare = Run({});
    EXPECT_EQ(bare.code, 2);
    EXPECT_NE(bare.err.find("Aufruf: kelvora-cli"), std::string::npos);
}

TEST_F(Cli, OperationsMayComeBeforeTheInput)
{
    const std::string in = Picture("in.bmp", 2, 2, 4);
    const Outcome o = Run({"--quality", "50", "--info", in, "-o", Path("out.png")});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.out.rfind("Breite: 2\n", 0), 0u);
    EXPECT_TRUE(SamePixels(in, Path("out.png")));

    fs::copy_file(in, Path("-dash.bmp"));
    const Outcome dash = Run({"--info", "--", "-dash.bmp"});
    EXPECT_EQ(dash.code, 1) << "a name after -- is the input (here relative to the test's folder)";
    EXPECT_NE(dash.err.find("„-dash.bmp“"), std::string::npos) << dash.err;
    EXPECT_EQ(Run({"--info", "--", Path("-dash.bmp")}).code, 0);
}

TEST_F(Cli, VersionIsTold)
{
    const Outcome o = Run({"--version"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "kelvora-cli 1.0\n");
    EXPECT_NE(Run({"--help"}).out.find("--version"), std::string::npos);
}

TEST_F(Cli, UnreadableInputExitsWithOne)
{
    std::ofstream(Path("notes.bmp")) << "not a picture";
    const Outcome missing = Run({Path("missing.png"), "-o", Path("out.png")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("„" + Path("missing.png") + "“ wurde nicht gefunden"),
              std::string::npos)
        << missing.err;
    const Outcome garbage = Run({Path("notes.bmp"), "--info"});
    EXPECT_EQ(garbage.code, 1);
    EXPECT_EQ(garbage.out, "");
    EXPECT_NE(garbage.err.find("ist kein lesbares Bild"), std::string::npos) << garbage.err;
    EXPECT_FALSE(fs::exists(Path("out.png")));

    // A JPEG cut short is found out while it is saved as it is read: no
    // output, and the same message as when a step needs it whole first.
    const std::string jpeg = Picture("cut.jpg", 60, 90, 24);
    fs::resize_file(jpeg, fs::file_size(jpeg) * 3 / 5);
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{jpeg, "-o", Path("out.png")},
          std::vector<std::string>{jpeg, "--mirror", "h", "-o", Path("out.png")}}) {
        const Outcome cut = Run(line);
        EXPECT_EQ(cut.code, 1);
        EXPECT_NE(cut.err.find("„" + jpeg + "“ ist kein lesbares Bild"), std::string::npos)
            << cut.err;
        EXPECT_FALSE(fs::exists(Path("out.png")));
    }

    fs::create_directory(Path("folder.png"));
    EXPECT_NE(Run({Path("folder.png"), "--info"}).err.find("ist ein Ordner"), std::string::npos);

    // a pipe nobody writes to: said at once, not waited on for good
    ASSERT_EQ(mkfifo(Path("pipe.jpg").c_str(), 0600), 0);
    const Outcome pipe = Spawn({"timeout", "20"}, {Path("pipe.jpg"), "--info"});
    EXPECT_EQ(pipe.code, 1) << "124: it waited";
    EXPECT_NE(pipe.err.find("ist keine gewöhnliche Datei"), std::string::npos) << pipe.err;
}

TEST_F(Cli, AnInputWithoutReadPermissionSaysSo)
{
    const std::string in = Picture("secret.bmp", 2, 2, 24);
    fs::permissions(in, fs::perms::none);
    // Root reads every file; the program then runs without that power.
    const Outcome o =
        geteuid() == 0 ? RunWithoutReadingEverything({in, "--info"}) : Run({in, "--info"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("„" + in + "“ kann nicht gelesen werden: keine Leseberechtigung"),
              std::string::npos)
        << o.err;
    fs::permissions(in, fs::perms::owner_all);
}

TEST_F(Cli, FailedSaveExitsWithOneStopsAndKeepsTheTarget)
{
    const std::string in = Picture("in.bmp", 2, 2, 24);
    fs::create_directory(Path("taken.png"));
    const Outcome folder = Run({in, "-o", Path("taken.png"), "--info"});
    EXPECT_EQ(folder.code, 1);
    EXPECT_NE(folder.err.find("konnte nicht geschrieben werden"), std::string::npos) << folder.err;
    EXPECT_EQ(folder.out, "") << "steps after a failed one do not run";
    EXPECT_TRUE(fs::is_directory(Path("taken.png")));

    const Outcome format = Run({in, "-o", Path("out.gif")});
    EXPECT_EQ(format.code, 1);
    EXPECT_NE(format.err.find("Dateiendung"), std::string::npos) << format.err;
    EXPECT_EQ(Listing(), (std::vector<std::string>{"in.bmp", "taken.png"}));
}

// Each way a save can fail on the system's side is named for what it is,
// and none leaves a temporary file behind.
TEST_F(Cli, SavesThatTheSystemRefusesSayWhy)
{
    const std::string in = Picture("in.bmp", 200, 200, 24); // 120 kB as a bitmap
    fs::create_symlink("/dev/full", Path("full.bmp"));
    const struct {
        const char* name;
        std::string target;
        rlim_t fileSizeLimit;
        const char* message;
    } cases[] = {
        {"file size limit", Path("big.bmp"), 16384, "Die Datei wird zu groß."},
        {"folder that takes no files", "/proc/kelvora-cli-test.bmp", RLIM_INFINITY,
         "In diesem Ordner lassen sich keine Dateien anlegen."},
        {"full device", Path("full.bmp"), RLIM_INFINITY,
         "Auf dem Datenträger ist nicht genug Platz."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Run({in, "-o", c.target}, c.fileSizeLimit);
        EXPECT_EQ(o.code, 1) << "a clean failure, not a signal";
        EXPECT_NE(o.err.find("„" + c.target + "“ konnte nicht geschrieben werden: " + c.message),
                  std::string::npos)
            << o.err;
        EXPECT_EQ(Listing(), (std::vector<std::string>{"full.bmp", "in.bmp"}));
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(Cli, HelpDescribesEveryOperationAndTheFormats)
{
    const Outcome o = Run({"--help"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.rfind("Aufruf: kelvora-cli EINGABE [Operationen] -o AUSGABE\n", 0), 0u);
    for (const CliOperation& op : CliOperations()) {
        EXPECT_NE(o.out.find(std::string(op.name) + " " + op.argument), std::string::npos)
            << op.name;
        // each line of it, however the help indents the lines
        std::size_t start = 0;
        for (std::size_t end; start < op.help.size(); start = end + 1) {
            end = std::min(op.help.find('\n', start), op.help.size());
            EXPECT_NE(o.out.find(op.help.substr(start, end - start)), std::string::npos) << op.name;
        }
    }
    for (const char* format : {"Windows-Bitmap", "PNG-Bild", "WebP-Bild", "Portable Anymap"})
        EXPECT_NE(o.out.find(format), std::string::npos) << format;
    EXPECT_EQ(Run({Path("whatever.bmp"), "-o", "-h"}).code, 0) << "help wins wherever it stands";
}

} // namespace

namespace {

TEST_F(Cli, CorrectAppliesWhatAClickOnThatCellApplies)
{
    DibGuard grey(MakeDib(4, 3, 24, [](int, int) { return 0x646464u; }));
    ASSERT_TRUE(WriteDibFile(grey.dib, Path("grey.bmp")));
    const Outcome o = Run({Path("grey.bmp"), "--correct", "helligkeit:4", "--correct", "Rot:-4:25",
                           "--correct", "GAMMA:0", "-o", Path("out.bmp")});
    ASSERT_EQ(o.code, 0) << o.err;
    DibGuard out;
    OpenDib(&out.dib, Path("out.bmp").c_str(), 0, nullptr);
    // +32 brightness, then red removed (-100 %); gamma at step 0 applies nothing
    EXPECT_EQ(getpixel(out.dib, 1, 1), RGB(0, 0x84, 0x84));
}

TEST_F(Cli, CorrectRefusesBadModesStepsAndIntensities)
{
    const std::string in = Picture("in.bmp", 2, 2, 24);
    for (const char* bad :
         {"hell:1", "helligkeit", "helligkeit:5", "helligkeit:-5", "helligkeit:1:0",
          "helligkeit:1:26", "helligkeit:x", "kontrast:1:8:9"}) {
        const Outcome o = Run({in, "--correct", bad, "-o", Path("out.bmp")});
        EXPECT_EQ(o.code, 2) << bad;
        EXPECT_NE(o.err.find("--correct"), std::string::npos) << bad;
    }
    const Outcome unknown = Run({in, "--correct", "hell:1", "-o", Path("out.bmp")});
    EXPECT_NE(unknown.err.find("MODUS muss eins von helligkeit, kontrast, saettigung, gamma, "
                               "glanzlicht, mitte, schatten, rot, gruen, blau sein, nicht „hell“"),
              std::string::npos)
        << unknown.err;
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

} // namespace

namespace {

// The reduction the window makes for the same choices, from the same file.
std::vector<std::uint32_t> ReducedInMemory(const std::string& path, int bits,
                                           const DepthDownChoice& choice)
{
    DibGuard in, reduced;
    OpenDib(&in.dib, path.c_str(), 0, nullptr);
    NullProgress quiet;
    reduced.dib = DepthDownTo(in.dib, bits, choice, quiet);
    std::vector<std::uint32_t> indices;
    for (int y = 0; y < DibHeight(reduced.dib); ++y)
        for (int x = 0; x < DibWidth(reduced.dib); ++x)
            indices.push_back(getpixel(reduced.dib, x, y));
    return indices;
}

std::vector<std::uint32_t> FileIndices(const std::string& path, int bits)
{
    DibGuard d;
    OpenDib(&d.dib, path.c_str(), 0, nullptr);
    EXPECT_EQ(DibBitCount(d.dib), bits) << path;
    std::vector<std::uint32_t> indices;
    for (int y = 0; y < DibHeight(d.dib); ++y)
        for (int x = 0; x < DibWidth(d.dib); ++x)
            indices.push_back(getpixel(d.dib, x, y));
    return indices;
}

TEST_F(Cli, DepthRunsWhatTheDialogsRunForItsWords)
{
    const std::string in = Picture("in.bmp", 13, 7, 24);
    using M = DepthMethod;
    struct Case {
        const char* argument;
        int bits;
        DepthDownChoice choice;
    };
    const Case cases[] = {
        {"8", 8, {M::FloydSteinberg, true, true}},
        {"8:nearest:optimized:nowin", 8, {M::Nearest, true, false}},
        {"8:ordered:standard", 8, {M::Ordered, false, true}},
        {"4", 4, {M::FloydSteinberg, true, true}},
        {"4:nearest:standard", 4, {M::Nearest, false, true}},
        {"4:ordered:standard", 4, {M::Nearest, false, true}}, // checked but not offered
        {"1:nearest", 1, {M::Nearest, true, true}},
        {"1:ordered", 1, {M::FloydSteinberg, true, true}},
    };
    for (const Case& c : cases) {
        const Outcome o = Run({in, "--depth", c.argument, "-o", Path("out.bmp")});
        ASSERT_EQ(o.code, 0) << c.argument << ": " << o.err;
        EXPECT_EQ(FileIndices(Path("out.bmp"), c.bits), ReducedInMemory(in, c.bits, c.choice))
            << c.argument;
    }
}

TEST_F(Cli, DepthRaisesAndKeepsTheSameDepth)
{
    const std::string in = Picture("in.bmp", 5, 3, 8);
    ASSERT_EQ(Run({in, "--depth", "24", "-o", Path("up.bmp")}).code, 0);
    DibGuard source, up;
    OpenDib(&source.dib, in.c_str(), 0, nullptr);
    OpenDib(&up.dib, Path("up.bmp").c_str(), 0, nullptr);
    ASSERT_EQ(DibBitCount(up.dib), 24);
    const PALETTEENTRY& e = source->Palette.palPalEntry[getpixel(source.dib, 4, 2)];
    EXPECT_EQ(getpixel(up.dib, 4, 2), RGB(e.peRed, e.peGreen, e.peBlue));

    ASSERT_EQ(Run({in, "--depth", "8:nearest", "-o", Path("same.bmp")}).code, 0);
    EXPECT_TRUE(SamePixels(in, Path("same.bmp")));
}

TEST_F(Cli, DepthRefusesBadWords)
{
    const std::string in = Picture("in.bmp", 2, 2, 24);
    for (const char* bad : {"", "2", "16", "8bit", "8:best", "8:fs:optimal", "8:fs:standard:yes",
                            "8:fs:standard:win:more"}) {
        const Outcome o = Run({in, "--depth", bad, "-o", Path("out.bmp")});
        EXPECT_EQ(o.code, 2) << bad;
        EXPECT_NE(o.err.find("--depth"), std::string::npos) << bad;
    }
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

class CliGeometry : public Cli {
protected:
    // The written picture, opened again.
    TDibRecord Written(const std::string& name)
    {
        TDibRecord d;
        OpenDib(&d, Path(name).c_str(), 0, nullptr);
        return d;
    }
};

TEST_F(CliGeometry, CropMirrorRotateAndResizeRunAsTheButtonsDo)
{
    const std::string in = Picture("in.bmp", 9, 4, 24);
    DibGuard src;
    OpenDib(&src.dib, in.c_str(), 0, nullptr);
    ASSERT_EQ(Run({in, "--crop", "2,1,7,3", "-o", Path("crop.bmp")}).code, 0);
    ASSERT_EQ(Run({in, "--mirror", "h", "--mirror", "V", "-o", Path("mirror.bmp")}).code, 0);
    ASSERT_EQ(Run({in, "--rotate", "links:90", "-o", Path("left.bmp")}).code, 0);
    ASSERT_EQ(Run({in, "--rotate", "right:270", "-o", Path("right270.bmp")}).code, 0);
    ASSERT_EQ(Run({in, "--resize", "18x", "-o", Path("wide.bmp")}).code, 0);
    ASSERT_EQ(Run({in, "--resize", "x2:nointerp", "-o", Path("low.bmp")}).code, 0);

    DibGuard crop(Written("crop.bmp")), mirror(Written("mirror.bmp")), left(Written("left.bmp")),
        wide(Written("wide.bmp")), low(Written("low.bmp"));
    ASSERT_EQ(DibWidth(crop.dib), 5);
    ASSERT_EQ(DibHeight(crop.dib), 2);
    EXPECT_EQ(getpixel(crop.dib, 0, 0), getpixel(src.dib, 2, 1));
    EXPECT_EQ(getpixel(mirror.dib, 0, 0), getpixel(src.dib, 8, 3));
    ASSERT_EQ(DibWidth(left.dib), 4);
    EXPECT_EQ(getpixel(left.dib, 0, 8), getpixel(src.dib, 0, 0)) << "top-left to bottom-left";
    EXPECT_TRUE(SamePixels(Path("left.bmp"), Path("right270.bmp")));
    EXPECT_EQ(DibHeight(wide.dib), 8) << "the height follows the width";
    EXPECT_NE(getpixel(wide.dib, 0, 0), getpixel(src.dib, 0, 0)) << "interpolated: 253 of 255";
    EXPECT_EQ(DibWidth(low.dib), 4) << "Trunc(2 * 9 / 4)";
    // Rows are sampled from the bottom: the top row comes from source row 1.
    EXPECT_EQ(getpixel(low.dib, 1, 0), getpixel(src.dib, 2, 1)) << "sampled, not interpolated";
}

TEST_F(CliGeometry, AFreeTurnTakesACommaOrAPointAndAColour)
{
    const std::string in = Picture("in.png", 100, 100, 24);
    ASSERT_EQ(Run({in, "--rotate", "links:frei:12,5", "-o", Path("comma.png")}).code, 0);
    ASSERT_EQ(Run({in, "--rotate", "left:free:12.5:FFFFFF", "-o", Path("point.png")}).code, 0);
    EXPECT_TRUE(SamePixels(Path("comma.png"), Path("point.png"))) << "white when omitted";
    ASSERT_EQ(Run({in, "--rotate", "rechts:frei:45:ff8000", "-o", Path("red.png")}).code, 0);
    DibGuard red(Written("red.png"));
    ASSERT_EQ(DibWidth(red.dib), 142);
    EXPECT_EQ(getpixel(red.dib, 0, 0), RGB(255, 128, 0));
}

TEST_F(CliGeometry, BadGeometryArgumentsExitWithTwoAndSayWhy)
{
    const std::string in = Picture("in.bmp", 9, 4, 8);
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--crop", "1,2,3"}, "--crop: UNTEN fehlt (Aufruf: --crop LINKS,OBEN,RECHTS,UNTEN"},
        {{"--crop", "3,1,3,4"}, "--crop 3,1,3,4: das Rechteck ist leer"},
        {{"--crop", "5,1,2,3"}, "ist leer"},
        {{"--crop", "0,0,10,4"}, "liegt nicht ganz im Bild (9 × 4 Pixel)"},
        {{"--mirror", "x"}, "--mirror: ACHSE muss eins von h, v sein, nicht „x“"},
        {{"--rotate", "oben:90"}, "RICHTUNG muss eins von links, rechts sein, nicht „oben“"},
        {{"--rotate", "links:45"}, "WINKEL muss eins von 90, 180, 270, frei sein"},
        {{"--rotate", "links:frei:0"},
         "GRAD muss eine Zahl mit höchstens zwei Nachkommastellen "
         "von 0,01 bis 359,99 sein"},
        {{"--rotate", "links:frei:360"}, "nicht „360“"},
        {{"--rotate", "links:frei:1,234"}, "nicht „1,234“"},
        {{"--rotate", "links:frei:10:red"},
         "FARBE muss eine Farbe RRGGBB (hexadezimal) sein, "
         "nicht „red“ (Vorgabe FFFFFF)"},
        {{"--resize", "0x10"}, "BREITE muss eine ganze Zahl von 1 bis 32767 sein"},
        {{"--resize", "32768x"}, "nicht „32768“"},
        {{"--resize", "10x10:fast"}, "nicht „fast“"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{in};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"-o", Path("out.bmp")});
        const Outcome o = Run(args);
        EXPECT_EQ(o.code, 2) << c.args[1];
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(Listing(), std::vector<std::string>{"in.bmp"}) << "nothing written";
    }
}

// What a command prints, or "" when it cannot run.
std::string CommandOutput(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

TEST_F(Cli, SavingKeepsTheSourceJpegQualityUnlessToldOtherwise)
{
    DibGuard photo(MakeDib(40, 30, 24, [](int x, int y) { return RGB(x * 6, y * 8, 77); }));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("photo.jpg"), nullptr, 67));
    ASSERT_EQ(Run({Path("photo.jpg"), "-o", Path("kept.jpg")}).code, 0);
    ASSERT_EQ(Run({Path("photo.jpg"), "--quality", "91", "-o", Path("told.jpg")}).code, 0);
    EXPECT_EQ(ReadPictureMetadata(Path("kept.jpg")).jpegQuality, 67);
    EXPECT_EQ(ReadPictureMetadata(Path("told.jpg")).jpegQuality, 91);
}

TEST_F(Cli, PrintPdfWritesOneA4PageLaidOutAsTheDialogDoes)
{
    const std::string in = Picture("in.png", 160, 120, 24);
    const Outcome o =
        Run({in, "--print-layout", "50,26:verzerrt:oben", "--print-pdf", Path("page.pdf")});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.err, "") << "Qt's notes stay quiet";
    const std::string info = CommandOutput("pdfinfo '" + Path("page.pdf") + "' 2>/dev/null");
    if (info.empty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Kelvora Bild"), std::string::npos) << info;

    // 1240 x 912 of 2480 x 3508 dots at the top left: 297.6 x 218.9 at 72 dpi
    CommandOutput("pdftoppm -r 72 -singlefile '" + Path("page.pdf") + "' '" + Path("page") + "'");
    DibGuard page;
    OpenDib(&page.dib, Path("page.ppm").c_str(), 0, nullptr);
    ASSERT_EQ(DibWidth(page.dib), 595);
    EXPECT_NE(getpixel(page.dib, 5, 5), 0xFFFFFFu);
    EXPECT_NE(getpixel(page.dib, 292, 213), 0xFFFFFFu);
    EXPECT_EQ(getpixel(page.dib, 303, 100), 0xFFFFFFu);
    EXPECT_EQ(getpixel(page.dib, 100, 224), 0xFFFFFFu);
}

TEST_F(Cli, APrintedHeightFollowsTheWidthUnlessDistorted)
{
    const std::string in = Picture("in.png", 160, 120, 24);
    struct Case {
        const char* layout;
        bool downTo400; // of 842 points: 90 % of the page, not the 26 % the picture's shape asks
    };
    for (const Case& c : {Case{"50,90:oben", false}, Case{"50,90:verzerrt:oben", true}}) {
        ASSERT_EQ(Run({in, "--print-layout", c.layout, "--print-pdf", Path("page.pdf")}).code, 0);
        CommandOutput("pdftoppm -r 72 -singlefile '" + Path("page.pdf") + "' '" + Path("page") +
                      "' 2>/dev/null");
        DibGuard page;
        OpenDib(&page.dib, Path("page.ppm").c_str(), 0, nullptr);
        if (!page->Bits)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        EXPECT_NE(getpixel(page.dib, 100, 210), 0xFFFFFFu) << c.layout;
        EXPECT_EQ(getpixel(page.dib, 100, 400) != 0xFFFFFFu, c.downTo400) << c.layout;
        EXPECT_EQ(getpixel(page.dib, 303, 100), 0xFFFFFFu) << "half the width: " << c.layout;
    }
}

TEST_F(Cli, PrintingRefusesBadLayoutsAndUnknownPrinters)
{
    const std::string in = Picture("in.bmp", 4, 4, 24);
    for (const char* bad : {"", "halb", "50", "0,50", "50,101", "50,50:schief", "voll:"}) {
        const Outcome o = Run({in, "--print-layout", bad, "--print-pdf", Path("x.pdf")});
        EXPECT_EQ(o.code, 2) << bad;
        EXPECT_NE(o.err.find("--print-layout erwartet"), std::string::npos) << bad;
    }
    const Outcome unknown = Run({in, "--print", "KeinSolcherDrucker"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("Den Drucker „KeinSolcherDrucker“ gibt es nicht."),
              std::string::npos)
        << unknown.err;
    const Outcome nowhere = Run({in, "--print-pdf", Path("no/such/folder/x.pdf")});
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_NE(nowhere.err.find("Der Druckauftrag konnte nicht gestartet werden."),
              std::string::npos)
        << nowhere.err;
    EXPECT_EQ(Listing(), std::vector<std::string>{"in.bmp"});
}

TEST_F(Cli, WithoutItsDeviceModuleTheProgramStillConvertsAndSaysWhatIsMissing)
{
    const std::string in = Picture("in.bmp", 4, 4, 24);
    program = Path("kelvora-cli");
    fs::copy_file(KELVORA_CLI, program);
    EXPECT_EQ(Run({in, "-o", Path("out.png")}).code, 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{in, "--print-pdf", Path("x.pdf")},
          std::vector<std::string>{"--list-scanners"}}) {
        const Outcome o = Run(args);
        EXPECT_EQ(o.code, 1) << args[0];
        EXPECT_NE(o.err.find("Drucken und Scannen fehlen in dieser Installation"),
                  std::string::npos)
            << o.err;
    }
    EXPECT_FALSE(fs::exists(Path("x.pdf")));
}

TEST_F(Cli, ScanTakesThePlaceOfTheInput)
{
    UseSaneTestBackend();
    // 127 dpi: the test scanner's 10 mm grid squares are 50 pixels.
    const Outcome o = Run({"--scan", "test:0", "--scan-option", "mode=Color", "--scan-option",
                           "test-picture=Grid", "--scan-option", "resolution=127", "--info", "-o",
                           Path("scan.png")});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.out, "Breite: 400\nHöhe: 500\nBits pro Pixel: 24\n");
    DibGuard scan;
    OpenDib(&scan.dib, Path("scan.png").c_str(), 0, nullptr);
    ASSERT_TRUE(scan->Bits);
    EXPECT_EQ(getpixel(scan.dib, 49, 0), 0xFFFFFFu);
    EXPECT_EQ(getpixel(scan.dib, 50, 0), 0u);
    EXPECT_EQ(getpixel(scan.dib, 50, 60), 0xFFFFFFu);
}

TEST_F(Cli, FailedScanSaysWhyExitsWithOneAndWritesNothing)
{
    UseSaneTestBackend();
    // (Failures of the scanner itself are the library's tests. A fresh process
    // meets a race of the test backend there: a read that fails at once is
    // followed by a cancel that can catch the backend's new reader thread
    // inside malloc, and the process hangs.)
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--scan", "nirgends:0"}, "wurde nicht gefunden"},
        {{"--scan", "test:0", "--scan-option", "farbe=bunt"}, "keine Einstellung „farbe“"},
        {{"--scan", "test:0", "--scan-option", "resolution=0"}, "1 bis 1200"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> line = args;
        line.insert(line.end(), {"-o", Path("scan.png")});
        const Outcome o = Run(line);
        EXPECT_EQ(o.code, 1) << message;
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
        EXPECT_TRUE(Listing().empty());
    }
    EXPECT_EQ(Run({"--scan"}).code, 2);
    EXPECT_EQ(Run({"a.png", "--scan-option", "mode=Color", "-o", Path("b.png")}).code, 2);
}

TEST_F(Cli, ListScannersNamesEveryDevice)
{
    UseSaneTestBackend();
    const Outcome o = Run({"--list-scanners"});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.out, "test:0\tNoname frontend-tester (virtuelles Gerät)\n"
                     "test:1\tNoname frontend-tester (virtuelles Gerät)\n");
}

// Presses Ctrl+C once the program catches it (its handler shows in /proc).
void InterruptWhenCaught(pid_t pid)
{
    for (int tries = 0; tries < 20000; ++tries, usleep(1000)) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) & 2)) {
                kill(pid, SIGINT);
                return;
            }
    }
}

TEST_F(Cli, CtrlCStopsTheScanSaysSoAndWritesNothing)
{
    UseSaneTestBackend();
    // A slow scan: 300 dpi in colour, the scanner resting between reads.
    const Outcome o = Spawn({},
                            {"--scan", "test:0", "--scan-option", "mode=Color", "--scan-option",
                             "resolution=300", "--scan-option", "read-delay=yes", "--scan-option",
                             "read-delay-duration=100000", "-o", Path("scan.png")},
                            RLIM_INFINITY, InterruptWhenCaught);
    EXPECT_EQ(o.code, 1) << "an exit of its own, not the signal's";
    EXPECT_NE(o.err.find("mit Strg+C abgebrochen"), std::string::npos) << o.err;
    EXPECT_TRUE(Listing().empty());
}

} // namespace

namespace {

class CliBatch : public Cli {
protected:
    void SetUp() override
    {
        Cli::SetUp();
        fs::create_directory(Path("in"));
    }

    std::string Recipe(const std::string& lines)
    {
        std::ofstream(Path("r.rezept")) << "# Kelvora-Rezept 1\n# zum Testen\n" << lines;
        return Path("r.rezept");
    }

    // Every file in a folder by name, with its bytes.
    std::map<std::string, std::string> Contents(const std::string& folder) const
    {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(Path(folder)))
            files[e.path().filename().string()] = ReadText(e.path().string());
        return files;
    }

    // Pictures of several sizes and depths in in/.
    std::vector<std::string> Photos(int count)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(Picture("in/p" + std::to_string(i) + (i % 2 ? ".png" : ".bmp"),
                                    30 + 7 * i, 20 + 3 * i, i == 3 ? 8 : 24));
        return paths;
    }
};

TEST_F(CliBatch, ARecipeGivesTheBytesOfItsStepsAppliedOneByOne)
{
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"--crop", "3,2,37,28@40x30"},
        {"--rotate", "rechts:90"},
        {"--correct", "helligkeit:2:8"},
        {"--resize", "13x"},
        {"--mirror", "v"},
        {"--depth", "4:fs:optimized:win"}};
    std::string lines;
    std::vector<std::string> words = {Path("in/a.bmp")};
    for (const auto& [word, argument] : steps) {
        lines += word + " " + argument + "\n\n";
        words.insert(words.end(), {word, argument});
    }
    const std::string in = Picture("in/a.bmp", 40, 30, 24), recipe = Recipe(lines);
    words.insert(words.end(), {"-o", Path("words.bmp")});
    ASSERT_EQ(Run({"--recipe", recipe, in, "-o", Path("recipe.bmp")}).code, 0);
    ASSERT_EQ(Run(words).code, 0);
    std::string previous = in;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string next = Path("step" + std::to_string(i) + ".bmp");
        ASSERT_EQ(Run({previous, steps[i].first, steps[i].second, "-o", next}).code, 0) << i;
        previous = next;
    }
    ASSERT_EQ(Run({"--recipe", recipe, "--batch", "--out-dir", Path("out"), in}).code, 0);
    const std::string made = ReadText(Path("recipe.bmp"));
    EXPECT_EQ(made.substr(0, 2), "BM");
    EXPECT_EQ(made, ReadText(Path("words.bmp")));
    EXPECT_EQ(made, ReadText(previous));
    EXPECT_EQ(made, ReadText(Path("out/a.bmp")));
}

TEST_F(CliBatch, AutoWritesItsPicksAsARecipeThatGivesTheSameBytes)
{
    DibGuard dark(MakeDib(60, 40, 24, [](int x, int y) {
        return RGB(std::uint8_t(x), std::uint8_t(y), std::uint8_t((x + y) / 2));
    }));
    ASSERT_TRUE(WriteDibFile(dark.dib, Path("in/dark.bmp")));
    const Outcome o = Run({Path("in/dark.bmp"), "--auto", "-o", Path("auto.bmp")});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.err.rfind("# Kelvora-Rezept 1\n--correct ", 0), 0u) << o.err;
    std::ofstream(Path("picks.rezept")) << o.err;
    ASSERT_EQ(Run({"--recipe", Path("picks.rezept"), Path("in/dark.bmp"), "-o", Path("r.bmp")}).code,
              0);
    EXPECT_EQ(ReadText(Path("r.bmp")), ReadText(Path("auto.bmp")));
    EXPECT_NE(ReadText(Path("r.bmp")), ReadText(Path("in/dark.bmp")));
}

TEST_F(CliBatch, ARecipeOnAnotherSizeScalesItsCropAndKeepsItsResizeRules)
{
    const struct {
        int width, height;
        const char* line;
        std::vector<std::string> same; // the words it stands for on this picture
        int madeWidth, madeHeight;
    } cases[] = {
        {120, 80, "--crop 10,5,110,75@120x80", {"--crop", "10,5,110,75"}, 100, 70},
        {60, 40, "--crop 10,5,110,75@120x80", {"--crop", "5,2,55,38"}, 50, 36}, // 2,5 and 37,5
        {90, 60, "--crop 10,5,110,75@120x80", {"--crop", "8,4,82,56"}, 74, 52}, // 7,5 and 82,5
        {60, 40, "--resize 50x", {"--resize", "50x33"}, 50, 33},
        {90, 60, "--resize 40x30", {"--resize", "40x30"}, 40, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line + std::string(" on ") + std::to_string(c.width));
        const std::string in = Picture("in/a.bmp", c.width, c.height, 24);
        ASSERT_EQ(
            Run({"--recipe", Recipe(std::string(c.line) + "\n"), in, "-o", Path("r.bmp")}).code, 0);
        std::vector<std::string> words = {in};
        words.insert(words.end(), c.same.begin(), c.same.end());
        words.insert(words.end(), {"-o", Path("w.bmp")});
        ASSERT_EQ(Run(words).code, 0);
        EXPECT_EQ(ReadText(Path("r.bmp")), ReadText(Path("w.bmp")));
        DibGuard made;
        OpenDib(&made.dib, Path("r.bmp").c_str(), 0, nullptr);
        EXPECT_EQ(DibWidth(made.dib), c.madeWidth);
        EXPECT_EQ(DibHeight(made.dib), c.madeHeight);
    }
}

TEST_F(CliBatch, ABadRecipeIsRefusedBeforeAnythingIsWritten)
{
    const std::string in = Picture("in/a.bmp", 4, 4, 24), recipe = Recipe("--mirror h\n--flip\n");
    const std::pair<std::string, std::string> faults[] = {
        {recipe, "kelvora-cli: Rezept „" + recipe + "“, Zeile 4: „--flip“ ist kein Schritt"},
        {Path("fehlt"), "kelvora-cli: Das Rezept „" + Path("fehlt") + "“ wurde nicht gefunden."},
    };
    for (const auto& [file, said] : faults) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{in, "--recipe", file, "-o", Path("x.png")},
              std::vector<std::string>{"--batch", "--out-dir", Path("out"), "--recipe", file,
                                       in}}) {
            const Outcome o = Run(args);
            EXPECT_EQ(o.code, 2);
            EXPECT_EQ(o.err.rfind(said, 0), 0u) << o.err;
            EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "r.rezept"}));
        }
    }
}

TEST_F(CliBatch, ABrokenInputAmongGoodOnesFailsAloneAndIsNamed)
{
    Photos(3);
    std::ofstream(Path("in/kaputt.jpg")) << "kein Bild";
    Picture("in/klein.bmp", 8, 8, 24); // too small for the crop
    fs::copy_file(std::string(KELVORA_TEST_DATA) + "/gif/triangle-001.gif", Path("in/dreieck.gif"));
    const Outcome o = Run({"--batch", "--crop", "0,0,10,10", "--out-dir", Path("out"), Path("in")});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "4 bearbeitet, 0 übersprungen, 2 fehlgeschlagen\n");
    EXPECT_EQ(o.err, "kelvora-cli: " + Path("in/kaputt.jpg") + ": Die Datei „" +
                         Path("in/kaputt.jpg") +
                         "“ ist kein lesbares Bild (unbekanntes Format, beschädigt oder zu groß).\n"
                         "kelvora-cli: " +
                         Path("in/klein.bmp") +
                         ": --crop 0,0,10,10: das Rechteck liegt nicht ganz im Bild (8 × 8 "
                         "Pixel).\n");
    const std::map<std::string, std::string> made = Contents("out");
    EXPECT_EQ(made.size(), 4u);
    EXPECT_EQ(made.count("p1.png") + made.count("p2.bmp"), 2u);
    EXPECT_EQ(made.count("dreieck.png"), 1u) << "a format that is not written comes out as PNG";
}

TEST_F(CliBatch, SkipExistingLeavesWhatIsThereAndMakesTheRest)
{
    Photos(3);
    const std::vector<std::string> args = {"--batch",   "--mirror", "h",   "--out-dir",
                                           Path("out"), "--format", "jpg", Path("in")};
    ASSERT_EQ(Run(args).out, "3 bearbeitet, 0 übersprungen, 0 fehlgeschlagen\n");
    const std::map<std::string, std::string> first = Contents("out");
    EXPECT_EQ(first.at("p1.jpg").substr(0, 2), "\xFF\xD8");
    fs::remove(Path("out/p1.jpg"));
    std::ofstream(Path("out/p0.jpg")) << "von Hand";
    std::vector<std::string> resume = args;
    resume.insert(resume.end(), {"--skip-existing", "--progress-lines"});
    const Outcome o = Run(resume);
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "fertig 1/1\n1 bearbeitet, 2 übersprungen, 0 fehlgeschlagen\n")
        << "the progress counts the files that are made";
    EXPECT_EQ(ReadText(Path("out/p0.jpg")), "von Hand");
    EXPECT_EQ(ReadText(Path("out/p1.jpg")), first.at("p1.jpg"));
    EXPECT_EQ(Run(args).out, "3 bearbeitet, 0 übersprungen, 0 fehlgeschlagen\n");
    EXPECT_EQ(Contents("out"), first);
}

TEST_F(CliBatch, ThreeShardsOrGnuParallelGiveWhatOneRunGivesByteForByte)
{
    const std::vector<std::string> photos = Photos(7);
    const std::string recipe = Recipe("--crop 2,2,28,18@30x20\n--rotate links:90\n"
                                      "--correct kontrast:2\n--depth 8\n--resize 9x\n");
    const auto batch = [&](const std::string& out, std::vector<std::string> more) {
        std::vector<std::string> args = {"--recipe", recipe, "--batch", "--out-dir", Path(out)};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Outcome one = Run(batch("one", {"--jobs", "3", Path("in")}));
    ASSERT_EQ(one.out, "7 bearbeitet, 0 übersprungen, 0 fehlgeschlagen\n") << one.err;
    // 7 in three slices: 2, 2 and 3, whatever order the paths are given in
    for (const char* shard : {"3/3", "1/3", "2/3"}) {
        std::vector<std::string> more = {"--shard", shard};
        more.insert(more.end(), photos.rbegin(), photos.rend());
        const Outcome o = Run(batch("shards", more));
        EXPECT_EQ(o.out, std::string(shard == std::string("3/3") ? "3" : "2") +
                             " bearbeitet, 0 übersprungen, 0 fehlgeschlagen\n");
    }
    EXPECT_EQ(Contents("shards"), Contents("one"));

    if (CommandOutput("parallel --version 2>/dev/null").find("GNU parallel") == std::string::npos)
        GTEST_SKIP() << "GNU parallel is not installed (Debian's package parallel)";
    std::vector<std::string> more = {"--jobs", "1", "{}", ":::"};
    more.insert(more.end(), photos.begin(), photos.end());
    const Outcome o = Spawn({"parallel", "--will-cite", "--jobs", "2"}, batch("parallel", more));
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(Contents("parallel"), Contents("one"));
}

TEST_F(CliBatch, NothingRunsWhenAnOutputWouldOverwriteAnInputOrAWordDoesNotFit)
{
    const std::string in = Picture("in/a.png", 4, 4, 24);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--out-dir", Path("in"), in}, "würde die Eingabe „" + in + "“ überschreiben"},
        {{"--out-dir", Path("out"), in, "-o", Path("b.png")}, "-o passt nicht zu --batch"},
        {{"--out-dir", Path("out")}, "Keine Eingabe angegeben"},
    };
    for (const auto& [args, said] : cases) {
        std::vector<std::string> line = {"--batch"};
        line.insert(line.end(), args.begin(), args.end());
        const Outcome o = Run(line);
        EXPECT_EQ(o.code, 2) << said;
        EXPECT_NE(o.err.find(said), std::string::npos) << o.err;
        EXPECT_EQ(Listing(), std::vector<std::string>{"in"});
        EXPECT_EQ(Contents("in").size(), 1u);
    }
    std::ofstream(Path("datei")) << "schon da";
    const Outcome file = Run({"--batch", "--out-dir", Path("datei"), in});
    EXPECT_EQ(file.code, 1);
    EXPECT_NE(file.err.find("Unter diesem Namen gibt es bereits eine Datei."), std::string::npos)
        << file.err;
}


TEST_F(CliBatch, TheFoundPhotosLinesCutItOutOfTheScanAndABlankScanFails)
{
    DibGuard scan, blank;
    MakeScan({.width = 620, .height = 877, .photoWidth = 300, .photoHeight = 200, .degrees = -5},
             scan.dib);
    MakeScan({.width = 620, .height = 877, .photoWidth = 0, .photoHeight = 0}, blank.dib);
    ASSERT_TRUE(WriteDibFile(scan.dib, Path("scan.png")));
    ASSERT_TRUE(WriteDibFile(blank.dib, Path("blank.png")));

    const Outcome found = Run({Path("scan.png"), "--find-photo"});
    ASSERT_EQ(found.code, 0) << found.err;
    EXPECT_EQ(found.out.rfind("--rotate rechts:frei:", 0), 0u) << found.out;
    EXPECT_NE(found.out.find("\n--crop "), std::string::npos) << found.out;
    ASSERT_EQ(Run({"--recipe", Recipe(found.out), Path("scan.png"), "-o", Path("photo.bmp")}).code,
              0);
    DibGuard photo;
    OpenDib(&photo.dib, Path("photo.bmp").c_str(), 0, nullptr);
    EXPECT_NEAR(DibWidth(photo.dib), 300, 3);
    EXPECT_NEAR(DibHeight(photo.dib), 200, 2);

    const Outcome none = Run({Path("blank.png"), "--find-photo"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("kein Foto"), std::string::npos) << none.err;
}

} // namespace
