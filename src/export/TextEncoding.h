#pragma once
// Text of the recorder files (its symbols read as Windows-1252) in UTF-8.
#include <string>
#include <string_view>

// Appends the UTF-8 form of every byte. The five codes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same number, as Windows converts them, or U+FFFD when replaceUndefined.
void appendWindows1252AsUtf8(std::string_view text, std::string& out, bool replaceUndefined = false);
std::string windows1252ToUtf8(std::string_view text, bool replaceUndefined = false);
