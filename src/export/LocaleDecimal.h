#pragma once
// Whether numbers in a locale take a decimal comma, from its name alone
// ("de_DE.UTF-8", "fr_CA", "pt-BR"), for the spreadsheet preset: a
// spreadsheet opening the text reads numbers the way its locale writes them.
#include <string_view>

bool localeWritesDecimalComma(std::string_view localeName);
