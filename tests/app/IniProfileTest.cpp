#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/IniProfile.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;

namespace {

class IniProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("hx-ini-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        path = (dir / "test.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    void put(const std::string& text) {
        std::ofstream(path, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    std::string contents() const { return testsupport::fileText(path); }
    std::string readString(const char* section, const char* key, unsigned size = 64) {
        std::string buffer(size + 1, '#');
        const auto count =
            ini.getProfileString(section, key, "dflt", buffer.data(), size, path.c_str());
        EXPECT_EQ(buffer[count], '\0');
        return buffer.substr(0, count);
    }

    fs::path dir;
    std::string path;
    IniProfile ini;
};

const std::string Sample =
    "; comment=1\r\ntop=outside\r\n[Alpha]\r\n  Name One  =  spaced value  \r\n"
    "dq=\"in quotes\"\r\nsq='single'\r\nodd=\"abc'\r\nlone=\"\r\nempty=\r\nnum=42\r\n"
    "neg=-7\r\nhex=0x1F\r\ntrail=12abc\r\nword=abc\r\nqnum=\"5\"\r\nhuge=4294967297\r\n"
    "dup=first\r\ndup=second\r\n\r\n[ beta ]\r\nkey=b1";

TEST_F(IniProfileTest, ReadsStringsLikeThePlatform) {
    put(Sample);
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        {"alpha", "NAME ONE", "spaced value"},
        {"Alpha", "dq", "in quotes"},
        {"Alpha", "sq", "single"},
        {"Alpha", "odd", "\"abc'"},
        {"Alpha", "lone", "\""},
        {"Alpha", "empty", ""},
        {"Alpha", "dup", "first"},
        {"BETA", "key", "b1"},
        {"Alpha", "missing", "dflt"},
        {"Gamma", "num", "dflt"},
        {"Alpha", "top", "dflt"},
        {"Alpha", "; comment", "dflt"},
    };
    for (const Case& c : cases) EXPECT_EQ(readString(c.section, c.key), c.expected) << c.key;
    EXPECT_EQ(readString("Alpha", "Name One", 5), "spac");
    EXPECT_EQ(readString("Alpha", "missing", 3), "df");
    EXPECT_EQ(readString("Alpha", "missing", 1), "");
    char untouched = 'x';
    EXPECT_EQ(ini.getProfileString("Alpha", "dq", "", &untouched, 0, path.c_str()), 0u);
    EXPECT_EQ(untouched, 'x');
}

TEST_F(IniProfileTest, ReadsIntegersLikeThePlatform) {
    put(Sample);
    struct Case { const char* key; std::uint32_t expected; };
    const Case cases[] = {{"num", 42},     {"neg", 0xFFFFFFF9u}, {"hex", 31}, {"trail", 12},
                          {"word", 0},     {"qnum", 5},          {"huge", 1}, {"empty", 99},
                          {"missing", 99}, {"Name One", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ini.getProfileInt("ALPHA", c.key, 99, path.c_str()), c.expected) << c.key;
    EXPECT_EQ(ini.getProfileInt("Alpha", "num", -3, (dir / "none.ini").string().c_str()),
              0xFFFFFFFDu);
    EXPECT_EQ(parseProfileInt(" \t-0x10"), 0xFFFFFFF0u);
    EXPECT_EQ(parseProfileInt("-"), 0u);
    EXPECT_EQ(parseProfileInt("0xg"), 0u);
}

TEST_F(IniProfileTest, WritesOneLineAndKeepsTheRest) {
    struct Case { const char* before; const char* section; const char* key; const char* after; };
    const Case cases[] = {
        {"; c\n[a]\nx=1\nY = 2\n[b]\ny=3\n", "A", "y", "; c\n[a]\nx=1\nY = 9\n[b]\ny=3\n"},
        {"[a]\r\nx=1\r\n", "a", "new", "[a]\r\nx=1\r\nnew=9\r\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "[a]\nx=1\nz=9\n\n[b]\ny=2\n"},
        {"[a]\nx=1", "a", "z", "[a]\nx=1\nz=9\n"},
        {"[a]\n[b]\n", "a", "k", "[a]\nk=9\n[b]\n"},
        {"[a]\nx=1", "b", "y", "[a]\nx=1\n\n[b]\ny=9\n"},
        {"[a]\r\nx=1\r\n\r\n", "b", "y", "[a]\r\nx=1\r\n\r\n[b]\r\ny=9\r\n"},
        {"[Sec]\nKey=1\n[sec]\nkey=2\n", "SEC", "KEY", "[Sec]\nKey=9\n[sec]\nkey=2\n"},
    };
    for (const Case& c : cases) {
        put(c.before);
        EXPECT_TRUE(ini.writeProfileString(c.section, c.key, "9", path.c_str()));
        EXPECT_EQ(contents(), c.after) << c.before;
        EXPECT_EQ(readString(c.section, c.key), "9");
    }
}

TEST_F(IniProfileTest, WriteKeepsArbitraryBytesAndCreatesFiles) {
    const std::string junk("\xff\0[x\n[a]\nx=1\n", 13);
    put(junk);
    EXPECT_TRUE(ini.writeProfileString("a", "x", "22", path.c_str()));
    EXPECT_EQ(contents(), std::string("\xff\0[x\n[a]\nx=22\n", 14));

    fs::remove(path);
    EXPECT_TRUE(ini.writeProfileString("s", "k", "v", path.c_str()));
    EXPECT_EQ(contents(), testsupport::onDisk("[s]\nk=v\n"));
}

// Names and values that would read back as something else, missing
// arguments, and files that cannot be written are refused.
TEST_F(IniProfileTest, RefusedWritesChangeNothing) {
    put("[a]\nx=1\n");
    const std::string d = dir.string(), noDir = (dir / "no" / "f.ini").string();
    const struct { const char* section; const char* key; const char* value; const char* file; } refused[] = {
        {"a", "x", "1\n[b]", path.c_str()}, {"a", "x=y", "1", path.c_str()}, {"a]", "x", "1", path.c_str()},
        {"", "k", "v", path.c_str()},       {"s", "", "v", path.c_str()},    {"  ", "k", "v", path.c_str()},
        {"s\n", "k", "v", path.c_str()},    {"s", "[k", "v", path.c_str()},  {"s", ";k", "v", path.c_str()},
        {"s", "k", "a\rb", path.c_str()},   {nullptr, "k", "v", path.c_str()}, {"s", nullptr, "v", path.c_str()},
        {"s", "k", nullptr, path.c_str()},  {"s", "k", "v", nullptr},         {"a", "x", "1", d.c_str()},
        {"a", "x", "1", noDir.c_str()},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(ini.writeProfileString(r.section, r.key, r.value, r.file))
            << (r.section ? r.section : "null") << "/" << (r.key ? r.key : "null");
    EXPECT_EQ(contents(), "[a]\nx=1\n");
    EXPECT_TRUE(fs::is_directory(dir));
}

// A directory where the file should be reads like a missing file; missing
// arguments give the default.
TEST_F(IniProfileTest, UnreadableRequestsGiveTheDefault) {
    put("[export]\nTime Format=3\n");
    const std::string d = dir.string();
    auto read = [&](const char* section, const char* key, const char* fallback, const char* file) {
        char buffer[16] = "untouched";
        ini.getProfileString(section, key, fallback, buffer, sizeof buffer, file);
        return std::string(buffer);
    };
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 7, d.c_str()), 7u);
    EXPECT_EQ(read("export", "Time Format", "dflt", d.c_str()), "dflt");
    EXPECT_EQ(ini.getProfileInt(nullptr, "Time Format", 5, path.c_str()), 5u);
    EXPECT_EQ(ini.getProfileInt("export", nullptr, 5, path.c_str()), 5u);
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 5, nullptr), 5u);
    EXPECT_EQ(ini.getProfileInt("export", "Time Format", 5, path.c_str()), 3u);
    EXPECT_EQ(read(nullptr, "Time Format", "d", path.c_str()), "d");
    EXPECT_EQ(read("export", "Time Format", nullptr, nullptr), "");
    EXPECT_EQ(read("export", "Time Format", nullptr, path.c_str()), "3");
    EXPECT_EQ(ini.getProfileString("export", "Time Format", "d", nullptr, 4, path.c_str()), 0u);
}

}  // namespace
