// A file replaced on a disk that fails: a write cut short by a file-size limit,
// a flush that fails (a pulled stick, a lost network share), a folder that
// cannot be synced. The old file stays whole unless the new one is complete,
// no temporary is left, and the reason is said.
#include "ui_files/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Which flushes the disk fails, with EIO.
enum class FailingFlush { None, Files, Folders };
FailingFlush failing_flush = FailingFlush::None;

}  // namespace

// Stands in for the C library's fsync in this test program: the disk's answer.
extern "C" int fsync(int fd)
{
    struct stat st {};
    if (failing_flush != FailingFlush::None && ::fstat(fd, &st) == 0 &&
        (failing_flush == FailingFlush::Files ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode))) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

class FileReplace : public ::testing::Test {
protected:
    void TearDown() override
    {
        failing_flush = FailingFlush::None;
        fs::remove_all(folder);
    }

    std::string text_of(const fs::path& file) const
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The names in the folder.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(folder))
            found.push_back(e.path().filename().string());
        return found;
    }

    fs::path folder = [] {
        const fs::path f = fs::temp_directory_path() / ("zr-replace-" + std::to_string(getpid()));
        fs::create_directories(f);
        return f;
    }();
    fs::path file = folder / "panel.sts";
    const std::string old_text = "# the operator's last state\n";
};

}  // namespace

TEST_F(FileReplace, AFlushThatFailsKeepsTheOldFileAndSaysWhy)
{
    std::ofstream(file) << old_text;
    failing_flush = FailingFlush::Files;
    std::string why;
    EXPECT_FALSE(replace_file(file.string(), "# a new state\n", &why));
    EXPECT_EQ(why, "it cannot be written: Input/output error");
    EXPECT_EQ(text_of(file), old_text);
    EXPECT_EQ(names(), std::vector<std::string>{"panel.sts"}) << "no temporary is left beside it";

    failing_flush = FailingFlush::None;
    EXPECT_TRUE(replace_file(file.string(), "# a new state\n", &why)) << why;
    EXPECT_EQ(text_of(file), "# a new state\n") << "the same save on a sound disk";
}

TEST_F(FileReplace, AWriteCutShortByAFileSizeLimitKeepsTheOldFileAndSaysWhy)
{
    std::ofstream(file) << old_text;
    const std::string longer(4096, '#');
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string why;
    const bool replaced = replace_file(file.string(), longer, &why);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(why, "it cannot be written: File too large");
    EXPECT_EQ(text_of(file), old_text);
    EXPECT_EQ(names(), std::vector<std::string>{"panel.sts"});
}

TEST_F(FileReplace, AFolderThatCannotBeSyncedIsSaidThoughTheFileWasWritten)
{
    std::ofstream(file) << old_text;
    failing_flush = FailingFlush::Folders;
    std::string why;
    EXPECT_FALSE(replace_file(file.string(), "# a new state\n", &why));
    EXPECT_EQ(why, "the file was written, but its folder cannot be synced to disk: Input/output error");
    EXPECT_EQ(text_of(file), "# a new state\n") << "the rename was made; only its place on disk is in doubt";
    EXPECT_EQ(names(), std::vector<std::string>{"panel.sts"});
}
