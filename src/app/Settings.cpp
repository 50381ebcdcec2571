#include "app/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

#include "app/AppSettings.h"

std::string settingsPath;
std::string helpPath;

namespace {

constexpr SettingRow byteRow(std::int8_t section, const char* key, std::uint8_t& variable,
                             std::int16_t defaultValue, std::uint8_t highest = 0xFF) {
    return {SettingKind::Byte, section, key, &variable, defaultValue, nullptr, highest};
}

constexpr SettingRow hexIntRow(std::int8_t section, const char* key, std::int32_t& variable,
                               std::int16_t defaultValue) {
    return {SettingKind::HexInt, section, key, &variable, defaultValue, nullptr, 0};
}

template <std::size_t N>
constexpr SpecialRow textRow(const char* key, char (&variable)[N], const char* defaultText) {
    return {SettingKind::Text, key, variable, static_cast<std::int32_t>(N), defaultText};
}

constexpr SpecialRow byteSpecialRow(const char* key, std::uint8_t& variable,
                                    std::int32_t defaultValue) {
    return {SettingKind::Byte, key, &variable, defaultValue, nullptr};
}

}  // namespace

constinit const std::array<SettingRow, 8> MainSettingTable = {
    byteRow(SettingSection::Export, "Time Format", AppSettings.exportTimeFormat, 1, 3),
    byteRow(SettingSection::Export, "Date Format", AppSettings.exportDateFormat, 0, 2),
    byteRow(SettingSection::Export, "Interval", AppSettings.exportInterval, 0, 5),
    byteRow(SettingSection::Misc, "Time Format", AppSettings.displayFlags, 32),
    hexIntRow(SettingSection::Card, "Use recorder", AppSettings.recorderMode, 0),
    byteRow(SettingSection::SerialLink, "PortCommPort", AppSettings.portCommPort, 1),
    byteRow(SettingSection::SerialLink, "Baud", AppSettings.baud, 1),
    hexIntRow(SettingSection::SerialLink, "ComPort", AppSettings.comPort, 1),
};

constinit const std::array<SpecialRow, 8> SpecialSettingTable = {
    byteSpecialRow("Debug", AppSettings.debug, 0),
    textRow("Title1", AppSettings.title, "Harvex Utility"),
    textRow("Company", AppSettings.company, "Harvex Instruments"),
    textRow("Addr1", AppSettings.address1, "1 Recorder Lane"),
    textRow("Addr2", AppSettings.address2, "Springfield"),
    textRow("Phone", AppSettings.phone, "Phone: 555-0100"),
    textRow("Fax", AppSettings.fax, "Fax: 555-0101"),
    textRow("WebSite", AppSettings.webSite, "www.example.com/harvex"),
};

namespace {

constexpr std::int32_t LowestRecorderMode = 1160;
constexpr std::int32_t HighestRecorderMode = 1163;
constexpr std::size_t HexTextLength = 10;

// Used when there is no settings path: every key reads as missing and
// nothing is written, so no stray file appears wherever the platform
// would put a relative one.
class DefaultsOnlyProfile final : public ProfileStore {
public:
    std::uint32_t getProfileInt(const char*, const char*, int defaultValue, const char*) override {
        return static_cast<std::uint32_t>(defaultValue);
    }
    std::uint32_t getProfileString(const char*, const char*, const char* defaultValue, char* buffer,
                                   std::uint32_t size, const char*) override {
        if (size == 0) return 0;
        const std::size_t count = std::min<std::size_t>(std::strlen(defaultValue), size - 1);
        std::memcpy(buffer, defaultValue, count);
        buffer[count] = '\0';
        return static_cast<std::uint32_t>(count);
    }
    bool writeProfileString(const char*, const char*, const char*, const char*) override {
        return false;
    }
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The scanf "%X" conversion: blanks, optional sign, optional 0x, digits.
// Nothing when no digit is there; wraps to 32 bits like the runtime.
std::optional<std::uint32_t> scanHex(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
        hexDigit(s[i + 2]) >= 0)
        i += 2;
    if (i >= s.size() || hexDigit(s[i]) < 0) return std::nullopt;
    std::uint32_t value = 0;
    for (; i < s.size() && hexDigit(s[i]) >= 0; ++i)
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(s[i]));
    return negative ? 0u - value : value;
}

void readHex(ProfileStore& store, const SettingRow& row, const char* path) {
    char text[HexTextLength] = {};
    store.getProfileString(SettingSections[static_cast<std::size_t>(row.section)], row.key, "",
                           text, sizeof text, path);
    std::uint32_t value = static_cast<std::uint32_t>(static_cast<std::int32_t>(row.defaultValue));
    if (text[0] != '\0') {
        const std::optional<std::uint32_t> scanned = scanHex(text);
        if (!scanned) return;  // the variable keeps what it had
        value = *scanned;
    }
    switch (row.kind) {
        case SettingKind::Hex32: *static_cast<std::uint32_t*>(row.variable) = value; break;
        case SettingKind::HexInt:
            *static_cast<std::int32_t*>(row.variable) = static_cast<std::int32_t>(value);
            break;
        case SettingKind::Hex16:
            *static_cast<std::int16_t*>(row.variable) = static_cast<std::int16_t>(value);
            break;
        default: break;
    }
}

void readRow(ProfileStore& store, const SettingRow& row, const char* path) {
    const char* section = SettingSections[static_cast<std::size_t>(row.section)];
    switch (row.kind) {
        case SettingKind::Byte: {
            auto value = static_cast<std::uint8_t>(
                store.getProfileInt(section, row.key, row.defaultValue, path));
            // A hand-edited value past the last choice would index past the
            // forms' radio buttons and the export's tables.
            if (value > row.highest) value = static_cast<std::uint8_t>(row.defaultValue);
            *static_cast<std::uint8_t*>(row.variable) = value;
            break;
        }
        case SettingKind::Text:
            if (row.defaultValue > 0)
                store.getProfileString(section, row.key, row.defaultText ? row.defaultText : "",
                                       static_cast<char*>(row.variable),
                                       static_cast<std::uint32_t>(row.defaultValue), path);
            break;
        case SettingKind::Hex32:
        case SettingKind::HexInt:
        case SettingKind::Hex16: readHex(store, row, path); break;
    }
}

void readSpecialRow(ProfileStore& store, const SpecialRow& row, const char* path) {
    if (row.kind == SettingKind::Text) {
        if (row.defaultValue > 0)
            store.getProfileString(SpecialSection, row.key, row.defaultText ? row.defaultText : "",
                                   static_cast<char*>(row.variable),
                                   static_cast<std::uint32_t>(row.defaultValue), path);
    } else {
        *static_cast<std::uint8_t*>(row.variable) = static_cast<std::uint8_t>(
            store.getProfileInt(SpecialSection, row.key, row.defaultValue, path));
    }
}

std::string formatHex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

std::string rowText(const SettingRow& row) {
    switch (row.kind) {
        case SettingKind::Byte:
            return std::to_string(*static_cast<const std::uint8_t*>(row.variable));
        case SettingKind::Text: {
            const auto* text = static_cast<const char*>(row.variable);
            const std::size_t limit =
                row.defaultValue > 0 ? static_cast<std::size_t>(row.defaultValue) : 0;
            return std::string(text, std::find(text, text + limit, '\0'));
        }
        case SettingKind::Hex32: return formatHex(*static_cast<const std::uint32_t*>(row.variable));
        case SettingKind::HexInt: {
            // Only the low 16 bits are kept, sign-extended as printf does.
            const auto low =
                static_cast<std::int16_t>(*static_cast<const std::int32_t*>(row.variable));
            return formatHex(static_cast<std::uint32_t>(static_cast<std::int32_t>(low)));
        }
        case SettingKind::Hex16:
            return formatHex(static_cast<std::uint32_t>(
                static_cast<std::int32_t>(*static_cast<const std::int16_t*>(row.variable))));
    }
    return {};
}

// Splits a path into drive, directory, base name and extension.
struct PathParts {
    std::string_view drive, dir, base, ext;
};

PathParts splitPath(std::string_view path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    if (const std::size_t slash = path.find_last_of("\\/"); slash != std::string_view::npos) {
        parts.dir = path.substr(0, slash + 1);
        path.remove_prefix(slash + 1);
    }
    if (const std::size_t dot = path.rfind('.'); dot != std::string_view::npos) {
        parts.ext = path.substr(dot);
        path = path.substr(0, dot);
    }
    parts.base = path;
    return parts;
}

}  // namespace

bool derivePaths(const std::string& currentDirectory) {
    settingsPath.clear();
    helpPath.clear();
    if (currentDirectory.empty() || currentDirectory.size() >= PathLimit ||
        currentDirectory.find('\0') != std::string::npos)
        return false;
    // Windows directories use backslashes; a POSIX one (starting with "/"
    // and holding none) gets "/" so the portable build finds its files too.
    const bool posix =
        currentDirectory.front() == '/' && currentDirectory.find('\\') == std::string::npos;
    std::string exe = currentDirectory;
    if (exe.back() != '\\' && exe.back() != '/') exe += posix ? '/' : '\\';
    exe += "wHarvex.exe";

    const PathParts parts = splitPath(exe);
    std::string stem;
    stem.append(parts.drive).append(parts.dir).append(parts.base);
    if (stem.size() + 4 >= PathLimit) return false;
    settingsPath = stem + ".ini";
    helpPath = stem + ".hlp";
    return true;
}

void loadSettings(ProfileStore& store) {
    DefaultsOnlyProfile defaultsOnly;
    ProfileStore& source = settingsPath.empty() ? defaultsOnly : store;
    const char* path = settingsPath.c_str();

    // A hex key that does not scan keeps the variable's previous value:
    // zero, as for the static record at start.
    static_assert(std::is_trivially_copyable_v<AppSettingsRecord>);
    std::memset(static_cast<void*>(&AppSettings), 0, sizeof AppSettings);

    for (const SettingRow& row : MainSettingTable) readRow(source, row, path);
    AppSettings.portCommPort = static_cast<std::uint8_t>(AppSettings.comPort & 0xFF);
    for (const SpecialRow& row : SpecialSettingTable) readSpecialRow(source, row, path);
    if (AppSettings.recorderMode < LowestRecorderMode ||
        AppSettings.recorderMode > HighestRecorderMode)
        AppSettings.recorderMode = LowestRecorderMode;
}

bool saveSettings(ProfileStore& store) {
    if (settingsPath.empty()) return false;
    bool allWritten = true;
    for (const SettingRow& row : MainSettingTable) {
        const std::string text = rowText(row);
        allWritten &=
            store.writeProfileString(SettingSections[static_cast<std::size_t>(row.section)],
                                     row.key, text.c_str(), settingsPath.c_str());
    }
    return allWritten;
}
