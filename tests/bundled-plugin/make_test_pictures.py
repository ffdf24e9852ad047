"""Writes the pictures the bundled plug-in's tests decode, into one folder:

- <name> and <name>.rgba for each picture of PICTURES: the file, made by
  ImageMagick from one 37 x 23 pattern, and its pixels as ImageMagick decodes
  them (8-bit RGBA, rows top-down), which a decoder must match exactly;
- the hostile inputs of HOSTILE, which must give an error code or a correct
  picture and never take the decoder down.

Usage: make_test_pictures.py FOLDER"""

import os
import subprocess
import sys
import zlib

# name: ImageMagick arguments after the source picture (opaque, or with
# alpha varying from pixel to pixel when the name says so).
PICTURES = {
    "rgb.png": ["PNG24:"],
    "alpha.png": ["PNG32:"],
    "deep.png": ["-depth", "16", "PNG48:"],
    "palette.png": ["-colors", "200", "PNG8:"],
    "grey.png": ["-colorspace", "gray", "PNG8:"],
    "palette.gif": ["-colors", "200", "GIF:"],
    "rgb.bmp": ["BMP3:"],
    "palette.bmp": ["-colors", "100", "-type", "Palette", "BMP3:"],
    "plain.tif": ["-compress", "none", "TIFF:"],
    "lzw.tif": ["-compress", "lzw", "TIFF:"],
    "alpha-zip.tif": ["-compress", "zip", "TIFF:"],
    "icon.ico": ["-resize", "32x32!", "ICO:"],
    "alpha-icon.ico": ["-resize", "32x32!", "ICO:"],
    # Flat 8 x 8 blocks without chroma subsampling: the one kind of JPEG
    # whose pixels the format itself pins down, whatever the decoder.
    "blocks.jpg": ["FLAT", "-sampling-factor", "1x1", "-quality", "100", "JPEG:"],
    "blocks-progressive.jpg": ["FLAT", "-sampling-factor", "1x1", "-quality", "100", "-interlace", "Plane",
                               "JPEG:"],
    "blocks-grey.jpg": ["FLAT", "-colorspace", "gray", "-quality", "100", "JPEG:"],
    # A photograph-like JPEG with 4:2:0 chroma: decoders differ in how they
    # upsample it.
    "photo.jpg": ["-quality", "85", "JPEG:"],
}


def convert(*arguments):
    subprocess.run(["convert", *arguments], check=True, stdin=subprocess.DEVNULL)


def make_pictures(folder):
    pattern = os.path.join(folder, "pattern.ppm")
    alpha = os.path.join(folder, "pattern-alpha.png")
    flat = os.path.join(folder, "flat.ppm")
    convert("-seed", "3", "-size", "37x23", "plasma:fractal", "-depth", "8", pattern)
    convert(pattern, "-alpha", "set", "-channel", "A", "-fx", "(i+j)/(w+h)", "+channel", "-depth", "8", "PNG32:" + alpha)
    convert("-size", "8x8", "xc:#c83214", "xc:#1e8c5a", "xc:#ffffff", "+append",
            "(", "-size", "8x8", "xc:#3c28b4", "xc:#f0e6dc", "xc:#000000", "+append", ")", "-append", flat)
    for name, arguments in PICTURES.items():
        source = alpha if name.startswith("alpha") else pattern
        if arguments[0] == "FLAT":
            source, arguments = flat, arguments[1:]
        path = os.path.join(folder, name)
        convert(source, "-depth", "8", *arguments[:-1], arguments[-1] + path)
        convert(path + "[0]", "-depth", "8", "rgba:" + path + ".rgba")


def png_chunk(kind, data):
    return len(data).to_bytes(4, "big") + kind + data + zlib.crc32(kind + data).to_bytes(4, "big")


def png_inflating_to_600_mb():
    """10000 x 20000 RGB: 600 MB of rows, all zero, in about 600 KB."""
    width, height = 10000, 20000
    compressor = zlib.compressobj(9)
    row = bytes(1 + 3 * width)
    data = b"".join(compressor.compress(row * 100) for _ in range(height // 100)) + compressor.flush()
    header = width.to_bytes(4, "big") + height.to_bytes(4, "big") + bytes([8, 2, 0, 0, 0])
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data)
            + png_chunk(b"IEND", b""))


def gif_declaring_8192_square():
    """35 bytes: a screen and a frame of 8192 x 8192 and two LZW codes."""
    side = (8192).to_bytes(2, "little")
    return (b"GIF89a" + side + side + b"\x00\x00\x00"
            + b"\x21\xf9\x04\x00\x00\x00\x00\x00"
            + b"\x2c\x00\x00\x00\x00" + side + side + b"\x00"
            + b"\x02\x02\x4c\x01\x00\x3b")


def jpeg_with_overfull_huffman_counts(folder):
    """The first Huffman table of a real JPEG, its 16 counts adding up to
    16 x 200 symbols: more than a table holds and than the segment has."""
    path = os.path.join(folder, "for-huffman.jpg")
    convert("-size", "16x16", "xc:#808080", "-quality", "90", "JPEG:" + path)
    with open(path, "rb") as source:
        jpeg = bytearray(source.read())
    table = jpeg.index(b"\xff\xc4") + 5
    jpeg[table:table + 16] = bytes([200] * 16)
    return bytes(jpeg)


HOSTILE = {
    "hostile-deep.pgm": lambda folder: b"P5\n3 2\n65535\n" + bytes(range(12)),
    "hostile-huffman.jpg": jpeg_with_overfull_huffman_counts,
    "hostile-canvas.gif": lambda folder: gif_declaring_8192_square(),
    "hostile-inflating.png": lambda folder: png_inflating_to_600_mb(),
}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    make_pictures(folder)
    for name, make in HOSTILE.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(make(folder))


if __name__ == "__main__":
    main()
