// Reading the text form of a track point the way the C library reads it in
// its default locale, whatever locale the process has: its numbers, and the
// items of a listing line. The stream writer and
// GPL_Data_Point::ExtractFromString (declared with the record in gpldata.h)
// are defined beside these in gpltext.cpp.
#ifndef TRACKTOOLS_TRACK_GPLTEXT_H
#define TRACKTOOLS_TRACK_GPLTEXT_H

#include <cstdint>

class GPL_Data_Point;

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

// Reads a number the way the C library's scanf reads "%lf": leading white
// space, an optional sign, then "nan", "inf" or "infinity" in any case, or
// decimal digits with at most one '.' and an 'e' exponent, or "0x"/"0X" and
// hexadecimal digits with at most one '.' and a 'p' exponent (its digits
// decimal). The characters are taken one at a time as long as they can still
// belong to a number: an exponent letter after a digit, and a sign right
// after it, are taken even when no digit follows ("1e+" is taken whole), and
// "nan(...)" ends before the '('. What is taken converts as strtod converts
// it in the C locale, by its longest valid start ("1e+" gives 1, "0x." gives
// 0), bit for bit. The reading fails when it takes no digit (".", "-", "e5"),
// nothing after "0x" ("0x", "0xp1"), or stops inside one of the three words
// ("infinit"). Returns the position just past what was taken and sets
// `value`, or returns nullptr and leaves `value` alone. Allocates nothing.
const char* ScanDouble(const char* text, double& value);

// Widths of the date text ("12-Sep-2002,") and the time text ("10:20:30,") of
// a listing line, commas included.
constexpr int kDateTextWidth = 12;
constexpr int kTimeTextWidth = 9;

// Scans a listing line "<number>:<Tag>,<Latitude>,<Longitude>,<date> <time>
// <Heading>,<Speed>,<Altitude>" item by item, as the C library's sscanf does
// with "%lu:%lu,%lf,%lf,%12s%9s%lf,%lf,%lf", the numbers read as
// ParseUnsigned32 (base 10) and ScanDouble read them. White space may precede
// the numbers and the two texts, not a colon or a comma. The date and time
// texts are the next runs of at most kDateTextWidth and kTimeTextWidth
// characters that are not white space, stored with a terminating zero in
// `date` and `clock`. Each item is stored as it is read; the scan stops at
// the first item that does not match and leaves the later fields and texts
// alone. Returns the number of items read: the leading number (not kept)
// counts, the colon and commas do not, anything after Altitude is ignored.
int ScanLineItems(const char* text, GPL_Data_Point& point, char* date, char* clock);

}  // namespace gpl

#endif
