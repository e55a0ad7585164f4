// The VRML 2.0 text of a trailview scene: the header with the scale factors,
// and per track a line set, a start and an end marker, a bounding box and
// axes. Numbers are written as printf's "%g" writes them.
#ifndef TRACKTOOLS_TRAILVIEW_VRMLSCENE_H
#define TRACKTOOLS_TRAILVIEW_VRMLSCENE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace vrml {

// Room for any number FormatNumber writes ("-1.23457e-308" and the like).
constexpr std::size_t kNumberSize = 32;

// Writes `value` exactly as snprintf's "%g" does (6 significant digits;
// exponent form when the decimal exponent is below -4 or at least 6; trailing
// zeros and a trailing point dropped; "-0", "inf", "nan" as printf has them).
// Writes no terminating zero; returns the number of characters written.
std::size_t FormatNumber(double value, char* out);

// The six scale factors of a run; 1 unless set on the command line.
struct Factors {
    double x = 1.0;
    double y = 1.0;
    double z = 1.0;
    double altitude = 1.0;
    double latitude = 1.0;
    double longitude = 1.0;
};

// The smallest and largest X, Y and Z of the drawn vertices. They start at 0,
// so the box and the axes always hold the first point, which is 0 0 0.
struct Extremes {
    double min_x = 0.0, max_x = 0.0;
    double min_y = 0.0, max_y = 0.0;
    double min_z = 0.0, max_z = 0.0;

    void Widen(double x, double y, double z);
};

// Writes the scene in order through its own buffer into `out`. After the
// first failed write nothing more is written and Failed() is true.
class SceneWriter {
  public:
    explicit SceneWriter(std::FILE* out);
    SceneWriter(const SceneWriter&) = delete;
    SceneWriter& operator=(const SceneWriter&) = delete;

    void Header(const Factors& factors);

    // The track group of one file: BeginTrack before its records are read
    // (a CR or LF in the name becomes a blank so the comment stays one line),
    // a Vertex for every drawn point, then EndTrack with their number.
    void BeginTrack(const char* name);
    void Vertex(double x, double y, double z, std::uint64_t record);
    void EndTrack(std::uint64_t vertices);

    void StartMarker();
    // At the last drawn point's offset before scaling.
    void EndMarker(double x, double y, double z);
    void BoundingBox(const Extremes& extremes);
    void Axes(const Extremes& extremes);

    // Hands everything buffered to the stream and flushes it; false once
    // anything could not be written.
    bool Flush();
    bool Failed() const { return failed_; }

  private:
    void Put(const char* text, std::size_t size);
    void Put(const char* text);
    void PutNumber(double value);
    void PutInteger(std::uint64_t value);
    void Drain();

    void TransformOpening();
    void Appearance(const char* diffuse, const char* emissive);
    void LineSetOpening();
    void LineSetClosing();
    void MarkerBox(const char* diffuse);

    std::FILE* out_;
    bool failed_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace vrml

#endif
