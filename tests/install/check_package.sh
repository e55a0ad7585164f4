#!/usr/bin/env bash
# Builds the Debian package of a build tree with CPack and checks that it
# holds, under /usr, exactly the files that `cmake --install` puts in a
# prefix, among them the programs, manual pages, headers, libraries and the
# CMake package configuration.
#
# Usage: check_package.sh CMAKE CPACK BUILD_DIR VERSION
# Exits 77 (reported as skipped) when dpkg-deb is not installed.
set -euo pipefail
cmake="$1"
cpack="$2"
build="$3"
version="$4"

if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb is not installed (Debian package dpkg); the .deb was not checked"
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The package configuration of the build, with one change: the files are
# put in place by the build's install script itself (what `make package`
# does after bringing the build up to date), so that the test never starts
# a build of the tree while other tests run its programs.
prefix="$(sed -n 's/^set(CPACK_PACKAGING_INSTALL_PREFIX "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
if [[ -z "$prefix" ]]; then
    echo "FAIL: CPACK_PACKAGING_INSTALL_PREFIX is not set in $build/CPackConfig.cmake"
    exit 1
fi
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" \
    -D CPACK_INSTALL_CMAKE_PROJECTS= -D CPACK_INSTALL_SCRIPTS="$build/cmake_install.cmake" \
    -D CPACK_INSTALL_PREFIX="$prefix" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
debs=("$work"/package/*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f "${debs[0]}" ]]; then
    echo "FAIL: expected one .deb, found: ${debs[*]}"
    exit 1
fi
deb="${debs[0]}"
echo "package: $(basename "$deb")"

[[ "$(dpkg-deb -f "$deb" Package)" == tracktools ]] || fail "package name: $(dpkg-deb -f "$deb" Package)"
[[ "$(dpkg-deb -f "$deb" Version)" == "$version" ]] || fail "package version: $(dpkg-deb -f "$deb" Version)"
[[ -n "$(dpkg-deb -f "$deb" Maintainer)" ]] || fail "no Maintainer field"
[[ -n "$(dpkg-deb -f "$deb" Description)" ]] || fail "no Description field"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "Depends does not name libc6: $(dpkg-deb -f "$deb" Depends)"
# The installed geodesy library links GeographicLib: its development package.
dpkg-deb -f "$deb" Depends | grep -q 'libgeographiclib-dev' ||
    fail "Depends does not name GeographicLib's development package: $(dpkg-deb -f "$deb" Depends)"
# A program that loads GeographicLib at run time needs its run-time package
# (the optimised programs carry it within, and need none).
dpkg-deb -x "$deb" "$work/unpacked"
if command -v readelf >/dev/null &&
    readelf -d "$work"/unpacked/usr/bin/* 2>/dev/null | grep -q 'NEEDED.*libGeographicLib'; then
    dpkg-deb -f "$deb" Depends | grep -q 'libgeographiclib[0-9]' ||
        fail "Depends does not name GeographicLib's run-time package: $(dpkg-deb -f "$deb" Depends)"
fi

# Regular files of the package, as paths below /usr.
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | sed -n 's|^\./usr/||p' | sort >"$work/in-package"
for file in bin/stepclock bin/logpack bin/idlescan bin/pacer bin/legsheet bin/trailview \
    bin/trackconvert bin/trackinfo bin/trackedit share/man/man1/stepclock.1 \
    share/man/man1/logpack.1 share/man/man1/idlescan.1 share/man/man1/pacer.1 \
    share/man/man1/legsheet.1 share/man/man1/trailview.1 share/man/man1/trackconvert.1 \
    share/man/man1/trackinfo.1 share/man/man1/trackedit.1 \
    share/man/man5/gpl.5 share/man/man3/tracktools-geodesy.3 \
    include/tracktools/track/gpldata.h include/tracktools/geodesy/CEarth.h \
    include/tracktools/formats/reader.h include/tracktools/formats/writer.h \
    lib/libtracktools-track.a lib/libtracktools-geodesy.a lib/libtracktools-formats.a \
    lib/cmake/tracktools/tracktoolsConfig.cmake lib/cmake/tracktools/tracktoolsConfigVersion.cmake \
    lib/cmake/tracktools/tracktoolsTargets.cmake; do
    grep -qxF "$file" "$work/in-package" || fail "not in the package: /usr/$file"
done
# The programs are executable.
dpkg-deb -c "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ && $1 != "-rwxr-xr-x" { print $6 }' >"$work/modes"
[[ ! -s "$work/modes" ]] || fail "programs without mode 0755: $(cat "$work/modes")"

# The same files as an installation into a prefix.
"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
if ! diff -u "$work/installed" "$work/in-package" >"$work/diff"; then
    fail "the package and 'cmake --install' differ (- installed only, + packaged only):"
    cat "$work/diff"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "$(wc -l <"$work/in-package") files, the same as 'cmake --install' puts in a prefix"
