#!/usr/bin/env bash
# The one list of Debian packages tracktools needs, and their installation.
#
#   scripts/deps.sh build        what building the programs and libraries needs
#   scripts/deps.sh build test   that, and what the tests and checks need
#
# Missing packages are installed with apt-get when run as root; otherwise the
# script stops with the one command that would install them.
set -euo pipefail

# To build: compiler, build system, and the libraries the product links.
build_packages=(
    cmake make g++
    libexpat1-dev           # GPX reading (formats library)
    zlib1g-dev              # gzip input
    libzip-dev              # zip and KMZ input
    libgeographiclib-dev    # geodesic fallback where our iteration gives no answer
    python3                 # make demo: the tests' FIT encoder writes the drive as FIT
)

# To test: the test framework, the tools the tests check against, and the
# static checks of `make lint`.
test_packages=(
    libgtest-dev
    tzdata                  # program tests run in several time zones
    bc
    mandoc groff-base       # manual pages linted with both formatters
    dpkg                    # dpkg-deb lists the Debian package
    libcoin-dev             # a VRML reader loads trailview's scenes
    geographiclib-tools     # GeodSolve and CartConvert, reference values
    gdal-bin                # ogrinfo reads trackconvert's GPX, KML, GeoJSON and CSV;
                            # ogr2ogr writes the KML and GeoJSON the readers read
    gzip zip                # compressed inputs of the tests
    python3-gpxpy           # gpxpy reads trackconvert's GPX (with /usr/bin/python3)
    libxml2-utils           # xmllint checks trackconvert's GPX and TCX against their schemas
    chromium                # trackinfo's report pages loaded and looked at
    python3-html5lib        # ... and parsed as HTML5
    clang libclang-rt-14-dev   # fuzz targets (libFuzzer)
    clang-tidy cppcheck     # make lint
)

wanted=()
for group in "$@"; do
    case "$group" in
    build) wanted+=("${build_packages[@]}") ;;
    test) wanted+=("${test_packages[@]}") ;;
    *)
        echo "usage: $0 build|test ..." >&2
        exit 2
        ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
((${#missing[@]} == 0)) && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "    sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
