#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/AppSettings.h"
#include "app/IniProfile.h"
#include "app/Settings.h"
#include "support/KeptSettings.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;

namespace {

using testsupport::onDisk;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedPaths = {settingsPath, helpPath};
        dir = fs::temp_directory_path() / ("hx-set-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        ASSERT_TRUE(derivePaths(dir.string()));
    }
    void TearDown() override {
        settingsPath = savedPaths.first;
        helpPath = savedPaths.second;
        fs::remove_all(dir);
    }
    void load(const std::string& text) {
        std::ofstream(settingsPath, std::ios::binary) << text;
        loadSettings(ini);
    }
    std::string contents() const { return testsupport::fileText(settingsPath); }

    testsupport::KeptSettings kept;
    std::pair<std::string, std::string> savedPaths;
    fs::path dir;
    IniProfile ini;
};

const std::string DefaultFile = onDisk("[export]\nTime Format=1\nDate Format=0\nInterval=0\n\n[misc]\nTime Format=32\n\n"
                                       "[card]\nUse recorder=488\n\n[serial link]\nPortCommPort=1\nBaud=1\nComPort=1\n");

TEST_F(SettingsTest, MissingFileLoadsDefaultsAndSavesTheMainTable) {
    loadSettings(ini);
    EXPECT_EQ(AppSettings.recorderMode, 1160);
    EXPECT_STREQ(AppSettings.title, "Harvex Utility");
    EXPECT_STREQ(AppSettings.company, "Harvex Instruments");
    EXPECT_TRUE(saveSettings(ini));
    EXPECT_EQ(contents(), DefaultFile);
}

TEST_F(SettingsTest, LoadsHandEditedValues) {
    struct Case {
        const char* file;
        long (*field)();
        long expected;
    };
    const auto recorder = [] { return long{AppSettings.recorderMode}; };
    const auto timeFormat = [] { return long{AppSettings.exportTimeFormat}; };
    const auto dateFormat = [] { return long{AppSettings.exportDateFormat}; };
    const auto interval = [] { return long{AppSettings.exportInterval}; };
    const Case cases[] = {
        {"[card]\nUse recorder=0x48b\n", recorder, 1163},
        {"[card]\nUse recorder=2000\n", recorder, 1160},
        {"[card]\nUse recorder=xyz\n", recorder, 1160},
        {"[serial link]\nBaud=300\n", [] { return long{AppSettings.baud}; }, 44},
        {"[serial link]\nBaud=fast\n", [] { return long{AppSettings.baud}; }, 0},
        {"[misc]\nTime Format=64\n", [] { return long{AppSettings.displayFlags}; }, 64},
        {"[Special]\nDebug=7\n", [] { return long{AppSettings.debug}; }, 7},
        {"[export]\nTime Format=3\n", timeFormat, 3},
        {"[export]\nTime Format=4\n", timeFormat, 1},
        {"[export]\nTime Format=-1\n", timeFormat, 1},
        {"[export]\nDate Format=2\n", dateFormat, 2},
        {"[export]\nDate Format=3\n", dateFormat, 0},
        {"[export]\nInterval=5\n", interval, 5},
        {"[export]\nInterval=6\n", interval, 0},
    };
    for (const Case& c : cases) {
        load(c.file);
        EXPECT_EQ(c.field(), c.expected) << c.file;
    }
}

// Hexadecimal settings are scanned like the runtime's "%X": blanks, a sign,
// an optional 0x, then digits up to the first other character.
TEST_F(SettingsTest, HexScannedLikeTheRuntime) {
    const struct { const char* text; std::int32_t comPort; } cases[] = {
        {"1f", 0x1F},   {" \t1F", 0x1F}, {"+1f", 0x1F},    {"-1", -1},     {"0x2a", 0x2A},
        {"0X2A", 0x2A}, {"-0x10", -16},  {"0xg", 0},       {"12zz", 0x12}, {"abcdef", 0xABCDEF},
        {"x12", 0},     {"-", 0},        {"100000000", 0}, {"\"7\"", 7},  {"FFFFFFFF", -1},
    };
    for (const auto& c : cases) {
        load(std::string("[serial link]\nComPort=") + c.text + "\n");
        EXPECT_EQ(AppSettings.comPort, c.comPort) << c.text;
        EXPECT_EQ(AppSettings.portCommPort, static_cast<std::uint8_t>(c.comPort)) << c.text;
    }
}

TEST_F(SettingsTest, LongTitleKeepsThirtyNineCharacters) {
    const std::string title(50, 'T');
    load("[Special]\nTitle1=" + title + "\nFax=\"Fax: 1\"\n");
    EXPECT_EQ(std::string(AppSettings.title), title.substr(0, 39));
    EXPECT_STREQ(AppSettings.fax, "Fax: 1");
}

TEST_F(SettingsTest, SaveRewritesValuesInPlaceAndNeverWritesSpecial) {
    load("[serial link]\nComPort=3\nPortCommPort=7\n[misc]\nTime Format=64\n[Special]\nDebug=1\n");
    EXPECT_TRUE(saveSettings(ini));
    EXPECT_EQ(contents(),
              "[serial link]\nComPort=3\nPortCommPort=3\nBaud=1\n[misc]\nTime Format=64\n"
              "[Special]\nDebug=1\n\n[export]\nTime Format=1\nDate Format=0\nInterval=0\n"
              "\n[card]\nUse recorder=488\n");
}

TEST_F(SettingsTest, HexIntIsWrittenAsItsSignedLowSixteenBits) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0x12345, "2345"}, {-1, "FFFFFFFF"}, {0x8000, "FFFF8000"}, {0x7FFF, "7FFF"}};
    for (const auto& [value, text] : cases) {
        loadSettings(ini);
        AppSettings.comPort = value;
        ASSERT_TRUE(saveSettings(ini));
        char buffer[16];
        ini.getProfileString("serial link", "ComPort", "", buffer, sizeof buffer,
                             settingsPath.c_str());
        EXPECT_STREQ(buffer, text);
    }
}

TEST_F(SettingsTest, DerivesPathsInTheCurrentDirectory) {
    struct Case { std::string cwd, ini, hlp; };
    const Case cases[] = {
        {"C:\\Data", "C:\\Data\\wHarvex.ini", "C:\\Data\\wHarvex.hlp"},
        {"C:\\", "C:\\wHarvex.ini", "C:\\wHarvex.hlp"},
        {"\\\\srv\\share\\v1.2", "\\\\srv\\share\\v1.2\\wHarvex.ini",
         "\\\\srv\\share\\v1.2\\wHarvex.hlp"},
        {"/home/u", "/home/u/wHarvex.ini", "/home/u/wHarvex.hlp"},
        {"C:\\" + std::string(244, 'a'), "C:\\" + std::string(244, 'a') + "\\wHarvex.ini",
         "C:\\" + std::string(244, 'a') + "\\wHarvex.hlp"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(derivePaths(c.cwd)) << c.cwd;
        EXPECT_EQ(settingsPath, c.ini);
        EXPECT_EQ(helpPath, c.hlp);
    }
    for (const std::string& cwd :
         {std::string(), "C:\\" + std::string(245, 'a'), std::string(5000, '/')}) {
        EXPECT_FALSE(derivePaths(cwd)) << cwd.size();
        EXPECT_EQ(settingsPath, "");
        EXPECT_EQ(helpPath, "");
    }
}

TEST_F(SettingsTest, WithoutPathsDefaultsLoadAndNothingIsWritten) {
    ASSERT_FALSE(derivePaths(std::string(300, 'x')));
    loadSettings(ini);
    EXPECT_EQ(AppSettings.exportTimeFormat, 1);
    EXPECT_STREQ(AppSettings.webSite, "www.example.com/harvex");
    EXPECT_FALSE(saveSettings(ini));
    EXPECT_TRUE(fs::is_empty(dir));

    ASSERT_TRUE(derivePaths((dir / "missing-dir").string()));
    EXPECT_FALSE(saveSettings(ini));
}

}  // namespace
