#pragma once
// Numbers as text, byte for byte what glibc's printf prints in the C locale
// for "%*.*f" and "%*.*g", on every platform and whatever the user's locale.
// Built on std::to_chars, which is specified to match printf; the Windows C
// runtime rounds some ties differently, so it is never asked. Fixed forms
// with up to 4 decimals, the ones exports use for every value, are made
// from the exactly rounded scaled integer instead, which is faster.
#include <cstddef>

// Room for any double in either form, with sign, width up to 99 and
// precision up to 20, and a terminating zero.
inline constexpr std::size_t NumberTextMax = 448;

// Writes the text at out (which has NumberTextMax bytes), zero-terminates
// it and returns a pointer to the terminator.
char* formatFixed(char* out, double value, int width, int precision);
char* formatGeneral(char* out, double value, int width, int precision);
