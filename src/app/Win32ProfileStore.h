#pragma once
// The settings file through the platform's private-profile calls.
#include "app/ProfileStore.h"

class Win32ProfileStore final : public ProfileStore {
public:
    std::uint32_t getProfileInt(const char* section, const char* key, int defaultValue, const char* path) override;
    std::uint32_t getProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                   std::uint32_t size, const char* path) override;
    bool writeProfileString(const char* section, const char* key, const char* value, const char* path) override;
};
