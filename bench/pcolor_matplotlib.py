# The same grid drawn by matplotlib to PNG, for the colour map's benchmark (bench_pcolor runs it with
# Debian's python3-matplotlib). Prints the median seconds of one drawing.
#   pcolor_matplotlib.py <grid file, little-endian doubles, row by row> <nx> <ny> <flat|contour> <repeats>
import io
import statistics
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

path, nx, ny, mode, reps = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
z = np.fromfile(path, dtype="<f8").reshape(ny, nx)
x = np.linspace(240.0, 450.0, nx)
y = np.linspace(250.0, 600.0, ny)
times = []
for _ in range(reps):
    t0 = time.perf_counter()
    fig = plt.figure(figsize=(12, 9), dpi=100)  # 1200 x 900 pixels
    ax = fig.add_subplot()
    if mode == "flat":
        mesh = ax.pcolormesh(x, y, z, shading="nearest", cmap="jet")
    else:
        mesh = ax.pcolormesh(x, y, z, shading="gouraud", cmap="jet")
        ax.contour(x, y, z, levels=10, colors="k", linewidths=0.5)
    fig.colorbar(mesh, ax=ax)
    ax.set_title("Excitation-emission matrix")
    ax.set_xlabel("excitation wavelength / nm")
    ax.set_ylabel("emission wavelength / nm")
    buf = io.BytesIO()
    fig.savefig(buf, format="png")
    plt.close(fig)
    times.append(time.perf_counter() - t0)
print(statistics.median(times))
