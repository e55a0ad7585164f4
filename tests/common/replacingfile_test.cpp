// An output that replaces its name only when complete.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "files.h"
#include "replacingfile.h"

namespace {

using namespace testing_support;

bool Put(const tools::ReplacingFile& file, const std::string& text) {
    return ::write(file.Descriptor(), text.data(), text.size()) ==
           static_cast<ssize_t>(text.size());
}

TEST(ReplacingFile, TheNameChangesOnlyOnCommit) {
    TempDir dir;
    WriteFile(dir / "out.txt", "old");
    ASSERT_EQ(::chmod((dir / "out.txt").c_str(), 0604), 0);
    const mode_t mask = ::umask(027);
    {
        tools::ReplacingFile file;
        ASSERT_TRUE(file.Open(dir / "out.txt"));
        ASSERT_TRUE(Put(file, "new"));
        EXPECT_EQ(ReadFile(dir / "out.txt"), "old");
        EXPECT_EQ(FileNames(dir.path()).size(), 2u);  // the name and the temporary file
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(ReadFile(dir / "out.txt"), "new");
    // The file replaced keeps its mode; a new one has 0664 less the umask.
    EXPECT_EQ(FileMode(dir / "out.txt"), 0604u);
    {
        tools::ReplacingFile file;
        ASSERT_TRUE(file.Open(dir / "new.txt"));
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(FileMode(dir / "new.txt"), 0640u);
    ASSERT_EQ(::unlink((dir / "new.txt").c_str()), 0);
    {
        tools::ReplacingFile file;
        ASSERT_TRUE(file.Open(dir / "out.txt"));
        ASSERT_TRUE(Put(file, "lost"));
        // Dropped without Commit, as on any failure.
    }
    ::umask(mask);
    EXPECT_EQ(ReadFile(dir / "out.txt"), "new");
    EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"out.txt"});
}

TEST(ReplacingFile, ALinkKeepsPointingAtItsFile) {
    TempDir dir;
    WriteFile(dir / "real.txt", "old");
    ASSERT_EQ(::symlink("real.txt", (dir / "link.txt").c_str()), 0);
    tools::ReplacingFile file;
    ASSERT_TRUE(file.Open(dir / "link.txt"));
    ASSERT_TRUE(Put(file, "new"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(dir / "real.txt"), "new");
    struct stat info;
    ASSERT_EQ(::lstat((dir / "link.txt").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(ReplacingFile, DevicesAreWrittenDirectlyAndRefusalsLeaveNoTrace) {
    TempDir dir;
    {
        tools::ReplacingFile file;
        ASSERT_TRUE(file.Open("/dev/full"));
        EXPECT_FALSE(Put(file, "x"));  // the device itself says no
        file.Abandon();
    }
    WriteFile(dir / "in.txt", "input");
    const int input = ::open((dir / "in.txt").c_str(), O_RDONLY);
    const struct {
        std::string name;
        int error;
    } refused[] = {
        {dir / "in.txt", tools::ReplacingFile::kIsTheInput},
        {dir.path(), EISDIR},
        {dir / "missing/out.txt", ENOENT},
    };
    for (const auto& r : refused) {
        tools::ReplacingFile file;
        EXPECT_FALSE(file.Open(r.name, input)) << r.name;
        EXPECT_EQ(file.Error(), r.error) << r.name;
    }
    ::close(input);
    EXPECT_EQ(ReadFile(dir / "in.txt"), "input");
    EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"in.txt"});
}

}  // namespace
