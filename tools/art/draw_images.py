#!/usr/bin/env python3
"""Draws the replacement images and the program icon.

Pure Python: shapes are signed distance functions, anti-aliased by their
distance to the edge, painted back to front and written as PNG with zlib.

    python3 tools/art/draw_images.py [repository root]

writes data/ResFiles/*.png, data/resources/ravelwick.ico and
data/resources/ravelwick-small.ico.
"""

import math
import os
import struct
import sys
import zlib

# --- Canvas -------------------------------------------------------------------


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]  # premultiplied

    def paint(self, sdf, color, opacity=1.0, bounds=None):
        """Paints where sdf(x, y) < 0; color is (r, g, b, a) or a function of
        (x, y) giving one. Coordinates are pixel centres."""
        x0, y0, x1, y1 = bounds or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            cy = y + 0.5
            for x in range(max(0, x0), min(self.w, x1)):
                cx = x + 0.5
                cover = min(1.0, max(0.0, 0.5 - sdf(cx, cy)))
                if cover <= 0.0:
                    continue
                r, g, b, a = color(cx, cy) if callable(color) else color
                a *= cover * opacity
                p = self.px[y * self.w + x]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                row += bytes(int(round(max(0.0, min(1.0, c)) * 255)) for c in (r, g, b, a))
            rows.append(bytes(row))
        return rows


def png_bytes(canvas):
    raw = b"".join(b"\x00" + row for row in canvas.rgba_rows())

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib_bytes(canvas):
    """A 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA, AND mask."""
    w, h = canvas.w, canvas.h
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = canvas.rgba_rows()
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i : i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(w):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(canvases):
    images = [png_bytes(c) if c.w >= 256 else dib_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(canvases))
    offset = 6 + 16 * len(canvases)
    for c, data in zip(canvases, images):
        size = 0 if c.w >= 256 else c.w
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


# --- Shapes (signed distances in pixels) -------------------------------------------


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def rounded_rect(x0, y0, x1, y1, r_top, r_bottom=None):
    """A rectangle with rounded corners; top and bottom radii may differ."""
    r_bottom = r_top if r_bottom is None else r_bottom

    def sdf(x, y):
        r = r_top if y < (y0 + y1) / 2 else r_bottom
        hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
        dx = abs(x - (x0 + x1) / 2) - hx
        dy = abs(y - (y0 + y1) / 2) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - r

    return sdf


def segment(ax, ay, bx, by, width):
    def sdf(x, y):
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
        return math.hypot(x - ax - t * vx, y - ay - t * vy) - width / 2

    return sdf


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def gear(cx, cy, outer, inner, hole, teeth):
    def sdf(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        angle = math.atan2(dy, dx) * teeth / (2 * math.pi)
        frac = abs(angle - math.floor(angle) - 0.5)  # 0.5 at a tooth centre
        blend = max(0.0, min(1.0, (frac - 0.2) / 0.12))
        radius = inner + (outer - inner) * blend
        return max(d - radius, hole - d)

    return sdf


# --- Colours -------------------------------------------------------------------


def hexc(value, alpha=1.0):
    value = value.lstrip("#")
    return tuple(int(value[i : i + 2], 16) / 255 for i in (0, 2, 4)) + (alpha,)


def vertical(y0, y1, top, bottom):
    def color(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return color


def radial(cx, cy, r, inner, outer):
    def color(x, y):
        t = max(0.0, min(1.0, math.hypot(x - cx, y - cy) / r))
        return tuple(a + (b - a) * t for a, b in zip(inner, outer))

    return color


# --- Toolbar glyphs --------------------------------------------------------------

GLYPH = 16


def nav_tool():
    """Main-menu button: a cog."""
    c = Canvas(GLYPH, GLYPH)
    c.paint(gear(8, 8.6, 7.4, 5.3, 0, 6), hexc("ffffff", 0.5))  # soft light edge below
    c.paint(gear(8, 8, 7.2, 5.1, 2.2, 6), vertical(1, 15, hexc("5b6b7f"), hexc("2f3b4a")))
    c.paint(ring(8, 8, 3.7, 0.9), hexc("ffffff", 0.22))
    return c


def person(c, body_top, body_bottom, head, outline=None):
    below_edge = rounded_rect(-1, -1, 17, 15, 0)
    if outline:
        halo = union(circle(8, 5.4, 4.1), intersect(rounded_rect(1.3, 8.4, 14.7, 18.4, 6.4), rounded_rect(-1, -1, 17, 16, 0)))
        c.paint(halo, outline)
    c.paint(intersect(rounded_rect(2.2, 9.3, 13.8, 17.5, 5.5), below_edge), vertical(9.3, 15, body_top, body_bottom))
    c.paint(circle(8, 5.4, 3.2), head)


def nav_account():
    """Avatar toolbar button, modern skin: a flat person in slate blue."""
    c = Canvas(GLYPH, GLYPH)
    person(c, hexc("4f7fbf"), hexc("3a64a0"), vertical(2.2, 8.6, hexc("6f9ad4"), hexc("4f7fbf")))
    return c


def nav_account_classic():
    """Avatar toolbar button, classic skin: the same person, glossier, with a
    light outline so it reads on the classic skin's darker toolbar."""
    c = Canvas(GLYPH, GLYPH)
    person(c, hexc("6aa0e0"), hexc("2c5b9c"), radial(7, 4.2, 4.2, hexc("cfe3ff"), hexc("4a7fc4")), outline=hexc("ffffff", 0.7))
    return c


AVATAR = 32


def avatar_mx3():
    """Default avatar logo: a blue disc with a white three-peaked ribbon."""
    c = Canvas(AVATAR, AVATAR)
    c.paint(circle(16, 16.6, 14.2), hexc("000000", 0.18))
    c.paint(circle(16, 16, 14), radial(12, 10, 20, hexc("6cc4ff"), hexc("1c5fb8")))
    c.paint(ring(16, 16, 13.4, 1.0), hexc("ffffff", 0.35))
    m = polyline([(7.5, 21.5), (10.5, 11), (16, 18.5), (21.5, 11), (24.5, 21.5)], 3.2)
    c.paint(m, hexc("ffffff"))
    c.paint(circle(24.8, 9.2, 2.3), hexc("ffd34d"))
    # Highlight on the upper half.
    c.paint(intersect(circle(16, 16, 13), circle(16, 2, 13)), hexc("ffffff", 0.16))
    return c


def avatar_mask_tweak():
    """Backdrop of the avatar: a soft rounded frame, open inside where the
    logo shows."""
    c = Canvas(36, 36)
    hole = rounded_rect(3.5, 3.5, 32.5, 32.5, 5)
    c.paint(subtract(rounded_rect(1, 2, 35, 36, 7), hole), hexc("000000", 0.22))
    frame = subtract(rounded_rect(1, 1, 35, 35, 7), hole)
    c.paint(frame, vertical(1, 35, hexc("ffffff"), hexc("d5dde8")))
    c.paint(subtract(rounded_rect(1, 1, 35, 35, 7), rounded_rect(2, 2, 34, 34, 6)), hexc("8a9bb0", 0.9))
    c.paint(subtract(rounded_rect(3, 3, 33, 33, 5.5), hole), hexc("8a9bb0", 0.6))
    return c


# --- The bottom tab bar (classic skin) -------------------------------------------------
# One family: a cool grey-blue palette, 1 px edges, 4 px rounded corners at
# the bottom (the tabs hang below the page), 6 px stretch borders.

EDGE = hexc("7f8fa3")
TAB_W, TAB_H = 40, 26


def bottom_tab(top, bottom, edge, glow=None):
    c = Canvas(TAB_W, TAB_H)
    outer = rounded_rect(1, -6, TAB_W - 1, TAB_H - 1, 0, 4.5)
    inner = rounded_rect(2, -6, TAB_W - 2, TAB_H - 2, 0, 3.5)
    c.paint(rounded_rect(1, -6, TAB_W - 1, TAB_H, 0, 5), hexc("000000", 0.10))  # shadow
    c.paint(outer, edge)
    c.paint(inner, vertical(0, TAB_H - 2, top, bottom))
    if glow:
        c.paint(inner, vertical(TAB_H - 12, TAB_H - 2, glow[:3] + (0.0,), glow))
    c.paint(segment(3, TAB_H - 2.5, TAB_W - 3, TAB_H - 2.5, 0.8), hexc("ffffff", 0.35))
    return c


def tab_bottom_tab():
    return bottom_tab(hexc("d9e1ea"), hexc("c3cfdc"), EDGE)


def tab_bottom_tab_aero():
    return bottom_tab(hexc("e6edf5", 0.55), hexc("cfdae6", 0.70), hexc("5d6f86", 0.75))


def tab_hover_bottom_tab():
    return bottom_tab(hexc("eef3f8"), hexc("d8e4f0"), hexc("6e88a8"), glow=hexc("9cc6f0", 0.35))


def tab_active_bottom_tab():
    c = bottom_tab(hexc("ffffff"), hexc("f1f5f9"), EDGE)
    # The active tab joins the page above it: no edge along the top.
    c.paint(rounded_rect(2, 0, TAB_W - 2, 2, 0), hexc("ffffff"))
    return c


def tabbar_bg(aero):
    c = Canvas(24, 28)
    if aero:
        c.paint(rounded_rect(0, 0, 24, 28, 0), vertical(0, 28, hexc("dfe8f2", 0.45), hexc("b9c8d8", 0.25)))
        c.paint(segment(-1, 0.5, 25, 0.5, 1.0), hexc("52647a", 0.8))
    else:
        c.paint(rounded_rect(0, 0, 24, 28, 0), vertical(0, 28, hexc("c6d2df"), hexc("aebdcd")))
        c.paint(segment(-1, 0.5, 25, 0.5, 1.0), EDGE)
        c.paint(segment(-1, 27.5, 25, 27.5, 1.0), hexc("ffffff", 0.45))
    return c


def toolbar_bg_bottom_tab():
    c = Canvas(4, 34)
    c.paint(rounded_rect(0, 0, 4, 34, 0), vertical(0, 34, hexc("f6f8fb"), hexc("dde5ee")))
    c.paint(segment(-1, 33.5, 5, 33.5, 1.0), hexc("b4c1cf"))
    return c


def statusbar_bg_bottom_tab():
    c = Canvas(4, 24)
    c.paint(rounded_rect(0, 0, 4, 24, 0), vertical(0, 24, hexc("aebdcd"), hexc("c9d4e0")))
    c.paint(segment(-1, 23.5, 5, 23.5, 1.0), EDGE)
    return c


def tab_new_bottom_tab_aero():
    """New-tab button on glass: a plus with a light halo so it reads on any
    background."""
    c = Canvas(20, 16)
    plus = union(segment(10, 4, 10, 12, 2.2), segment(6, 8, 14, 8, 2.2))
    halo = union(segment(10, 4, 10, 12, 4.2), segment(6, 8, 14, 8, 4.2))
    c.paint(halo, hexc("ffffff", 0.55))
    c.paint(plus, vertical(4, 12, hexc("3f5878"), hexc("25364d")))
    return c


# --- Program icon ----------------------------------------------------------------


def program_icon(size):
    """A browser window on a blue tile, with an amber thread waving over it."""
    s = size / 64.0
    c = Canvas(size, size)

    def R(x0, y0, x1, y1, r, rb=None):
        return rounded_rect(x0 * s, y0 * s, x1 * s, y1 * s, r * s, None if rb is None else rb * s)

    if size >= 32:
        c.paint(R(3, 5, 61, 63, 12), hexc("000000", 0.25))
    c.paint(R(2, 2, 62, 62, 12), vertical(2 * s, 62 * s, hexc("4aa3ff"), hexc("1b4fa8")))
    c.paint(subtract(R(2, 2, 62, 62, 12), R(3, 3, 61, 61, 11)), hexc("ffffff", 0.25))
    # Browser window.
    c.paint(R(11, 14, 53, 50, 4), hexc("ffffff"))
    c.paint(R(11, 14, 53, 22, 4, 0), hexc("d8e6f7"))
    if size >= 24:
        for i, colour in enumerate(("ff6b5b", "ffc94d", "5ad27a")):
            c.paint(circle((16 + 5 * i) * s, 18 * s, 1.6 * s), hexc(colour))
    # A loose thread waving over the page.
    points = [((17 + 30 * t / 24) * s, (36 - 6 * math.sin(t / 24 * 2.5 * math.pi)) * s) for t in range(25)]
    stroke = polyline(points, (6.0 if size >= 24 else 8.0) * s)
    c.paint(stroke, vertical(26 * s, 44 * s, hexc("ffb347"), hexc("f0731f")))
    return c


def small_program_icon(size):
    """The same picture drawn for the title bar and taskbar: whole pixels of a
    16-pixel grid, no shadow or window buttons, a thicker thread."""
    s = size / 16.0
    c = Canvas(size, size)

    def R(x0, y0, x1, y1, r, rb=None):
        return rounded_rect(x0 * s, y0 * s, x1 * s, y1 * s, r * s, None if rb is None else rb * s)

    c.paint(R(0, 0, 16, 16, 3), vertical(0, 16 * s, hexc("4aa3ff"), hexc("1b4fa8")))
    c.paint(R(3, 3, 13, 13, 1), hexc("ffffff"))
    c.paint(R(3, 3, 13, 5, 1, 0), hexc("d8e6f7"))
    points = [((4 + 8 * t / 12) * s, (9.5 - 1.8 * math.sin(t / 12 * 2.5 * math.pi)) * s) for t in range(13)]
    c.paint(polyline(points, 2.2 * s), vertical(7 * s, 12 * s, hexc("ffb347"), hexc("f0731f")))
    return c


# --- Main --------------------------------------------------------------------------

IMAGES = {
    "nav_tool.png": nav_tool,
    "nav_account.png": nav_account,
    "nav_account_classic.png": nav_account_classic,
    "avatar_mx3.png": avatar_mx3,
    "avatar_mask_tweak.png": avatar_mask_tweak,
    "statusbar_bg_bottom_tab.png": statusbar_bg_bottom_tab,
    "tab_active_bottom_tab.png": tab_active_bottom_tab,
    "tab_bottom_tab.png": tab_bottom_tab,
    "tab_bottom_tab_aero.png": tab_bottom_tab_aero,
    "tab_hover_bottom_tab.png": tab_hover_bottom_tab,
    "tab_new_bottom_tab_aero.png": tab_new_bottom_tab_aero,
    "tabbar_bg_bottom_tab.png": lambda: tabbar_bg(False),
    "tabbar_bg_bottom_tab_aero.png": lambda: tabbar_bg(True),
    "toolbar_bg_bottom_tab.png": toolbar_bg_bottom_tab,
}

ICON_SIZES = (16, 24, 32, 48, 64, 256)
# The small icon at 100, 125 and 150 percent.
SMALL_ICON_SIZES = (16, 20, 24)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    res = os.path.join(root, "data", "ResFiles")
    os.makedirs(res, exist_ok=True)
    for name, draw in IMAGES.items():
        with open(os.path.join(res, name), "wb") as f:
            f.write(png_bytes(draw()))
    with open(os.path.join(root, "data", "resources", "ravelwick.ico"), "wb") as f:
        f.write(ico_bytes([program_icon(n) for n in ICON_SIZES]))
    with open(os.path.join(root, "data", "resources", "ravelwick-small.ico"), "wb") as f:
        f.write(ico_bytes([small_program_icon(n) for n in SMALL_ICON_SIZES]))


if __name__ == "__main__":
    main()
