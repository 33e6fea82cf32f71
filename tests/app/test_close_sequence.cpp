#include <gtest/gtest.h>

#include "app/CloseSequence.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

struct Doc : ClosableDocument {
    Doc(std::string n, bool m, bool saves = true) : name(std::move(n)), modified(m), saves(saves) {}
    bool isModified() const override { return modified; }
    std::string fileName() const override { return name; }
    bool save() override {
        ++saveCalls;
        return saves;
    }
    void close() override { closed = true; }
    std::string name;
    bool modified;
    bool saves;
    int saveCalls = 0;
    bool closed = false;
};

struct Host : CloseSequenceHost {
    void saveSettings() override { steps += "settings "; }
    void saveBarState() override { steps += "bars "; }
    void releaseScanner() override { steps += "scanner "; }
    void destroyPanels() override { steps += "panels "; }
    std::string steps;
};

}  // namespace

TEST(CloseSequence, CancelKeepsTheProgramRunningWithSettingsWritten) {
    Doc clean("a.vlr", false), first("사진.jpg", true), second("b.bmp", true);
    Host host;
    RecordingUserPort user;
    user.script({Answer::Cancel, Answer::Yes});
    EXPECT_FALSE(runCloseSequence({&clean, &first, &second}, host, user));
    EXPECT_EQ(host.steps, "settings bars scanner ");
    EXPECT_EQ(user.texts(), (std::vector<std::string>{"[사진.jpg] 파일을 저장하시겠습니까?",
                                                      "[b.bmp] 파일을 저장하시겠습니까?"}));
    EXPECT_TRUE(user.entries[0].question);
    EXPECT_EQ(user.entries[0].icon, MessageIcon::Question);
    EXPECT_TRUE(clean.closed);
    EXPECT_FALSE(first.closed);
    EXPECT_EQ(first.saveCalls, 0);
    EXPECT_TRUE(second.closed);
    EXPECT_EQ(second.saveCalls, 1);
}

TEST(CloseSequence, YesAndNoCloseEverythingAndTearThePanelsDown) {
    Doc a("a", true), b("b", true);
    Host host;
    RecordingUserPort user;
    user.script({Answer::No, Answer::Yes});
    EXPECT_TRUE(runCloseSequence({&a, &b}, host, user));
    EXPECT_EQ(host.steps, "settings bars scanner panels ");
    EXPECT_TRUE(a.closed && b.closed);
    EXPECT_EQ(a.saveCalls, 0);
    EXPECT_EQ(b.saveCalls, 1);
}

TEST(CloseSequence, AFailedSaveKeepsTheDocumentOpen) {
    Doc a("a", true, /*saves=*/false);
    Host host;
    RecordingUserPort user;
    user.script({Answer::Yes});
    EXPECT_FALSE(runCloseSequence({&a}, host, user));
    EXPECT_FALSE(a.closed);
    EXPECT_EQ(host.steps, "settings bars scanner ");
}
