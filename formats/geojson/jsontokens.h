// JSON (RFC 8259) read token by token from a file, in constant memory: the
// grammar is checked as the tokens come (a member name is followed by its
// colon, values by commas), strings are decoded (escapes, \uXXXX with
// surrogate pairs, raw UTF-8 checked) and numbers are read exactly. Each
// token has the line and column (in characters) where it starts.
//
// Strings keep their first kMaxString bytes (whole characters); a longer one
// is read to its end and marked cut. A number longer than kMaxNumber
// characters, nesting deeper than kMaxDepth, and anything that is not JSON
// end the tokens with an error ("not valid JSON: ...") at its place.
#ifndef TRACKTOOLS_FORMATS_GEOJSON_JSONTOKENS_H
#define TRACKTOOLS_FORMATS_GEOJSON_JSONTOKENS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tracktools/formats/numbers.h"
#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

enum class JsonToken : unsigned char {
    kBeginObject,
    kEndObject,
    kBeginArray,
    kEndArray,
    kKey,  // a member's name, its colon taken
    kString,
    kNumber,
    kTrue,
    kFalse,
    kNull,
    kEnd,    // the document ended as it should
    kError,  // see Error()
};

class JsonTokens {
  public:
    static constexpr std::size_t kMaxString = 1024;
    static constexpr std::size_t kMaxNumber = 1100;
    static constexpr std::size_t kMaxDepth = 512;

    // Reads `file` from where it stands; a UTF-8 byte-order mark is passed over.
    explicit JsonTokens(io::InputFile& file);

    // The next token; kEnd and kError stay.
    JsonToken Next();
    // Passes over the rest of the value whose first token was the last one:
    // to the end of an object or array it began, nothing for a scalar.
    // False on an error.
    bool SkipValue();

    // Of the last kKey or kString token.
    std::string_view Text() const { return text_; }
    bool Cut() const { return cut_; }
    // Of the last kNumber token: the double the C locale's strtod gives.
    double Number() const { return number_; }
    Location Where() const { return where_; }
    // The objects and arrays open after the last token.
    std::size_t Depth() const { return depth_; }
    const ReadError& Error() const { return error_; }

  private:
    enum class Expect : unsigned char { kValue, kValueOrEnd, kKeyOrEnd, kKey, kCommaOrEnd, kEnd };

    // The next byte without taking it; -1 at the end of the file or on a
    // read error (error_ then set).
    int Peek();
    void Take();
    bool Fail(const std::string& what, Location where);
    bool Fail(const std::string& what) { return Fail(what, Here()); }
    Location Here() const { return {line_, column_, false, 0}; }
    JsonToken Scan();
    JsonToken Value(int c);
    JsonToken AfterValue(JsonToken token);
    JsonToken Close(int c);
    bool ReadString();
    bool Escape();
    int Hex4();
    void Append(std::uint32_t code);
    bool ReadNumber();
    bool ReadWord(const char* word);

    io::InputFile& file_;
    NumberReader numbers_;
    std::uint64_t line_ = 1;
    std::uint64_t column_ = 1;
    Location where_;
    Expect expect_ = Expect::kValue;
    bool in_object_[kMaxDepth] = {};  // of each open container: an object, else an array
    std::size_t depth_ = 0;
    JsonToken failed_ = JsonToken::kEnd;  // kError once failed
    JsonToken last_ = JsonToken::kEnd;
    std::string text_;
    bool cut_ = false;
    std::string digits_;
    double number_ = 0.0;
    ReadError error_;
};

}  // namespace formats

#endif
