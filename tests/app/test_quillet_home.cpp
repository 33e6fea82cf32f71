#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/QuilletHome.h"
#include "app/SettingsFile.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
}  // namespace

TEST(QuilletHome, FollowsTheEnvironmentLikeQtAppDataLocation) {
    EXPECT_EQ(quilletHomeDirectory({"/q/home", "/xdg", "/home/u"}), "/q/home");
    EXPECT_EQ(quilletHomeDirectory({"", "/xdg", "/home/u"}), "/xdg/Velloran Applications/Quillet");
    EXPECT_EQ(quilletHomeDirectory({nullptr, nullptr, "/home/u"}),
              "/home/u/.local/share/Velloran Applications/Quillet");
    EXPECT_EQ(quilletHomeDirectory({nullptr, "", "/home/u/"}),
              "/home/u/.local/share/Velloran Applications/Quillet");
    EXPECT_EQ(quilletTmpDirectory("/q"), "/q/tmp");
}

TEST(QuilletHome, AChosenHomeKeepsTheProfileToo) {
    EXPECT_EQ(quilletProfileFile({"/q/home", "/xdg", "/home/u"}, "/q/home"),
              "/q/home/Quillet.conf");
    EXPECT_EQ(quilletProfileFile({"", "/xdg", "/home/u"}, "/xdg/x"), "");
    EXPECT_EQ(quilletProfileFile({nullptr, nullptr, "/home/u"}, "/home/u/.local/share/x"), "");
}

TEST(QuilletHome, DefaultSettingsAreOurWritersOutputForDefaultSettings) {
    // resources/RereCon_380.ini is generated from FrameSettings{}; both copies must agree.
    // After changing the defaults, run this test once with QUILLET_WRITE_DEFAULT_SETTINGS=1.
    if (std::getenv("QUILLET_WRITE_DEFAULT_SETTINGS"))
        std::ofstream(QUILLET_DEFAULT_SETTINGS_PATH, std::ios::binary)
            << formatSettingsFile(FrameSettings{});
    EXPECT_EQ(defaultSettingsFile(), formatSettingsFile(FrameSettings{}));
    EXPECT_EQ(readAll(QUILLET_DEFAULT_SETTINGS_PATH), defaultSettingsFile());
}

TEST(QuilletHome, FirstStartPutsTheDefaultFileThereAndLaterStartsKeepTheUsers) {
    char pattern[] = "/tmp/quillet-home-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string root = pattern;
    const std::string home = root + "/Velloran Applications/Quillet";
    std::string error;
    ASSERT_TRUE(prepareQuilletHome(home, error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(home + "/tmp"));
    EXPECT_EQ(readAll(home + "/" + kSettingsFileName), defaultSettingsFile());

    // A fresh home loads without any message.
    RecordingUserPort user;
    FrameSettings s;
    EXPECT_TRUE(loadFrameSettings(home, u"/start", s, user));
    EXPECT_TRUE(user.entries.empty());
    EXPECT_EQ(s.browserFolder, u"");

    std::ofstream(home + "/" + kSettingsFileName, std::ios::binary) << "FG5";
    ASSERT_TRUE(prepareQuilletHome(home, error)) << error;
    EXPECT_EQ(readAll(home + "/" + kSettingsFileName), "FG5");
    std::filesystem::remove_all(root);
}
