#include "TestSupport.h"

#include "imagora/MappedFile.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class MappedFileTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& content)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::string dir = MakeTempDir();
};

constexpr std::int64_t kNoLimit = std::int64_t(1) << 40;

TEST_F(MappedFileTest, HoldsTheFilesBytes)
{
    const MappedFile file(Write("a.bin", std::string("P6\0\xFFxyz", 7)).c_str(), kNoLimit);
    ASSERT_NE(file.Data(), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.Size()),
              std::string("P6\0\xFFxyz", 7));
    EXPECT_FALSE(file.Shrank());
}

TEST_F(MappedFileTest, OnlyRegularFilesWithinTheLimitAreMapped)
{
    const std::string small = Write("small.bin", "12345");
    const std::string empty = Write("empty.bin", "");
    for (const auto& [path, limit] :
         {std::pair{small, std::int64_t(4)}, std::pair{empty, kNoLimit},
          std::pair{dir + "/missing", kNoLimit}, std::pair{dir, kNoLimit},
          std::pair{std::string("/dev/zero"), kNoLimit}}) {
        const MappedFile file(path.c_str(), limit);
        EXPECT_EQ(file.Data(), nullptr) << path;
        EXPECT_EQ(file.Size(), 0u) << path;
    }
    EXPECT_NE(MappedFile(small.c_str(), 5).Data(), nullptr) << "the limit itself is allowed";
    EXPECT_EQ(MappedFile(nullptr, kNoLimit).Data(), nullptr);
}

// Someone truncates the file while it is being decoded: the lost pages read
// as zeros instead of ending the program with SIGBUS, and the file says so.
TEST_F(MappedFileTest, AFileCutShortWhileMappedReadsZerosAndSaysSo)
{
    const long page = sysconf(_SC_PAGESIZE);
    const std::string path = Write("cut.bin", std::string(std::size_t(4 * page), 'x'));
    const std::string other = Write("other.bin", "unchanged");
    const MappedFile kept(other.c_str(), kNoLimit);
    const MappedFile file(path.c_str(), kNoLimit);
    ASSERT_NE(file.Data(), nullptr);
    ASSERT_EQ(truncate(path.c_str(), page), 0);

    EXPECT_EQ(file.Data()[0], 'x');
    EXPECT_EQ(file.Data()[3 * page + 5], 0);
    EXPECT_EQ(file.Data()[page], 0);
    EXPECT_TRUE(file.Shrank());
    EXPECT_FALSE(kept.Shrank());
    EXPECT_EQ(kept.Data()[0], 'u');
}

// The guard covers only its own mappings: any other bus error still ends
// the program as it would without it.
TEST_F(MappedFileTest, OtherBusErrorsStillEndTheProgram)
{
    const MappedFile installsTheGuard(Write("any.bin", "a").c_str(), kNoLimit);
    const long page = sysconf(_SC_PAGESIZE);
    const std::string path = Write("raw.bin", std::string(std::size_t(2 * page), 'y'));
    EXPECT_DEATH(
        {
            const int fd = open(path.c_str(), O_RDONLY);
            auto* p = static_cast<volatile std::uint8_t*>(
                mmap(nullptr, std::size_t(2 * page), PROT_READ, MAP_PRIVATE, fd, 0));
            (void)!truncate(path.c_str(), 0);
            (void)p[page];
        },
        "");
}

} // namespace
