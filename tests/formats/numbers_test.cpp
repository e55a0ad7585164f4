// The number reader against strtod in the C locale, on numbers in every form
// that a text file can hold and on millions of random ones: the same verdict
// and the same double, bit for bit.
#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "tracktools/formats/numbers.h"

namespace {

// What the readers took before: strtod over all of the text, XML white
// space after the number.
class Reference {
  public:
    Reference() : c_(::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {}
    ~Reference() { ::freelocale(c_); }
    bool Read(const std::string& text, double& value) const {
        char* end = nullptr;
        value = ::strtod_l(text.c_str(), &end, c_);
        if (end == text.c_str()) {
            return false;
        }
        end += std::strspn(end, " \t\r\n");
        return *end == '\0';
    }

  private:
    locale_t c_;
};

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void ExpectSame(formats::NumberReader& reader, const Reference& reference,
                const std::string& text) {
    double expected = 0.0;
    double read = 0.0;
    const bool expected_ok = reference.Read(text, expected);
    ASSERT_EQ(reader.Read(text, read), expected_ok) << '"' << text << '"';
    if (expected_ok) {
        ASSERT_EQ(Bits(read), Bits(expected)) << '"' << text << '"';
    }
}

TEST(NumberReader, ReadsEveryFormAsStrtodDoes) {
    formats::NumberReader reader;
    const Reference reference;
    // clang-format off
    const char* const texts[] = {
        "0", "-0", "+0", "47.6445480", "-122.3268970", ".5", "-.5", "5.", "1e5", "1E-5", "1e+5",
        "007.25", "  12.5", "12.5 \t\r\n", "12.5 x", "12.5x", "1,5", "--1", "-", ".", "", " ",
        "e5", "1e", "1e+", "1e400", "-1e400", "1e-400", "4.9e-324", "2.4703282292062327e-324",
        "2.4703282292062328e-324", "2.2250738585072011e-308", "1.7976931348623157e308",
        "1.7976931348623158e308", "1.7976931348623159e308", "0x1p3", "0x", "0X1.8", "inf", "-inf",
        "Infinity", "nan", "-nan", "nan(123)", "NAN", "+inf", "\v5", "\f5", "5\v",
        "9007199254740993", "123456789012345678901234567890e-30"};
    // clang-format on
    for (const char* text : texts) {
        ExpectSame(reader, reference, text);
    }
    // Halfway between two doubles, and just below.
    for (const char* text : {"1.00000000000000011102230246251565404236316680908203125",
                             "1.00000000000000011102230246251565404236316680908203124"}) {
        ExpectSame(reader, reference, text);
    }
    // A text that holds more than the number: a zero byte ends what strtod sees.
    using namespace std::string_literals;
    ExpectSame(reader, reference, "12\0"s + "5");
}

TEST(NumberReader, ReadsRandomNumbersAsStrtodDoes) {
    formats::NumberReader reader;
    const Reference reference;
    std::mt19937_64 random(20240607);
    const auto digits = [&](int most) {
        std::string text;
        const int count = static_cast<int>(random() % static_cast<unsigned>(most + 1));
        for (int i = 0; i < count; ++i) {
            text.push_back(static_cast<char>('0' + random() % 10));
        }
        return text;
    };
    char printed[64];
    for (int i = 0; i < 1000000; ++i) {
        std::string text;
        switch (i % 4) {
            case 0: {
                // Any double as programs print it: shortest, fixed, with exponent, hexadecimal.
                const std::uint64_t bits = random();
                double value;
                std::memcpy(&value, &bits, sizeof value);
                static const char* const kForms[] = {"%.17g", "%.6f", "%.3e", "%a", "%.20g"};
                std::snprintf(printed, sizeof printed, kForms[random() % 5], value);
                text = printed;
                break;
            }
            case 1:
                // Coordinates and elevations as GPS devices write them.
                std::snprintf(printed, sizeof printed, "%.*f", static_cast<int>(random() % 16),
                              (static_cast<double>(random() % 3600000000u) - 1.8e9) / 1e7);
                text = printed;
                break;
            default: {
                // Digits, point and exponent in random lengths, near the
                // ends of the range and past them, with signs and blanks.
                static const char* const kSigns[] = {"", "", "-", "+"};
                text = kSigns[random() % 4] + digits(22);
                if (random() % 2 == 0) {
                    text += "." + digits(22);
                }
                if (random() % 2 == 0) {
                    text += (random() % 2 == 0 ? "e" : "E");
                    text += kSigns[random() % 4];
                    text += std::to_string(random() % 700);
                }
                if (random() % 8 == 0) {
                    text = " " + text;
                }
                if (random() % 8 == 0) {
                    text += random() % 2 == 0 ? "\n" : "x";
                }
            }
        }
        ExpectSame(reader, reference, text);
    }
}

}  // namespace
