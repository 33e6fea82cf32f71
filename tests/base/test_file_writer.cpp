// The file writer against files it must not replace, links it must write through, and a writer
// killed halfway; MemAvailable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "base/AtomicFileWriter.h"
#include "base/Status.h"
#include "base/SystemMemory.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

class FileWriter : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        target = path("picture.bmp");
    }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.insert(e.path().filename());
        return out;
    }
    static Status write(const std::string& path, const std::string& text) {
        AtomicFileWriter w(path);
        if (Status opened = w.open(); !opened) return opened;
        std::fputs(text.c_str(), w.file());
        return w.commit();
    }

    std::string target;
};

}  // namespace

TEST_F(FileWriter, ReadOnlyFileIsRefusedAndKept) {
    { std::ofstream(target) << "old"; }
    chmod(target.c_str(), 0444);
    const Status status = write(target, "new");
    EXPECT_EQ(status.code(), StatusCode::PermissionDenied);
    EXPECT_NE(status.message().find("no permission to write"), std::string::npos);
    EXPECT_EQ(testsupport::readText(target), "old");
    EXPECT_EQ(names(), std::set<std::string>{"picture.bmp"});
}

// Another user's file in a folder everybody may write: renaming over it would take it away from
// its owner, so a user who may not write the file is refused.
TEST_F(FileWriter, AnotherUsersFileInAWritableFolderIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "making a file of another user needs the superuser";
    { std::ofstream(target) << "root's"; }
    chmod(target.c_str(), 0644);
    chmod(dir_.c_str(), 0777);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
        const Status status = write(target, "nobody's");
        _exit(status.code() == StatusCode::PermissionDenied ? 0 : 1);
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    ASSERT_TRUE(WIFEXITED(wstatus));
    EXPECT_EQ(WEXITSTATUS(wstatus), 0);
    EXPECT_EQ(testsupport::readText(target), "root's");
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
}

TEST_F(FileWriter, LinksAreWrittenThroughKeepingLinkOwnerAndMode) {
    fs::create_directories(dir_ / "real");
    const std::string real = (dir_ / "real" / "photo.bmp").string();
    { std::ofstream(real) << "old"; }
    chmod(real.c_str(), 0640);
    const bool superuser = geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(chown(real.c_str(), kNobody, kNobody), 0);
    }
    // A relative link to a relative link.
    fs::create_symlink("real/photo.bmp", dir_ / "middle.bmp");
    fs::create_symlink("middle.bmp", target);

    ASSERT_TRUE(write(target, "new"));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_TRUE(fs::is_symlink(dir_ / "middle.bmp"));
    EXPECT_EQ(testsupport::readText(real), "new");
    struct stat st;
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (superuser) {
        EXPECT_EQ(st.st_uid, kNobody);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);

    // A link to a file that is not there yet makes that file.
    fs::create_symlink("real/fresh.bmp", dir_ / "dangling.bmp");
    ASSERT_TRUE(write((dir_ / "dangling.bmp").string(), "fresh"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.bmp"));
    EXPECT_EQ(testsupport::readText((dir_ / "real" / "fresh.bmp").string()), "fresh");
}

TEST_F(FileWriter, DevicesFifosAndFoldersAreRefused) {
    fs::create_symlink("/dev/null", target);
    Status status = write(target, "x");
    EXPECT_EQ(status.code(), StatusCode::NotRegularFile);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(target));

    const std::string fifo = (dir_ / "pipe.bmp").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(write(fifo, "x").code(), StatusCode::NotRegularFile);
    EXPECT_TRUE(fs::is_fifo(fifo));

    fs::create_directories(dir_ / "folder.bmp");
    EXPECT_EQ(write((dir_ / "folder.bmp").string(), "x").code(), StatusCode::NotRegularFile);
    EXPECT_EQ(write((dir_ / "none" / "x.bmp").string(), "x").code(), StatusCode::FolderMissing);
}

TEST_F(FileWriter, NothingAppearsInTheFolderBeforeCommit) {
    { std::ofstream(target) << "old"; }
    AtomicFileWriter w(target);
    ASSERT_TRUE(w.open());
    std::fputs("new", w.file());
    std::fflush(w.file());
    if (w.anonymous()) {
        EXPECT_EQ(names(), std::set<std::string>{"picture.bmp"});
    }
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(names(), std::set<std::string>{"picture.bmp"});
    EXPECT_EQ(testsupport::readText(target), "new");
    // A new file gets its name only when complete, too.
    ASSERT_TRUE(write((dir_ / "second.bmp").string(), "2"));
    EXPECT_EQ(names(), (std::set<std::string>{"picture.bmp", "second.bmp"}));
}

// A writer killed halfway (SIGKILL: no destructor runs) leaves the old file and nothing else.
TEST_F(FileWriter, AKilledWriterLeavesOnlyTheOldFile) {
    { std::ofstream(target) << "old"; }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFileWriter w(target);
        if (!w.open()) _exit(1);
        const std::vector<char> block(1 << 20, 'x');
        std::fwrite(block.data(), 1, block.size(), w.file());
        std::fflush(w.file());
        const char byte = w.anonymous() ? 'a' : 'n';
        if (::write(ready[1], &byte, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    ASSERT_TRUE(WIFSIGNALED(wstatus));
    EXPECT_EQ(testsupport::readText(target), "old");
    // Where the file system has no anonymous files, the named temporary file stays behind.
    if (byte == 'a') {
        EXPECT_EQ(names(), std::set<std::string>{"picture.bmp"});
    }
}

TEST(SystemMemory, MemAvailableIsReadFromItsOwnLine) {
    EXPECT_EQ(ParseMemAvailable("MemTotal:  1000 kB\nMemFree: 10 kB\nMemAvailable:    2048 kB\n"),
              2048u * 1024);
    EXPECT_EQ(ParseMemAvailable("XMemAvailable: 5 kB\nMemAvailable: 7 kB\n"), 7u * 1024);
    EXPECT_EQ(ParseMemAvailable("MemTotal: 1 kB\n"), 0u);
    EXPECT_EQ(ParseMemAvailable("MemAvailable: kB\n"), 0u);
    EXPECT_GT(AvailableMemoryBytes(), 0u);
}
