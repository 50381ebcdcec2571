#pragma once
// The private-profile (INI) calls the settings are read and written through.
// Each call has the meaning of the Win32 call it is named after, so the
// Windows program can implement this by forwarding to
// GetPrivateProfileIntA, GetPrivateProfileStringA and
// WritePrivateProfileStringA. IniProfile is the portable implementation.
//
// All pointers must be non-null; deleting keys or sections (null value or
// key in Win32) is not part of this interface.
#include <cstdint>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The key's value as an integer; `defaultValue` when the file, section
    // or key is missing or the value is empty.
    virtual std::uint32_t getProfileInt(const char* section, const char* key, int defaultValue,
                                        const char* path) = 0;

    // Copies the key's value (or `defaultValue`) into `buffer`, at most
    // size - 1 characters and a terminator; returns the number copied.
    virtual std::uint32_t getProfileString(const char* section, const char* key,
                                           const char* defaultValue, char* buffer,
                                           std::uint32_t size, const char* path) = 0;

    // Sets the key to `value`, creating key, section or file as needed.
    // False when the file could not be written; nothing is reported.
    virtual bool writeProfileString(const char* section, const char* key, const char* value,
                                    const char* path) = 0;
};
