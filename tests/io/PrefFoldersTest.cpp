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

} // namespace
