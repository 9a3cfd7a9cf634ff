#!/usr/bin/env python3
"""Makes assets/background.gif: the window's picture, a ginger cat's head holding a light
sign where the window's controls sit, with a paw print by its lower left corner.

Pure black (0, 0, 0) marks what the window cuts away: everything around the head and the
paw print, the two pupils and the slot of the collar bell. No other pixel is pure black.
The GIF's palette entry 255 is white and named transparent; no pixel uses it.

Usage: make_background.py [OUTPUT.gif]   (default: background.gif beside this folder)
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep the source folder clean

import gif_writer
from kitty_art import (BLACK, arc, circle, coverage, ellipse, index_image, lerp_colour, mix, polygon,
                       rounded_box, segment, superellipse, to_rgb8)

WIDTH, HEIGHT = 551, 502

# The sign: every control of the window lies inside it.
PANEL = (30, 68, 290, 272)
PANEL_RADIUS = 16

HEAD = dict(cx=280, cy=262, a=262, b=228, n=2.6, wobble=((0.012, 3, 0.7), (0.008, 5, 2.1)))
LEFT_EAR = ((16, 205), (30, 16), (232, 96))
RIGHT_EAR = ((536, 200), (522, 18), (330, 98))
EAR_ROUNDING = 8
OUTLINE_WIDTH = 3.0

EYES = ((368, 212), (476, 212))
EYE_RX, EYE_RY = 30, 33
PUPIL_RX, PUPIL_RY = 7.5, 24
NOSE = ((411, 272), (439, 272), (425, 290))
MUZZLE = ((407, 306, 30), (443, 306, 30))
BELL = (425, 446, 16)
BELL_SLOT = (416, 454, 434, 459)
# The collar: the band between two ellipses about the face, clipped by the head.
COLLAR = (280, 200, 300, 250, 272)

# Tabby stripes as ellipses (x, y, rx, ry): forehead, right cheek, left side, chin.
STRIPES = ((314, 76, 5, 18), (334, 70, 5.5, 24), (354, 78, 5, 18), (530, 232, 24, 5), (534, 256, 22, 5),
           (34, 312, 22, 5), (30, 336, 20, 5), (180, 452, 5, 20), (204, 458, 5, 18))
# Whiskers as segments (x0, y0, x1, y1).
WHISKERS = ((384, 300, 306, 282), (384, 309, 300, 310), (386, 318, 310, 338), (466, 300, 540, 280),
            (466, 309, 546, 308), (464, 318, 536, 338))

PAW_PAD = (40, 478, 9, 7.5)
PAW_TOES = ((28, 465, 3.6), (35, 458, 3.6), (45, 458, 3.6), (52, 465, 3.6))

OUTLINE = (52, 32, 20)
FUR_TOP = (247, 186, 104)
FUR_BOTTOM = (230, 150, 76)
FUR_LIGHT = (252, 214, 150)
FUR_SHADE = (170, 96, 44)
STRIPE = (212, 124, 56)
INNER_EAR = (244, 172, 164)
CREAM = (253, 241, 222)
BLUSH = (246, 156, 130)
IRIS_TOP = (186, 222, 96)
IRIS_BOTTOM = (112, 176, 58)
GLINT = (250, 250, 240)
NOSE_PINK = (234, 126, 140)
MOUTH = (92, 52, 36)
WHISKER = (84, 56, 40)
COLLAR_RED = (204, 56, 70)
COLLAR_EDGE = (140, 30, 44)
BELL_GOLD = (244, 198, 70)
BELL_DARK = (176, 122, 30)
PANEL_TOP = (253, 250, 241)
PANEL_BOTTOM = (246, 239, 224)
PANEL_BORDER = (150, 102, 62)
PANEL_INNER = (228, 208, 176)
PAW = (226, 146, 76)


def head_distance(x, y):
    head = superellipse(x, y, HEAD["cx"], HEAD["cy"], HEAD["a"], HEAD["b"], HEAD["n"], HEAD["wobble"])
    left = polygon(x, y, LEFT_EAR) - EAR_ROUNDING
    right = polygon(x, y, RIGHT_EAR) - EAR_ROUNDING
    return min(head, left, right)


def paw_distance(x, y):
    d = ellipse(x, y, *PAW_PAD)
    for cx, cy, r in PAW_TOES:
        d = min(d, circle(x, y, cx, cy, r))
    return d


def pupil_distance(x, y):
    return min(ellipse(x, y, ex, ey, PUPIL_RX, PUPIL_RY) for ex, ey in EYES)


def slot_distance(x, y):
    return rounded_box(x, y, *BELL_SLOT, 2.0)


def is_cut_out(x, y):
    """True where the window is cut away: tested at the pixel's centre, without smoothing,
    so the window's outline is exactly the set of pure black pixels."""
    if head_distance(x, y) > 0:
        return paw_distance(x, y) > 0
    return pupil_distance(x, y) <= 0 or slot_distance(x, y) <= 0


def fur(x, y, d_head):
    colour = lerp_colour(FUR_TOP, FUR_BOTTOM, (y - 30) / 460)
    glow = math.exp(-((x - 380) ** 2 + (y - 150) ** 2) / (2 * 110**2))
    colour = mix(colour, FUR_LIGHT, 0.55 * glow)
    # A soft darker rim inside the outline rounds the head.
    rim = max(0.0, min(1.0, 1.0 + d_head / 28.0))
    colour = mix(colour, FUR_SHADE, 0.22 * rim * rim)

    stripes = min(ellipse(x, y, *stripe) for stripe in STRIPES)
    colour = mix(colour, STRIPE, coverage(stripes))

    inner_ears = min(polygon(x, y, ((36, 140), (40, 42), (150, 84))) - 6,
                     polygon(x, y, ((516, 42), (408, 94), (522, 150))) - 6)
    colour = mix(colour, INNER_EAR, coverage(inner_ears))
    return colour


def face(x, y, colour):
    for cx in (338, 508):
        blush = ellipse(x, y, cx, 292, 22, 12)
        colour = mix(colour, BLUSH, 0.45 * coverage(blush / 6.0))

    muzzle = min(circle(x, y, *MUZZLE[0]), circle(x, y, *MUZZLE[1]), ellipse(x, y, 425, 328, 22, 14))
    colour = mix(colour, CREAM, coverage(muzzle))

    whiskers = min(segment(x, y, *whisker) for whisker in WHISKERS)
    colour = mix(colour, WHISKER, coverage(whiskers - 1.0))

    for ex, ey in EYES:
        d_eye = ellipse(x, y, ex, ey, EYE_RX, EYE_RY)
        if d_eye < 2:
            iris = lerp_colour(IRIS_TOP, IRIS_BOTTOM, (y - (ey - EYE_RY)) / (2 * EYE_RY))
            colour = mix(colour, OUTLINE, coverage(d_eye))
            colour = mix(colour, iris, coverage(d_eye + OUTLINE_WIDTH))
            # The pupil's rim; its inside is cut away.
            colour = mix(colour, OUTLINE, coverage(ellipse(x, y, ex, ey, PUPIL_RX, PUPIL_RY) - 1.5))
            colour = mix(colour, GLINT, coverage(circle(x, y, ex + 15, ey - 14, 5)))

    nose = polygon(x, y, NOSE) - 3
    colour = mix(colour, MOUTH, coverage(nose))
    colour = mix(colour, NOSE_PINK, coverage(nose + 2))
    mouth = min(
        segment(x, y, 425, 292, 425, 304),
        arc(x, y, 414, 304, 11, 0.0, math.pi),
        arc(x, y, 436, 304, 11, 0.0, math.pi),
    )
    colour = mix(colour, MOUTH, coverage(mouth - 1.3))
    return colour


def collar(x, y, colour):
    cx, cy, rx, ry_in, ry_out = COLLAR
    inner = ellipse(x, y, cx, cy, rx, ry_in)
    outer = ellipse(x, y, cx, cy, rx, ry_out)
    band = max(-inner, outer)  # outside the inner ellipse and inside the outer one
    colour = mix(colour, COLLAR_EDGE, coverage(band))
    colour = mix(colour, COLLAR_RED, coverage(band + 2.5))

    bx, by, r = BELL
    d_bell = circle(x, y, bx, by, r)
    if d_bell < 2:
        shine = max(0.0, min(1.0, math.hypot(x - (bx - 5), y - (by - 6)) / (1.6 * r)))
        colour = mix(colour, OUTLINE, coverage(d_bell))
        colour = mix(colour, lerp_colour(BELL_GOLD, BELL_DARK, shine), coverage(d_bell + 2.5))
        colour = mix(colour, BELL_DARK, coverage(abs(y - (by - 3)) - 0.8) * coverage(d_bell + 4))
        colour = mix(colour, OUTLINE, coverage(slot_distance(x, y) - 1.5))
    return colour


def panel(x, y, colour):
    x0, y0, x1, y1 = PANEL
    shadow = rounded_box(x, y, x0 + 5, y0 + 6, x1 + 5, y1 + 6, PANEL_RADIUS)
    colour = mix(colour, FUR_SHADE, 0.45 * max(0.0, min(1.0, 0.5 - shadow / 5.0)))

    d = rounded_box(x, y, x0, y0, x1, y1, PANEL_RADIUS)
    colour = mix(colour, PANEL_BORDER, coverage(d))
    fill = lerp_colour(PANEL_TOP, PANEL_BOTTOM, (y - y0) / (y1 - y0))
    colour = mix(colour, fill, coverage(d + 2.5))
    inner_line = abs(rounded_box(x, y, x0 + 6, y0 + 6, x1 - 6, y1 - 6, PANEL_RADIUS - 6))
    colour = mix(colour, PANEL_INNER, coverage(inner_line - 0.5))
    return colour


def shade_pixel(x, y):
    """The colour of the pixel whose centre is (x, y)."""
    if is_cut_out(x, y):
        return BLACK
    d_head = head_distance(x, y)
    if d_head > 0:  # the paw print
        d = paw_distance(x, y)
        return to_rgb8(mix(OUTLINE, PAW, coverage(d + 1.5)))

    colour = fur(x, y, d_head)
    colour = face(x, y, colour)
    colour = collar(x, y, colour)
    colour = panel(x, y, colour)
    colour = mix(colour, OUTLINE, coverage(-d_head - OUTLINE_WIDTH))
    return to_rgb8(colour)


def render():
    return [shade_pixel(x + 0.5, y + 0.5) for y in range(HEIGHT) for x in range(WIDTH)]


def check_layout():
    """The sign lies inside the head with room for the outline, and nothing cut away
    touches it or the paw print."""
    x0, y0, x1, y1 = PANEL
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if head_distance(x + 0.5, y + 0.5) > -OUTLINE_WIDTH - 2:
                raise SystemExit(f"the sign leaves the head at {x},{y}")
            if pupil_distance(x + 0.5, y + 0.5) <= 0 or slot_distance(x + 0.5, y + 0.5) <= 0:
                raise SystemExit(f"a cut-out lies on the sign at {x},{y}")
    for y in range(HEIGHT - 80, HEIGHT):
        for x in range(0, 100):
            if paw_distance(x + 0.5, y + 0.5) <= 4 and head_distance(x + 0.5, y + 0.5) <= 4:
                raise SystemExit(f"the paw print touches the head at {x},{y}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "background.gif")
    check_layout()
    pixels = render()
    palette, indices = index_image(pixels)
    gif_writer.write_gif(out, WIDTH, HEIGHT, palette, indices, transparent_index=255,
                         comment="Tamso AVI background, made by make_background.py")


if __name__ == "__main__":
    main()
