// trailview: writes a VRML 2.0 scene of one or more tracks to standard
// output, each drawn in earth-centred metres around its own first point.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gplunits.h"
#include "inputs.h"
#include "program.h"
#include "stage.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/track/point.h"
#include "vrmlscene.h"

namespace {

constexpr char kUsage[] =
    "Usage: trailview [-sx <scale_x>] [-sy <scale_y>] [-sz <scale_z>] [-salt <scale_alt>] "
    "[-slat <scale_lat>] [-slon <scale_lon>] <file1> <file2> .... <filen>\n";

// The factor an option sets, or nullptr when `argument` is not an option.
double* OptionFactor(const char* argument, vrml::Factors& factors) {
    const struct {
        const char* name;
        double vrml::Factors::*factor;
    } options[] = {
        {"-sx", &vrml::Factors::x},          {"-sy", &vrml::Factors::y},
        {"-sz", &vrml::Factors::z},          {"-salt", &vrml::Factors::altitude},
        {"-slat", &vrml::Factors::latitude}, {"-slon", &vrml::Factors::longitude},
    };
    for (const auto& option : options) {
        if (std::strcmp(argument, option.name) == 0) {
            return &(factors.*option.factor);
        }
    }
    return nullptr;
}

// strtod's longest number prefix, 0 without one. "nan" and "inf" also give 0:
// they are no VRML numbers, and a scene holding them opens in no viewer.
double ParseFactor(const char* text) {
    const double value = std::strtod(text, nullptr);
    return std::isfinite(value) ? value : 0.0;
}

bool Finite(double x, double y, double z) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

// Writes the five groups of one file from `input` (null for a file that
// could not be read, then the track is empty). A read error ends the
// reading, and the groups are finished from what was read so that the
// scene stays valid.
void DrawFile(tools::InputSet* input, const char* name, const vrml::Factors& factors,
              vrml::SceneWriter& scene) {
    scene.BeginTrack(name);

    const CEarth earth(geodesy::Ellipsoid::kWgs84);
    CPolarCoordinate polar;
    CEarthCoordinate current;
    CEarthCoordinate origin;
    tools::Slot point;
    double last_latitude = 0.0;
    double last_longitude = 0.0;
    std::uint64_t record = 1;  // position in the file, counted from 1
    std::uint64_t drawn = 0;
    vrml::Extremes extremes;
    double end_x = 0.0, end_y = 0.0, end_z = 0.0;  // last drawn offset, unscaled

    // A partial record at the end is not counted; output that cannot be
    // written ends the work too.
    for (; input != nullptr && !scene.Failed() && input->Next(point.Pointer()); ++record) {
        // A run at one place is drawn once, at its first record.
        if (drawn > 0 && point->latitude == last_latitude && point->longitude == last_longitude) {
            continue;
        }
        polar.Set(point->latitude * factors.latitude, point->longitude * factors.longitude,
                  track::RecordAltitude(*point) * factors.altitude / tools::kFeetPerMeter);
        earth.Convert(polar, current);
        if (drawn == 0) {
            origin = current;
        }
        current = current - origin;
        const double x = current.GetXCoordinateInMeters() * factors.x;
        const double y = current.GetYCoordinateInMeters() * factors.y;
        const double z = current.GetZCoordinateInMeters() * factors.z;
        // A point that is not a number or infinitely far has no place in
        // the scene; it is passed over without becoming the origin or the
        // point that the next one is compared with.
        if (!Finite(x, y, z)) {
            continue;
        }
        extremes.Widen(x, y, z);
        scene.Vertex(x, y, z, record);
        ++drawn;
        last_latitude = point->latitude;
        last_longitude = point->longitude;
        end_x = current.GetXCoordinateInMeters();
        end_y = current.GetYCoordinateInMeters();
        end_z = current.GetZCoordinateInMeters();
    }
    scene.EndTrack(drawn);
    scene.StartMarker();
    scene.EndMarker(end_x, end_y, end_z);
    scene.BoundingBox(extremes);
    scene.Axes(extremes);
}

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc < 2) {
        return program.Usage();
    }
    // Options come first; the first other argument starts the file names.
    vrml::Factors factors;
    int next = 1;
    while (next < argc) {
        double* factor = OptionFactor(argv[next], factors);
        if (factor == nullptr) {
            break;
        }
        if (next + 1 == argc) {
            return program.Usage();
        }
        *factor = ParseFactor(argv[next + 1]);
        next += 2;
    }

    vrml::SceneWriter scene(stdout);
    scene.Header(factors);
    // Nothing is announced; failures go to standard error.
    const tools::Console failures(stderr);
    tools::InputSet input(program, failures, nullptr);
    input.PositionsOnly();
    input.TracksOnly();
    int status = tools::kExitOk;
    for (; next < argc && !scene.Failed(); ++next) {
        const char* name = argv[next];
        const bool opened = input.Open(name, false) == tools::kExitOk;
        // A directory can be named but not read: its groups are written
        // without vertices and it fails as a read.
        const bool directory = !opened && input.OpenError().system_error == EISDIR;
        if (opened || directory) {
            DrawFile(opened ? &input : nullptr, name, factors, scene);
        }
        if (opened && !input.Failed()) {
            input.NoteReadings();
            continue;
        }
        // The scene so far goes out before the message that ends it.
        scene.Flush();
        if (opened) {
            input.ReportFailure(false);
        } else {
            failures.Failure(name, directory ? tools::kReadFailed : tools::kOpenFailed);
            program.Explain(name, input.OpenError().reason);
        }
        status = tools::kExitInputFailed;
        break;
    }
    // Output that could not be written is reported at the end of the run.
    scene.Flush();
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("trailview", kUsage, tools::kExitSceneUsage).Main(argc, argv, Run);
}
