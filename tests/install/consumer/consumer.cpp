// Uses the installed libraries through their public headers alone: reads two
// points from their text form, writes them as a GPL track file, measures the
// leg between them, and reads the file back through the formats library to
// print it as CSV.
#include <cstdio>
#include <fstream>
#include <string>

#include "tracktools/formats/reader.h"
#include "tracktools/formats/writer.h"
#include "tracktools/geodesy/CEarth.h"
#include "tracktools/geodesy/CPolarCoordinate.h"
#include "tracktools/geodesy/Ellipsoid.h"
#include "tracktools/track/gpldata.h"
#include "tracktools/track/gplfile.h"
#include "tracktools/track/point.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: consumer <output.gpl>\n", stderr);
        return 2;
    }
    // One degree of latitude north from the equator, an hour apart (times UTC).
    std::string lines[] = {
        "1:7, 0.0, 0.0, 01-Jan-2025, 00:00:00, 123.0, 4.5, 0.0",
        "2:8, 1.0, 0.0, 01-Jan-2025, 01:00:00, 45.0, 6.5, 0.0",
    };
    GPL_Data_Point points[2];
    for (int i = 0; i < 2; ++i) {
        if (!points[i].ExtractFromString(lines[i])) {
            std::fprintf(stderr, "line %d not read\n", i + 1);
            return 1;
        }
    }

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    for (const GPL_Data_Point& point : points) {
        unsigned char record[gpl::kRecordSize];
        gpl::EncodeRecord(point, record);
        out.write(reinterpret_cast<const char*>(record), sizeof record);
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }

    const CEarth wgs84(geodesy::Ellipsoid::kWgs84);
    CPolarCoordinate from;
    CPolarCoordinate to;
    from.Set(points[0].Latitude, points[0].Longitude, 0.0);
    to.Set(points[1].Latitude, points[1].Longitude, 0.0);
    double forward = -1.0;
    double back = -1.0;
    const double metres = wgs84.GetSurfaceDistance(from, to, &forward, &back);
    std::printf("tags %u %u, %u s apart\n", static_cast<unsigned>(points[0].Tag),
                static_cast<unsigned>(points[1].Tag),
                static_cast<unsigned>(points[1].Time - points[0].Time));
    std::printf("%.3f m, azimuth %.1f\n", metres, forward);
    std::fflush(stdout);

    formats::ReadError error;
    const auto reader = formats::OpenReader(argv[1], formats::Format(), error);
    const auto writer = formats::OpenWriter(formats::Format::Named("csv"), 1, {});
    track::Point point;
    while (reader && reader->Next(point)) {
        writer->Write(point);
    }
    return reader && !reader->Failed() && writer->Finish() ? 0 : 1;
}
