#include "TestSupport.h"

#include "io/PrefFolders.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Entries = std::vector<std::string>;

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PrefFolders, MostRecentFirstWithoutDuplicates)
{
    Entries e;
    PutPrefFolderFirst(e, "/a/");
    PutPrefFolderFirst(e, "/a/");
    EXPECT_EQ(e, (Entries{"/a/"})) << "the same folder twice stays once";
    PutPrefFolderFirst(e, "/b/");
    PutPrefFolderFirst(e, "/c/");
    PutPrefFolderFirst(e, "/a/");
    EXPECT_EQ(e, (Entries{"/a/", "/c/", "/b/"})) << "a lower entry moves up, others keep order";
    PutPrefFolderFirst(e, "/A/");
    EXPECT_EQ(e.front(), "/A/") << "comparison is case-sensitive";
    EXPECT_EQ(e.size(), 4u);
}

TEST(PrefFolders, ADuplicateInTheFileLosesOnlyTheLaterCopy)
{
    Entries e{"/x/", "/dup/", "/y/", "/dup/", "/z/"};
    PutPrefFolderFirst(e, "/dup/");
    EXPECT_EQ(e, (Entries{"/dup/", "/x/", "/dup/", "/y/", "/z/"}));
}

TEST(PrefFolders, FileIsCrLfLinesReadBackAsWritten)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/folders.dat";
    const Entries e{"/home/fotos/", "", "/mnt/kamera/\xE4/"};
    ASSERT_TRUE(WritePrefFolders(path, e));
    EXPECT_EQ(Slurp(path), "/home/fotos/\r\n\r\n/mnt/kamera/\xE4/\r\n");
    EXPECT_EQ(ReadPrefFolders(path), e) << "empty lines are entries, bytes kept as they are";
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename(), "folders.dat") << "temporary file left behind";

    std::ofstream(path, std::ios::binary) << "/unix/\n/no/final/newline";
    EXPECT_EQ(ReadPrefFolders(path), (Entries{"/unix/", "/no/final/newline"}));
    std::filesystem::remove_all(dir);
}

TEST(PrefFolders, MissingOrUnwritableFiles)
{
    EXPECT_TRUE(ReadPrefFolders("/nonexistent/folder/folders.dat").empty());
    EXPECT_FALSE(WritePrefFolders("/nonexistent/folder/folders.dat", {"/a/"}));
    const std::string dir = MakeTempDir();
    std::filesystem::create_directory(dir + "/folders.dat"); // a folder in the way
    EXPECT_FALSE(WritePrefFolders(dir + "/folders.dat", {"/a/"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/folders.dat"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary left behind";
    std::filesystem::remove_all(dir);
}

TEST(PrefFolders, NamesWithLineBreaksAreNotWritten)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/folders.dat";
    ASSERT_TRUE(WritePrefFolders(path, {"/a/", "/two\nlines/", "/cr\rhere/", "/b/"}));
    EXPECT_EQ(Slurp(path), "/a/\r\n/b/\r\n");
    std::filesystem::remove_all(dir);
}

TEST(PrefFolders, AListThatIsALinkIsWrittenWhereItPoints)
{
    namespace fs = std::filesystem;
    const std::string dir = MakeTempDir();
    fs::create_directory(dir + "/shared");
    std::ofstream(dir + "/shared/real.dat") << "old\r\n";
    fs::create_symlink("shared/real.dat", dir + "/middle.dat"); // relative, and a chain
    fs::create_symlink(dir + "/middle.dat", dir + "/folders.dat");
    ASSERT_TRUE(WritePrefFolders(dir + "/folders.dat", {"/new/"}));
    EXPECT_TRUE(fs::is_symlink(dir + "/folders.dat"));
    EXPECT_TRUE(fs::is_symlink(dir + "/middle.dat"));
    EXPECT_EQ(Slurp(dir + "/shared/real.dat"), "/new/\r\n");
    EXPECT_EQ(ReadPrefFolders(dir + "/folders.dat"), (Entries{"/new/"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/shared"), fs::directory_iterator()), 1)
        << "no temporary left behind";

    fs::create_symlink(dir + "/nowhere.dat", dir + "/dangling.dat"); // a link to no file yet
    ASSERT_TRUE(WritePrefFolders(dir + "/dangling.dat", {"/x/"}));
    EXPECT_TRUE(fs::is_symlink(dir + "/dangling.dat"));
    EXPECT_EQ(Slurp(dir + "/nowhere.dat"), "/x/\r\n");
    fs::remove_all(dir);
}

TEST(PrefFolders, AListBesideTheProgramIsTakenOverUntilTheUserHasOne)
{
    namespace fs = std::filesystem;
    const std::string dir = MakeTempDir();
    const std::string old = dir + "/program/folders.dat", own = dir + "/data/folders.dat";
    const struct {
        const char* name;
        const char* oldList; // nullptr: none
        const char* ownList;
        const char* dataFolder; // where own lies, "" when it cannot be made
        bool readOld;           // the list to read is old, else own
        const char* ownAfter;   // nullptr: still none
    } cases[] = {
        {"taken over", "/a/\r\n/b/\r\n", nullptr, "data", false, "/a/\r\n/b/\r\n"},
        {"the user's own wins", "/a/\r\n", "/mine/\r\n", "data", false, "/mine/\r\n"},
        {"no data folder: read where it lies", "/a/\r\n", nullptr, "", true, nullptr},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir + "/program");
        fs::remove_all(dir + "/data");
        fs::create_directories(dir + "/program");
        if (*c.dataFolder)
            fs::create_directories(dir + "/" + c.dataFolder);
        if (c.oldList)
            std::ofstream(old, std::ios::binary) << c.oldList;
        if (c.ownList)
            std::ofstream(own, std::ios::binary) << c.ownList;
        EXPECT_EQ(TakeOverPrefFolders(old, own), c.readOld ? old : own) << c.name;
        EXPECT_EQ(fs::exists(own), c.ownAfter != nullptr) << c.name;
        EXPECT_EQ(Slurp(own), c.ownAfter ? c.ownAfter : "") << c.name;
        EXPECT_EQ(Slurp(old), c.oldList ? c.oldList : "") << c.name << ": the old list stays";
    }
    fs::remove_all(dir);
}

TEST(PrefFolders, StartFolderFollowsTheStartFileTheFavouritesPicturesAndHome)
{
    const std::string dir = MakeTempDir();
    std::filesystem::create_directories(dir + "/photos");
    std::filesystem::create_directories(dir + "/Pictures");
    const std::string photos = dir + "/photos", pictures = dir + "/Pictures", home = dir;
    const std::string gone = dir + "/gone/";
    const struct {
        const char* name;
        std::string startFile;
        Entries favourites;
        std::string pictures;
        std::string expected;
    } cases[] = {
        {"the start file's folder", photos + "/a.jpg", {pictures}, pictures, photos},
        {"even when the file itself is missing", photos + "/missing.jpg", {}, pictures, photos},
        {"no start file: the first favourite that exists",
         "",
         {"", gone, pictures + "/"},
         photos,
         pictures + "/"},
        {"a start file in a vanished folder", gone + "a.jpg", {photos + "/"}, "", photos + "/"},
        {"no favourite left: the pictures folder", "", {gone}, pictures, pictures},
        {"and without one: home", "", {}, dir + "/NoPictures", home},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartFolder(c.startFile, c.favourites, c.pictures, home), c.expected) << c.name;
    std::filesystem::remove_all(dir);
}

} // namespace
