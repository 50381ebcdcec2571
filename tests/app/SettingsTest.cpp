// The desktop program's settings file, which harvex never reads: loaded and
// saved back through INI reading and writing with the results the
// platform's private-profile calls give.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/AppSettings.h"
#include "app/IniProfile.h"
#include "app/Settings.h"
#include "support/KeptSettings.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::create_directories(dir) && derivePaths(dir.string())); }
    void TearDown() override { fs::remove_all(dir); settingsPath = paths[0]; helpPath = paths[1]; }
    void put(const std::string& text) { std::ofstream(settingsPath, std::ios::binary) << text; }
    std::string contents() const { return testsupport::fileText(settingsPath); }

    testsupport::KeptSettings kept;
    std::string paths[2] = {settingsPath, helpPath};
    fs::path dir = fs::temp_directory_path() / ("hx-settings-" + std::to_string(std::random_device{}()));
    IniProfile ini;
};

// Names in any case, keys and values trimmed, matching quotes dropped, the
// first of two keys and of two sections of a name, integers read up to the
// first other character; values past their choices load as the default,
// hexadecimal scans as the runtime's "%X" (a text that does not scan leaves 0).
TEST_F(Settings, LoadsHandEditedFiles) {
    const std::pair<std::string, std::string> files[] = {
        {"", "1160 1 0 0 32 1 0 1 1 Harvex Utility|Harvex Instruments|Fax: 555-0101"},
        {"top=1\r\n[CARD]\r\n  use RECORDER  =  0x48b  \r\n[export]\r\nTime Format='3'\r\nDate Format=\"2\"\r\nDate Format=1\r\nInterval=5\r\n"
         "[misc]\r\n; Time Format=0\r\nTime Format=0x40\r\n[serial link]\r\nBaud=300\r\nComPort=-0x10\r\n[Special]\r\nDebug=7days\r\nTitle1=" +
             std::string(50, 'T') + "\r\nFax=\"Fax: 1\r\n[export]\r\nInterval=1",
         "1163 3 2 5 64 44 7 -16 240 " + std::string(39, 'T') + "|Harvex Instruments|\"Fax: 1"},
        {"[card]\nUse recorder=2000\n[export]\nTime Format=4\nDate Format=3\nInterval=6\n[misc]\nTime Format=\n[serial link]\nBaud=fast\nComPort=x1\n",
         "1160 1 0 0 32 0 0 0 0 Harvex Utility|Harvex Instruments|Fax: 555-0101"},
        {"[card]\nUse recorder=xyz\n[export]\nTime Format=-1\n[serial link]\nBaud=4294967297\nComPort=\" 0X2Az\"\n", "1160 1 0 0 32 1 0 42 42"},
        {"[serial link]\nComPort=FFFFFFFF\n", "1160 1 0 0 32 1 0 -1 255"}, {"[serial link]\nComPort=abcdef\n", "1160 1 0 0 32 1 0 11259375 239"},
        {"[serial link]\nComPort=0xg\n", "1160 1 0 0 32 1 0 0 0"}, {"[serial link]\nComPort=100000001\n", "1160 1 0 0 32 1 0 1 1"}};
    for (const auto& [text, want] : files) {
        put(text);
        loadSettings(ini);
        const AppSettingsRecord& s = AppSettings;
        std::ostringstream got;
        got << s.recorderMode << ' ' << +s.exportTimeFormat << ' ' << +s.exportDateFormat << ' ' << +s.exportInterval << ' ' << +s.displayFlags
            << ' ' << +s.baud << ' ' << +s.debug << ' ' << s.comPort << ' ' << +s.portCommPort << ' ' << s.title << '|' << s.company << '|' << s.fax;
        EXPECT_EQ(got.str().substr(0, want.size()), want) << text;
    }
}

// A save changes the values in place and adds missing keys where they belong,
// keeping every other byte and the file's line ends; "Special" is never
// written; the hexadecimal settings go out as their signed low 16 bits.
TEST_F(Settings, SavesIntoTheFileInPlace) {
    loadSettings(ini);
    EXPECT_TRUE(saveSettings(ini));
    EXPECT_EQ(contents(), testsupport::onDisk("[export]\nTime Format=1\nDate Format=0\nInterval=0\n\n[misc]\nTime Format=32\n\n[card]\n"
                                              "Use recorder=488\n\n[serial link]\nPortCommPort=1\nBaud=1\nComPort=1\n"));
    const std::string file = std::string("; \xff\0\r\n", 6) + "[serial link]\r\nComPort = 3\r\nPortCommPort=7\r\n\r\n[MISC]\r\nTime Format=64\r\n"
                             "[Special]\r\nDebug=1\r\n[serial link]\r\nBaud=5\r\n[card]";
    put(file);
    loadSettings(ini);
    AppSettings.comPort = 0x18000;
    EXPECT_TRUE(saveSettings(ini));
    EXPECT_EQ(contents(), std::string("; \xff\0\r\n", 6) + "[serial link]\r\nComPort = FFFF8000\r\nPortCommPort=3\r\nBaud=1\r\n\r\n[MISC]\r\n"
                          "Time Format=64\r\n[Special]\r\nDebug=1\r\n[serial link]\r\nBaud=5\r\n[card]\r\nUse recorder=488\r\n\r\n[export]\r\n"
                          "Time Format=1\r\nDate Format=0\r\nInterval=0\r\n");
    put("[a]\nx=1");  // a last line without its line end gets one
    EXPECT_TRUE(ini.writeProfileString("A", "z", "9", settingsPath.c_str()));
    EXPECT_EQ(contents(), "[a]\nx=1\nz=9\n");
}

// What would read back as something else, missing arguments and files that
// cannot be written are refused, a full disk among them; reads without a
// file or a name give the default, cut to the buffer.
TEST_F(Settings, RefusalsAndDefaults) {
    put("[a]\nx=1\n");
    const std::string f = settingsPath, d = dir.string(), noDir = (dir / "no" / "f.ini").string();
    const std::vector<std::vector<const char*>> refused = {{"a", "x", "1\n[b]", f.c_str()}, {"a", "x=y", "1", f.c_str()}, {"a]", "x", "1", f.c_str()},
        {" ", "k", "v", f.c_str()}, {"s", "", "v", f.c_str()}, {"s\n", "k", "v", f.c_str()}, {"s", "[k", "v", f.c_str()}, {"s", ";k", "v", f.c_str()},
        {nullptr, "k", "v", f.c_str()}, {"s", nullptr, "v", f.c_str()}, {"s", "k", nullptr, f.c_str()}, {"s", "k", "v", nullptr},
        {"a", "x", "1", d.c_str()}, {"a", "x", "1", noDir.c_str()}};
    for (const auto& r : refused) EXPECT_FALSE(ini.writeProfileString(r[0], r[1], r[2], r[3])) << (r[1] ? r[1] : "null");
    EXPECT_EQ(contents(), "[a]\nx=1\n");
#if !defined(_WIN32)
    struct FullDisk : IniProfile {  // the file reads as empty; writing it fails only when it is closed
        std::optional<std::string> readText(const char*) override { return ""; }
    } full;
    EXPECT_FALSE(full.writeProfileString("s", "k", "v", "/dev/full"));
#endif
    char buffer[16] = "###############";  // the default without its trailing blanks, cut to the buffer
    EXPECT_EQ(ini.getProfileString("a", "y", "default  ", buffer, 9, f.c_str()) + ini.getProfileInt("a", "x", 7, d.c_str()), 14u);
    EXPECT_EQ(std::string(buffer) + "|" + (ini.getProfileString(nullptr, "x", "d", buffer, 0, f.c_str()) ? "" : buffer), "default|default");
    EXPECT_EQ(ini.getProfileString("a", "x", "d", buffer, 1, f.c_str()) + buffer[0], 0u);
    EXPECT_EQ(ini.getProfileInt(nullptr, "x", 5, f.c_str()) + ini.getProfileInt("a", nullptr, 5, f.c_str()) + ini.getProfileInt("a", "x", 5, nullptr), 15u);
}

// wHarvex.ini and .hlp in the current directory, when their paths fit;
// without them the defaults load and nothing is written anywhere.
TEST_F(Settings, Paths) {
    const std::string longest = "C:\\" + std::string(244, 'a');
    const std::pair<std::string, std::string> cases[] = {{"C:\\", "C:\\wHarvex"}, {"\\\\srv\\share\\v1.2", "\\\\srv\\share\\v1.2\\wHarvex"},
                                                         {"/home/u", "/home/u/wHarvex"}, {longest, longest + "\\wHarvex"}};
    for (const auto& [cwd, stem] : cases) EXPECT_TRUE(derivePaths(cwd) && settingsPath == stem + ".ini" && helpPath == stem + ".hlp") << cwd;
    for (const std::string& cwd : {std::string(), longest + "a", std::string(5000, '/')})
        EXPECT_FALSE(derivePaths(cwd) || settingsPath.size() || helpPath.size()) << cwd.size();
    loadSettings(ini);
    EXPECT_STREQ(AppSettings.webSite, "www.example.com/harvex");
    EXPECT_FALSE(saveSettings(ini) || !fs::is_empty(dir));
    ASSERT_TRUE(derivePaths((dir / "missing-dir").string()));
    EXPECT_FALSE(saveSettings(ini));
}

}  // namespace
