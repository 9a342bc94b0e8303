#include "TestSupport.h"

#include "imagora/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes of every size, seeks back to patch and reads back, as libtiff
// does, checked against a plain string holding what the file should hold.
TEST(OutputFile, WritesSeeksAndReadsLikeAFile)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/out.bin";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    std::string model;
    {
        OutputFile out(fd, true);
        std::mt19937 random(13);
        for (int step = 0; step < 300; ++step) {
            const std::size_t size = step % 25 == 7 ? (3u << 20) + step : random() % 5000;
            const std::uint64_t at = step % 5 == 0 ? random() % (model.size() + 1) : model.size();
            ASSERT_TRUE(out.Seek(at));
            const std::string bytes(size, char('a' + step % 26));
            if (step % 2) {
                ASSERT_TRUE(out.Write(bytes.data(), size));
            } else {
                std::uint8_t* room = out.Append(size);
                ASSERT_NE(room, nullptr);
                std::memcpy(room, bytes.data(), size);
            }
            model.resize(std::max<std::size_t>(model.size(), at + size));
            model.replace(at, size, bytes);
            EXPECT_EQ(out.Position(), at + size);
            EXPECT_EQ(out.Size(), model.size());
            if (step % 17 == 0 && !model.empty()) {
                const std::uint64_t from = random() % model.size();
                std::string back(100, '\0');
                const std::size_t n = out.ReadAt(from, back.data(), back.size());
                EXPECT_EQ(back.substr(0, n), model.substr(from, 100)) << "step " << step;
            }
        }
        EXPECT_TRUE(out.Flush());
        EXPECT_EQ(out.Error(), 0);
    }
    close(fd);
    EXPECT_TRUE(ReadAll(path) == model) << "file and model differ";
    fs::remove_all(dir);
}

TEST(OutputFile, AFileThatCannotSeekIsWrittenInOrder)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    OutputFile out(pipeEnds[1], false);
    EXPECT_TRUE(out.Write("abc", 3));
    EXPECT_TRUE(out.Seek(3)) << "seeking to where it is costs nothing";
    EXPECT_TRUE(out.Write("de", 2));
    EXPECT_TRUE(out.Flush());
    char got[8] = {};
    EXPECT_EQ(read(pipeEnds[0], got, sizeof got), 5);
    EXPECT_STREQ(got, "abcde");
    EXPECT_FALSE(out.Seek(0));
    EXPECT_EQ(out.Error(), ESPIPE);
    EXPECT_FALSE(out.Write("x", 1)) << "the first error sticks";
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

TEST(OutputFile, TheSystemsErrorSticks)
{
    const int fd = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    OutputFile out(fd, false);
    EXPECT_TRUE(out.Write("buffered", 8)) << "small writes wait in the buffer";
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.Error(), ENOSPC);
    EXPECT_FALSE(out.Write("more", 4));
    EXPECT_EQ(out.Append(4), nullptr);
    const std::string big(2u << 20, 'b');
    EXPECT_FALSE(out.Write(big.data(), big.size()));
    EXPECT_EQ(out.Error(), ENOSPC);
    close(fd);
}

} // namespace
