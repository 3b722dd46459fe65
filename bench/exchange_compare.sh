#!/bin/sh
# Whole-process reading time of the text readers against numpy.loadtxt reading the same numbers from the
# same 1,000,000-line files: the delimited-text, JCAMP-DX and DAT readers, and the two-column ASCII, ASC,
# PRN, SpectraWiz and AvaSoft readers.
#   bench/exchange_compare.sh [build dir] [runs] [reader names...]
# Each run times our reader and numpy once, one right after the other (which goes first alternates), so
# that both meet the same load on a shared machine; the table gives the medians of the runs, the median
# of the runs' ratios and the spread of those ratios (lowest and highest). Naming readers ("ASC" "PRN")
# measures only those.
# Needs Debian's python3-numpy (a bench tool only; bench/install-peers). The files are made once in
# $VX_BENCH_DIR (default /tmp/vx_exchange_bench). VX_BENCH_LINES=<n> uses files of n lines instead (a
# quick trial that the comparison runs; the figures that count are those of the 1,000,000-line files).
set -eu
build=${1:-build}
runs=${2:-7}
[ $# -ge 2 ] && shift 2 || shift $#
dir=${VX_BENCH_DIR:-/tmp/vx_exchange_bench}
reader="$build/bin/exchange_read"
[ -x "$reader" ] || { echo "build $reader first (cmake --build $build --target exchange_read)" >&2; exit 2; }
py=/usr/bin/python3
"$py" -c 'import numpy' 2>/dev/null ||
  { echo "the peer is numpy.loadtxt: install Debian's python3-numpy (apt-get install python3-numpy)" >&2; exit 2; }
mkdir -p "$dir"
"$py" - "$dir" "$reader" "$runs" "${VX_BENCH_LINES:-1000000}" "$@" <<'PYEOF'
import math, os, statistics, subprocess, sys, time

folder, reader, runs, N = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
wanted = sys.argv[5:]
size = "1m" if N == 1_000_000 else str(N)

def make(name, write):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        with open(path + ".part", "w", newline="") as f:
            write(f)
        os.replace(path + ".part", path)
    return path

def csv(f):
    f.write("Wavelength [nm],Absorbance\r\n")
    f.writelines("%.4f,%.6f\r\n" % (200 + i * 0.0005, 0.5 + 0.4 * math.sin(i * 1e-4)) for i in range(N))

def dat(f):
    f.write("Wavelength [nm]\tWavenumbers [1/cm]\tsample\r\n")
    f.writelines("%.3f\t%.2f\t%.4g\r\n" % (x, 1e7 / x, 0.5 + 0.4 * math.sin(x))
                 for x in (200 + i * 0.001 for i in range(N)))

def jdx(f):
    n = 10 * N  # ten values a line, as our writer lays them out
    f.write("##TITLE= bench\r\n##JCAMP-DX= 5.01\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n"
            "##FIRSTX= 200.000\r\n##LASTX= %.3f\r\n##NPOINTS= %d\r\n##XYDATA= (X++(Y..Y))\r\n"
            % (200 + (n - 1) * 0.0001, n))
    for line in range(N):
        i = 10 * line
        f.write("%.4f" % (200 + i * 0.0001))
        f.write("".join(" %.5f" % (0.5 + 0.4 * math.sin((i + k) * 1e-5)) for k in range(10)))
        f.write("\r\n")
    f.write("##END=\r\n")

# The two-column instrument texts: N lines of x and y as their programs write them, under each format's
# header, and for the formats whose last line is not data a closing line.
def pairs(f, sep):
    f.writelines("%.4f%s%.6f\r\n" % (200 + i * 0.0005, sep, 0.5 + 0.4 * math.sin(i * 1e-4)) for i in range(N))

def fak(f):
    f.write("Wavelength\tAbsorbance\r\n")
    pairs(f, "\t")

def asc(f):
    f.write("MR.ASC   Sample ID: bench\r\ncomment\r\nDate and time:      01-Jan-2000 12:00\r\n")
    f.writelines("header %d\r\n" % k for k in range(3, 12))
    pairs(f, " ")
    f.write("end\r\n")

def prn(f):
    pairs(f, " ")

def wiz(f):
    f.write("\"bench\r\n  A\r\n")
    pairs(f, " ")

def tat(f):
    f.write("Sample\r\nIntegration time: 10 ms\r\nAverage: 1\r\nSmoothing: 0\r\n\r\n\r\nWave ;Sample\r\n")
    pairs(f, ";")
    f.write("end\r\n")

files = [("delimited text", make("lines%s.csv" % size, csv), "delimiter=',', skiprows=1"),
         ("JCAMP-DX", make("lines%s.jdx" % size, jdx), "comments='##'"),
         ("DAT", make("lines%s.dat" % size, dat), "delimiter='\\t', skiprows=1"),
         ("ASCII", make("lines%s.fak" % size, fak), "delimiter='\\t', skiprows=1"),
         ("ASC", make("lines%s.asc" % size, asc), "skiprows=12, max_rows=%d" % N),
         ("PRN", make("lines%s.prn" % size, prn), ""),
         ("SpectraWiz", make("lines%s.abs" % size, wiz), "skiprows=2"),
         ("AvaSoft", make("lines%s.tat" % size, tat), "delimiter=';', skiprows=7, max_rows=%d" % N)]
if wanted:
    files = [f for f in files if f[0] in wanted]

def timed_ms(cmd):
    t = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return (time.perf_counter() - t) * 1000

print("%-15s %6s %5s %8s %8s %6s %12s" % ("reader", "MB", "runs", "ours ms", "numpy ms", "ratio", "ratio range"))
for name, path, args in files:
    ours_cmd = [reader, path]
    numpy_cmd = [sys.executable, "-c", "import numpy; a = numpy.loadtxt(%r%s); print(a.shape)"
                 % (path, ", " + args if args else "")]
    for cmd in (ours_cmd, numpy_cmd):  # checks both read the file; also warms the page cache
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    ours, numpy, ratios = [], [], []
    for r in range(runs):
        if r % 2 == 0:
            a = timed_ms(ours_cmd)
            b = timed_ms(numpy_cmd)
        else:
            b = timed_ms(numpy_cmd)
            a = timed_ms(ours_cmd)
        ours.append(a)
        numpy.append(b)
        ratios.append(b / a)
    print("%-15s %6.1f %5d %8.0f %8.0f %6.2f %5.2f-%-5.2f" % (
        name, os.path.getsize(path) / 1e6, runs, statistics.median(ours), statistics.median(numpy),
        statistics.median(ratios), min(ratios), max(ratios)), flush=True)
PYEOF
