#!/usr/bin/env python3
"""Checks assets/background.gif against what the window needs of it, decoding it twice:
with the small LZW decoder below and with ImageMagick (`convert`), which must agree.

- GIF89a, 551 x 502, a 256-entry global palette whose entry 255 is white and named
  transparent by a Graphic Control Extension; no pixel uses entry 255.
- Pure black pixels form the outside (one region touching the border), holes inside the
  head, and nothing else; the non-black pixels form one large shape plus small marks
  near the lower left corner.
- The controls' rectangles hold no pure black and only light colours.

Usage: check_background.py [FILE.gif]   Prints a summary; exits non-zero on a failure.
"""

import os
import struct
import subprocess
import sys

WIDTH, HEIGHT = 551, 502

# Controls drawn on or placed over the picture: (x, y, width, height).
CONTROLS = {
    "cmdInfos": (216, 88, 57, 21),
    "Label1": (48, 88, 169, 41),
    "lblTitle": (48, 128, 225, 25),
    "lblResults": (48, 152, 217, 73),
    "cmdHelp": (80, 240, 33, 17),
    "cmdQuit": (112, 240, 33, 17),
    "Line1": (56, 232, 105, 1),
    "Line2": (40, 80, 225, 1),
}


def fail(message):
    print(f"background: FAIL: {message}")
    sys.exit(1)


def read_sub_blocks(data, pos):
    out = bytearray()
    while True:
        n = data[pos]
        pos += 1
        if n == 0:
            return bytes(out), pos
        out += data[pos:pos + n]
        pos += n


def lzw_decode(data, min_code_size, expected):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    width = min_code_size + 1
    table = [bytes((i,)) for i in range(clear)] + [b"", b""]
    out = bytearray()
    prev = None
    acc = nbits = pos = 0
    while True:
        while nbits < width:
            if pos >= len(data):
                fail("image data ends before its end code")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << width) - 1)
        acc >>= width
        nbits -= width
        if code == clear:
            table = table[:end + 1]
            width = min_code_size + 1
            prev = None
            continue
        if code == end:
            break
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            table.append(prev + entry[:1])
        elif code == len(table):
            entry = prev + prev[:1]
            table.append(entry)
        else:
            fail(f"bad LZW code {code}")
        out += entry
        prev = entry
        if len(table) >= (1 << width) and width < 12:
            width += 1
    if len(out) != expected:
        fail(f"{len(out)} pixels decoded, {expected} expected")
    return bytes(out)


def parse_gif(data):
    if data[:6] != b"GIF89a":
        fail("not a GIF89a file")
    width, height, packed = struct.unpack_from("<HHB", data, 6)
    if packed & 0x80 == 0 or (packed & 7) != 7:
        fail("no 256-entry global palette")
    pos = 13
    palette = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(256)]
    pos += 768
    transparent = None
    while True:
        tag = data[pos]
        if tag == 0x21:
            label = data[pos + 1]
            if label == 0xF9:
                flags, _, index = struct.unpack_from("<BHB", data, pos + 3)
                if flags & 1:
                    transparent = index
            _, pos = read_sub_blocks(data, pos + 2)
        elif tag == 0x2C:
            _, _, w, h, flags = struct.unpack_from("<HHHHB", data, pos + 1)
            if (w, h) != (width, height) or flags != 0:
                fail("the image must cover the screen, without local palette or interlacing")
            min_code = data[pos + 10]
            stream, pos = read_sub_blocks(data, pos + 11)
            indices = lzw_decode(stream, min_code, w * h)
            if data[pos] != 0x3B:
                fail("more than one image")
            return width, height, palette, transparent, indices
        else:
            fail(f"unexpected block 0x{tag:02x}")


def components(mask, width, height):
    """Sizes and bounding boxes of the 4-connected regions where mask is true."""
    seen = bytearray(len(mask))
    found = []
    for start in range(len(mask)):
        if not mask[start] or seen[start]:
            continue
        stack = [start]
        seen[start] = 1
        size = 0
        x0, y0, x1, y1 = width, height, -1, -1
        while stack:
            p = stack.pop()
            size += 1
            x, y = p % width, p // width
            x0, y0, x1, y1 = min(x0, x), min(y0, y), max(x1, x), max(y1, y)
            for q, ok in ((p - 1, x > 0), (p + 1, x < width - 1), (p - width, y > 0),
                          (p + width, y < height - 1)):
                if ok and mask[q] and not seen[q]:
                    seen[q] = 1
                    stack.append(q)
        found.append((size, (x0, y0, x1, y1)))
    return sorted(found, reverse=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "background.gif")
    with open(path, "rb") as f:
        data = f.read()
    width, height, palette, transparent, indices = parse_gif(data)
    if (width, height) != (WIDTH, HEIGHT):
        fail(f"size {width}x{height}")
    if palette[255] != (255, 255, 255) or transparent != 255:
        fail("entry 255 must be white and named transparent")
    if 255 in indices:
        fail("a pixel uses the transparent entry")

    rgb = b"".join(bytes(palette[i]) for i in indices)
    magick = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    if magick != rgb:
        fail("ImageMagick decodes the file differently")

    black = bytearray(1 if rgb[3 * i:3 * i + 3] == b"\0\0\0" else 0 for i in range(width * height))
    shapes = components(bytearray(1 - b for b in black), width, height)
    main_size, _ = shapes[0]
    marks = shapes[1:]
    if main_size < 0.6 * width * height:
        fail("the shape does not nearly fill the picture")
    for size, (x0, y0, x1, y1) in marks:
        if size > 400 or x1 > width // 4 or y0 < height * 3 // 4:
            fail(f"a mark of {size} pixels at {x0},{y0} is not small and near the lower left")

    holes = components(black, width, height)
    outside = holes[0]
    if outside[1][:2] != (0, 0):
        fail("the largest black region is not the outside")
    spots = holes[1:]
    for size, box in spots:
        if size > 2000:
            fail(f"a black spot of {size} pixels at {box} is not small")
    if not spots:
        fail("no black spot inside the shape")

    for name, (x, y, w, h) in CONTROLS.items():
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                r, g, b = rgb[3 * (yy * width + xx):3 * (yy * width + xx) + 3]
                if 0.299 * r + 0.587 * g + 0.114 * b < 200:
                    fail(f"{name} sits on a dark pixel at {xx},{yy}: {(r, g, b)}")

    used = len(set(indices))
    print(f"background: OK: {width}x{height}, {used} palette entries used, "
          f"shape of {main_size} pixels, {len(marks)} marks, {len(spots)} black spots inside")


if __name__ == "__main__":
    main()
