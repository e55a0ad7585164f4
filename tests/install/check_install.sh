#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks that every file a user or
# another project needs is there and that the headers are the public ones
# alone, then builds a small project of its own against the installed
# package with find_package(tracktools) and runs it together with an
# installed program.
#
# Usage: check_install.sh CMAKE BUILD_DIR CONSUMER_SOURCE_DIR CXX_COMPILER MAJOR_VERSION
set -euo pipefail
cmake="$1"
build="$2"
consumer="$3"
cxx="$4"
major="$5"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"

# Every file that the installation must hold (library directory as GNU
# installation directories give it for a prefix other than /usr).
expected=(
    bin/stepclock bin/logpack bin/idlescan bin/pacer bin/legsheet bin/trailview bin/trackconvert
    bin/trackinfo bin/trackedit
    share/man/man1/stepclock.1 share/man/man1/logpack.1 share/man/man1/idlescan.1
    share/man/man1/pacer.1 share/man/man1/legsheet.1 share/man/man1/trailview.1
    share/man/man1/trackconvert.1 share/man/man1/trackinfo.1 share/man/man1/trackedit.1
    share/man/man5/gpl.5 share/man/man3/tracktools-geodesy.3
    lib/libtracktools-io.a lib/libtracktools-track.a lib/libtracktools-geodesy.a
    lib/libtracktools-formats.a
    share/doc/tracktools/README.md share/doc/tracktools/examples/sample-drive.txt
    share/doc/tracktools/examples/drive.gpx
    lib/cmake/tracktools/tracktoolsConfig.cmake
    lib/cmake/tracktools/tracktoolsConfigVersion.cmake
    lib/cmake/tracktools/tracktoolsTargets.cmake
    lib/cmake/tracktools/FindGeographicLib.cmake
)
for file in "${expected[@]}"; do
    [[ -f "$prefix/$file" ]] || fail "not installed: $file"
done
# The headers a user of the libraries needs, and no other: the formats'
# classes and the helpers of the libraries are not installed.
public_headers=(
    io/inputfile.h io/outputfile.h
    track/gpldata.h track/gplfile.h track/point.h track/sport.h
    formats/format.h formats/reader.h formats/writer.h
    geodesy/CEarth.h geodesy/CEarthCoordinate.h geodesy/CMath.h geodesy/CPolarCoordinate.h
    geodesy/Ellipsoid.h geodesy/Geocentric.h geodesy/SurfaceDistances.h geodesy/VincentyDirect.h
    geodesy/VincentyInverse.h
)
installed_headers="$(cd "$prefix/include/tracktools" && find . -type f | sed 's|^\./||' | sort)"
wanted_headers="$(printf '%s\n' "${public_headers[@]}" | sort)"
[[ "$installed_headers" == "$wanted_headers" ]] ||
    fail "installed headers differ from the public ones (< public only, > installed only):"$'\n'"$(
        diff <(echo "$wanted_headers") <(echo "$installed_headers") | grep '^[<>]' || true)"
for program in stepclock logpack idlescan pacer legsheet trailview trackconvert trackinfo trackedit; do
    [[ -x "$prefix/bin/$program" ]] || fail "not executable: bin/$program"
done
# Each header that is installed must compile on its own from the prefix,
# included as "tracktools/<library>/<header>.h" with only the prefix's
# include directory on the path: no generic names lie flat in it.
[[ -z "$(find "$prefix/include" -maxdepth 1 -type f)" ]] || fail "headers lie flat in include/"
for header in "$prefix"/include/tracktools/*/*.h; do
    if ! echo "#include \"${header#"$prefix"/include/}\"" |
        "$cxx" -std=c++17 -fsyntax-only -I"$prefix/include" -x c++ - 2>"$work/header.log"; then
        fail "installed header does not compile alone: ${header#"$prefix"/}"
        cat "$work/header.log"
    fi
done

# A project of its own, found through the package configuration alone.
if ! "$cmake" -S "$consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$cxx" >"$work/configure.log" 2>&1; then
    cat "$work/configure.log"
    fail "the consumer project does not configure against the installation"
elif ! "$cmake" --build "$work/consumer" >"$work/build.log" 2>&1; then
    cat "$work/build.log"
    fail "the consumer project does not build against the installation"
else
    cd "$work"
    actual="$(TZ=UTC "$work/consumer/consumer" leg.gpl 2>&1)" || fail "the consumer failed"
    csv=$'point,time,latitude,longitude,altitude_ft,heading_deg,speed_mph,tag,segment,heart_rate_bpm,cadence_rpm,power_w,temperature_c,kind,track,track_name,name,description,comment,symbol,type,link,lap,sport,sub_sport
1,2025-01-01T00:00:00Z,0,0,0,123,4.5,7,1,,,,,track,0,,,,,,,,,,
2,2025-01-01T01:00:00Z,1,0,0,45,6.5,8,1,,,,,track,0,,,,,,,,,,'
    expected_text=$'tags 7 8, 3600 s apart\n110574.389 m, azimuth 0.0\n'"$csv"
    [[ "$actual" == "$expected_text" ]] || fail "consumer printed:"$'\n'"$actual"
    # The installed trackconvert writes the same CSV of the track.
    "$prefix/bin/trackconvert" leg.gpl leg.csv >/dev/null || fail "installed trackconvert failed"
    [[ "$(cat leg.csv)" == "$csv" ]] || fail "installed trackconvert wrote:"$'\n'"$(cat leg.csv)"
    # The installed legsheet reads the track the consumer wrote: one degree
    # of latitude is 68.7109 miles, covered in an hour.
    actual="$("$prefix/bin/legsheet" leg.gpl 2>&1)" || fail "installed legsheet failed"
    expected_text="# Opening leg.gpl
# Latitude, Longitude, Heading, Distance, Speed
0.00000000, 0.00000000,   0.0000,   68.7109,   68.7109
1.00000000, 0.00000000,  45.0000,    0.0000,    6.5000
# ... done.  Processed 2 data points."
    [[ "$actual" == "$expected_text" ]] || fail "installed legsheet printed:"$'\n'"$actual"
fi

# The next major version, which this installation does not provide, must not
# be found.
next_major=$((major + 1))
mkdir -p "$work/newer"
cat >"$work/newer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(newer LANGUAGES NONE)
find_package(tracktools ${NEXT_MAJOR} QUIET)
if(tracktools_FOUND)
    message(FATAL_ERROR "tracktools ${NEXT_MAJOR} was found in a ${tracktools_VERSION} installation")
endif()
CMAKE
"$cmake" -S "$work/newer" -B "$work/newer/build" -DCMAKE_PREFIX_PATH="$prefix" -DNEXT_MAJOR="$next_major" \
    >"$work/newer.log" 2>&1 || {
    cat "$work/newer.log"
    fail "the version check of the package configuration"
}

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installation complete; consumer built and ran against $prefix"
