#!/usr/bin/env bash
# Whole-process comparison of the SPC and RVX readers with a plain fread of the same ~100 MB files:
# median wall time of several runs each, as MB/s and as a share of fread.
#   bench/spc_rvx_vs_fread.sh [build folder, default build] [runs, default 7] [--cold]
# --cold drops the page cache before every run (root only), so that each read starts from the disk.
# VX_BENCH_MB=<n> makes files of about n MB instead (a quick trial that the comparison runs; the
# figures that count are those of the 100 MB files).
set -euo pipefail
build=${1:-build}
runs=${2:-7}
cold=${3:-}
mb=${VX_BENCH_MB:-100}
tool="$build/bin/bench_read_whole_file"
[ -x "$tool" ] || { echo "build $tool first (cmake --build $build)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The library is registered once (the first SPC read), as on a user's machine.
export VAROLUX32_REGISTRY_DIR="$work/registry"
"$tool" make-rvx "$work/sample.rvx" "$mb"
"$tool" make-spc "$work/sample.spc" "$mb"

median_ns() {  # mode file
    local times=()
    for ((i = 0; i < runs; i++)); do
        if [ "$cold" = "--cold" ]; then sync; echo 3 > /proc/sys/vm/drop_caches; fi
        local t0 t1
        t0=$(date +%s%N)
        "$tool" "$1" "$2"
        t1=$(date +%s%N)
        times+=($((t1 - t0)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

report() {  # label file mode...
    local label=$1 file=$2
    shift 2
    local bytes base
    bytes=$(stat -c %s "$file")
    base=$(median_ns fread "$file")
    awk -v l="$label" -v b="$bytes" -v t="$base" 'BEGIN { printf "%-8s %6.1f MB  fread %7.1f MB/s\n", l, b / 1e6, b * 1e3 / t }'
    for mode in "$@"; do
        local t
        t=$(median_ns "$mode" "$file")
        awk -v m="$mode" -v b="$bytes" -v t="$t" -v f="$base" \
            'BEGIN { printf "         %-7s %7.1f MB/s  %5.1f %% of fread\n", m, b * 1e3 / t, 100 * f / t }'
    done
}

report RVX "$work/sample.rvx" rvx
report SPC "$work/sample.spc" spc spclib
