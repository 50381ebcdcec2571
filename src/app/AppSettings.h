#pragma once
// The process-wide settings record. Loaded once at start and written back
// once at the end by the desktop program; `harvex` uses the defaults.
#include <cstdint>

struct AppSettingsRecord {
    std::uint8_t exportTimeFormat = 1;  // 0 sample number, 1 elapsed, 2 12-hour, 3 24-hour
    std::uint8_t exportDateFormat = 0;  // 0 none, 1 month first, 2 day first
    std::uint8_t exportInterval = 0;    // 0 none, 1 minute, 2 hour, 3 day, 4 week, 5 month
    std::uint8_t displayFlags = 0x20;   // Time24 0x20, DayFirst 0x40
    std::int32_t recorderMode = 1160;
    std::uint8_t portCommPort = 1;
    std::uint8_t baud = 1;
    std::int32_t comPort = 1;
    std::uint8_t debug = 0;
    char title[40] = "Harvex Utility";
    char company[40] = "";
    char address1[40] = "";
    char address2[40] = "";
    char phone[40] = "";
    char fax[40] = "";
    char webSite[40] = "";
};

// Bits of displayFlags.
inline constexpr std::uint8_t DisplayTime24 = 0x20;
inline constexpr std::uint8_t DisplayDayFirst = 0x40;

// The one instance; starts with the table defaults so code that runs
// without a settings file (the command-line tool, tests) sees them.
extern AppSettingsRecord AppSettings;
