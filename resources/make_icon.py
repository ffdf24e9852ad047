#!/usr/bin/env python3
"""Draws Tovrik's application icon, two overlapping documents with a check
mark, and writes it as a multi-size .ico (16, 24, 32, 48, 64 and 256 px:
the small and large icon at 96, 144 and 192 DPI, and the shell's largest) with
ImageMagick:  make_icon.py OUTPUT.ico

The drawing lives on a 256-unit grid. Every edge of the documents lies on a
multiple of 16 units, so at 16, 32, 48 and 64 px it falls on pixel boundaries
and stays sharp; at 24 px the edges are moved to the nearest boundary. Each
size is drawn four times larger and averaged down. Outlines are filled
bands one pixel wide at the small sizes rather than strokes, which would
smear across two pixels."""

import os
import subprocess
import sys
import tempfile

SIZES = (16, 24, 32, 48, 64, 256)
GRID = 256
SUPERSAMPLING = 4

INK = "#264a73"
BACK_PAPER = "#dfe8f3"
FRONT_PAPER = "#ffffff"
FOLD = "#b9cbe0"
TEXT_LINE = "#8fb0d6"
BADGE = "#2e9d48"
CHECK = "#ffffff"


def polygon(points, colour):
    return "fill %s polygon %s" % (colour, " ".join("%.3f,%.3f" % p for p in points))


def rectangle(left, top, right, bottom, colour):
    return polygon([(left, top), (right, top), (right, bottom), (left, bottom)], colour)


def document(left, top, right, bottom, fold, border, paper):
    """A sheet with its top-right corner folded over: an ink outline, the
    paper inside it, the fold's flap."""
    outer = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    # The slanted edge moves in by border·(√2 − 1) along each axis.
    slant = border * 0.4142
    inner = [(left + border, top + border), (right - fold - slant, top + border),
             (right - border, top + fold + slant), (right - border, bottom - border),
             (left + border, bottom - border)]
    flap = [(right - fold, top), (right - fold, top + fold), (right, top + fold)]
    flap_inner = [(right - fold + border, top + 2.4142 * border), (right - fold + border, top + fold - border),
                  (right - 2.4142 * border, top + fold - border)]
    shapes = [polygon(outer, INK), polygon(inner, paper), polygon(flap, INK)]
    if fold > 4 * border:  # too small a flap shows as ink alone
        shapes.append(polygon(flap_inner, FOLD))
    return shapes


def drawing(size, supersampling):
    """The MVG of the icon at `size` px, drawn `supersampling` times larger."""
    scale = size * supersampling / GRID
    pixel = GRID / size  # one pixel of the final size, in grid units
    border = pixel * max(1, round(size / 48))
    canvas = size * supersampling
    commands = ["viewbox 0 0 %d %d" % (canvas, canvas), # ImageMagick puts pixel centres on whole coordinates: the half-pixel shift
                # makes an edge at a whole coordinate a pixel boundary.
                "affine %.6f 0 0 %.6f -0.5 -0.5" % (scale, scale),
                "stroke none"]

    def snap(*units):
        """Grid units moved to the nearest pixel boundary of this size."""
        return [round(unit / pixel) * pixel for unit in units]

    commands += document(*snap(16, 16, 160, 192, 48), border, BACK_PAPER)
    commands += document(*snap(80, 48, 224, 240, 48), border, FRONT_PAPER)
    for top in (112, 144, 176):
        commands.append(rectangle(*snap(112, top, 192 if top < 176 else 160), snap(top)[0] + max(16, pixel),
                                  TEXT_LINE))
    # The check mark on a round badge at the lower right.
    commands.append("fill %s circle 184,184 184,%.3f" % (BADGE, 184 + 68))
    check_width = max(2 * pixel, 22)
    commands += ["fill none", "stroke %s" % CHECK, "stroke-width %.3f" % check_width,
                 "stroke-linecap round", "stroke-linejoin round",
                 "polyline 152,186 176,210 218,162"]
    return "\n".join(commands) + "\n"


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    output = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        pictures = []
        for size in SIZES:
            source = os.path.join(work, "icon-%d.mvg" % size)
            with open(source, "w") as out:
                out.write(drawing(size, SUPERSAMPLING))
            picture = os.path.join(work, "icon-%d.png" % size)
            # Averaging whole blocks keeps the grid-aligned edges sharp and
            # smooths the round ones: the supersampling is the antialiasing.
            subprocess.run(["convert", "-background", "none", "+antialias", "mvg:" + source, "-scale",
                            "%dx%d" % (size, size), "PNG32:" + picture], check=True)
            pictures.append(picture)
        # Written to a temporary name first, so a failed run leaves no half icon.
        partial = output + ".partial"
        subprocess.run(["convert"] + pictures + ["ICO:" + partial], check=True)
        os.replace(partial, output)


if __name__ == "__main__":
    main()
