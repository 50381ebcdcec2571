#include "export/LocaleDecimal.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

namespace {

// Languages whose numbers take a decimal comma in most of their countries.
constexpr std::string_view CommaLanguages[] = {
    "af", "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et", "eu", "fi", "fo", "fr", "fy", "gl",
    "hr", "hu", "hy", "id", "is", "it", "ka", "kk", "ky", "lb", "lt", "lv", "mk", "mn", "nb", "nl", "nn", "no",
    "oc", "pl", "pt", "ro", "ru", "se", "sk", "sl", "sq", "sr", "sv", "tk", "tr", "uk", "uz", "vi"};

// Countries where such a language takes the point.
constexpr std::string_view PointExceptions[] = {"de_CH", "de_LI", "it_CH", "es_MX", "es_US", "es_PR",
                                                "es_DO", "es_GT", "es_HN", "es_NI", "es_PA", "es_SV"};

}  // namespace

bool localeWritesDecimalComma(std::string_view name) {
    // language[_TERRITORY][.codeset][@modifier]
    name = name.substr(0, name.find_first_of(".@"));
    std::string key(name);
    std::replace(key.begin(), key.end(), '-', '_');
    const std::size_t underscore = key.find('_');
    std::string language = key.substr(0, underscore);
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (underscore != std::string::npos)
        for (std::size_t i = underscore + 1; i < key.size(); ++i) key[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[i])));
    key.replace(0, underscore == std::string::npos ? key.size() : underscore, language);
    if (std::find(std::begin(PointExceptions), std::end(PointExceptions), key) != std::end(PointExceptions)) return false;
    return std::find(std::begin(CommaLanguages), std::end(CommaLanguages), language) != std::end(CommaLanguages);
}
