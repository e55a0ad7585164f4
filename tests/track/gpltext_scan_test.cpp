// The reader's number and line scanning against the C library's sscanf, on
// malformed and unusual numbers in every item of a line: what each takes,
// whether it converts, and every value bit for bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "line_scan_reference.h"
#include "tracktools/track/gpldata.h"
#include "tracktools/track/gpltext.h"

namespace {

// The texts of all groups, each group a line of texts separated by '|'.
std::vector<std::string> Split(std::initializer_list<const char*> groups) {
    std::vector<std::string> texts;
    for (const char* group : groups) {
        for (const char* p = group;; ++p) {
            const char* end = std::strchr(p, '|');
            if (end == nullptr) {
                texts.emplace_back(p);
                break;
            }
            texts.emplace_back(p, end);
            p = end;
        }
    }
    return texts;
}

// Numbers and near misses, alone as an item of a line would hold them.
std::vector<std::string> Tokens() {
    std::vector<std::string> tokens = Split({
        // Well formed, for the line around them to be read.
        "0|7|-0|+17|007|40.5|-75.25|.5|5.|+.5|1e5|1.E5",
        // Exponents without digits, or with a second sign or letter.
        "1e|1e+|1.5E-|0e|.5e|1.e+|1ee|1e+-5|1e5e|1e.5|1e5.5",
        // Hexadecimal, with and without digits, point and exponent.
        "0x|0X|0xg|0xp1|0x-1|0x+1|-0x|0x.|+0x.|0x.p1|0x.8|0x1p|0x1P+|0x1.p|0x.1p-|0x1pa|0x1p1f",
        "0x1.8p3|0X1P-2|0x1e+5|0xE|00x1|.0x1|0.x1|0x1.8.8|0x1p1p1|0xinf|0xnan|1p5",
        // Words and their prefixes.
        "nan|-nan|+NaN|NAN|na|n|nanx|nan(123)|nan()|-nan(|nan(0x1)",
        "inf|-INF|+Inf|infinity|-Infinity|INFINITY|i|in|infi|infin|infinit|infinityx|infx|- inf",
        // Signs and points alone or doubled.
        "+|-|+-|-+1|- 1|.|-.|+.|..5|1.2.3|e5|.e5",
        // Ranges: overflow, underflow, the smallest denormal and its halfway point.
        "1e400|-1e400|1e-400|4.9e-324|2.4703282292062328e-324|2.4703282292062327e-324",
        "0x1p-1074|0x1p-1075|0x1.0000001p-1075|0x1.fffffffffffffp1023|0x1.fffffffffffff8p1023",
        "1.7976931348623158e308|1e99999999999999999999|1e-99999999999999999999",
        "0x1p99999999999999999999",
        // 16 digits, more than a double holds exactly: rounded once as an
        // integer and again when divided by the power of ten, these come out
        // wrong.
        "96.48064786969077|91128735.31840813",
        // Unsigned numbers beyond 32 and 64 bits, and negative.
        "4294967295|4294967296|-4294967295|-4294967296|18446744073709551615",
        "18446744073709551616|-18446744073709551616|99999999999999999999",
        // White space of every kind before, bytes that are not white space,
        // and nothing.
        " 1|\t1|\n1|\v1|\f1|\r1| \t\n\v\f\r-1|\xa0"
        "1|\xff|1\xa0|",
        // Dates and times, also where numbers belong.
        "12-Sep-2002,|10:20:30,|12-Sep-2002|1-Sep-2002,|12-sep-2002,10:20:30,",
    });
    // Long digit runs: more digits than a double holds, long zero runs and a
    // number just halfway between two doubles, written out in full.
    tokens.push_back(std::string(400, '9'));
    tokens.push_back("0." + std::string(330, '0') + "1");
    tokens.push_back("1" + std::string(320, '0'));
    tokens.push_back(std::string(800, '1') + "e-800");
    tokens.push_back("0x" + std::string(300, 'f') + "p-1200");
    tokens.push_back("9007199254740993" + std::string(300, '0') + "e-300");
    tokens.push_back("9007199254740993" + std::string(300, '0') + "1e-301");
    tokens.push_back(std::string(30, '0') + "4294967295");
    return tokens;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(GplTextScan, NumbersAreTakenAndConvertedAsScanfDoes) {
    int converted = 0;
    int failed = 0;
    for (const std::string& token : Tokens()) {
        for (const std::string& text : {token, token + ",2", token + "(1)"}) {
            double expected = -12345.0;
            int taken = -1;
            const bool scanned = std::sscanf(text.c_str(), "%lf%n", &expected, &taken) == 1;
            double value = -12345.0;
            const char* end = gpl::ScanDouble(text.c_str(), value);
            if (scanned) {
                ++converted;
                ASSERT_NE(end, nullptr) << '"' << text << '"';
                EXPECT_EQ(end - text.c_str(), taken) << '"' << text << '"';
                EXPECT_TRUE(SameBits(value, expected))
                    << '"' << text << "\": " << value << " instead of " << expected;
            } else {
                ++failed;
                EXPECT_EQ(end, nullptr) << '"' << text << '"';
                EXPECT_EQ(value, -12345.0) << '"' << text << "\": value changed";
            }

            // "%lu": the same characters taken; the value by the 32-bit rule.
            unsigned long ignored = 0;
            const bool integer = std::sscanf(text.c_str(), "%lu%n", &ignored, &taken) == 1;
            const char* integer_end = nullptr;
            const std::uint32_t tag = gpl::ParseUnsigned32(text.c_str(), 10, &integer_end);
            EXPECT_EQ(integer_end != text.c_str(), integer) << '"' << text << '"';
            if (integer) {
                EXPECT_EQ(integer_end - text.c_str(), taken) << '"' << text << '"';
                EXPECT_EQ(tag, linescan::Unsigned32Of(text.c_str())) << '"' << text << '"';
            }
        }
    }
    // Both outcomes are well represented.
    EXPECT_GT(converted, 150);
    EXPECT_GT(failed, 90);
}

// Plain decimals of 1 to 20 digits with the point anywhere, where a double
// holds the digits exactly and where it no longer does.
TEST(GplTextScan, DecimalsOfEveryLengthConvertAsScanfDoes) {
    std::mt19937 random(20020912);
    std::uniform_int_distribution<int> digit('0', '9');
    for (int n = 0; n < 20000; ++n) {
        std::string text(1 + n % 20, '0');
        for (char& c : text) {
            c = static_cast<char>(digit(random));
        }
        const auto point = std::uniform_int_distribution<std::size_t>(0, text.size() + 1)(random);
        if (point <= text.size()) {
            text.insert(point, 1, '.');
        }
        if (n % 3 == 0) {
            text.insert(0, 1, '-');
        }
        double expected = 0.0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%lf", &expected), 1) << text;
        double value = 0.0;
        ASSERT_EQ(gpl::ScanDouble(text.c_str(), value), text.c_str() + text.size()) << text;
        ASSERT_TRUE(SameBits(value, expected))
            << text << ": " << value << " instead of " << expected;
    }
}

// The nine items of a well-formed line and what follows each of them.
constexpr int kItems = 9;
const char* const kPlainItems[kItems] = {"7",         "3",  "40.5",   "-75.25", "12-Sep-2002,",
                                         "10:20:30,", "90", "12.345", "1234.5"};
const char* const kPlainAfter[kItems] = {":", ",", ",", ",", "", " ", ",", ",", ""};

// A point whose fields no scan leaves as they are by chance.
GPL_Data_Point Start() {
    GPL_Data_Point point(-1.25, -2.5, -3.75, -4.5, -5.25, 6, 7);
    point.Reserved1 = 8;
    point.Reserved2 = 9;
    return point;
}

// Both scans of `line`, and the reader: it accepts the line when the scan
// reaches Longitude and keeps what the scan read.
void ExpectSameAsScanf(const std::string& line, int* accepted_lines = nullptr) {
    const linescan::Scan expected = linescan::ScanWithCLibrary(line.c_str(), Start());
    const linescan::Scan actual = linescan::ScanWithReader(line.c_str(), Start());
    const std::string difference = linescan::Difference(expected, actual);
    EXPECT_TRUE(difference.empty())
        << difference << " differ in \"" << line << "\" (" << expected.items << " items by sscanf)";

    GPL_Data_Point point = Start();
    std::string text = line;
    const bool accepted = point.ExtractFromString(text);
    EXPECT_EQ(accepted, expected.items >= 4) << '"' << line << '"';
    if (accepted && accepted_lines != nullptr) {
        ++*accepted_lines;
    }
    const bool latitude = expected.items >= 3;
    EXPECT_EQ(point.Tag, expected.items >= 2 ? expected.point.Tag : 0u) << '"' << line << '"';
    EXPECT_TRUE(SameBits(point.Latitude, latitude ? expected.point.Latitude : 500.0)) << line;
    EXPECT_TRUE(SameBits(point.Speed, expected.items >= 8 ? expected.point.Speed : 0.0)) << line;
}

std::string Line(const std::vector<std::string>& items, const std::vector<std::string>& after) {
    std::string line;
    for (int i = 0; i < kItems; ++i) {
        line += items[i] + after[i];
    }
    return line;
}

TEST(GplTextScan, EachTokenInEachItemScansAsWithSscanf) {
    const std::vector<std::string> plain_items(kPlainItems, kPlainItems + kItems);
    int lines = 0;
    int accepted = 0;
    for (const std::string& token : Tokens()) {
        for (int at = 0; at < kItems; ++at) {
            // Directly before what follows, then with blanks around it.
            for (const char* space : {"", " ", "\t\n"}) {
                std::vector<std::string> items = plain_items;
                items[at] = space + token;
                std::vector<std::string> after(kPlainAfter, kPlainAfter + kItems);
                after[at] += space;
                ExpectSameAsScanf(Line(items, after), &accepted);
                ++lines;
            }
        }
    }
    EXPECT_GT(accepted, lines / 2);  // most lines get past Longitude
}

// Pieces of numbers, of words, white space and other bytes, put together at
// random into every item and between the items.
TEST(GplTextScan, RandomLinesScanAsWithSscanf) {
    const std::vector<std::string> tokens = Tokens();
    const std::vector<std::string> pieces = Split({
        "0|1|9|00|4294967296|123456789012345678901234567890|.|e|E|p|P|x|0x|a|f|g|+|-",
        "n|nan|i|inf|in|ity|(|)| |\t|\n|\v|\f|\r|,|:|\xa0|12-Sep-2002,|10:20:30,",
    });
    const std::vector<std::string> separators = Split({",|,|,|, |,\t| ,||;|:|:| :|, \n"});
    std::mt19937 random(20021209);
    const auto pick = [&random](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    int accepted = 0;
    constexpr int kLines = 30000;
    for (int n = 0; n < kLines; ++n) {
        std::vector<std::string> items(kPlainItems, kPlainItems + kItems);
        std::vector<std::string> after(kPlainAfter, kPlainAfter + kItems);
        for (int at = 0; at < kItems; ++at) {
            switch (std::uniform_int_distribution<int>(0, 5)(random)) {
                case 0:
                    items[at] = pick(tokens);
                    break;
                case 1:
                case 2: {
                    std::string made;
                    for (int k = std::uniform_int_distribution<int>(1, 5)(random); k > 0; --k) {
                        made += pick(pieces);
                    }
                    items[at] = made;
                    break;
                }
                default:
                    break;  // the plain item
            }
            if (std::uniform_int_distribution<int>(0, 7)(random) == 0) {
                after[at] = pick(separators);
            }
        }
        ExpectSameAsScanf(Line(items, after), &accepted);
        if (HasFailure()) {
            break;  // one line at fault says enough; the rest repeat it
        }
    }
    EXPECT_GT(accepted, kLines / 10);
}

}  // namespace
