// Recovery of documents from the journal folder of a program that died: a child process edited
// through many steps and killed at random points comes back as its last recorded state, byte
// for byte through VLR; damaged manifests and missing files are refused with a message; a
// running program's folder is never offered or touched.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "document/journal/JournalFolder.h"
#include "document/journal/Recovery.h"
#include "document/vlr/VlrWriter.h"
#include "tests/document/test_journal_support.h"

using namespace journal_test;

namespace {

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::vector<char> vlrBytes(CBrevDoc& doc, const std::string& path) {
    EXPECT_TRUE(VlrWriter(doc).Save(path));
    return bytesOf(path);
}

// One operation of a fixed script, chosen from the document's state and the generator: every
// operation counts one in the journal's serial (a recorded step, an undo or a redo).
void scriptStep(JournalDoc& d, std::mt19937& rng) {
    const std::vector<int> order = d.t().Order();
    const int slot = order[rng() % order.size()];
    switch (rng() % 8) {
        case 0:
        case 1:
            if (order.size() < 6) {
                d.add(40 + int(rng() % 60), 30 + int(rng() % 50), int(rng() % 20) - 10,
                      int(rng() % 20) - 10, int(rng() % 200));
                return;
            }
            [[fallthrough]];
        case 2:
            d.paint(slot, int(rng() % 250));
            return;
        case 3:
            d.move(slot, int(rng() % 9) - 4, int(rng() % 9) - 4);
            return;
        case 4:
            if (order.size() > 1 && slot != d.t().bottom) {
                d.remove(slot);
                return;
            }
            d.paint(slot, 3);
            return;
        case 5:
            if (order.size() > 1) {
                d.restack(slot, slot == order.front() ? order.back() : -1);
                return;
            }
            d.move(slot, 1, 1);
            return;
        case 6:
            if (d.doc.Undo()) return;
            d.paint(slot, 5);
            return;
        default:
            if (d.doc.Redo()) return;
            d.move(slot, -1, 2);
            return;
    }
}

constexpr int kScriptSteps = 400;

void startScript(JournalDoc& d) {
    d.doc.SetFileName(u"/home/user/그림/풍경.jpg");
    d.open(7);
}

// The child: the script with every file written by the journal's writer thread, then waiting to
// be killed. Never returns.
[[noreturn]] void runChild(const std::string& tmpRoot, unsigned seed) {
    std::string error;
    std::unique_ptr<JournalFolder> folder = JournalFolder::Create(tmpRoot, error);
    if (!folder) _exit(3);
    JournalDoc d(1, 160, 120);
    d.doc.Journal().SetFolder(folder->Path());
    d.doc.Journal().Writer().SetBackgroundFrom(0);
    startScript(d);
    std::mt19937 rng(seed);
    for (int i = 0; i < kScriptSteps; ++i) scriptStep(d, rng);
    for (;;) pause();
}

}  // namespace

TEST(Recovery, AKilledEditorComesBackAsItsLastRecordedStateByteForByte) {
    testsupport::TempDir dir("quillet_recovery");
    const std::string tmpRoot = dir.path().string();
    std::mt19937 timing(2024);
    int recovered = 0;
    for (int round = 0; round < 8; ++round) {
        const unsigned seed = 100 + unsigned(round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) runChild(tmpRoot, seed);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + timing() % 150));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;

        std::vector<std::unique_ptr<RecoveryFolder>> folders =
            RecoveryFolder::ClaimAbandoned(tmpRoot);
        ASSERT_LE(folders.size(), 1u);
        if (folders.empty()) continue;  // killed before its first manifest
        RecoveryFolder& folder = *folders.front();
        EXPECT_TRUE(folder.Problems().empty()) << folder.Problems().front();
        ASSERT_EQ(folder.Documents().size(), 1u);
        const RecoveryManifest& m = folder.Documents().front().manifest;

        RecordingUserPort user;
        CBrevDoc back(user, 5);
        const Status rebuilt = RebuildRecovered(back, folder.Path(), m);
        ASSERT_TRUE(rebuilt) << "round " << round << ": " << rebuilt.message();

        // The same script in this process, up to the step the manifest was written at.
        JournalDoc replay(1, 160, 120);
        startScript(replay);
        std::mt19937 rng(seed);
        while (replay.j().Serial() < m.serial) scriptStep(replay, rng);
        ASSERT_EQ(replay.j().Serial(), m.serial);
        EXPECT_EQ(back.CurrentLayer(), replay.doc.CurrentLayer());
        EXPECT_TRUE(sameTable(capture(replay.t()), back.Layers())) << "round " << round;
        const std::vector<char> got = vlrBytes(back, dir.file("back.vlr"));
        const std::vector<char> want = vlrBytes(replay.doc, dir.file("want.vlr"));
        const auto differ = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
        EXPECT_TRUE(differ.first == got.end() && differ.second == want.end())
            << "round " << round << ", serial " << m.serial << ": the VLR files differ from byte "
            << (differ.first - got.begin()) << " of " << want.size();
        ++recovered;
        folder.Remove();
        std::error_code ec;
        std::string left;
        for (const auto& e : std::filesystem::directory_iterator(folder.Path(), ec))
            left += e.path().filename().string() + " ";
        EXPECT_FALSE(std::filesystem::exists(folder.Path(), ec)) << left;
    }
    EXPECT_GE(recovered, 4);
}

namespace {

// A folder as a program that died leaves it: an instance name, an unlocked lock file, the
// journal's files and a manifest. The document stays alive so its files stay.
struct DeadFolder {
    testsupport::TempDir root{"quillet_dead"};
    std::string path = root.file("4242-77") + "/";
    JournalDoc d;

    DeadFolder() {
        std::filesystem::create_directories(path);
        std::ofstream(path + JournalFolder::kLockName).put('\0');
        d.doc.Journal().SetFolder(path);
        startScript(d);
        const int b = d.add(20, 10, 2, 3, 9);
        d.paint(b, 11);
        d.move(b, 1, 1);
        EXPECT_TRUE(d.j().FinishWrites());
    }
    std::string manifest() const { return path + RecoveryManifest::FileName(1); }
};

}  // namespace

TEST(Recovery, DamagedOrHalfWrittenManifestsAreSkippedWithAMessage) {
    DeadFolder f;
    const std::vector<char> whole = bytesOf(f.manifest());
    ASSERT_GT(whole.size(), 24u);
    // Every cut, and a flipped bit anywhere, is refused; the whole file is accepted.
    RecoveryManifest m;
    std::string error;
    for (size_t n = 0; n < whole.size(); ++n) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
        ASSERT_FALSE(RecoveryManifest::Parse(cut, m, error)) << n;
    }
    std::vector<uint8_t> bytes(whole.begin(), whole.end());
    for (size_t i = 0; i < bytes.size(); i += 7) {
        bytes[i] ^= 0x10;
        ASSERT_FALSE(RecoveryManifest::Parse(bytes, m, error)) << i;
        bytes[i] ^= 0x10;
    }
    ASSERT_TRUE(RecoveryManifest::Parse(bytes, m, error)) << error;

    writeBytes(f.manifest(), std::vector<char>(whole.begin(), whole.begin() + 40));
    writeBytes(f.path + RecoveryManifest::FileName(2), {'x', 'y'});
    auto folders = RecoveryFolder::ClaimAbandoned(f.root.path().string());
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(folders.front()->Documents().empty());
    ASSERT_EQ(folders.front()->Problems().size(), 2u);
    EXPECT_NE(folders.front()->Problems().front().find("Manifest_1"), std::string::npos);
}

TEST(Recovery, MissingOrShortLayerFilesFailTheDocumentNamingTheFile) {
    DeadFolder f;
    std::string error;
    auto folder = RecoveryFolder::Claim(f.path, error);
    ASSERT_TRUE(folder) << error;
    ASSERT_EQ(folder->Documents().size(), 1u);
    const RecoveryManifest& m = folder->Documents().front().manifest;
    RecordingUserPort user;
    {
        CBrevDoc back(user, 2);
        ASSERT_TRUE(RebuildRecovered(back, f.path, m));
        EXPECT_EQ(m.serial, f.d.j().Serial());
        EXPECT_EQ(back.Layers().layer(1).x, f.d.t().layer(1).x);
        EXPECT_EQ(back.Layers().layer(1).width, f.d.t().layer(1).width);
        EXPECT_TRUE(sameTable(capture(f.d.t()), back.Layers()));
    }
    // The top layer's file shortened by a byte, then gone.
    const std::string name = f.path + m.layers.back().file.name;
    std::filesystem::resize_file(name, std::filesystem::file_size(name) - 1);
    CBrevDoc shortFile(user, 2);
    Status s = RebuildRecovered(shortFile, f.path, m);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message().find(m.layers.back().file.name), std::string::npos) << s.message();
    EXPECT_EQ(shortFile.Layers().Count(), 0);
    std::filesystem::remove(name);
    CBrevDoc missing(user, 2);
    EXPECT_FALSE(RebuildRecovered(missing, f.path, m));
}

TEST(Recovery, ALiveProgramsFolderIsNeverOfferedNorTouched) {
    testsupport::TempDir root("quillet_live");
    std::string error;
    std::unique_ptr<JournalFolder> live = JournalFolder::Create(root.path().string(), error);
    ASSERT_TRUE(live) << error;
    JournalDoc d;
    d.doc.Journal().SetFolder(live->Path());
    startScript(d);
    d.add(10, 10, 0, 0, 3);
    ASSERT_TRUE(d.j().FinishWrites());
    const std::string manifest = live->Path() + RecoveryManifest::FileName(1);
    const std::vector<char> before = bytesOf(manifest);
    ASSERT_FALSE(before.empty());

    EXPECT_TRUE(RecoveryFolder::ClaimAbandoned(root.path().string()).empty());
    EXPECT_FALSE(RecoveryFolder::Claim(live->Path(), error));
    EXPECT_NE(error.find("in use"), std::string::npos);
    EXPECT_EQ(JournalFolder::RemoveAbandoned(root.path().string()), 0);
    EXPECT_EQ(bytesOf(manifest), before);
    EXPECT_TRUE(fileExists(d.j().LayerFileName(1, 1)));
}

TEST(Recovery, AClaimedFolderIsNotClaimedTwiceNorCleanedUpUnderneath) {
    DeadFolder f;
    auto first = RecoveryFolder::ClaimAbandoned(f.root.path().string());
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(RecoveryFolder::ClaimAbandoned(f.root.path().string()).empty());
    EXPECT_EQ(JournalFolder::RemoveAbandoned(f.root.path().string()), 0);
    EXPECT_TRUE(fileExists(f.manifest()));
    // Let go without removing: the next start may claim it again.
    first.clear();
    EXPECT_EQ(RecoveryFolder::ClaimAbandoned(f.root.path().string()).size(), 1u);
}

TEST(Recovery, TheManifestFollowsUndoRedoAndGoesWithTheDocument) {
    std::string manifest;
    {
        DeadFolder f;
        manifest = f.manifest();
        const TableState moved = capture(f.d.t());
        ASSERT_TRUE(f.d.doc.Undo());
        const TableState undone = capture(f.d.t());
        RecordingUserPort user;
        std::string error;
        RecoveryManifest m;
        std::vector<char> bytes = bytesOf(manifest);
        ASSERT_TRUE(RecoveryManifest::Parse({bytes.begin(), bytes.end()}, m, error)) << error;
        EXPECT_EQ(m.serial, f.d.j().Serial());
        EXPECT_EQ(m.lastStep, u"채우기");
        CBrevDoc back(user, 2);
        ASSERT_TRUE(RebuildRecovered(back, f.path, m));
        EXPECT_TRUE(sameTable(undone, back.Layers()));
        ASSERT_TRUE(f.d.doc.Redo());
        bytes = bytesOf(manifest);
        ASSERT_TRUE(RecoveryManifest::Parse({bytes.begin(), bytes.end()}, m, error)) << error;
        CBrevDoc again(user, 3);
        ASSERT_TRUE(RebuildRecovered(again, f.path, m));
        EXPECT_TRUE(sameTable(moved, again.Layers()));
    }
    // The document closed normally: nothing is left to offer.
    EXPECT_FALSE(fileExists(manifest));
}

TEST(Recovery, WriterTasksRunInOrderAfterTheFilesBeforeThemEvenWhenAWaiterHelps) {
    testsupport::TempDir dir("quillet_writer");
    for (int round = 0; round < 20; ++round) {
        JournalWriter writer;
        writer.SetBackgroundFrom(0);
        std::vector<int> done;  // only the task that runs writes it, one at a time
        const std::vector<uint8_t> bytes(64 << 10, uint8_t(round));
        for (int i = 0; i < 12; ++i) {
            const std::string path = dir.file("f" + std::to_string(i));
            writer.Write(JournalWriter::CreateFile(path), path, {FilePiece::Bytes(bytes)});
            writer.After([&done, path, i, n = bytes.size()] {
                // The file handed over before the task is whole when the task runs.
                if (std::filesystem::file_size(path) == n) done.push_back(i);
            });
            if (i % 5 == round % 5) {
                EXPECT_EQ(writer.Finish(), "");
            }
        }
        EXPECT_EQ(writer.Finish(), "");
        std::vector<int> want(12);
        for (int i = 0; i < 12; ++i) want[size_t(i)] = i;
        EXPECT_EQ(done, want) << "round " << round;
    }
}
