// The reductions of the page's lines: bounded whatever the track does, and
// true to its shape and ends.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "htmlpage.h"
#include "plot.h"

namespace {

using trackinfo::ColumnEnvelope;
using trackinfo::PathReducer;
using trackinfo::PlotPoint;

TEST(PathReducer, StaysWithinItsBudgetAndKeepsBothEnds) {
    PathReducer path;
    path.Reset(0.0, 0.0, 0.001);  // a thousand cells across
    // A million points, each at the opposite corner of the one before,
    // then a slow line back, then lines of one point.
    for (int i = 0; i < 1000000; ++i) {
        path.Add(PlotPoint{static_cast<double>(i % 2), static_cast<double>(i % 2)});
    }
    for (int i = 0; i <= 100000; ++i) {
        path.Add(PlotPoint{0.5, 1.0 - i * 1e-5});
    }
    // A line broken at every point, back and forth.
    for (int i = 0; i < 100000; ++i) {
        path.Add(PlotPoint{0.25 * (i % 2), 0.5, true});
    }
    path.Add(PlotPoint{0.5, 0.0, true});
    const std::vector<PlotPoint> points = path.Points();
    EXPECT_LE(points.size(), 2 * PathReducer::kBudget + 1);
    EXPECT_EQ(points.front().x, 0.0);
    EXPECT_EQ(points.back().x, 0.5);
    EXPECT_EQ(points.back().y, 0.0);
}

TEST(PathReducer, KeepsAFineLineAtTheScaleOfItsCells) {
    PathReducer path;
    path.Reset(0.0, 0.0, 0.01);
    // A square of side 1 walked in steps of 1e-4: each side crosses 100 cells.
    const PlotPoint corners[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    for (int side = 0; side < 4; ++side) {
        for (int k = 0; k < 10000; ++k) {
            const double t = k / 10000.0;
            path.Add(PlotPoint{corners[side].x + (corners[side + 1].x - corners[side].x) * t,
                               corners[side].y + (corners[side + 1].y - corners[side].y) * t});
        }
    }
    path.Add(corners[4]);
    const std::vector<PlotPoint> points = path.Points();
    EXPECT_GE(points.size(), 390u);
    EXPECT_LE(points.size(), 410u);
    // No kept point strays from the square.
    for (const PlotPoint& p : points) {
        const double inside = std::min({p.x, p.y, 1 - p.x, 1 - p.y});
        EXPECT_NEAR(inside, 0.0, 1e-12);
    }
}

TEST(Unwrapper, CrossesTheAntimeridianTheShortWay) {
    trackinfo::Unwrapper unwrapper;
    EXPECT_DOUBLE_EQ(unwrapper.Next(179.9), 179.9);
    EXPECT_NEAR(unwrapper.Next(-179.9), 180.1, 1e-12);
    EXPECT_NEAR(unwrapper.Next(-179.0), 181.0, 1e-12);
    EXPECT_NEAR(unwrapper.Next(179.0), 179.0, 1e-12);
    EXPECT_NEAR(unwrapper.Next(0.0), 0.0, 1e-12);  // half round: either way
}

TEST(ColumnEnvelope, LowestAndHighestOfEachColumnInTheirOrder) {
    ColumnEnvelope envelope;
    envelope.Reset(0.0, 56.0);  // ten columns to a unit
    for (const double value : {5.0, 9.0, 1.0, 4.0}) {
        envelope.Add(0.05, value);  // high 9, then low 1
    }
    envelope.Add(0.25, 3.0);
    envelope.Add(0.26, 7.0);
    envelope.Add(56.0, 2.0);  // the end of the axis is in the last column
    envelope.Add(-1.0, 0.0);  // before the axis: the first column
    const auto& columns = envelope.Columns();
    EXPECT_TRUE(columns[0].used);
    EXPECT_EQ(columns[0].low, 0.0);
    EXPECT_EQ(columns[0].high, 9.0);
    EXPECT_FALSE(columns[0].low_first);
    EXPECT_TRUE(columns[2].low_first);
    EXPECT_EQ(columns[2].high, 7.0);
    EXPECT_FALSE(columns[1].used);
    EXPECT_TRUE(columns[ColumnEnvelope::kColumns - 1].used);
    EXPECT_EQ(envelope.Values().low, 0.0);
    EXPECT_EQ(envelope.Values().high, 9.0);
    EXPECT_DOUBLE_EQ(envelope.Middle(2), 0.25);
}

// Two tracks, the second with a jump of a mile in a second halfway: the
// plan view and every profile draw three lines, none across a break.
TEST(Page, LinesBreakBetweenTracksAndAtJumps) {
    std::vector<track::Point> points;
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < 60; ++i) {
            track::Point point;
            const double jump = t == 1 && i >= 30 ? 0.015 : 0.0;
            point.SetPosition(46.9 + 0.0001 * i + jump + 0.01 * t, 7.4 + 0.0001 * i);
            point.SetTime(track::Instant::FromSeconds(1700000000 + 1000 * t + i));
            point.Set(track::kElevation, 500.0 + i);
            point.Set(track::kHeartRate, 120.0 + i);
            point.begins_track = i == 0;
            point.begins_segment = i == 0;
            points.push_back(point);
        }
    }
    trackinfo::Settings settings;
    trackinfo::Summary summary(settings);
    trackinfo::TrackExtents extents;
    for (const track::Point& point : points) {
        summary.Add(point);
        extents.Add(point);
    }
    trackinfo::FileReport file;
    file.name = "two.gpx";
    file.figures = summary.Result();
    ASSERT_EQ(file.figures.findings.jumps, 1u);
    trackinfo::TrackDrawing drawing(extents, file.figures, settings);
    for (const track::Point& point : points) {
        drawing.Add(point);
    }
    drawing.Finish();
    std::string html;
    trackinfo::HtmlPage page(trackinfo::Style(), settings,
                             [&](const std::string& text) { html += text; });
    page.File(file, &drawing);
    for (const char* picture : {"plan", "elevation", "speed", "heart-rate"}) {
        SCOPED_TRACE(picture);
        const std::size_t begin = html.find(std::string("<title id=\"f1-") + picture);
        ASSERT_NE(begin, std::string::npos);
        const std::string svg = html.substr(begin, html.find("</svg>", begin) - begin);
        std::size_t lines = 0;
        for (std::size_t at = svg.find("<polyline"); at != std::string::npos;
             at = svg.find("<polyline", at + 1)) {
            ++lines;
        }
        EXPECT_EQ(lines, 3u);
    }
}

}  // namespace
