#!/usr/bin/env python3
"""Makes the 32 x 32, 256-colour application icon in the picture's style: the ginger cat's
head on a transparent ground.

Writes assets/tamso-avi.png (8-bit palette PNG, palette entry 0 fully transparent) and
assets/tamso-avi.ico (one 32 x 32 8-bit image with its transparency mask).

Usage: make_icon.py [OUTPUT_DIR]   (default: the assets folder)
"""

import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # keep the source folder clean

import make_background as style
from kitty_art import (circle, coverage, ellipse, lerp_colour, median_cut, mix, nearest_index, polygon,
                       superellipse, to_rgb8)

SIZE = 32
SAMPLES = 4  # per axis, for smooth edges at this size
TRANSPARENT = 0


def head(x, y):
    return min(superellipse(x, y, 16, 18.5, 14.6, 12.6, 2.6),
               polygon(x, y, ((3, 14), (4, 1.5), (14, 7))) - 0.8,
               polygon(x, y, ((29, 14), (28, 1.5), (18, 7))) - 0.8)


def sample(x, y):
    """(colour, covered) at a point of the icon, in icon pixels."""
    d_head = head(x, y)
    if d_head > 0:
        return None
    colour = lerp_colour(style.FUR_TOP, style.FUR_BOTTOM, y / 32)
    colour = mix(colour, style.INNER_EAR, coverage(4 * min(polygon(x, y, ((5, 11), (5.5, 4), (11, 8))),
                                                           polygon(x, y, ((27, 11), (26.5, 4), (21, 8))))))
    colour = mix(colour, style.STRIPE, coverage(4 * min(ellipse(x, y, 14, 8, 0.7, 2.4),
                                                        ellipse(x, y, 16, 7.5, 0.8, 3),
                                                        ellipse(x, y, 18, 8, 0.7, 2.4))))
    muzzle = min(circle(x, y, 14.3, 22.5, 3.4), circle(x, y, 17.7, 22.5, 3.4))
    colour = mix(colour, style.CREAM, coverage(4 * muzzle))
    for ex in (10.5, 21.5):
        d_eye = ellipse(x, y, ex, 16, 3.6, 4.0)
        if d_eye < 0:
            iris = lerp_colour(style.IRIS_TOP, style.IRIS_BOTTOM, (y - 12) / 8)
            colour = iris if d_eye < -0.7 else style.OUTLINE
            if ellipse(x, y, ex, 16, 1.0, 3.0) < 0:
                colour = style.OUTLINE
            if circle(x, y, ex + 1.6, 14.4, 0.7) < 0:
                colour = style.GLINT
    if polygon(x, y, ((14.4, 20), (17.6, 20), (16, 22))) < 0.4:
        colour = style.NOSE_PINK
    colour = mix(colour, style.COLLAR_RED, coverage(4 * max(-ellipse(x, y, 16, 13, 17, 15.2),
                                                            ellipse(x, y, 16, 13, 17, 17))))
    # The outline is a full pixel wide here, or it would vanish at this size.
    if d_head > -1.0:
        colour = style.OUTLINE
    return colour


def render():
    """One (r, g, b) or None (transparent) per pixel, rows top to bottom."""
    pixels = []
    step = 1.0 / SAMPLES
    for py in range(SIZE):
        for px in range(SIZE):
            total = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    if c is not None:
                        hits += 1
                        for ch in range(3):
                            total[ch] += c[ch]
            if hits * 2 < SAMPLES * SAMPLES:
                pixels.append(None)
            else:
                pixels.append(to_rgb8(tuple(v / hits for v in total)))
    return pixels


def indexed(pixels):
    histogram = {}
    for c in pixels:
        if c is not None:
            histogram[c] = histogram.get(c, 0) + 1
    palette = [(0, 0, 0)] + median_cut(histogram, 255)
    while len(palette) < 256:
        palette.append((0, 0, 0))
    indices = bytes(TRANSPARENT if c is None else nearest_index(c, palette, 1) for c in pixels)
    return palette, indices


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_png(path, palette, indices):
    rows = b"".join(b"\0" + indices[y * SIZE:(y + 1) * SIZE] for y in range(SIZE))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    data += png_chunk(b"tRNS", b"\0")  # entry 0 transparent, every other entry opaque
    data += png_chunk(b"IDAT", zlib.compress(rows, 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def write_ico(path, palette, indices):
    # The image: a bitmap header of twice the height (colour rows, then mask rows),
    # the palette as blue, green, red, 0, then both sets of rows bottom-up.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    xor_rows = b"".join(indices[y * SIZE:(y + 1) * SIZE] for y in reversed(range(SIZE)))
    and_rows = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if indices[y * SIZE + x] == TRANSPARENT else 0)
        and_rows += struct.pack(">I", bits)  # 32 pixels: exactly one 4-byte row
    image = header + colours + xor_rows + bytes(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..")
    palette, indices = indexed(render())
    write_png(os.path.join(out_dir, "tamso-avi.png"), palette, indices)
    write_ico(os.path.join(out_dir, "tamso-avi.ico"), palette, indices)


if __name__ == "__main__":
    main()
