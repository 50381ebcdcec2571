// The settings file from arbitrary text: load it, write the settings back
// into it, and load again. Loaded values stay in their ranges, writing
// keeps what was loaded.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniProfile.h"
#include "app/Settings.h"

namespace {

// The settings file held in memory: the target reads and writes it a few
// dozen times per input.
class MemoryProfile final : public IniProfile {
public:
    std::string file;

protected:
    std::optional<std::string> readText(const char*) override { return file; }
    bool mayCreate(const char*) override { return true; }
    bool writeText(const char*, std::string_view text) override {
        file.assign(text);
        return true;
    }
};

// What a save keeps: the main table, the hexadecimal values by their low 16
// bits as they are written.
struct Saved {
    std::uint8_t timeFormat, dateFormat, interval, displayFlags, portCommPort, baud;
    std::int16_t recorderMode, comPort;
    bool operator==(const Saved&) const = default;
};

Saved saved() {
    const AppSettingsRecord& s = AppSettings;
    return {s.exportTimeFormat, s.exportDateFormat, s.exportInterval, s.displayFlags, s.portCommPort, s.baud,
            static_cast<std::int16_t>(s.recorderMode), static_cast<std::int16_t>(s.comPort)};
}

void checkRanges() {
    const AppSettingsRecord& s = AppSettings;
    FUZZ_CHECK(s.exportTimeFormat <= 3);
    FUZZ_CHECK(s.exportDateFormat <= 2);
    FUZZ_CHECK(s.exportInterval <= 5);
    FUZZ_CHECK(s.recorderMode >= 1160 && s.recorderMode <= 1163);
    FUZZ_CHECK(s.portCommPort == (s.comPort & 0xFF));
    for (const char* text : {s.title, s.company, s.address1, s.address2, s.phone, s.fax, s.webSite})
        FUZZ_CHECK(strnlen(text, sizeof s.title) < sizeof s.title);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    settingsPath = "wHarvex.ini";
    const char* path = settingsPath.c_str();
    MemoryProfile profile;
    profile.file.assign(reinterpret_cast<const char*>(data), size);

    loadSettings(profile);
    checkRanges();
    const Saved first = saved();

    FUZZ_CHECK(saveSettings(profile));
    loadSettings(profile);
    checkRanges();
    FUZZ_CHECK(saved() == first);

    // A value is cut to the caller's buffer, never written past it.
    for (std::uint32_t capacity : {1u, 5u}) {
        std::vector<char> exact(capacity);
        const std::uint32_t n = profile.getProfileString("Special", "Title1", "Harvex Utility", exact.data(), capacity,
                                                         path);
        FUZZ_CHECK(n < capacity);
        FUZZ_CHECK(exact[n] == '\0');
    }
    return 0;
}
