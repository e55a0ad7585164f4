#include "jsontokens.h"

#include <cstring>

#include "tracktools/formats/utf8.h"

namespace formats {
namespace {

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

int HexValue(int c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

JsonTokens::JsonTokens(io::InputFile& file) : file_(file) {
    text_.reserve(kMaxString);
    digits_.reserve(kMaxNumber);
    if (file_.Want(3) && std::memcmp(file_.Data(), "\xEF\xBB\xBF", 3) == 0) {
        file_.Skip(3);
    }
}

int JsonTokens::Peek() {
    if (file_.Size() == 0 && !file_.More()) {
        if (file_.Failed() && error_.reason.empty()) {
            error_.system_error = file_.Error();
            error_.reason = std::strerror(file_.Error());
            failed_ = JsonToken::kError;
        }
        return -1;
    }
    return file_.Data()[0];
}

void JsonTokens::Take() {
    const unsigned char c = file_.Data()[0];
    file_.Skip(1);
    if (c == '\n') {
        ++line_;
        column_ = 1;
    } else if ((c & 0xC0) != 0x80) {
        ++column_;  // columns count characters, not the bytes after a first
    }
}

bool JsonTokens::Fail(const std::string& what, Location where) {
    if (failed_ != JsonToken::kError) {
        error_.reason = "not valid JSON: " + what;
        error_.where = where;
        failed_ = JsonToken::kError;
    }
    return false;
}

JsonToken JsonTokens::Next() {
    last_ = Scan();
    return last_;
}

JsonToken JsonTokens::Scan() {
    if (failed_ == JsonToken::kError || expect_ == Expect::kEnd) {
        if (failed_ != JsonToken::kError) {
            // Only white space may follow the document.
            int c = Peek();
            while (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                Take();
                c = Peek();
            }
            if (c >= 0) {
                Fail("text after the end of the document");
            }
        }
        return failed_;
    }
    for (;;) {
        int c = Peek();
        while (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            Take();
            c = Peek();
        }
        where_ = Here();
        if (c < 0) {
            if (failed_ != JsonToken::kError) {
                Fail(depth_ == 0              ? "the file holds no value"
                     : in_object_[depth_ - 1] ? "the file ends within an object"
                                              : "the file ends within an array");
            }
            return JsonToken::kError;
        }
        switch (expect_) {
            case Expect::kValue:
                return Value(c);
            case Expect::kValueOrEnd:
                return c == ']' ? Close(c) : Value(c);
            case Expect::kKeyOrEnd:
            case Expect::kKey:
                if (c == '}' && expect_ == Expect::kKeyOrEnd) {
                    return Close(c);
                }
                if (c != '"') {
                    Fail("expected a member name in quotes");
                    return JsonToken::kError;
                }
                if (!ReadString()) {
                    return JsonToken::kError;
                }
                c = Peek();
                while (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                    Take();
                    c = Peek();
                }
                if (c != ':') {
                    Fail("expected ':' after a member name");
                    return JsonToken::kError;
                }
                Take();
                expect_ = Expect::kValue;
                return JsonToken::kKey;
            case Expect::kCommaOrEnd:
                if (c == ',') {
                    Take();
                    expect_ = in_object_[depth_ - 1] ? Expect::kKey : Expect::kValue;
                    continue;
                }
                if (c == (in_object_[depth_ - 1] ? '}' : ']')) {
                    return Close(c);
                }
                Fail(in_object_[depth_ - 1] ? "expected ',' or '}'" : "expected ',' or ']'");
                return JsonToken::kError;
            case Expect::kEnd:
                break;
        }
        return JsonToken::kError;
    }
}

JsonToken JsonTokens::AfterValue(JsonToken token) {
    expect_ = depth_ == 0 ? Expect::kEnd : Expect::kCommaOrEnd;
    return token;
}

JsonToken JsonTokens::Close(int c) {
    Take();
    --depth_;
    return AfterValue(c == '}' ? JsonToken::kEndObject : JsonToken::kEndArray);
}

JsonToken JsonTokens::Value(int c) {
    if (c == '{' || c == '[') {
        if (depth_ == kMaxDepth) {
            Fail("nested more than " + std::to_string(kMaxDepth) + " deep");
            return JsonToken::kError;
        }
        Take();
        in_object_[depth_++] = c == '{';
        expect_ = c == '{' ? Expect::kKeyOrEnd : Expect::kValueOrEnd;
        return c == '{' ? JsonToken::kBeginObject : JsonToken::kBeginArray;
    }
    if (c == '"') {
        return ReadString() ? AfterValue(JsonToken::kString) : JsonToken::kError;
    }
    if (c == '-' || IsDigit(c)) {
        return ReadNumber() ? AfterValue(JsonToken::kNumber) : JsonToken::kError;
    }
    if (c == 't') {
        return ReadWord("true") ? AfterValue(JsonToken::kTrue) : JsonToken::kError;
    }
    if (c == 'f') {
        return ReadWord("false") ? AfterValue(JsonToken::kFalse) : JsonToken::kError;
    }
    if (c == 'n') {
        return ReadWord("null") ? AfterValue(JsonToken::kNull) : JsonToken::kError;
    }
    Fail("expected a value");
    return JsonToken::kError;
}

bool JsonTokens::ReadWord(const char* word) {
    for (const char* p = word; *p != '\0'; ++p) {
        if (Peek() != *p) {
            return Fail("expected a value", where_);
        }
        Take();
    }
    return true;
}

bool JsonTokens::ReadNumber() {
    // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    digits_.clear();
    int c = Peek();
    const auto take = [&]() {
        if (digits_.size() == kMaxNumber) {
            return Fail("a number longer than " + std::to_string(kMaxNumber) + " characters",
                        where_);
        }
        digits_.push_back(static_cast<char>(c));
        Take();
        c = Peek();
        return true;
    };
    const auto digits = [&]() {
        if (!IsDigit(c)) {
            return Fail("a number without its digits");
        }
        while (IsDigit(c)) {
            if (!take()) {
                return false;
            }
        }
        return true;
    };
    if (c == '-' && !take()) {
        return false;
    }
    if (c == '0') {
        if (!take()) {
            return false;
        }
        if (IsDigit(c)) {
            return Fail("a number with a leading zero", where_);
        }
    } else if (!digits()) {
        return false;
    }
    if (c == '.' && (!take() || !digits())) {
        return false;
    }
    if (c == 'e' || c == 'E') {
        if (!take() || ((c == '+' || c == '-') && !take()) || !digits()) {
            return false;
        }
    }
    return numbers_.Read(digits_, number_) || Fail("a number out of reach", where_);
}

int JsonTokens::Hex4() {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexValue(Peek());
        if (digit < 0) {
            Fail("an escape \\u without four hexadecimal digits");
            return -1;
        }
        Take();
        value = value * 16 + digit;
    }
    return value;
}

void JsonTokens::Append(std::uint32_t code) {
    char bytes[4];
    std::size_t size = 0;
    if (code < 0x80) {
        bytes[size++] = static_cast<char>(code);
    } else if (code < 0x800) {
        bytes[size++] = static_cast<char>(0xC0 | (code >> 6));
        bytes[size++] = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        bytes[size++] = static_cast<char>(0xE0 | (code >> 12));
        bytes[size++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes[size++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes[size++] = static_cast<char>(0xF0 | (code >> 18));
        bytes[size++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        bytes[size++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes[size++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    // Whole characters only: a cut string stays UTF-8.
    if (cut_ || text_.size() + size > kMaxString) {
        cut_ = true;
        return;
    }
    text_.append(bytes, size);
}

bool JsonTokens::Escape() {
    Take();  // the backslash
    const int c = Peek();
    const char* const from = "\"\\/bfnrt";
    const char* const to = "\"\\/\b\f\n\r\t";
    const char* known = c > 0 ? std::strchr(from, c) : nullptr;
    if (known != nullptr && c != 'u') {
        Take();
        Append(static_cast<unsigned char>(to[known - from]));
        return true;
    }
    if (c != 'u') {
        return Fail("an invalid escape in a string");
    }
    Take();
    const int code = Hex4();
    if (code < 0) {
        return false;
    }
    if (code < 0xD800 || code > 0xDFFF) {
        Append(static_cast<std::uint32_t>(code));
        return true;
    }
    // A surrogate pair is one character; half of one is no character.
    if (code <= 0xDBFF && Peek() == '\\') {
        Take();
        if (Peek() == 'u') {
            Take();
            const int low = Hex4();
            if (low < 0) {
                return false;
            }
            if (low >= 0xDC00 && low <= 0xDFFF) {
                Append(0x10000 + ((static_cast<std::uint32_t>(code) - 0xD800) << 10) +
                       (static_cast<std::uint32_t>(low) - 0xDC00));
                return true;
            }
            Append(0xFFFD);
            if (low >= 0xD800 && low <= 0xDFFF) {
                Append(0xFFFD);
            } else {
                Append(static_cast<std::uint32_t>(low));
            }
            return true;
        }
        // Another escape after half a pair: it is read as itself.
        Append(0xFFFD);
        const int next = Peek();
        const char* simple = next > 0 ? std::strchr(from, next) : nullptr;
        if (simple == nullptr) {
            return Fail("an invalid escape in a string");
        }
        Take();
        Append(static_cast<unsigned char>(to[simple - from]));
        return true;
    }
    Append(0xFFFD);
    return true;
}

bool JsonTokens::ReadString() {
    Take();  // the opening quote
    text_.clear();
    cut_ = false;
    for (;;) {
        const int c = Peek();
        if (c < 0) {
            return Fail("the file ends within a string");
        }
        if (c == '"') {
            Take();
            return true;
        }
        if (c == '\\') {
            if (!Escape()) {
                return false;
            }
            continue;
        }
        if (c < 0x20) {
            return Fail("a control character in a string");
        }
        if (c < 0x80) {
            Take();
            if (!cut_ && text_.size() < kMaxString) {
                text_.push_back(static_cast<char>(c));
            } else {
                cut_ = true;
            }
            continue;
        }
        file_.Want(4);
        const unsigned char* p = file_.Data();
        const int length = Utf8Sequence(p, p + file_.Size());
        if (length <= 0) {
            return Fail("a string that is not UTF-8");
        }
        if (!cut_ && text_.size() + static_cast<std::size_t>(length) <= kMaxString) {
            text_.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
        } else {
            cut_ = true;
        }
        for (int i = 0; i < length; ++i) {
            Take();
        }
    }
}

bool JsonTokens::SkipValue() {
    if (last_ != JsonToken::kBeginObject && last_ != JsonToken::kBeginArray) {
        return last_ != JsonToken::kError;  // a scalar is read whole
    }
    const std::size_t until = depth_ - 1;
    while (depth_ > until) {
        const JsonToken token = Next();
        if (token == JsonToken::kError) {
            return false;
        }
    }
    return true;
}

}  // namespace formats
