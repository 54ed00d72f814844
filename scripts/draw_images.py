#!/usr/bin/env python3
"""Draws every picture of the program into res/: the toolbar strips (normal and disabled look,
96 x 24, 24-bit BMP, background in the bottom-left pixel's colour), the application icon
(82 x 82 RGBA PNG, plus 48 and 128 px for the desktop's icon theme) and the About picture
(120 x 40, 24-bit PNG). Standard library only; the same run gives the same bytes.

usage: draw_images.py [RES_DIR]     (default: the res/ folder beside scripts/)
"""
import math
import os
import struct
import sys
import zlib

MASK = (255, 0, 255)        # toolbar background; becomes transparent
FACE = (236, 236, 236)      # what half-covered edge pixels of the toolbar images blend with
SS = 4                      # supersampling per axis


class Canvas:
    """RGBA float canvas; shapes are coverage functions sampled SS x SS per pixel."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]

    def fill(self, inside, color, alpha=1.0, box=None):
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.over(x, y, color, alpha * hits / (SS * SS))

    def over(self, x, y, color, a):
        r, g, b, da = self.px[y][x]
        out = a + da * (1 - a)
        if out <= 0:
            return
        mix = lambda c, d: (c * a + d * da * (1 - a)) / out
        self.px[y][x] = (mix(color[0], r), mix(color[1], g), mix(color[2], b), out)

    # shapes -----------------------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, alpha, (x0, y0, x1, y1))

    def round_rect(self, x0, y0, x1, y1, r, color, alpha=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.fill(inside, color, alpha, (x0, y0, x1, y1))

    def circle(self, cx, cy, r, color, alpha=1.0):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color, alpha,
                  (cx - r, cy - r, cx + r, cy + r))

    def polygon(self, pts, color, alpha=1.0):
        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        self.fill(inside, color, alpha, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, ax, ay, bx, by, width, color, alpha=1.0):
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy or 1e-9
        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            px, py = ax + t * dx - x, ay + t * dy - y
            return px * px + py * py <= (width / 2) ** 2
        pad = width
        self.fill(inside, color, alpha,
                  (min(ax, bx) - pad, min(ay, by) - pad, max(ax, bx) + pad, max(ay, by) + pad))

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.px[y][x]
                if a > 0 and 0 <= x + ox < self.w and 0 <= y + oy < self.h:
                    self.over(x + ox, y + oy, (r, g, b), a)


# pictures ---------------------------------------------------------------------------------

def page(c, x0, y0, x1, y1, s, lines=True):
    """A sheet of paper with a folded corner and text lines; s is the scale (1 = 24 px)."""
    fold = 5 * s
    outline = (70, 90, 120)
    body = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    c.polygon(body, outline)
    inset = 1.0 * max(1.0, s * 0.8)
    c.polygon([(x0 + inset, y0 + inset), (x1 - fold - inset * 0.4, y0 + inset),
               (x1 - inset, y0 + fold + inset * 0.4), (x1 - inset, y1 - inset),
               (x0 + inset, y1 - inset)], (255, 255, 255))
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], (200, 212, 228))
    if lines:
        y = y0 + fold + 2 * s
        while y + 1.2 * s < y1 - 2 * s:
            c.rect(x0 + 3 * s, y, x1 - 3 * s, y + 1.1 * s, (150, 160, 175))
            y += 3 * s


def icon_split(c, ox=0, s=1.0):
    page(c, ox + 3 * s, 2 * s, ox + 17 * s, 21 * s, s)
    # the cut: a red dashed line across the page
    x = ox + 1 * s
    while x < ox + 19 * s:
        c.rect(x, 11 * s, x + 2.2 * s, 12.6 * s, (210, 40, 40))
        x += 3.4 * s
    # go: a green triangle in the corner
    c.polygon([(ox + 13 * s, 13 * s), (ox + 23 * s, 18 * s), (ox + 13 * s, 23 * s)], (20, 110, 30))
    c.polygon([(ox + 14.3 * s, 15.2 * s), (ox + 20.8 * s, 18 * s), (ox + 14.3 * s, 20.8 * s)],
              (70, 190, 70))


def icon_stop(c, ox=0):
    r, cx, cy = 10.5, ox + 12, 12
    pts = [(cx + r * math.cos(math.radians(22.5 + 45 * k)), cy + r * math.sin(math.radians(22.5 + 45 * k)))
           for k in range(8)]
    c.polygon(pts, (150, 20, 20))
    r2 = 9.2
    c.polygon([(cx + r2 * math.cos(math.radians(22.5 + 45 * k)), cy + r2 * math.sin(math.radians(22.5 + 45 * k)))
               for k in range(8)], (225, 50, 45))
    c.round_rect(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 1.0, (255, 255, 255))


def icon_about(c, ox=0):
    c.circle(ox + 12, 12, 10.5, (25, 70, 150))
    c.circle(ox + 12, 12, 9.3, (60, 130, 215))
    c.circle(ox + 12, 7.2, 1.7, (255, 255, 255))
    c.round_rect(ox + 10.4, 10, ox + 13.6, 18.5, 0.8, (255, 255, 255))


def icon_exit(c, ox=0):
    c.rect(ox + 3, 2, ox + 14, 22, (110, 70, 35))          # door frame
    c.rect(ox + 4.2, 3.2, ox + 12.8, 22, (190, 130, 70))   # door
    c.circle(ox + 11, 12.5, 1.0, (250, 220, 120))           # knob
    c.line(ox + 12, 12, ox + 20, 12, 3.0, (20, 120, 40))    # the way out
    c.polygon([(ox + 17, 7), (ox + 23, 12), (ox + 17, 17)], (20, 120, 40))


def icon_preview(c, ox=0):
    page(c, ox + 2, 1, ox + 16, 20, 1.0)
    # a magnifying glass over the page: looking before cutting
    c.line(ox + 16, 16, ox + 22, 22, 3.2, (90, 60, 30))
    c.circle(ox + 13, 13, 6.5, (40, 70, 120))
    c.circle(ox + 13, 13, 5.0, (200, 225, 250))
    c.rect(ox + 10, 11.5, ox + 16, 12.6, (90, 110, 140))
    c.rect(ox + 10, 14, ox + 15, 15.1, (90, 110, 140))


def toolbar_strip():
    c = Canvas(120, 24)
    icon_split(c, 0)
    icon_stop(c, 24)
    icon_preview(c, 48)
    icon_about(c, 72)
    icon_exit(c, 96)
    return c


def grey(c):
    """The disabled look: the same images, light and without colour."""
    g = Canvas(c.w, c.h)
    for y in range(c.h):
        for x in range(c.w):
            r, gg, b, a = c.px[y][x]
            lum = 0.3 * r + 0.59 * gg + 0.11 * b
            v = 120 + lum * 0.45
            g.px[y][x] = (v, v, v, a * 0.85)
    return g


def app_icon(size):
    s = size / 24.0
    c = Canvas(size, size)
    # three pieces fanned out behind, the whole book in front
    for k, tint in enumerate([(225, 235, 250), (235, 242, 252)]):
        off = (2 - k) * 2.2 * s
        page(c, 6 * s + off, 1 * s + off * 0.4, 21 * s + off * 0.3, 20 * s + off * 0.5, s, lines=False)
    icon_split(c, 0, s)
    return c


def about_picture():
    w, h = 120, 40
    c = Canvas(w, h)
    for y in range(h):   # sky: misty blue into white
        t = y / (h - 1)
        col = (150 + 100 * t, 190 + 60 * t, 235 + 18 * t)
        for x in range(w):
            c.px[y][x] = (col[0], col[1], col[2], 1.0)
    c.polygon([(0, 30), (14, 14), (26, 22), (42, 8), (60, 24), (72, 16), (90, 27), (90, 40), (0, 40)],
              (120, 150, 185), 0.8)
    c.polygon([(0, 34), (18, 22), (34, 30), (50, 19), (70, 31), (90, 25), (90, 40), (0, 40)],
              (80, 120, 150))
    # the creek winding along the bottom
    def creek(x, y):
        mid = 35 + 2.2 * math.sin(x / 9.0)
        return abs(y - mid) < 1.8 + x / 80.0
    c.fill(creek, (60, 140, 220), 1.0, (0, 30, 90, 40))
    c.fill(lambda x, y: abs(y - (34.5 + 2.2 * math.sin(x / 9.0))) < 0.5, (220, 240, 255), 0.8,
           (0, 30, 90, 40))
    c.round_rect(88, 3, 118, 37, 4, (255, 255, 255), 0.75)
    c.blit(app_icon(30), 88, 5)
    return c


# writers ----------------------------------------------------------------------------------

def to_rgb(c, background):
    rows = []
    for y in range(c.h):
        row = []
        for x in range(c.w):
            r, g, b, a = c.px[y][x]
            if a <= 0:
                row.append(background)
                continue
            # a half-covered edge blends with the toolbar face, never with the mask colour
            under = FACE if background == MASK else background
            rgb = tuple(int(round(v * a + u * (1 - a))) for v, u in zip((r, g, b), under))
            if rgb == MASK:
                rgb = (254, 0, 254)
            row.append(rgb)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):           # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png(path, rows, alpha):
    h, w = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def to_rgba(c):
    return [[tuple(int(round(v)) for v in (r, g, b)) + (int(round(a * 255)),) if a > 0 else (0, 0, 0, 0)
             for (r, g, b, a) in row] for row in c.px]


def main():
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    os.makedirs(os.path.join(res, "icons"), exist_ok=True)
    strip = toolbar_strip()
    write_bmp(os.path.join(res, "toolbar.bmp"), to_rgb(strip, MASK))
    write_bmp(os.path.join(res, "toolbar_disabled.bmp"), to_rgb(grey(strip), MASK))
    write_png(os.path.join(res, "sekato.png"), to_rgba(app_icon(82)), alpha=True)
    for size in (48, 128):
        write_png(os.path.join(res, "icons", "sekato-%d.png" % size), to_rgba(app_icon(size)), alpha=True)
    write_png(os.path.join(res, "about.png"), to_rgb(about_picture(), (255, 255, 255)), alpha=False)


if __name__ == "__main__":
    main()
