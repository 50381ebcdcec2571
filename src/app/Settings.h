#pragma once
// The settings file: where it is, and the two tables that drive reading it
// into AppSettings and writing it back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/ProfileStore.h"

enum class SettingKind : std::int8_t {
    Byte = 0,    // decimal integer, low 8 bits kept
    Text = 1,    // text into a fixed buffer
    Hex32 = 2,   // hexadecimal, unsigned 32-bit variable
    HexInt = 3,  // hexadecimal, signed 32-bit variable, written as its low 16 bits
    Hex16 = 4,   // hexadecimal, signed 16-bit variable
};

// Indexes into SettingSections.
namespace SettingSection {
inline constexpr std::int8_t Card = 0;
inline constexpr std::int8_t SerialLink = 1;
inline constexpr std::int8_t Export = 2;
inline constexpr std::int8_t Colors = 3;
inline constexpr std::int8_t Misc = 4;
inline constexpr std::int8_t Modem = 5;
}  // namespace SettingSection
inline constexpr std::array<const char*, 6> SettingSections = {"card",   "serial link", "export",
                                                               "colors", "misc",        "modem"};
inline constexpr const char* SpecialSection = "Special";

// One row of the main table.
struct SettingRow {
    SettingKind kind;
    std::int8_t section;  // index into SettingSections
    const char* key;
    void* variable;             // of the type the kind names
    std::int16_t defaultValue;  // Text: the buffer length
    const char* defaultText;    // Text only
    std::uint8_t highest;       // Byte: a larger value in the file loads as the default
};

// One row of the read-only "Special" table: Text, or a decimal byte.
struct SpecialRow {
    SettingKind kind;
    const char* key;
    void* variable;
    std::int32_t defaultValue;  // Text: the buffer length
    const char* defaultText;
};

extern const std::array<SettingRow, 8> MainSettingTable;
extern const std::array<SpecialRow, 8> SpecialSettingTable;

// The platform's path limit, terminator included.
inline constexpr std::size_t PathLimit = 260;

// Full paths of the settings and help files; empty until derivePaths
// succeeds.
extern std::string settingsPath;
extern std::string helpPath;

// Sets both paths for files named "wHarvex" in `currentDirectory`. False,
// with both paths empty, when the directory is empty or a path would not
// fit PathLimit.
bool derivePaths(const std::string& currentDirectory);

// Fills AppSettings from settingsPath; with no path, from the defaults.
void loadSettings(ProfileStore& store);

// Writes the main table to settingsPath. False when any key could not be
// written; callers ignore it.
bool saveSettings(ProfileStore& store);
