// The scanner against expat, on the same documents: every start, end and
// place, the text, and the error, as the handler of an XmlStream gets them
// from either engine; and which documents the scanner reads alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <thread>
#include <vector>

#include "files.h"
#include "formats_support.h"
#include "tracktools/formats/xml/xmlstream.h"
#include "xmlevents.h"

namespace {

using formats::XmlEngine;
using testing_support::TempDir;
using testing_support::WriteFile;
using testing_support::XmlEvents;
using testing_support::XmlRecorder;

XmlEvents ReadPath(const std::string& path, XmlEngine engine, bool some_text = false) {
    io::InputFile file;
    EXPECT_TRUE(file.Open(path)) << path;
    return XmlRecorder::Read(file, engine, some_text);
}

// The events of `path` from both engines are the same (with all text, or
// that of odd depths); true when the scanner read it without expat.
bool SameEvents(const std::string& path, const std::string& label, bool some_text = false) {
    const XmlEvents scanned = ReadPath(path, XmlEngine::kScanner, some_text);
    const XmlEvents expat = ReadPath(path, XmlEngine::kExpat, some_text);
    EXPECT_FALSE(expat.scanned);
    EXPECT_EQ(scanned.events, expat.events) << label;
    if (expat.events.find("error ") == std::string::npos) {
        EXPECT_EQ(scanned.text, expat.text) << label;
    }
    return scanned.scanned;
}

bool SameEventsOf(const std::string& document, const std::string& label, bool some_text = false) {
    TempDir dir;
    WriteFile(dir / "document.xml", document);
    return SameEvents(dir / "document.xml", label, some_text);
}

// The XML files of the project's examples, the fuzz seeds and the sample
// recordings (where present): the scanner reads every real recording alone.
TEST(XmlScanner, GivesExpatsEventsForEveryDocumentAtHand) {
    const std::string root = TRACKTOOLS_SOURCE_DIR;
    int files = 0;
    for (const std::string& directory :
         {root + "/examples", root + "/fuzz/corpus/gpx_reader", root + "/fuzz/corpus/tcx_reader",
          root + "/fuzz/corpus/xml_paths", std::string("/work/shared/samples")}) {
        struct stat info;
        if (::stat(directory.c_str(), &info) != 0) {
            continue;
        }
        const bool recordings = directory.find("corpus") == std::string::npos;
        for (const std::string& name : testing_support::FileNames(directory)) {
            const std::string extension = name.substr(name.find_last_of('.') + 1);
            if (recordings && extension != "gpx" && extension != "tcx") {
                continue;
            }
            const bool scanned = SameEvents(directory + "/" + name, name);
            EXPECT_TRUE(scanned || !recordings) << name << " was not scanned";
            ++files;
            // And the points the reader makes of it.
            formats::ReadError error;
            const std::string path = directory + "/" + name;
            const auto reader = formats::OpenReader(path, formats::Format(), error);
            if (reader != nullptr) {
                formats_support::ExpectSameWithExpat(path, formats_support::ReadAll(*reader),
                                                     reader->format());
            }
        }
    }
    EXPECT_GT(files, 10);
}

// The constructs of the scanner's subset, and what it leaves to expat:
// other encodings, declarations and names, and every kind of error.
TEST(XmlScanner, TakesTheXmlOfTrackFilesAndLeavesTheRestToExpat) {
    using namespace std::string_literals;  // documents with zero bytes
    const struct {
        std::string document;
        bool scanned;
    } cases[] = {
        {"<a>x</a>", true},
        {"\xEF\xBB\xBF<a>x</a>\n", true},
        {"<?xml version=\"1.0\"?>\n<a\n b=\"1\"\tc='&lt;&#10;\r\n&#x9;z'>x&amp;y\r\nz\rw]]&gt;"
         "<![CDATA[p\r\nq<>]]></a>",
         true},
        {"<?xml version='1.0' encoding = \"Utf-8\" standalone=\"yes\" ?><a/>", true},
        {"<a>\xC3\xA9\xC3\xA9<b/>\xE2\x82\xAC<c/>\xF0\x9F\x98\x80\x7F\xC2\x85\xEF\xBB\xBF</a>",
         true},
        {"<a xmlns=\"u\" xmlns:p=\"v\" p:x=\"1\" y=\"2\"><p:b xmlns:p=\"w\" p:z=\"3\"/><p:c/></a>",
         true},
        {"<a xmlns:p=\"a&amp;b\" xml:lang=\"en\" xmlns=\"\"><p:c/></a>", true},
        {"<a>&#x10FFFF;&#0000065;&#xD7FF;&#xE000;&#xFFFD;&#13;&lt;&gt;&apos;&quot;</a>", true},
        {"<ele><![CDATA[1.5]]></ele>", true},
        {"<name>A &amp; B</name>", true},
        {"<a b = \"1\" c='\"' d=\"'\" ></a >\n<!-- c - d -->\n<?pi x?><?pi?>\n", true},
        {"<?xml version=\"1.0\"?><!---->\n<?xml-stylesheet href=\"a\"?><a/>", true},
        {"<a b=\"x\ty\r\r\nz&#9;\"\n/>", true},
        {"<a>\r\r\n</a>\r", true},
        // Another encoding, version or declaration: expat's.
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", false},
        {"<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>\xC3\xA9</a>", false},
        {"<?xml version=\"1.1\"?><a/>", false},
        {"\xFF\xFE<\0a\0/\0>\0"s, false},
        {"<!DOCTYPE a><a/>", false},
        {"<\xC3\xA9l\xC3\xA9 \xC3\xA9=\"1\"/>", false},
        {"<a xmlns:p=\"a&#9;b\"><p:c/></a>", false},
        // Errors, each where expat finds it.
        {"<a>]]></a>", false},
        {"<a>xyz&unknown;</a>", false},
        {"<a>&#0;</a>", false},
        {"<a>&#xFFFE;</a>", false},
        {"<a>&#xD800;</a>", false},
        {"<a>&#x110000;</a>", false},
        {"<a>&#X41;</a>", false},
        {"<a>&lt&gt;</a>", false},
        {"<na&amp;me/>", false},
        {"<a>\xC0\xAF</a>", false},
        {"<a>\xE0\x80\x80</a>", false},
        {"<a>\xED\xA0\x80</a>", false},
        {"<a>\xEF\xBF\xBE</a>", false},
        {"<a>\xF4\x90\x80\x80</a>", false},
        {"<a>x\0</a>"s, false},
        {"<a>\x0B</a>", false},
        {"<a b=\"\xEF\xBF\xBF\"/>", false},
        {"<a b=\"x<y\"/>", false},
        {"<a b=\"1\" b=\"2\"/>", false},
        {"<a b=\"1\"c=\"2\"/>", false},
        {"<a xmlns:p=\"u\" xmlns:p=\"v\"/>", false},
        {"<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>", false},
        {"<p:a xmlns:p=\"u\" xmlns:q=\"u\"></q:a>", false},
        {"<a><b></a></b>", false},
        {"<a></ a>", false},
        {"<a b=\"1\"/ >", false},
        {"<p:a/>", false},
        {"<a:b:c xmlns:a=\"u\"/>", false},
        {"<a xmlns:p=\"\"/>", false},
        {"<a xmlns:p=\"u v\"><p:b/></a>", false},
        {"<a xmlns:xmlns=\"u\"/>", false},
        {"<a xmlns=\"http://www.w3.org/XML/1998/namespace\"/>", false},
        {"<a><!-- x -- y --></a>", false},
        {"<a><?XmL x?></a>", false},
        {" <?xml version=\"1.0\"?><a/>", false},
        {"<a/>x", false},
        {"<a/><b/>", false},
        {"<a>x", false},
        {"", false},
        {"\xEF\xBB\xBF\xEF\xBB\xBF<a/>", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameEventsOf(c.document, c.document), c.scanned) << c.document;
    }
}

// Every piece of a document cut at the end of the scanner's window, once
// for each place in it: tags with attributes, references, line ends,
// characters of several bytes, comments and CDATA.
TEST(XmlScanner, PiecesCutAtTheEndOfTheWindowJoinAsExpatsDo) {
    const std::string piece =
        "<p xmlns:g=\"urn:g\" lat=\"47.1\"\r\n lon='-8.2'>\n <g:ele>\xC3\xA9 12&amp;3&#x10FFFF;"
        "</g:ele>\r\n<!-- \xE2\x82\xAC -->]]<t><![CDATA[a\r\nb]]></t><e/>\r<?pi \n?>\n</p>\n";
    const std::size_t window = 1 << 17;
    for (std::size_t shift = 0; shift < piece.size(); ++shift) {
        std::string document = "<root>" + std::string(window - 2 * piece.size() + shift, 'x');
        for (int i = 0; i < 4; ++i) {
            document += piece;
        }
        document += "</root>";
        EXPECT_TRUE(SameEventsOf(document, "shift " + std::to_string(shift)));
    }
}

// Where the scanner gives up after handing out events (a name outside
// ASCII, an error, a nesting too deep, markup longer than its window, after
// a megabyte of text), expat hands out the rest, none twice, and finds the
// same error at the same place.
TEST(XmlScanner, ExpatTakesOverWithoutRepeatingEvents) {
    std::string points;
    for (int i = 0; i < 5000; ++i) {
        points += "<trkpt lat=\"1." + std::to_string(i) + "\" lon=\"2\"><ele>" + std::to_string(i) +
                  "</ele></trkpt>\n";
    }
    const std::string text(1 << 20, 'x');
    std::string nested;
    for (int i = 0; i < 300; ++i) {
        nested += "<a>";
    }
    for (const std::string& rest :
         {std::string("<\xC3\xA9/>"), std::string("<b></c>"),
          "<d>" + text + "<\xC3\xA9/>" + text + "</d>", "<d>" + text + "&bogus;</d>", nested,
          "<x a=\"" + std::string(3 << 20, '1') + "\"/>", std::string("<!DOCTYPE x>")}) {
        const std::string document = "<gpx>" + points + rest + points + "</gpx>";
        EXPECT_FALSE(SameEventsOf(document, rest.substr(0, 9)));
        EXPECT_FALSE(SameEventsOf(document, rest.substr(0, 9) + " (some text)", true));
    }
}

// What the GPX reader takes of the text of its elements, however the text
// comes in pieces: numbers and times in CDATA, references, a name cut in a
// character of several bytes, and the rest of the text after the cut.
TEST(XmlScanner, TheGpxReaderReadsTheSamePointsEitherWay) {
    const std::string name(1022, 'n');
    for (const std::string& inside :
         {std::string("<name>R&amp;R &#x10FFFF;&lt;\n ride </name><trkseg><trkpt lat=\"&#49;\" "
                      "lon='2&#x2E;5'><ele><![CDATA[ 12.5 ]]></ele><time>2019-05-01T<![CDATA["
                      "04:31:00]]>Z</time></trkpt>"),
          "<name>" + name + "\xE2\x82\xAC\na</name><trkseg><trkpt lat=\"1\" lon=\"2\"/>",
          std::string("<trkseg><trkpt lat=\"1\" lon=\"2\"><ele>1<!-- a -->2</ele><time>x</time>"
                      "</trkpt>")}) {
        formats_support::ReadAll("<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><trk>" + inside +
                                     "</trkseg></trk></gpx>",
                                 formats::Format::Named("gpx"));
    }
}

TEST(XmlScanner, APipeIsReadByExpat) {
    TempDir dir;
    const std::string document = "<gpx><trk><trkpt lat=\"1\" lon=\"2\"/></trk></gpx>\n";
    WriteFile(dir / "file.gpx", document);
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&]() { WriteFile(fifo, document); });
    const XmlEvents piped = ReadPath(fifo, XmlEngine::kScanner);
    writer.join();
    const XmlEvents scanned = ReadPath(dir / "file.gpx", XmlEngine::kScanner);
    EXPECT_FALSE(piped.scanned);
    EXPECT_TRUE(scanned.scanned);
    EXPECT_EQ(piped.events, scanned.events);
}

}  // namespace
