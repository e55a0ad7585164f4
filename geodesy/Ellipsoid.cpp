#include "Ellipsoid.h"

#include <cmath>

namespace geodesy {

namespace {

struct Radii {
    double equatorial;
    double polar;
};

// Radii of ids 1 to 25 exactly as published for each reference ellipsoid; the
// flattening follows from them.
const Radii kTable[Ellipsoid::kLastTableId] = {
    {6378137.0, 6378137.0},          // 1 sphere
    {6377563.396, 6356256.909237},   // 2 Airy 1830
    {6378160.0, 6356774.719195},     // 3 Australian National 1965
    {6377397.155, 6356078.962818},   // 4 Bessel 1841
    {6377483.865, 6356165.382966},   // 5 Bessel 1841 (Namibia)
    {6378206.4, 6356583.799999},     // 6 Clarke 1866
    {6378249.145, 6356514.86955},    // 7 Clarke 1880
    {6377276.345, 6356075.41314},    // 8 Everest 1830
    {6378166.0, 6356784.283607},     // 9 Fischer 1960 (Mercury)
    {6378150.0, 6356768.337244},     // 10 Fischer 1968
    {6378160.0, 6356774.516091},     // 11 GRS 67
    {6378137.0, 6356752.31414},      // 12 GRS 80
    {6378200.0, 6356818.169628},     // 13 Helmert 1906
    {6378270.0, 6356794.343434},     // 14 Hough 1960
    {6378388.0, 6356911.946128},     // 15 International 1924
    {6378245.0, 6356863.018773},     // 16 Krassovsky 1940
    {6377340.189, 6356034.447939},   // 17 Modified Airy
    {6377304.063, 6356103.038993},   // 18 Modified Everest
    {6378155.0, 6356773.320483},     // 19 Modified Fischer 1960
    {6378160.0, 6356774.719195},     // 20 South American 1969
    {6378136.3, 6356751.600562938},  // 21 TOPEX/Poseidon
    {6378165.0, 6356783.286959},     // 22 WGS 60
    {6378145.0, 6356759.769489},     // 23 WGS 66
    {6378135.0, 6356750.520016},     // 24 WGS 72
    {6378137.0, 6356752.314245179},  // 25 WGS 84
};

}  // namespace

Ellipsoid Ellipsoid::FromTable(int id) {
    if (id < kFirstTableId || id > kLastTableId) {
        return {0.0, 0.0, 0.0, 0.0};
    }
    const Radii& radii = kTable[id - kFirstTableId];
    const double f = std::fabs(radii.equatorial - radii.polar) / radii.equatorial;
    return {radii.equatorial, radii.polar, f, 2.0 * f - f * f};
}

bool Ellipsoid::IsValid() const {
    if (!(std::isfinite(a_) && a_ > 0.0 && std::isfinite(b_) && b_ > 0.0)) {
        return false;
    }
    // GeographicLib rebuilds the polar radius as (1 - f) a, which must stay
    // positive and finite too: a polar radius too small to change a - b
    // gives f = 1.
    const double f = FlatteningOfRadii();
    const double polar = (1.0 - f) * a_;
    return f < 1.0 && std::isfinite(polar) && polar > 0.0;
}

}  // namespace geodesy
