"""A GIF89a writer: one image, a 256-entry global palette, LZW-compressed pixels.

Only what the project's pictures need: 8-bit indices, an optional transparent palette
entry named by a Graphic Control Extension, no interlacing, no animation.
"""

import struct

MAX_CODE = 4095  # the largest 12-bit code


class _BitPacker:
    """Packs variable-width codes least significant bit first, as GIF requires."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.nbits = 0

    def put(self, code, width):
        self.acc |= code << self.nbits
        self.nbits += width
        while self.nbits >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.nbits -= 8

    def finish(self):
        if self.nbits:
            self.out.append(self.acc & 0xFF)
            self.acc = 0
            self.nbits = 0
        return bytes(self.out)


def lzw_encode(indices, min_code_size=8):
    """The GIF LZW code stream of `indices` (a bytes-like of palette indices)."""
    clear = 1 << min_code_size
    end = clear + 1
    packer = _BitPacker()
    width = min_code_size + 1
    table = {}
    next_code = end + 1

    def emit(code):
        nonlocal width
        packer.put(code, width)
        # The decoder widens its codes once the next entry it will add no longer fits;
        # mirror that after every code written.
        if next_code >= (1 << width) and width < 12:
            width += 1

    emit(clear)
    if not indices:
        emit(end)
        return packer.finish()

    prefix = indices[0]
    for value in indices[1:]:
        key = (prefix << 8) | value
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix)
        if next_code >= MAX_CODE:
            emit(clear)
            table.clear()
            next_code = end + 1
            width = min_code_size + 1
        else:
            table[key] = next_code
            next_code += 1
        prefix = value
    emit(prefix)
    emit(end)
    return packer.finish()


def _sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def write_gif(path, width, height, palette, indices, transparent_index=None, comment=None):
    """Writes a GIF89a file. `palette` holds exactly 256 (r, g, b) tuples; `indices`
    holds width * height palette indices, rows top to bottom."""
    if len(palette) != 256:
        raise ValueError("the palette must have 256 entries")
    if len(indices) != width * height:
        raise ValueError("pixel count does not match the size")

    out = bytearray(b"GIF89a")
    # Global colour table present, 8 bits of colour resolution, unsorted, 2^(7+1) entries.
    out += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)
    for r, g, b in palette:
        out += bytes((r, g, b))

    if comment:
        out += b"\x21\xFE" + _sub_blocks(comment.encode("ascii"))

    if transparent_index is not None:
        # Graphic Control Extension: no disposal, no delay, transparent colour flag set.
        out += b"\x21\xF9\x04" + struct.pack("<BHB", 0x01, 0, transparent_index) + b"\x00"

    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(8)  # LZW minimum code size
    out += _sub_blocks(lzw_encode(bytes(indices), 8))
    out += b"\x3B"
    with open(path, "wb") as f:
        f.write(out)
