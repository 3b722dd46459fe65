#!/bin/sh
# Whole-process reading time of the delimited-text, JCAMP-DX and DAT readers against numpy.loadtxt
# reading the same numbers from the same 1,000,000-line files (median of several runs each).
#   bench/exchange_compare.sh [build dir] [runs]
# Needs Debian's python3-numpy (a bench tool only). The files are made once in $VX_BENCH_DIR
# (default /tmp/vx_exchange_bench). VX_BENCH_LINES=<n> uses files of n lines instead (a quick trial that
# the comparison runs; the figures that count are those of the 1,000,000-line files).
set -eu
build=${1:-build}
runs=${2:-7}
dir=${VX_BENCH_DIR:-/tmp/vx_exchange_bench}
reader="$build/bin/exchange_read"
[ -x "$reader" ] || { echo "build $reader first (cmake --build $build --target exchange_read)" >&2; exit 2; }
py=/usr/bin/python3
"$py" -c 'import numpy' 2>/dev/null ||
  { echo "the peer is numpy.loadtxt: install Debian's python3-numpy (apt-get install python3-numpy)" >&2; exit 2; }
mkdir -p "$dir"
"$py" - "$dir" "$reader" "$runs" "${VX_BENCH_LINES:-1000000}" <<'PYEOF'
import math, os, statistics, subprocess, sys, time

folder, reader, runs, N = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
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

files = [("delimited text", make("lines%s.csv" % size, csv), "delimiter=',', skiprows=1"),
         ("JCAMP-DX", make("lines%s.jdx" % size, jdx), "comments='##'"),
         ("DAT", make("lines%s.dat" % size, dat), "delimiter='\\t', skiprows=1")]

def median_ms(cmd):
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
        times.append((time.perf_counter() - t) * 1000)
    return statistics.median(times)

print("%-15s %10s %10s %10s %7s" % ("reader", "MB", "ours ms", "numpy ms", "ratio"))
for name, path, args in files:
    subprocess.run([reader, path], check=True)  # also warms the page cache
    ours = median_ms([reader, path])
    numpy = median_ms([sys.executable, "-c",
                       "import numpy; a = numpy.loadtxt(%r, %s); print(a.shape)" % (path, args)])
    print("%-15s %10.1f %10.0f %10.0f %7.1f" % (name, os.path.getsize(path) / 1e6, ours, numpy, numpy / ours))
PYEOF
