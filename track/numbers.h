// Conversion of command-line and text numbers with 32-bit unsigned results.
#ifndef TRACKTOOLS_TRACK_NUMBERS_H
#define TRACKTOOLS_TRACK_NUMBERS_H

#include <cstdint>

namespace numbers {

// White space as the C library's default locale has it.
bool IsSpace(char c);

// Reads an unsigned number the way the C library's strtoul does where
// unsigned long has 32 bits: leading white space, an optional sign, then with
// base 0 "0x"/"0X" for hexadecimal, a leading 0 for octal, else decimal (base
// 10 takes decimal only). A magnitude above 4294967295 gives 4294967295; a
// minus sign gives 2^32 minus the magnitude. Without digits the result is 0
// and *end (when given) is `text`; otherwise *end is just past the digits.
std::uint32_t ParseUnsigned32(const char* text, int base, const char** end = nullptr);

// Truncates toward zero to a signed 64-bit integer and keeps its low 32 bits,
// so a negative value wraps like a 32-bit time stamp. A value that is not a
// number or lies outside the signed 64-bit range has no such integer: 0.
std::uint32_t TruncateToLow32(double value);

}  // namespace numbers

#endif
