#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/DataDirectory.h"
#include "app/QuilletHome.h"
#include "app/SettingsFile.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;

using testsupport::readText;

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
    EXPECT_EQ(readText(QUILLET_DEFAULT_SETTINGS_PATH), defaultSettingsFile());
}

TEST(QuilletHome, FirstStartPutsTheDefaultFileThereAndLaterStartsKeepTheUsers) {
    const testsupport::TempDir root("quillet-home");
    const std::string home = root.file("Velloran Applications/Quillet");
    std::string error;
    ASSERT_TRUE(prepareQuilletHome(home, error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(home + "/tmp"));
    EXPECT_EQ(readText(home + "/" + kSettingsFileName), defaultSettingsFile());

    // A fresh home loads without any message.
    RecordingUserPort user;
    FrameSettings s;
    EXPECT_TRUE(loadFrameSettings(home, u"/start", s, user));
    EXPECT_TRUE(user.entries.empty());
    EXPECT_EQ(s.browserFolder, u"");

    std::ofstream(home + "/" + kSettingsFileName, std::ios::binary) << "FG5";
    ASSERT_TRUE(prepareQuilletHome(home, error)) << error;
    EXPECT_EQ(readText(home + "/" + kSettingsFileName), "FG5");
}

TEST(QuilletHome, AFirstStartTakesTheInstalledDefaultsWhenThereAreAny) {
    const testsupport::TempDir root("quillet-data");
    const std::string data = root.file("share/quillet");
    std::filesystem::create_directories(data);
    testsupport::writeText(data + "/" + kSettingsFileName, "shipped");
    std::string error;
    ASSERT_TRUE(prepareQuilletHome(root.file("a"), error, data)) << error;
    EXPECT_EQ(readText(root.file("a/") + kSettingsFileName), "shipped");

    // An empty or missing installed copy leaves the built-in one.
    testsupport::writeText(data + "/" + kSettingsFileName, "");
    ASSERT_TRUE(prepareQuilletHome(root.file("b"), error, data)) << error;
    EXPECT_EQ(readText(root.file("b/") + kSettingsFileName), defaultSettingsFile());
    ASSERT_TRUE(prepareQuilletHome(root.file("c"), error, root.file("nowhere"))) << error;
    EXPECT_EQ(readText(root.file("c/") + kSettingsFileName), defaultSettingsFile());
}

TEST(DataDirectory, BesideTheExecutablesFolder) {
    EXPECT_EQ(dataDirectoryBeside("/opt/q/bin/quillet"), "/opt/q/share/quillet");
    EXPECT_EQ(dataDirectoryBeside("/usr/bin/quillet-cli"), "/usr/share/quillet");
    EXPECT_EQ(dataDirectoryBeside("/home/u/build/app/quillet"), "/home/u/build/share/quillet");
    // A test binary has no data folder beside it: the call says so instead of guessing.
    const std::string mine = quilletDataDirectory();
    EXPECT_TRUE(mine.empty() || std::filesystem::is_directory(mine)) << mine;
}
