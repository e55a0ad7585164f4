// -simplify: drops points so that each one dropped lies within the
// tolerance of the line between the points kept around it (see measure.h),
// keeping the first and last point of every segment and every point without
// a position on the globe. Points go through in windows of a bounded count; the last
// point of a full window is kept and starts the next one, so the bound holds
// across windows and memory stays flat for a segment of any length.
//
// Within a window, from each kept point the next one kept is a point as far
// ahead as the search finds whose line covers every point between: the
// reach doubles while the line covers, the distance between the last line
// that covers and the first that does not is halved until they meet, and a
// few points further ahead are tried in case the track comes back to the
// line. Then each kept point goes again where the line between its kept
// neighbours covers the points around it. No line between kept points with
// points between them is longer than kLongestLine, where the measure
// follows the geodesic closely.
#ifndef TRACKTOOLS_TOOLS_TRACKEDIT_SIMPLIFY_H
#define TRACKTOOLS_TOOLS_TRACKEDIT_SIMPLIFY_H

#include <cstddef>
#include <vector>

#include "measure.h"
#include "stage.h"

namespace trackedit {

// Chooses which of a run of places to keep, as above: the first and the
// last are kept, and each one dropped lies within `metres` of the line
// between the kept ones around it; lines between kept places with places
// between them are no longer than `longest`.
class Thinning {
  public:
    Thinning(const std::vector<Place>& places, double metres, double longest);
    // Sets `keep` (one mark for each place); the count kept.
    std::size_t Mark(std::vector<char>& keep) const;

  private:
    // The place kept after `from`.
    std::size_t Reach(std::size_t from) const;
    // From `from`, while the line to from + span covers, doubles the span;
    // gives the farthest place whose line covers in `good`, and true when
    // that is the last place.
    bool Double(std::size_t from, std::size_t span, std::size_t& good, std::size_t& bad) const;
    void Thin(std::vector<char>& keep) const;
    // True when every place between `first` and `last` lies within the
    // tolerance of the line between them.
    bool Covers(std::size_t first, std::size_t last) const;

    const std::vector<Place>& places_;
    double tolerance2_;
    double longest2_;
};

class Simplify : public tools::Stage {
  public:
    static constexpr double kLongestLine = 100000.0;

    Simplify(double metres, std::size_t window);
    bool Take(track::Point*& taken) override;
    bool End() override;
    formats::Tally Tally() const override;

  private:
    // Simplifies the window and passes its kept points on; with `whole`
    // false, the last point stays as the first of the next window.
    bool Flush(bool whole);

    double metres_;
    std::size_t window_size_;
    std::vector<track::Point> window_;
    std::vector<Place> places_;
    std::vector<char> keep_;
};

}  // namespace trackedit

#endif
