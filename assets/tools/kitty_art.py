"""Drawing helpers shared by the picture scripts: signed distances of simple shapes
(negative inside, in pixels), colour blending, and a median-cut palette.

Shapes are described by distance functions so that edges can be smoothed by coverage
and outlines drawn as bands inside an edge, without supersampling.
"""

import math

BLACK = (0, 0, 0)


# --- distances --------------------------------------------------------------------------


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def ellipse(px, py, cx, cy, rx, ry):
    """Approximate distance to an axis-aligned ellipse (exact on the axes)."""
    dx, dy = px - cx, py - cy
    k = math.hypot(dx / rx, dy / ry)
    if k < 1e-9:
        return -min(rx, ry)
    grad = math.hypot(dx / (rx * rx * k), dy / (ry * ry * k))
    return (k - 1.0) / grad


def superellipse(px, py, cx, cy, a, b, n, wobble=()):
    """Approximate distance to |x/a|^n + |y/b|^n = 1; `wobble` is a list of
    (amplitude, frequency, phase) that bend the radius with the angle."""
    dx, dy = px - cx, py - cy
    if wobble:
        theta = math.atan2(dy / b, dx / a)
        scale = 1.0 + sum(amp * math.sin(freq * theta + phase) for amp, freq, phase in wobble)
        a, b = a * scale, b * scale
    u, v = abs(dx) / a, abs(dy) / b
    if u < 1e-9 and v < 1e-9:
        return -min(a, b)
    s = u**n + v**n
    g = s ** (1.0 / n)
    common = s ** (1.0 / n - 1.0)
    gx = common * u ** (n - 1) / a
    gy = common * v ** (n - 1) / b
    return (g - 1.0) / max(math.hypot(gx, gy), 1e-9)


def segment(px, py, ax, ay, bx, by):
    """Distance to the segment from (ax, ay) to (bx, by)."""
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    t = max(0.0, min(1.0, (wx * vx + wy * vy) / (vx * vx + vy * vy)))
    return math.hypot(wx - t * vx, wy - t * vy)


def polygon(px, py, points):
    """Exact signed distance to a simple polygon."""
    best = float("inf")
    inside = False
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        best = min(best, segment(px, py, ax, ay, bx, by))
        if (ay > py) != (by > py):
            x_cross = ax + (py - ay) * (bx - ax) / (by - ay)
            if px < x_cross:
                inside = not inside
    return -best if inside else best


def rounded_box(px, py, x0, y0, x1, y1, r):
    """Signed distance to the rectangle x0..x1, y0..y1 with corners of radius r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def arc(px, py, cx, cy, r, start, end):
    """Distance to the circular arc of radius r between angles start..end (radians,
    y pointing down, measured from the +x axis)."""
    angle = math.atan2(py - cy, px - cx)
    lo, hi = start, end
    while angle < lo:
        angle += 2 * math.pi
    if angle <= hi:
        return abs(math.hypot(px - cx, py - cy) - r)
    ends = ((cx + r * math.cos(start), cy + r * math.sin(start)),
            (cx + r * math.cos(end), cy + r * math.sin(end)))
    return min(math.hypot(px - ex, py - ey) for ex, ey in ends)


def union(*distances):
    return min(distances)


# --- colour ------------------------------------------------------------------------------


def coverage(d):
    """How much of a pixel a shape covers, given the distance of the pixel's centre."""
    return max(0.0, min(1.0, 0.5 - d))


def mix(c0, c1, t):
    if t <= 0.0:
        return c0
    if t >= 1.0:
        return c1
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def lerp_colour(c0, c1, t):
    return mix(c0, c1, max(0.0, min(1.0, t)))


def to_rgb8(c, floor=16):
    """Rounds a colour to bytes, never darker than `floor` in every channel at once, so
    that only cut-outs are pure black."""
    r, g, b = (max(0, min(255, int(round(v)))) for v in c)
    if max(r, g, b) < floor:
        r = g = b = floor
    return (r, g, b)


# --- palette -----------------------------------------------------------------------------


def median_cut(histogram, count):
    """At most `count` colours that stand for the colours of `histogram`
    ({(r, g, b): pixels}), by repeatedly halving the box with the widest weighted spread."""
    boxes = [list(histogram.items())]

    def spread(box):
        widest = 0
        for ch in range(3):
            values = [c[ch] for c, _ in box]
            widest = max(widest, max(values) - min(values))
        return widest * math.sqrt(sum(n for _, n in box))

    while len(boxes) < count:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=spread)
        boxes.remove(box)
        ranges = [max(c[ch] for c, _ in box) - min(c[ch] for c, _ in box) for ch in range(3)]
        ch = ranges.index(max(ranges))
        box.sort(key=lambda item: item[0][ch])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for i, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = max(1, min(len(box) - 1, i + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])

    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(to_rgb8(tuple(sum(c[ch] * n for c, n in box) / total for ch in range(3))))
    return palette


def nearest_index(colour, palette, first):
    """The index (from `first` on) of the palette entry closest to `colour`."""
    r, g, b = colour
    best, best_d = first, None
    for i in range(first, len(palette)):
        pr, pg, pb = palette[i]
        d = 2 * (pr - r) ** 2 + 4 * (pg - g) ** 2 + 3 * (pb - b) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
            if d == 0:
                break
    return best


def index_image(pixels, reserved_white_transparent=True):
    """A 256-entry palette and one index per pixel for an RGB image in which pure black
    marks cut-outs. Entry 0 is pure black and used by cut-outs only; entry 255 is white,
    kept for the transparent colour and used by no pixel; the rest come from the image."""
    histogram = {}
    for c in pixels:
        if c != BLACK:
            histogram[c] = histogram.get(c, 0) + 1
    colours = median_cut(histogram, 254)
    palette = [BLACK] + colours
    while len(palette) < 255:
        palette.append((128, 128, 128))
    palette.append((255, 255, 255) if reserved_white_transparent else (128, 128, 128))

    lookup = {BLACK: 0}
    indices = bytearray(len(pixels))
    for i, c in enumerate(pixels):
        idx = lookup.get(c)
        if idx is None:
            # Search 1..254 only: 0 would make a hole, 255 is the transparent entry.
            idx = nearest_index(c, palette[:255], 1)
            lookup[c] = idx
        indices[i] = idx
    return palette, indices
