#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "app/SettingsFile.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;
using namespace std::string_literals;

namespace {

// UTF-16LE bytes of a text, built independently of the writer.
std::string le(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

FrameSettings sample() {
    FrameSettings s;
    s.foreground = 0x0000FF;
    s.background = 0x00FF00;
    s.textColour = 0x123456;
    s.previousForeground = 7;
    s.previousBackground = 8;
    s.foregroundPick = {3, 10, 11};
    s.backgroundPick = {4, -12, 13};
    s.textPick = {5, 14, 15};
    s.fontSize = 36;
    s.fontName = u"굴림";
    s.secondFontName = u"Nanum";
    s.fontStrikeOut = true;
    s.fontUnderline = false;
    s.brushThickness = 9;
    s.brushKind = FrameSettings::Pencil;
    s.gridSpacing = 12;  // shown: written as is
    s.gridColour = 0x808080;
    s.cursorShape = 4;
    s.pnt = 200;
    s.pathSegmentColour = 0x0000FF;
    s.pathPointColour = 0xFF0000;
    s.fog = -3;
    s.transparencyPattern = 5;
    s.updateFlag = 1;
    s.selectionTone = false;
    s.windowSetting = 77;
    s.showOpenAtStart = true;
    s.browserKind = FrameSettings::SystemDialog;
    s.undoBrushGuide = false;
    s.browserFolder = u"/home/김/사진";
    return s;
}

std::string sampleLayout() {
    return "FG255 BG65280 TX1193046 pFG7 pBG8\r\n"
           "FG: 3 X10 Y11\r\n"
           "BG: 4 X-12 Y13\r\n"
           "TX: 5 X14 Y15\r\n"
           "FontSize 36 2 5\r\n"
           "\r\n"
           "FontStrikeOut 1\r\n"
           "FontUnderLine 0\r\n"
           "9 0\r\n"
           "GGap12 GClr8421504 Cur4 Pnt200 255 16711680\r\n"
           "Fog -3\r\n"
           "TranspRep 5\r\n"
           "Folder: 0\r\n"
           "UD 1\r\n"
           "RS 0\r\n"
           "WS 77 1 2 0\r\n" +
           std::string("\x74\xAD\xBC\xB9", 4) + "\r\n" + "N\0a\0n\0u\0m\0"s;
}

class TempHome : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        dir = dir_.string();
    }
    void write(const std::string& name, const std::string& bytes) {
        testsupport::writeText(path(name), bytes);
    }
    std::string read(const std::string& name) { return testsupport::readText(path(name)); }
    std::string dir;
};

}  // namespace

TEST(SettingsFile, WritesTheLayoutByteForByte) {
    EXPECT_EQ(formatSettingsFile(sample()), sampleLayout());
}

TEST(SettingsFile, ReadsBackWhatItWroteAndHidesTheGrid) {
    FrameSettings read;
    parseSettingsFile(sampleLayout(), read);
    FrameSettings expected = sample();
    expected.gridSpacing = -12;      // the grid starts hidden
    expected.browserFolder.clear();  // lives in FirstShow.ini
    EXPECT_EQ(read, expected);
    // Hidden grid is still written as the positive spacing: the file survives a restart.
    EXPECT_EQ(formatSettingsFile(read), sampleLayout());
}

TEST(SettingsFile, GridSpacingSign) {
    FrameSettings s = sample();
    s.gridSpacing = -25;
    const std::string bytes = formatSettingsFile(s);
    EXPECT_NE(bytes.find("GGap25 GClr"), std::string::npos);
    FrameSettings back;
    back.gridSpacing = 30;  // shown before: reading hides it again
    parseSettingsFile(bytes, back);
    EXPECT_EQ(back.gridSpacing, -25);
    // A spacing that would stall the grid loop, or a negative one in the file, is held to 4..40.
    std::string zero = sampleLayout();
    zero.replace(zero.find("GGap12"), 6, "GGap0");
    parseSettingsFile(zero, back);
    EXPECT_EQ(back.gridSpacing, -4);
    std::string negative = sampleLayout();
    negative.replace(negative.find("GGap12"), 6, "GGap-90");
    parseSettingsFile(negative, back);
    EXPECT_EQ(back.gridSpacing, -40);
}

TEST(SettingsFile, NameLengthsAreClampedTo100) {
    const std::u16string first(150, u'가');
    std::string bytes = sampleLayout();
    bytes.replace(bytes.find("FontSize 36 2 5"), 15, "FontSize 36 150 5");
    const auto names = bytes.find("WS 77 1 2 0\r\n") + 13;
    bytes.replace(names, 4, le(first));
    FrameSettings s;
    parseSettingsFile(bytes, s);
    EXPECT_EQ(s.fontName, std::u16string(100, u'가'));
    // The rest of the long name is passed over, so the second name is still found.
    EXPECT_EQ(s.secondFontName, u"Nanum");
    const std::string written = formatSettingsFile(s);
    EXPECT_NE(written.find("FontSize 36 100 5\r\n"), std::string::npos);
}

TEST(SettingsFile, NameStartingWithWhiteSpaceLowByteSurvives) {
    FrameSettings s = sample();
    s.fontName = u"\u0A20\u0D09";  // low bytes 0x20 and 0x09, then 0x0A and 0x0D high bytes
    s.secondFontName = u"";
    FrameSettings back;
    parseSettingsFile(formatSettingsFile(s), back);
    EXPECT_EQ(back.fontName, s.fontName);
    EXPECT_EQ(back.secondFontName, u"");
}

TEST(SettingsFile, ReadClampsAndMalformedFilesKeepWhatScans) {
    FrameSettings s;
    s.textColour = 0xABCDEF;
    s.fontName = u"keep";
    parseSettingsFile("FG1 BG2 TXoops\r\nFG: 9 X8 Y7", s);
    EXPECT_EQ(s.foreground, 1u);
    EXPECT_EQ(s.background, 2u);
    EXPECT_EQ(s.textColour, 0xABCDEFu);         // did not scan
    EXPECT_EQ(s.foregroundPick, ColourPick{});  // the scan stopped at "oops"
    EXPECT_EQ(s.fontName, u"keep");             // names are not read from a broken file
    EXPECT_EQ(s.transparencyPattern, 3);

    std::string bytes = sampleLayout();
    bytes.replace(bytes.find("FontSize 36"), 11, "FontSize -5");
    bytes.replace(bytes.find("9 0\r\n"), 3, "0 0");
    bytes.replace(bytes.find("Cur4"), 4, "Cur9");
    bytes.replace(bytes.find("TranspRep 5"), 11, "TranspRep 6");
    FrameSettings c;
    parseSettingsFile(bytes, c);
    EXPECT_EQ(c.fontSize, 2);
    EXPECT_EQ(c.brushThickness, 1);
    EXPECT_EQ(c.cursorShape, 4);
    EXPECT_EQ(c.transparencyPattern, 5);

    // A truncated second name keeps the units that are there.
    FrameSettings t;
    parseSettingsFile(sampleLayout().substr(0, sampleLayout().size() - 5), t);
    EXPECT_EQ(t.secondFontName, u"Na");
}

TEST(FirstShowFile, LayoutAndFlag) {
    FrameSettings s = sample();
    const std::string expected = "0 update 1\r\n10\r\n" + le(u"/home/김/사진");
    EXPECT_EQ(formatFirstShowFile(s), expected);

    FrameSettings back;
    EXPECT_EQ(parseFirstShowFile(expected, back, u"/start"), 0);
    EXPECT_EQ(back.browserFolder, u"/home/김/사진");
    EXPECT_EQ(back.updateFlag, 1);

    // Flag 1: the stored folder is not read, the samples folder is taken, and the next save
    // writes flag 0 with that folder.
    FrameSettings first;
    EXPECT_EQ(parseFirstShowFile("1 update 0\r\n3\r\n" + le(u"abc"), first, u"/opt/q"), 1);
    EXPECT_EQ(first.browserFolder, u"/opt/q/Samples");
    EXPECT_EQ(formatFirstShowFile(first), "0 update 0\r\n14\r\n" + le(u"/opt/q/Samples"));
    // An installer's file may hold the first line only.
    EXPECT_EQ(parseFirstShowFile("1 update 0", first, u"/s"), 1);
    EXPECT_EQ(first.browserFolder, u"/s/Samples");
}

TEST(FirstShowFile, FolderLengthIsChecked) {
    FrameSettings s;
    const std::u16string longFolder(300, u'x');
    parseFirstShowFile("0 update 0\r\n300\r\n" + le(longFolder), s, u"");
    EXPECT_EQ(s.browserFolder.size(), 260u);
    parseFirstShowFile("0 update 0\r\n99999\r\n" + le(u"ab"), s, u"");
    EXPECT_EQ(s.browserFolder, u"ab");
    parseFirstShowFile("0 update 0\r\n-4\r\nab", s, u"");
    EXPECT_EQ(s.browserFolder, u"");
}

TEST_F(TempHome, LoadAndSaveSurviveARestartByteExact) {
    write(kSettingsFileName, sampleLayout());
    write(kFirstShowFileName, "1 update 0");
    RecordingUserPort user;
    FrameSettings s;
    s.transparencyPattern = 0;
    ASSERT_TRUE(loadFrameSettings(dir, u"/run/here", s, user));
    EXPECT_TRUE(user.entries.empty());
    EXPECT_EQ(s.browserFolder, u"/run/here/Samples");
    EXPECT_EQ(s.updateFlag, 0);  // FirstShow.ini's value wins
    ASSERT_TRUE(saveFrameSettings(dir, s));
    const std::string firstSave = read(kSettingsFileName);
    EXPECT_EQ(read(kFirstShowFileName), "0 update 0\r\n17\r\n" + le(u"/run/here/Samples"));

    FrameSettings again;
    ASSERT_TRUE(loadFrameSettings(dir, u"/elsewhere", again, user));
    EXPECT_EQ(again, s);
    ASSERT_TRUE(saveFrameSettings(dir, again));
    EXPECT_EQ(read(kSettingsFileName), firstSave);
}

TEST_F(TempHome, MissingFilesAndUnwritableHome) {
    RecordingUserPort user;
    FrameSettings s;
    s.transparencyPattern = 1;
    EXPECT_FALSE(loadFrameSettings(dir, u"", s, user));
    ASSERT_EQ(user.entries.size(), 1u);
    EXPECT_EQ(user.lastText(), kMissingSettingsMessage);
    EXPECT_EQ(s.transparencyPattern, 3);

    // FirstShow.ini absent: the folder is empty.
    write(kSettingsFileName, sampleLayout());
    s.browserFolder = u"/old";
    EXPECT_TRUE(loadFrameSettings(dir, u"", s, user));
    EXPECT_EQ(s.browserFolder, u"");

    // A home that cannot be written is skipped silently and the old file stays.
    if (geteuid() != 0) {
        chmod(dir.c_str(), 0500);
        EXPECT_FALSE(saveFrameSettings(dir, FrameSettings{}));
        chmod(dir.c_str(), 0700);
        EXPECT_EQ(read(kSettingsFileName), sampleLayout());
    }
    EXPECT_FALSE(saveFrameSettings(dir + "/no/such/folder", FrameSettings{}));
    // A settings file that cannot be replaced stops the save before FirstShow.ini.
    std::filesystem::remove(dir + "/" + kSettingsFileName);
    std::filesystem::create_directories(dir + "/" + kSettingsFileName + "/x");
    EXPECT_FALSE(saveFrameSettings(dir, FrameSettings{}));
    EXPECT_FALSE(std::filesystem::exists(dir + "/" + kFirstShowFileName));
    EXPECT_EQ(user.entries.size(), 1u);
}
