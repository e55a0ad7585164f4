#include "vrmlscene.h"

#include <charconv>
#include <cstring>

namespace vrml {
namespace {

// Large enough that a vertex line costs no call into the C library.
constexpr std::size_t kBufferSize = 1 << 16;

// Indices per line in the track's coordIndex list.
constexpr std::uint64_t kIndicesPerLine = 15;

// Diffuse and emissive colour lines of the five groups. The words after the
// number sign are a VRML comment and the same for every group.
constexpr char kDiffuseYellow[] = "\t       diffuseColor\t0.8 0.8 0 # cyan\n";
constexpr char kDiffuseCyan[] = "\t       diffuseColor\t0 0.8 0.8 # cyan\n";
constexpr char kEmissiveTrack[] = "\t       emissiveColor\t0.9 0.9 0.0\n";
constexpr char kEmissiveMarker[] = "\t       emissiveColor\t0.0 0.0 0.0\n";
constexpr char kEmissiveBox[] = "\t       emissiveColor\t0.8 0.0 0.8\n";
constexpr char kEmissiveAxes[] = "\t       emissiveColor\t0.0 0.8 0.8\n";

}  // namespace

std::size_t FormatNumber(double value, char* out) {
    // The precision form of to_chars is defined to give printf's text for
    // the same conversion and precision, without the locale.
    const std::to_chars_result result =
        std::to_chars(out, out + kNumberSize, value, std::chars_format::general, 6);
    return static_cast<std::size_t>(result.ptr - out);
}

void Extremes::Widen(double x, double y, double z) {
    if (x > max_x)
        max_x = x;
    if (x < min_x)
        min_x = x;
    if (y > max_y)
        max_y = y;
    if (y < min_y)
        min_y = y;
    if (z > max_z)
        max_z = z;
    if (z < min_z)
        min_z = z;
}

SceneWriter::SceneWriter(std::FILE* out) : out_(out), buffer_(new char[kBufferSize]) {}

void SceneWriter::Header(const Factors& factors) {
    Put("#VRML V2.0 utf8\n"
        "#\n"
        "WorldInfo {\n"
        "  info [\n"
        "\t \"Created by trailview, tracktools\"\n"
        "  ]\n"
        "  info [\n"
        "    \"(X,Y,Z) Scaling: (");
    PutNumber(factors.x);
    Put(", ");
    PutNumber(factors.y);
    Put(", ");
    PutNumber(factors.z);
    Put(")\"\n"
        "  ]\n"
        "  info [\n"
        "    \"(Lon,Lat,Alt) Scaling: (");
    PutNumber(factors.longitude);
    Put(", ");
    PutNumber(factors.latitude);
    Put(", ");
    PutNumber(factors.altitude);
    Put(")\"\n"
        "  ]\n"
        "}\n");
}

void SceneWriter::BeginTrack(const char* name) {
    Put("# Data from: ");
    // A line end inside the name would end the comment and leave the rest
    // of the name as scene text.
    for (const char* at = name; *at != '\0';) {
        const std::size_t plain = std::strcspn(at, "\r\n");
        Put(at, plain);
        at += plain;
        if (*at != '\0') {
            Put(" ");
            ++at;
        }
    }
    Put("\n");
    TransformOpening();
    Appearance(kDiffuseYellow, kEmissiveTrack);
    LineSetOpening();
}

void SceneWriter::Vertex(double x, double y, double z, std::uint64_t record) {
    PutNumber(x);
    Put("  ");
    PutNumber(y);
    Put("\t ");
    PutNumber(z);
    Put(",\t# ");
    PutInteger(record);
    Put("\n");
}

void SceneWriter::EndTrack(std::uint64_t vertices) {
    Put("\t\t ]}\n"
        "\t\t coordIndex [\n");
    // The polyline runs from the last vertex back to the first; a line ends
    // after every index that is a multiple of 15.
    for (std::uint64_t index = vertices; index-- > 0;) {
        PutInteger(index);
        if (index % kIndicesPerLine == 0) {
            Put(", \n");
        } else {
            Put(", ");
        }
    }
    Put("-1\n");
    LineSetClosing();
}

void SceneWriter::StartMarker() {
    Put("# Start Marker\n"
        "Transform {\n"
        "    translation 0 0 0    scale 1 1 1\n");
    MarkerBox(kDiffuseCyan);
}

void SceneWriter::EndMarker(double x, double y, double z) {
    Put("# END Marker\n"
        "Transform {\n"
        "    translation ");
    PutNumber(x);
    Put("  ");
    PutNumber(y);
    Put("  ");
    PutNumber(z);
    Put("\n"
        "    scale 1 1 1\n");
    MarkerBox(kDiffuseYellow);
}

void SceneWriter::BoundingBox(const Extremes& e) {
    Put("# Bounding box\n");
    TransformOpening();
    Appearance(kDiffuseCyan, kEmissiveBox);
    LineSetOpening();
    // Corner i takes the largest X when bit value 4 is set, the largest Y
    // with bit value 2, the largest Z with bit value 1.
    for (int corner = 0; corner < 8; ++corner) {
        PutNumber((corner & 4) != 0 ? e.max_x : e.min_x);
        Put(" ");
        PutNumber((corner & 2) != 0 ? e.max_y : e.min_y);
        Put(" ");
        PutNumber((corner & 1) != 0 ? e.max_z : e.min_z);
        Put(corner < 7 ? ",\n" : "\n");
    }
    Put("\t\t ]}\n"
        "\t\t coordIndex [\n"
        "0, 2, 6, 4, 0, -1,\n"
        "1, 3, 7, 5, 1, -1,\n"
        "0, 1, -1,\n"
        "2, 3, -1,\n"
        "4, 5, -1,\n"
        "6, 7, -1\n");
    LineSetClosing();
}

void SceneWriter::Axes(const Extremes& e) {
    Put("# Axis\n");
    TransformOpening();
    Appearance(kDiffuseCyan, kEmissiveAxes);
    LineSetOpening();
    Put("0 0 ");
    PutNumber(e.min_z);
    Put(",\n0 0 ");
    PutNumber(e.max_z);
    Put(",\n0 ");
    PutNumber(e.min_y);
    Put(" 0,\n0 ");
    PutNumber(e.max_y);
    Put(" 0,\n");
    PutNumber(e.min_x);
    Put(" 0 0,\n");
    PutNumber(e.max_x);
    Put(" 0 0\n"
        "\t\t ]}\n"
        "\t\t coordIndex [\n"
        "0, 1, -1,\n"
        "2, 3, -1,\n"
        "4, 5, -1\n");
    LineSetClosing();
}

bool SceneWriter::Flush() {
    Drain();
    if (!failed_ && (std::fflush(out_) != 0 || std::ferror(out_) != 0)) {
        failed_ = true;
    }
    return !failed_;
}

void SceneWriter::TransformOpening() {
    Put("Transform {\n"
        "    translation 0 0 0\n"
        "    scale 1 1 1\n"
        "    rotation 1 0 0 0\n"
        "    children [\n"
        "\t Shape {\n");
}

void SceneWriter::Appearance(const char* diffuse, const char* emissive) {
    Put("\t   appearance Appearance {\n"
        "\t     material Material {\n");
    Put(diffuse);
    Put(emissive);
    Put("\t       ambientIntensity 0.1\n"
        "\t       shininess\t0.1\n"
        "\t       transparency\t0.2\n"
        "\t     }\n"
        "\t   }\n");
}

void SceneWriter::LineSetOpening() {
    Put("\t   geometry IndexedLineSet {\n"
        "\t\t coord Coordinate { point [\n");
}

void SceneWriter::LineSetClosing() {
    Put("\t\t ]\n"
        "\t\t colorPerVertex FALSE\n"
        "\n"
        "}}]}\n");
}

// The rest of a marker after its translation and scale.
void SceneWriter::MarkerBox(const char* diffuse) {
    Put("    rotation 1 0 0 0\n"
        "    children [\n"
        "\t Shape {\n"
        "\t   geometry Box { size 10 10 10} \n");
    Appearance(diffuse, kEmissiveMarker);
    Put("\t }\n"
        "   ]\n"
        " }\n");
}

void SceneWriter::Put(const char* text) {
    Put(text, std::strlen(text));
}

void SceneWriter::Put(const char* text, std::size_t size) {
    if (failed_) {
        return;
    }
    if (kBufferSize - used_ < size) {
        Drain();
        if (size > kBufferSize) {
            if (!failed_ && std::fwrite(text, 1, size, out_) != size) {
                failed_ = true;
            }
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, text, size);
    used_ += size;
}

void SceneWriter::PutNumber(double value) {
    char text[kNumberSize];
    Put(text, FormatNumber(value, text));
}

void SceneWriter::PutInteger(std::uint64_t value) {
    char text[24];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    Put(text, static_cast<std::size_t>(result.ptr - text));
}

void SceneWriter::Drain() {
    if (!failed_ && used_ > 0 && std::fwrite(buffer_.get(), 1, used_, out_) != used_) {
        failed_ = true;
    }
    used_ = 0;
}

}  // namespace vrml
