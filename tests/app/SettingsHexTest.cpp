// Hexadecimal settings are scanned like the runtime's "%X": blanks, a sign,
// an optional 0x, then digits up to the first other character.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/AppSettings.h"
#include "app/IniProfile.h"
#include "app/Settings.h"

namespace fs = std::filesystem;

namespace {

TEST(SettingsHex, ScannedLikeTheRuntime) {
    const AppSettingsRecord saved = AppSettings;
    const std::string savedPath = settingsPath, savedHelp = helpPath;
    const fs::path dir = fs::temp_directory_path() / ("hx-hex-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    ASSERT_TRUE(derivePaths(dir.string()));
    const struct {
        const char* text;
        std::int32_t comPort;
    } cases[] = {
        {"1f", 0x1F},   {" \t1F", 0x1F}, {"+1f", 0x1F},     {"-1", -1},        {"0x2a", 0x2A},
        {"0X2A", 0x2A}, {"-0x10", -16},  {"0xg", 0},        {"12zz", 0x12},    {"abcdef", 0xABCDEF},
        {"x12", 0},     {"-", 0},        {"100000000", 0},  {"\"7\"", 7},
    };
    IniProfile ini;
    for (const auto& c : cases) {
        std::ofstream(settingsPath, std::ios::binary) << "[serial link]\nComPort=" << c.text << "\n";
        loadSettings(ini);
        EXPECT_EQ(AppSettings.comPort, c.comPort) << c.text;
        EXPECT_EQ(AppSettings.portCommPort, static_cast<std::uint8_t>(c.comPort)) << c.text;
    }
    AppSettings = saved;
    settingsPath = savedPath;
    helpPath = savedHelp;
    fs::remove_all(dir);
}

}  // namespace
