#!/usr/bin/env bash
# stepclock and idlescan against cp on a track of 10 million records
# (560 MB), all from the page cache; peak memory on a 1 KB and a 1 GB track.
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-10000000}"
build_release
make_track "$RECORDS" "$WORK/big.gpl"

cp_s=$(best_seconds 3 cp "$WORK/big.gpl" "$WORK/copy.gpl")
# cp copies inside the kernel (copy_file_range); dd shows what a copy through
# user space costs, which is what a program that changes every record must do.
dd_s=$(best_seconds 3 dd if="$WORK/big.gpl" of="$WORK/copy.gpl" bs=128k status=none)
step_s=$(best_seconds 3 "$BUILD/bin/stepclock" "$WORK/big.gpl" "$WORK/out.gpl")
idle_s=$(best_seconds 3 "$BUILD/bin/idlescan" "$WORK/big.gpl" "$WORK/out.gpl")
echo "track: $RECORDS records"
echo "cp:        ${cp_s} s"
echo "dd:        ${dd_s} s  ratio $(echo "$dd_s / $cp_s" | bc -l | xargs printf '%.2f')"
echo "stepclock: ${step_s} s  ratio $(echo "$step_s / $cp_s" | bc -l | xargs printf '%.2f')"
echo "idlescan:  ${idle_s} s  ratio $(echo "$idle_s / $cp_s" | bc -l | xargs printf '%.2f')"

make_track 18 "$WORK/small.gpl"                 # 1008 bytes
make_track $((1024 * 1024 * 1024 / 56)) "$WORK/huge.gpl"  # 1 GiB
for tool in stepclock idlescan; do
    small=$(peak_kib "$BUILD/bin/$tool" "$WORK/small.gpl" "$WORK/out.gpl")
    huge=$(peak_kib "$BUILD/bin/$tool" "$WORK/huge.gpl" "$WORK/out.gpl")
    echo "$tool peak memory: ${small} KiB on 1 KB, ${huge} KiB on 1 GB"
done
rm -f "$WORK/copy.gpl" "$WORK/out.gpl"
