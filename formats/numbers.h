// Decimal numbers of the text formats (the coordinates, elevations and
// speeds of GPX, TCX, CSV and NMEA files), read as the C locale's strtod
// reads them, whatever the program's locale: the common forms through
// std::from_chars, which gives the same double without copying the text,
// and every other form (a plus sign, hexadecimal, "inf" and "nan", white
// space before the number) through strtod_l itself.
#ifndef TRACKTOOLS_FORMATS_NUMBERS_H
#define TRACKTOOLS_FORMATS_NUMBERS_H

#include <locale.h>

#include <string>
#include <string_view>

namespace formats {

class NumberReader {
  public:
    NumberReader() = default;
    ~NumberReader();
    NumberReader(const NumberReader&) = delete;
    NumberReader& operator=(const NumberReader&) = delete;

    // All of `text` as one number, with the white space strtod passes over
    // before it and XML white space (space, tab, CR, LF) after it: the
    // double strtod gives in the C locale. False when `text` is no number
    // or holds more than one.
    bool Read(std::string_view text, double& value);

  private:
    bool ReadOther(std::string_view text, double& value);
    bool ReadWithLocale(std::string_view text, double& value);

    locale_t c_locale_ = static_cast<locale_t>(nullptr);  // made when first needed
    std::string copy_;                                    // the text, zero-terminated
};

}  // namespace formats

#endif
