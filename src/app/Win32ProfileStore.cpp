#include "app/Win32ProfileStore.h"

#include <windows.h>

std::uint32_t Win32ProfileStore::getProfileInt(const char* section, const char* key, int defaultValue,
                                               const char* path) {
    return GetPrivateProfileIntA(section, key, defaultValue, path);
}

std::uint32_t Win32ProfileStore::getProfileString(const char* section, const char* key, const char* defaultValue,
                                                  char* buffer, std::uint32_t size, const char* path) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}

bool Win32ProfileStore::writeProfileString(const char* section, const char* key, const char* value,
                                           const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}
