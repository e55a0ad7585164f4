// Reading the numbers of the text form of a track point the way the C
// library reads them in its default locale, whatever locale the process has.
// The stream writer and GPL_Data_Point::ExtractFromString (declared with the
// record in gpldata.h) are defined beside these in gpltext.cpp.
#ifndef TRACKTOOLS_TRACK_GPLTEXT_H
#define TRACKTOOLS_TRACK_GPLTEXT_H

#include <cstdint>

namespace gpl {

// White space of the C locale: blank, \t, \n, \v, \f and \r.
bool IsSpace(char c);

// Reads an unsigned number the way the C library's strtoul does where
// unsigned long has 32 bits: leading white space, an optional sign, then with
// base 0 "0x"/"0X" for hexadecimal, a leading 0 for octal, else decimal (base
// 10 takes decimal only). A magnitude above 4294967295 gives 4294967295; a
// minus sign gives 2^32 minus the magnitude. Without digits the result is 0
// and *end (when given) is `text`; otherwise *end is just past the digits.
std::uint32_t ParseUnsigned32(const char* text, int base, const char** end = nullptr);

}  // namespace gpl

#endif
