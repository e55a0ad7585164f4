// trailview's scene writer with any factors, file name, vertices and
// extremes: the file name stays inside its comment line, and the track's
// index list names every vertex once, from the last down to the first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "vrmlscene.h"

namespace {

// Indices up to "-1" in the list that starts at `at`.
void CheckIndexList(const std::string& scene, std::size_t at, std::uint64_t vertices) {
    const char* p = scene.c_str() + at;
    for (std::uint64_t expected = vertices; expected-- > 0;) {
        char* end = nullptr;
        const long long index = std::strtoll(p, &end, 10);
        FUZZ_CHECK(end != p && index == static_cast<long long>(expected));
        FUZZ_CHECK(end[0] == ',' && end[1] == ' ');
        p = end + 2;
        if (*p == '\n') {
            ++p;
        }
    }
    FUZZ_CHECK(std::strncmp(p, "-1\n", 3) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    vrml::Factors factors;
    factors.x = in.Double();
    factors.y = in.Double();
    factors.z = in.Double();
    factors.altitude = in.Double();
    factors.latitude = in.Double();
    factors.longitude = in.Double();
    const std::uint64_t vertices = in.Byte();
    // A long name goes past the writer's buffer.
    const unsigned repeats = 1u + in.Byte() % 4 * 8;

    char* text = nullptr;
    std::size_t text_size = 0;
    std::FILE* out = ::open_memstream(&text, &text_size);
    FUZZ_CHECK(out != nullptr);
    {
        vrml::SceneWriter scene(out);
        scene.Header(factors);
        std::string piece = in.Rest();
        piece = piece.substr(0, piece.find('\0'));
        std::string name;
        for (unsigned i = 0; i < repeats; ++i) {
            name += piece;
        }
        scene.BeginTrack(name.c_str());
        vrml::Extremes extremes;
        fuzz::Bytes values(data, size);  // the input again, as coordinates
        for (std::uint64_t i = 0; i < vertices; ++i) {
            const double x = values.Double();
            const double y = values.Double();
            const double z = values.Double();
            extremes.Widen(x, y, z);
            scene.Vertex(x, y, z, i * 7919);
        }
        scene.EndTrack(vertices);
        scene.StartMarker();
        scene.EndMarker(values.Double(), values.Double(), values.Double());
        scene.BoundingBox(extremes);
        scene.Axes(extremes);
        FUZZ_CHECK(scene.Flush());
        FUZZ_CHECK(!scene.Failed());

        std::fclose(out);
        const std::string written(text, text_size);
        std::free(text);

        FUZZ_CHECK(written.compare(0, 16, "#VRML V2.0 utf8\n") == 0);
        // The name is one comment line; its line ends became blanks.
        const std::string comment = "\n# Data from: ";
        const std::size_t at = written.find(comment);
        FUZZ_CHECK(at != std::string::npos);
        std::string expected_name = name;
        for (char& c : expected_name) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        FUZZ_CHECK(written.compare(at + comment.size(), expected_name.size(), expected_name) == 0);
        const std::size_t line_end = at + comment.size() + expected_name.size();
        FUZZ_CHECK(written[line_end] == '\n');

        const std::string list = "coordIndex [\n";
        const std::size_t list_at = written.find(list, line_end);
        FUZZ_CHECK(list_at != std::string::npos);
        CheckIndexList(written, list_at + list.size(), vertices);
    }
    return 0;
}
