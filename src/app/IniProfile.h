#pragma once
// Reads and writes INI files with the results the Windows private-profile
// calls give: names match case-insensitively, keys and values are trimmed,
// a value in matching quotes loses them, anything missing yields the
// default. A write changes one line (or adds one) and keeps the rest of the
// file byte for byte, including its line ends.
#include <optional>
#include <string>
#include <string_view>

#include "app/ProfileStore.h"

class IniProfile : public ProfileStore {
public:
    std::uint32_t getProfileInt(const char* section, const char* key, int defaultValue,
                                const char* path) override;
    std::uint32_t getProfileString(const char* section, const char* key, const char* defaultValue,
                                   char* buffer, std::uint32_t size, const char* path) override;
    bool writeProfileString(const char* section, const char* key, const char* value,
                            const char* path) override;

protected:
    // The file's bytes; nothing when it cannot be read. A fuzz target keeps
    // the file in memory instead of on disk.
    virtual std::optional<std::string> readText(const char* path);
    // Whether a write may create the file: an existing file that cannot be
    // read must not be replaced by one key.
    virtual bool mayCreate(const char* path);
    virtual bool writeText(const char* path, std::string_view text);
};

// The integer reading of GetPrivateProfileIntA: leading blanks, an optional
// sign, decimal digits or "0x" and hexadecimal digits, up to the first other
// character; no digits gives 0. Wraps modulo 2^32 like the platform.
std::uint32_t parseProfileInt(std::string_view text);
