#!/usr/bin/env python3
"""Composes assets/kitty.mid: a light tune in C major, about 47 seconds long, written as a
General MIDI Standard MIDI File (format 1): a tempo track, then vibraphone melody, piano
broken chords, fingered bass and soft drums.

Form: two bars of introduction, an eight-bar theme, an eight-bar answer, and the theme's
first half again closing on the home chord.

Usage: make_tune.py [OUTPUT.mid]   (default: kitty.mid beside this folder)
"""

import os
import struct
import sys

PPQ = 480  # ticks per quarter note
EIGHTH = PPQ // 2
BAR = 8 * EIGHTH
TEMPO_BPM = 116

# General MIDI programs (0-based) and channels.
MELODY = dict(channel=0, program=11, volume=100, pan=72)  # vibraphone
CHORDS = dict(channel=1, program=0, volume=78, pan=52)  # acoustic grand piano
BASS = dict(channel=2, program=33, volume=92, pan=64)  # electric bass (finger)
DRUMS = 9  # channel 10
KICK, SIDE_STICK, CLOSED_HAT, CRASH = 36, 37, 42, 49

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# Chord roots and qualities, one or two per bar.
CHORD_TONES = {
    "C": ("C", (0, 4, 7)),
    "Am": ("A", (0, 3, 7)),
    "F": ("F", (0, 4, 7)),
    "G": ("G", (0, 4, 7)),
    "G7": ("G", (0, 4, 10)),
    "Dm": ("D", (0, 3, 7)),
    "Em": ("E", (0, 3, 7)),
}

INTRO = [["C"], ["G7"]]
THEME = [["C"], ["Am"], ["F"], ["G7"], ["C"], ["Am"], ["Dm", "G7"], ["C"]]
ANSWER = [["F"], ["G"], ["Em"], ["Am"], ["Dm"], ["G7"], ["C", "Am"], ["Dm", "G7"]]
CODA = [["C"], ["Am"], ["F", "G7"], ["C"]]
HARMONY = INTRO + THEME + ANSWER + CODA

# The melody, bar by bar: (note, length in eighths); "r" is a rest.
MELODY_BARS = (
    [[("r", 8)], [("r", 6), ("G4", 1), ("B4", 1)]]
    + [
        [("E5", 2), ("G5", 1), ("E5", 1), ("C5", 2), ("G4", 2)],
        [("A4", 2), ("C5", 1), ("E5", 1), ("A5", 3), ("G5", 1)],
        [("F5", 2), ("E5", 1), ("D5", 1), ("C5", 2), ("A4", 2)],
        [("B4", 2), ("D5", 1), ("G5", 1), ("F5", 2), ("D5", 2)],
        [("E5", 2), ("G5", 1), ("C6", 1), ("B5", 2), ("G5", 2)],
        [("A5", 2), ("G5", 1), ("E5", 1), ("C5", 2), ("E5", 2)],
        [("D5", 1), ("F5", 1), ("A5", 2), ("G5", 1), ("F5", 1), ("D5", 1), ("B4", 1)],
        [("C5", 6), ("r", 2)],
    ]
    + [
        [("A5", 3), ("G5", 1), ("F5", 2), ("A5", 2)],
        [("G5", 3), ("F5", 1), ("D5", 2), ("B4", 2)],
        [("E5", 2), ("G5", 2), ("B5", 2), ("G5", 2)],
        [("A5", 4), ("E5", 2), ("C5", 2)],
        [("D5", 2), ("F5", 1), ("A5", 1), ("D6", 2), ("C6", 1), ("A5", 1)],
        [("B5", 2), ("G5", 2), ("D5", 2), ("F5", 2)],
        [("E5", 2), ("G5", 2), ("A5", 2), ("C6", 2)],
        [("D6", 2), ("C6", 1), ("A5", 1), ("B5", 2), ("G5", 2)],
    ]
    + [
        [("E5", 2), ("G5", 1), ("E5", 1), ("C5", 2), ("G4", 2)],
        [("A4", 2), ("C5", 1), ("E5", 1), ("A5", 3), ("G5", 1)],
        [("F5", 2), ("A5", 2), ("G5", 2), ("B4", 2)],
        [("C5", 8)],
    ]
)


def pitch(name):
    """MIDI note number of a name such as "C5" (middle C is C4 = 60)."""
    return 12 * (int(name[-1]) + 1) + NOTE_NAMES[name[0]]


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    """Events at absolute ticks, written in time order with delta times."""

    def __init__(self):
        self.events = []  # (tick, order, bytes)

    def add(self, tick, data, order=1):
        self.events.append((tick, order, bytes(data)))

    def note(self, channel, start, length, key, velocity):
        # Note-offs sort before note-ons at the same tick so repeated notes restart cleanly.
        self.add(start, (0x90 | channel, key, velocity), order=1)
        self.add(start + length, (0x80 | channel, key, 0), order=0)

    def meta(self, tick, kind, payload):
        self.add(tick, bytes((0xFF, kind)) + varlen(len(payload)) + payload, order=0)

    def setup(self, part, name):
        ch = part["channel"]
        self.meta(0, 0x03, name.encode("ascii"))
        self.add(0, (0xB0 | ch, 7, part["volume"]), order=0)
        self.add(0, (0xB0 | ch, 10, part["pan"]), order=0)
        self.add(0, (0xB0 | ch, 91, 40), order=0)  # a little reverb
        self.add(0, (0xC0 | ch, part["program"]), order=0)

    def chunk(self, end_tick):
        body = bytearray()
        now = 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += varlen(tick - now) + data
            now = tick
        body += varlen(max(0, end_tick - now)) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def melody_track():
    track = Track()
    track.setup(MELODY, "Melody")
    tick = 0
    for bar_index, bar in enumerate(MELODY_BARS):
        beat_in_bar = 0
        for name, eighths in bar:
            length = eighths * EIGHTH
            if name != "r":
                # Stronger on the beat, lighter off it, and a little louder in the answer.
                accent = 96 if beat_in_bar % 4 == 0 else 84
                if 10 <= bar_index < 18:
                    accent += 6
                track.note(MELODY["channel"], tick, length - 20, pitch(name), accent)
            tick += length
            beat_in_bar += eighths
        assert beat_in_bar == 8, f"bar {bar_index + 1} holds {beat_in_bar} eighths"
    return track


def chord_notes(symbol):
    root, intervals = CHORD_TONES[symbol]
    base = pitch(root + "3")
    if base > pitch("G3"):
        base -= 12
    return [base + i for i in intervals]


def chords_track():
    """Broken chords in eighths: root, fifth, third, fifth, and a held chord to end."""
    track = Track()
    track.setup(CHORDS, "Piano")
    ch = CHORDS["channel"]
    for bar_index, bar in enumerate(HARMONY):
        start = bar_index * BAR
        if bar_index == len(HARMONY) - 1:
            for key in chord_notes(bar[0]) + [chord_notes(bar[0])[0] + 12]:
                track.note(ch, start, BAR, key, 70)
            continue
        span = BAR // len(bar)
        for part, symbol in enumerate(bar):
            root, third, fifth = chord_notes(symbol)
            pattern = [root, fifth, third + 12, fifth]
            for step in range(span // EIGHTH):
                key = pattern[step % 4]
                velocity = 66 if step % 2 == 0 else 54
                track.note(ch, start + part * span + step * EIGHTH, EIGHTH - 10, key, velocity)
    return track


def bass_track():
    """Root on the first beat and the fifth on the third, an octave down; walking into
    the next bar on the last eighth of each four-bar phrase."""
    track = Track()
    track.setup(BASS, "Bass")
    ch = BASS["channel"]
    for bar_index, bar in enumerate(HARMONY):
        start = bar_index * BAR
        span = BAR // len(bar)
        for part, symbol in enumerate(bar):
            root, _, fifth = (k - 12 for k in chord_notes(symbol))
            if len(bar) == 1:
                track.note(ch, start, 4 * EIGHTH - 30, root, 94)
                if bar_index < len(HARMONY) - 1:
                    track.note(ch, start + 4 * EIGHTH, 3 * EIGHTH - 30, fifth, 84)
                    track.note(ch, start + 7 * EIGHTH, EIGHTH - 20, root + 12, 78)
                else:
                    track.note(ch, start + 4 * EIGHTH, 4 * EIGHTH, root, 84)
            else:
                track.note(ch, start + part * span, span - 30, root, 92)
    return track


def drums_track():
    """Soft hi-hat eighths, kick on one and three, side stick on two and four; a crash at
    the start of each section and on the last chord."""
    track = Track()
    track.meta(0, 0x03, b"Drums")
    track.add(0, (0xB0 | DRUMS, 7, 70), order=0)
    last = len(HARMONY) - 1
    for bar_index in range(len(HARMONY)):
        start = bar_index * BAR
        if bar_index in (2, 10, 18, last):
            track.note(DRUMS, start, EIGHTH, CRASH, 70)
        if bar_index == last:
            track.note(DRUMS, start, EIGHTH, KICK, 90)
            continue
        for step in range(8):
            tick = start + step * EIGHTH
            track.note(DRUMS, tick, EIGHTH // 2, CLOSED_HAT, 46 if step % 2 == 0 else 34)
            if step in (0, 4):
                track.note(DRUMS, tick, EIGHTH // 2, KICK, 84)
            if step in (2, 6) and bar_index >= 2:
                track.note(DRUMS, tick, EIGHTH // 2, SIDE_STICK, 58)
    return track


def tempo_track():
    track = Track()
    track.meta(0, 0x03, b"Kitty")
    track.meta(0, 0x02, b"(c) the Tamso AVI authors; made by make_tune.py")
    track.meta(0, 0x51, struct.pack(">I", round(60_000_000 / TEMPO_BPM))[1:])
    track.meta(0, 0x58, bytes((4, 2, 24, 8)))  # 4/4
    track.meta(0, 0x59, bytes((0, 0)))  # C major
    return track


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "kitty.mid")
    assert len(MELODY_BARS) == len(HARMONY)
    # The last chord holds its whole bar; half a bar more lets it ring out.
    end_tick = len(HARMONY) * BAR + BAR // 2
    tracks = [tempo_track(), melody_track(), chords_track(), bass_track(), drums_track()]
    data = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
    data += b"".join(t.chunk(end_tick) for t in tracks)
    with open(out, "wb") as f:
        f.write(data)
    seconds = end_tick / PPQ * 60 / TEMPO_BPM
    print(f"kitty.mid: {len(HARMONY)} bars, {seconds:.1f} s")


if __name__ == "__main__":
    main()
