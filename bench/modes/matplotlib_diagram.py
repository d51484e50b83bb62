#!/usr/bin/env python3
"""The baseline of --plot's speed: the same diagram drawn and saved with
matplotlib (filled locus, grid, wavelength ticks, purple line, white point,
dots and labels), at the same size. Usage: matplotlib_diagram.py OUT.png
TABLE.csv LOCUS.csv, with TABLE.csv the rows of --table for the entries."""
import csv, sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.path import Path
from matplotlib.patches import PathPatch

out, table, locus_file = sys.argv[1:4]
locus = np.array([[float(r["x"]), float(r["y"])] for r in csv.DictReader(open(locus_file))])
fig = plt.figure(figsize=(8.8, 10), dpi=100)
ax = fig.add_axes([90 / 880, 65 / 1000, 764 / 880, 859.5 / 1000])
ax.set_xlim(0, 0.8), ax.set_ylim(0, 0.9), ax.set_aspect("equal")
ax.grid(True, color="#d9d9d9")
ax.set_xlabel("x"), ax.set_ylabel("y")
fig.suptitle("Normfarbtafel CIE 1931", fontweight="bold", fontsize=20)
# The colours: XYZ at Y = 1 in sRGB, encoded, divided by the largest, clipped.
xs, ys = np.meshgrid(np.linspace(0, 0.8, 400), np.linspace(0.9, 0.001, 450))
XYZ = np.stack([xs / ys, np.ones_like(xs), (1 - xs - ys) / ys], axis=-1)
M = np.array([[3.2404542, -1.5371385, -0.4985314], [-0.9692660, 1.8760108, 0.0415560],
              [0.0556434, -0.2040259, 1.0572252]])
rgb = XYZ @ M.T
rgb = np.where(rgb <= 0.0031308, 12.92 * rgb, 1.055 * np.abs(rgb) ** (1 / 2.4) - 0.055)
rgb = np.clip(rgb / rgb.max(axis=-1, keepdims=True), 0, 1)
image = ax.imshow(rgb, extent=(0, 0.8, 0.001, 0.9), interpolation="bilinear")
outline = Path(np.vstack([locus, locus[:1]]), closed=True)
image.set_clip_path(PathPatch(outline, transform=ax.transData))
ax.plot(locus[:, 0], locus[:, 1], color="#1a1a1a", lw=1.5, label="Spektralfarbenzug")
ax.plot(locus[[0, -1], 0], locus[[0, -1], 1], color="#590059", lw=1.5, label="Purpurgerade")
for i, (x, y) in enumerate(locus):
    nm = 360 + i
    if nm in (380, 700) or (460 <= nm <= 620 and nm % 10 == 0):
        ax.annotate(str(nm), (x, y), xytext=(6, 6), textcoords="offset points", fontsize=9)
ax.plot([1 / 3], [1 / 3], "k+", ms=12)
ax.annotate("Weißpunkt E", (1 / 3, 1 / 3), xytext=(8, -16), textcoords="offset points")
for row in csv.DictReader(open(table)):
    points = [(row["entry"], float(row["x"]), float(row["y"]))]
    if row["purple_x"]:
        points.append((row["entry"], float(row["purple_x"]), float(row["purple_y"])))
        ax.plot([points[0][1], points[1][1]], [points[0][2], points[1][2]], "k--", lw=1.5)
    for name, x, y in points:
        ax.plot([x], [y], "o", color="black", mec="white", mew=2, ms=10)
        ax.annotate(f"{name}: x = {x}, y = {y}", (x, y), xytext=(10, -4), textcoords="offset points",
                    bbox=dict(fc="white", alpha=0.8, lw=0))
ax.legend(loc="upper right")
fig.savefig(out)
