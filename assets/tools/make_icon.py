#!/usr/bin/env python3
"""Makes the application icon in the picture's style: the ginger cat's head on a
transparent ground, drawn from one set of shapes at every size.

Writes into the output folder:
- tamso-avi.png (32 x 32 8-bit palette PNG, palette entry 0 fully transparent) and
  tamso-avi.ico (one 32 x 32 8-bit image with its transparency mask): the window's icon;
- icons/hicolor/NxN/apps/tamso-avi.png for N in HICOLOR_SIZES (RGBA PNG, soft edges):
  the desktop's icon theme.

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

SIZE = 32  # the shapes are drawn in a 32 x 32 unit square; the window's icon is that size
SAMPLES = 4  # per axis, for smooth edges
TRANSPARENT = 0
HICOLOR_SIZES = (16, 24, 32, 48, 64, 128, 256)


def head(x, y):
    return min(superellipse(x, y, 16, 18.5, 14.6, 12.6, 2.6),
               polygon(x, y, ((3, 14), (4, 1.5), (14, 7))) - 0.8,
               polygon(x, y, ((29, 14), (28, 1.5), (18, 7))) - 0.8)


def sample(x, y, outline_width=1.0):
    """The colour at a point of the icon (in units of the 32 x 32 square), or None off the head."""
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
    if d_head > -outline_width:
        colour = style.OUTLINE
    return colour


def outline_width(size):
    """The outline in units: at least a whole pixel, or it would vanish at small sizes."""
    return max(SIZE / size, 0.5)


def render(size):
    """One ((r, g, b), coverage) per pixel, rows top to bottom; coverage is the share of
    the pixel's samples on the head (0 to 1), and the colour is None where it is 0."""
    pixels = []
    step = 1.0 / SAMPLES
    scale = SIZE / size
    width = outline_width(size)
    for py in range(size):
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample((px + (sx + 0.5) * step) * scale, (py + (sy + 0.5) * step) * scale, width)
                    if c is not None:
                        hits += 1
                        for ch in range(3):
                            total[ch] += c[ch]
            colour = to_rgb8(tuple(v / hits for v in total)) if hits else None
            pixels.append((colour, hits / (SAMPLES * SAMPLES)))
    return pixels


def hard_edged(pixels):
    """The 256-colour icon has no partial transparency: a pixel at least half covered is opaque."""
    return [colour if cover >= 0.5 else None for colour, cover in pixels]


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


def write_png(path, size, colour_type, rows, extra_chunks=()):
    """A PNG of `size` x `size` pixels, 8 bits a sample; `rows` are the raw rows, top first."""
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, colour_type, 0, 0, 0))
    for kind, body in extra_chunks:
        data += png_chunk(kind, body)
    data += png_chunk(b"IDAT", zlib.compress(b"".join(b"\0" + row for row in rows), 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def write_palette_png(path, palette, indices):
    write_png(path, SIZE, 3, [indices[y * SIZE:(y + 1) * SIZE] for y in range(SIZE)],
              ((b"PLTE", b"".join(bytes(c) for c in palette)),
               (b"tRNS", b"\0")))  # entry 0 transparent, every other entry opaque


def write_rgba_png(path, size, pixels):
    def texel(colour, cover):
        return bytes(colour + (round(255 * cover),)) if colour else bytes(4)

    rows = [b"".join(texel(*pixels[y * size + x]) for x in range(size)) for y in range(size)]
    write_png(path, size, 6, rows)


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
    for size in HICOLOR_SIZES:
        pixels = render(size)
        if size == SIZE:
            palette, indices = indexed(hard_edged(pixels))
            write_palette_png(os.path.join(out_dir, "tamso-avi.png"), palette, indices)
            write_ico(os.path.join(out_dir, "tamso-avi.ico"), palette, indices)
        folder = os.path.join(out_dir, "icons", "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        write_rgba_png(os.path.join(folder, "tamso-avi.png"), size, pixels)


if __name__ == "__main__":
    main()
