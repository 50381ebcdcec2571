// The settings file from arbitrary text, held in memory: load it, save the
// settings into it and load again. What loads stays in range; saving keeps it.
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniProfile.h"
#include "app/Settings.h"

struct MemoryProfile final : IniProfile {
    std::string file;
    std::optional<std::string> readText(const char*) override { return file; }
    bool mayCreate(const char*) override { return true; }
    bool writeText(const char*, std::string_view text) override { return file.assign(text), true; }
};

// The main table as a save writes it: the hexadecimal settings by their low 16 bits.
static std::vector<int> loaded() {
    const AppSettingsRecord& s = AppSettings;
    FUZZ_CHECK(s.exportTimeFormat <= 3 && s.exportDateFormat <= 2 && s.exportInterval <= 5);
    FUZZ_CHECK(s.recorderMode >= 1160 && s.recorderMode <= 1163 && s.portCommPort == (s.comPort & 0xFF));
    for (const char* text : {s.title, s.company, s.address1, s.address2, s.phone, s.fax, s.webSite})
        FUZZ_CHECK(strnlen(text, sizeof s.title) < sizeof s.title);
    return {s.exportTimeFormat, s.exportDateFormat, s.exportInterval, s.displayFlags, s.baud, std::int16_t(s.recorderMode), std::int16_t(s.comPort)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    settingsPath = "wHarvex.ini";
    MemoryProfile profile;
    profile.file.assign(reinterpret_cast<const char*>(data), size);
    loadSettings(profile);
    const std::vector<int> first = loaded();
    FUZZ_CHECK(saveSettings(profile));
    loadSettings(profile);
    FUZZ_CHECK(loaded() == first);
    return 0;
}
