// Settings files that cannot be read, and requests the platform answers
// with its defaults.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/IniProfile.h"

namespace fs = std::filesystem;

namespace {

class IniEdges : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = fs::temp_directory_path() / ("hx_ini_edges_" + std::to_string(stamp));
        fs::create_directories(dir);
        path = (dir / "wHarvex.ini").string();
        std::ofstream(path, std::ios::binary) << "[export]\nTime Format=3\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string read(const char* section, const char* key, const char* fallback, const char* file) {
        char buffer[16] = "untouched";
        ini.getProfileString(section, key, fallback, buffer, sizeof buffer, file);
        return buffer;
    }

    IniProfile ini;
    fs::path dir;
    std::string path;
};

// A directory where the file should be reads like a missing file and is
// never written over.
TEST_F(IniEdges, DirectoryReadsAsMissingAndIsNotReplaced) {
    const std::string d = dir.string();
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 7, d.c_str()), 7u);
    EXPECT_EQ(read("export", "Time Format", "dflt", d.c_str()), "dflt");
    EXPECT_FALSE(ini.writeProfileString("export", "Time Format", "1", d.c_str()));
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(IniEdges, MissingArgumentsGiveTheDefault) {
    EXPECT_EQ(ini.getProfileInt(nullptr, "Time Format", 5, path.c_str()), 5u);
    EXPECT_EQ(ini.getProfileInt("export", nullptr, 5, path.c_str()), 5u);
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 5, nullptr), 5u);
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 5, path.c_str()), 3u);
    EXPECT_EQ(read(nullptr, "Time Format", "d", path.c_str()), "d");
    EXPECT_EQ(read("export", "Time Format", nullptr, nullptr), "");
    EXPECT_EQ(read("export", "Time Format", nullptr, path.c_str()), "3");
    EXPECT_EQ(ini.getProfileString("export", "Time Format", "d", nullptr, 4, path.c_str()), 0u);
    char one[1] = {'x'};
    EXPECT_EQ(ini.getProfileString("export", "Time Format", "d", one, 0, path.c_str()), 0u);
    EXPECT_EQ(one[0], 'x');
    EXPECT_FALSE(ini.writeProfileString(nullptr, "k", "v", path.c_str()));
    EXPECT_FALSE(ini.writeProfileString("s", nullptr, "v", path.c_str()));
    EXPECT_FALSE(ini.writeProfileString("s", "k", nullptr, path.c_str()));
    EXPECT_FALSE(ini.writeProfileString("s", "k", "v", nullptr));
}

// Names that would read back as something else are refused.
TEST_F(IniEdges, UnreadableNamesAreRefused) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } refused[] = {
        {"", "k", "v"}, {"s", "", "v"}, {"  ", "k", "v"}, {"s\n", "k", "v"},
        {"s", "[k", "v"}, {"s", ";k", "v"}, {"s", "k", "a\rb"},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(ini.writeProfileString(r.section, r.key, r.value, path.c_str())) << r.section << "/" << r.key;
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[export]\nTime Format=3\n");
}

}  // namespace
