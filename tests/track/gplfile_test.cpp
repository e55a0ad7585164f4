#include "tracktools/track/gplfile.h"

#include <gtest/gtest.h>

#include "files.h"
#include "tracktools/track/gpltext.h"

namespace {

using namespace testing_support;

TEST(GplRecord, FieldsSitAtTheirOffsetsLittleEndian) {
    GPL_Data_Point p(1.0, -2.0, 3.5, 4.25, 5.0, 0x0A0B0C0Du, 0x01020304u);
    p.Reserved1 = 0x11223344u;
    p.Reserved2 = 0x55667788u;
    const std::string bytes = Record(p);
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x44\x33\x22\x11", 4));
    EXPECT_EQ(bytes.substr(8, 8), std::string("\0\0\0\0\0\0\xf0\x3f", 8));   // 1.0
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\0\0\0\x00\xc0", 8));  // -2.0
    EXPECT_EQ(bytes.substr(48, 4), std::string("\x0d\x0c\x0b\x0a", 4));
    EXPECT_EQ(bytes.substr(52, 4), std::string("\x88\x77\x66\x55", 4));
    const std::vector<GPL_Data_Point> back = ParseRecords(bytes);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(Record(back[0]), bytes);
}

TEST(GplInputFile, ReadsWholeRecordsAndDropsAPartialOne) {
    TempDir dir;
    std::vector<GPL_Data_Point> points;
    for (int i = 0; i < 5000; ++i) {  // more than one read buffer
        points.push_back(FullPoint(i, -i, i * 0.5, static_cast<std::uint32_t>(i)));
    }
    WriteFile(dir / "t.gpl", Records(points) + "partial");
    io::InputFile in;
    ASSERT_TRUE(in.Open(dir / "t.gpl"));
    GPL_Data_Point p;
    for (const GPL_Data_Point& expected : points) {
        ASSERT_TRUE(gpl::ReadRecord(in, p));
        ASSERT_EQ(Record(p), Record(expected));
        ASSERT_FALSE(in.AtEnd());
    }
    const GPL_Data_Point last = p;
    std::size_t partial = 0;
    EXPECT_FALSE(gpl::ReadRecord(in, p, &partial));
    EXPECT_EQ(partial, 7u);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(Record(p), Record(last));  // a failed read leaves the point alone
    EXPECT_FALSE(in.Open(dir.path()));   // a directory is not a track
    EXPECT_FALSE(in.Open(dir / "missing"));
}

TEST(GplInputFile, ReadsLinesCuttingLongOnesAndSeeingTheEnd) {
    TempDir dir;
    const std::string long_line(600, 'x');
    WriteFile(dir / "t.txt", "one\r\n\n" + long_line + "\nlast");
    io::InputFile in;
    ASSERT_TRUE(in.Open(dir / "t.txt"));
    char line[511];
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "one\r");
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "");
    in.ReadLine(line, sizeof line);
    EXPECT_EQ(std::string(line), std::string(510, 'x'));
    EXPECT_FALSE(in.AtEnd());
    in.ReadLine(line, sizeof line);  // the rest of the long line is not a line
    EXPECT_STREQ(line, "last");
    EXPECT_TRUE(in.AtEnd());
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "");
}

TEST(GplText, Unsigned32FollowsStrtoulWith32BitLongs) {
    struct Case {
        const char* text;
        int base;
        std::uint32_t value;
        int consumed;
    };
    const Case cases[] = {
        {"3", 0, 3, 1},
        {"0x10", 0, 16, 4},
        {"0X1f", 0, 31, 4},
        {"010", 0, 8, 3},
        {"09", 0, 0, 1},
        {"0x", 0, 0, 1},
        {"0xg", 0, 0, 1},
        {"abc", 0, 0, 0},
        {"", 0, 0, 0},
        {"-", 0, 0, 0},
        {" \t+7xyz", 0, 7, 4},
        {"-1", 0, 4294967295u, 2},
        {"-2", 0, 4294967294u, 2},
        {"-0", 0, 0, 2},
        {"4294967295", 0, 4294967295u, 10},
        {"4294967296", 0, 4294967295u, 10},
        {"-4294967295", 0, 1, 11},
        {"-4294967296", 0, 4294967295u, 11},
        {"99999999999999999999999", 10, 4294967295u, 23},
        {"0x10", 10, 0, 1},
        {"012", 10, 12, 3},
        {"- 5", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(gpl::ParseUnsigned32(c.text, c.base, &end), c.value) << '"' << c.text << '"';
        EXPECT_EQ(end - c.text, c.consumed) << '"' << c.text << '"';
    }
}

}  // namespace
