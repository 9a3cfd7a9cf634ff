#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_soundfont_subset: small SoundFont 2 files made here
(one preset; three presets with a stereo pair and 24-bit low bytes) and a short song
with program changes and bank selects.
Usage: scripts/make-soundfont-seeds.py [FOLDER]   (default fuzz/corpus/fuzz_soundfont_subset)"""
import pathlib
import struct
import sys


def chunk(cid, body):
    return cid + struct.pack('<I', len(body)) + body


def lst(kind, body):
    return chunk(b'LIST', kind + body)


def level(items, ids, header):
    """items: (header fields, zones); a zone is (generators [(oper, amount)], modulators)."""
    heads, bags, mods, gens = b'', b'', b'', b''
    nbag = 0
    for fields, zones in items + [(None, [])]:
        heads += header(fields, nbag)
        for generators, modulators in zones:
            bags += struct.pack('<HH', len(gens) // 4, len(mods) // 10)
            gens += b''.join(struct.pack('<HH', o, a) for o, a in generators)
            mods += b''.join(struct.pack('<5H', *m) for m in modulators)
            nbag += 1
    bags += struct.pack('<HH', len(gens) // 4, len(mods) // 10)
    gens += bytes(4)
    mods += bytes(10)
    return b''.join(chunk(i, b) for i, b in zip(ids, (heads, bags, mods, gens)))


def font(presets, instruments, samples, minor=1, low=False):
    """samples: (name, points, loop start, loop end, link, type); 46 silent points follow each."""
    smpl, shdr = b'', b''
    for name, points, loop_start, loop_end, link, kind in samples:
        start = len(smpl) // 2
        smpl += struct.pack('<%dh' % len(points), *points) + bytes(2 * 46)
        end = start + len(points)
        shdr += struct.pack('<20s5I2BHH', name, start, end, start + loop_start, start + loop_end, 22050, 60, 0,
                            link, kind)
    shdr += struct.pack('<20s5I2BHH', b'EOS', 0, 0, 0, 0, 0, 0, 0, 0, 0)
    sdta = chunk(b'smpl', smpl)
    if low:
        count = len(smpl) // 2
        sdta += chunk(b'sm24', bytes(i % 251 for i in range(count + count % 2)))
    pdta = level(presets, [b'phdr', b'pbag', b'pmod', b'pgen'],
                 lambda f, bag: struct.pack('<20sHHHIII', *(f or (b'EOP', 0, 0)), bag, 0, 0, 0))
    pdta += level(instruments, [b'inst', b'ibag', b'imod', b'igen'],
                  lambda f, bag: struct.pack('<20sH', f or b'EOI', bag))
    pdta += chunk(b'shdr', shdr)
    info = chunk(b'ifil', struct.pack('<HH', 2, minor)) + chunk(b'INAM', b'seed\0\0')
    return chunk(b'RIFF', b'sfbk' + lst(b'INFO', info) + lst(b'sdta', sdta) + lst(b'pdta', pdta))


def song():
    events = bytes([0, 0xB0, 0, 1, 0, 0x20, 2, 0, 0xC0, 11, 0, 33, 0, 0xC9, 0, 0, 0x99, 36, 100,
                    0x83, 0x60, 0x89, 36, 0, 0, 0xFF, 0x2F, 0])
    return b'MThd' + struct.pack('>IHHH', 6, 0, 1, 480) + b'MTrk' + struct.pack('>I', len(events)) + events


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else 'fuzz/corpus/fuzz_soundfont_subset')
    folder.mkdir(parents=True, exist_ok=True)
    wave = [0, 9000, 16000, 9000, 0, -9000, -16000, -9000]
    (folder / 'one-preset.sf2').write_bytes(font(
        [((b'Piano', 0, 0), [([(41, 0)], [])])],
        [(b'Piano', [([(48, 20)], [(0x0502, 48, 960, 0, 0)]), ([(43, 0x7F00), (53, 0)], [])])],
        [(b'sine', wave, 0, 8, 0, 1)]))
    (folder / 'stereo-24bit.sf2').write_bytes(font(
        [((b'Other', 0, 1), [([(41, 0)], [])]),
         ((b'Guitar', 0, 33), [([(48, 10)], []), ([(43, 0x3C00), (41, 1)], [(0x0081, 8, 200, 0, 0)])]),
         ((b'Drums', 128, 0), [([(41, 2)], [])])],
        [(b'unused', [([(53, 0)], [])]),
         (b'guitar', [([(43, 0x7F00), (53, 1)], [])]),
         (b'kit', [([(17, 0xFE0C), (53, 3)], [])])],
        [(b'unused', wave, 0, 8, 0, 1), (b'pluck', wave * 2, 2, 14, 0, 1),
         (b'kit R', wave, 0, 0, 3, 2), (b'kit L', wave[::-1], 0, 0, 2, 4)],
        minor=4, low=True))
    (folder / 'banks.mid').write_bytes(song())


if __name__ == '__main__':
    main()
