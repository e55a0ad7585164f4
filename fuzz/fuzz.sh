#!/usr/bin/env bash
# Builds and runs the libFuzzer targets.
#
#   fuzz/fuzz.sh build BUILD_DIR                 configure and build with clang++
#   fuzz/fuzz.sh run BUILD_DIR SECONDS [TARGET...]
#
# `run` fuzzes each target (all when none is named) for SECONDS, FUZZ_JOBS of
# them at a time (default 1), starting from the committed seeds in
# fuzz/corpus/<target>. New inputs go to BUILD_DIR/corpus/<target>, findings
# to BUILD_DIR/findings/, logs to BUILD_DIR/logs/. A crash, leak, sanitizer
# report, failed check or an input slower than FUZZ_TIMEOUT seconds (default
# 10) fails the run. Exit 77 means clang++ or libFuzzer is not installed.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
targets=(text_line record geodesy writedata vrml_number vrml_scene gpx_reader nmea_reader csv_reader
         trackedit fit_reader tcx_reader xml_paths kml_reader geojson_reader igc_reader gzip_reader
         zip_reader)
skip=77

usage() {
    echo "usage: $0 build BUILD_DIR | run BUILD_DIR SECONDS [TARGET...]" >&2
    exit 2
}

find_clang() {
    local candidate
    for candidate in "${CLANGXX:-}" clang++ clang++-14; do
        if [[ -n "$candidate" ]] && command -v "$candidate" >/dev/null 2>&1; then
            # The fuzzer runtime comes in a package of its own.
            if echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
                "$candidate" -x c++ -fsanitize=fuzzer -o /dev/null - >/dev/null 2>&1; then
                command -v "$candidate"
                return 0
            fi
        fi
    done
    return 1
}

build() {
    local dir="$1" clang
    if ! clang="$(find_clang)"; then
        echo "SKIPPED: fuzz targets not built: clang++ with libFuzzer (clang, libclang-rt-dev) is not installed"
        exit "$skip"
    fi
    cmake -S "$here" -B "$dir" -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$dir" -j "${FUZZ_BUILD_JOBS:-2}"
}

# Fuzzes one target; prints its last statistics line, fails on any finding.
run_one() {
    local dir="$1" seconds="$2" target="$3"
    local binary="$dir/fuzz_$target" log="$dir/logs/$target.log"
    mkdir -p "$dir/corpus/$target" "$dir/findings" "$dir/logs"
    local options=(-max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" -error_exitcode=1
                   -timeout_exitcode=1 -print_final_stats=1
                   -artifact_prefix="$dir/findings/$target-")
    if [[ -f "$here/dict/$target.dict" ]]; then
        options+=(-dict="$here/dict/$target.dict")
    fi
    case "$target" in
        text_line) options+=(-max_len=1200) ;;   # lines past the 510 characters of logpack
        vrml_scene) options+=(-max_len=8192) ;;
        gpx_reader | nmea_reader | csv_reader | fit_reader | tcx_reader | xml_paths | kml_reader \
            | geojson_reader | igc_reader | gzip_reader | zip_reader)
            options+=(-max_len=16384) ;;
    esac
    local status=0
    "$binary" "${options[@]}" "$dir/corpus/$target" "$here/corpus/$target" >"$log" 2>&1 || status=$?
    local runs cov
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    cov="$(grep -E '^#[0-9]+' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+' | tail -n 1 || true)"
    if ((status != 0)); then
        echo "FAILED: $target (exit $status), see $log:"
        grep -E 'ERROR|check failed|runtime error|Test unit written' "$log" | head -n 20 || true
        return 1
    fi
    echo "ok: $target: ${runs:-?} runs in ${seconds}s, ${cov:-no coverage line}"
}

run() {
    local dir="$1" seconds="$2"
    shift 2
    local chosen=("$@")
    if ((${#chosen[@]} == 0)); then
        chosen=("${targets[@]}")
    fi
    local target
    for target in "${chosen[@]}"; do
        if [[ ! -x "$dir/fuzz_$target" ]]; then
            if ! find_clang >/dev/null; then
                echo "SKIPPED: fuzz_$target not run: clang++ with libFuzzer is not installed"
                exit "$skip"
            fi
            echo "FAILED: $dir/fuzz_$target is not built (fuzz/fuzz.sh build $dir)"
            exit 1
        fi
    done
    local jobs="${FUZZ_JOBS:-1}" results=()
    mkdir -p "$dir/logs"
    for target in "${chosen[@]}"; do
        while (($(jobs -rp | wc -l) >= jobs)); do
            wait -n || true
        done
        rm -f "$dir/logs/$target.result"
        run_one "$dir" "$seconds" "$target" >"$dir/logs/$target.result" 2>&1 &
        results+=("$dir/logs/$target.result")
    done
    wait || true
    local result failed=0
    for result in "${results[@]}"; do
        cat "$result"
        grep -q '^ok: ' "$result" || failed=1
    done
    return "$failed"
}

(($# >= 2)) || usage
case "$1" in
    build) build "$2" ;;
    run)
        (($# >= 3)) || usage
        run "$2" "$3" "${@:4}"
        ;;
    *) usage ;;
esac
