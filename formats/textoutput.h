// Text written into a GPL output file's buffer for the text formats: plain
// pieces, numbers in the shortest form that reads back to the same double,
// UTC times, and names escaped for XML or JSON.
#ifndef TRACKTOOLS_FORMATS_TEXTOUTPUT_H
#define TRACKTOOLS_FORMATS_TEXTOUTPUT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "tracktools/io/outputfile.h"
#include "tracktools/track/point.h"

namespace formats {

// The length of the well-formed UTF-8 character at the start of `text`
// (overlong forms, surrogates and values past U+10FFFF are not), or 0.
std::size_t Utf8Length(std::string_view text);

// `text` escaped for XML or HTML character data and attribute values
// (& < > " ' as references, and CR, which a reader would take for a line
// end); bytes that are not UTF-8, and control
// characters XML 1.0 cannot hold, become U+FFFD.
std::string MarkupText(std::string_view text);
// `text` as a JSON string with its quotes: " \ and control characters
// escaped, bytes that are not UTF-8 replaced by U+FFFD.
std::string JsonQuoted(std::string_view text);

class TextOutput {
  public:
    explicit TextOutput(io::OutputFile& file) : file_(file) {}

    // Each call adds to the buffer; once a write has failed nothing more is
    // taken and Failed() stays true.
    void Put(std::string_view text) { ok_ = file_.WriteBytes(text.data(), text.size()) && ok_; }
    void Put(char c) { ok_ = file_.WriteBytes(&c, 1) && ok_; }
    // Any notation: "46.9481", "1e-07", "nan", "-nan", "inf", "-inf".
    void Number(double value);
    // Fixed notation, never an exponent ("0.0000001"), as XML Schema's
    // decimal type wants it. For finite values only.
    void Decimal(double value);
    void Unsigned(std::uint64_t value);
    // "YYYY-MM-DDThh:mm:ssZ", with the fraction of a second when there is
    // one (".25").
    void Time(track::Instant time);
    // Names, which are short: MarkupText and JsonQuoted.
    void XmlText(std::string_view text) { Put(MarkupText(text)); }
    void JsonString(std::string_view text) { Put(JsonQuoted(text)); }

    bool Failed() const { return !ok_; }

  private:
    io::OutputFile& file_;
    bool ok_ = true;
};

}  // namespace formats

#endif
