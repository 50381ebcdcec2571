#pragma once
// Reads and writes INI files with the results the Windows private-profile
// calls give: names match case-insensitively, keys and values are trimmed,
// a value in matching quotes loses them, anything missing yields the
// default. A write changes one line (or adds one) and keeps the rest of the
// file byte for byte, including its line ends.
#include <string_view>

#include "app/ProfileStore.h"

class IniProfile final : public ProfileStore {
public:
    std::uint32_t getProfileInt(const char* section, const char* key, int defaultValue,
                                const char* path) override;
    std::uint32_t getProfileString(const char* section, const char* key, const char* defaultValue,
                                   char* buffer, std::uint32_t size, const char* path) override;
    bool writeProfileString(const char* section, const char* key, const char* value,
                            const char* path) override;
};

// The integer reading of GetPrivateProfileIntA: leading blanks, an optional
// sign, decimal digits or "0x" and hexadecimal digits, up to the first other
// character; no digits gives 0. Wraps modulo 2^32 like the platform.
std::uint32_t parseProfileInt(std::string_view text);
