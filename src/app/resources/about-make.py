#!/usr/bin/env python3
"""Draws the About box's logo and picture (about-logo.png, about-picture.png) with no library beyond zlib."""
import math
import struct
import zlib

SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [[bg] * (w * SS) for _ in range(h * SS)]

    def shade(self, inside, colour, box):
        x0, y0, x1, y1 = (max(0, int(v * SS)) for v in box)
        x1, y1 = min(self.w * SS, x1 + SS), min(self.h * SS, y1 + SS)
        for sy in range(y0, y1):
            y = (sy + 0.5) / SS
            row = self.px[sy]
            for sx in range(x0, x1):
                if inside((sx + 0.5) / SS, y):
                    row[sx] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self.shade(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, colour, (x0, y0, x1, y1))

    def disc(self, cx, cy, r, colour):
        self.shade(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour, (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, width, colour):
        h = width / 2
        self.shade(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= h, colour,
                   (cx - r - h, cy - r - h, cx + r + h, cy + r + h))

    def line(self, ax, ay, bx, by, width, colour):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9
        h = width / 2

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            return math.hypot(x - ax - t * dx, y - ay - t * dy) <= h

        self.shade(inside, colour, (min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h))

    def arc(self, cx, cy, r, start_deg, sweep_deg, width, colour, dash=None):
        """Counter-clockwise from start over sweep, angles in the drawing's y-up sense."""
        h = width / 2

        def inside(x, y):
            if abs(math.hypot(x - cx, y - cy) - r) > h:
                return False
            a = (math.degrees(math.atan2(cy - y, x - cx)) - start_deg) % 360
            if a > sweep_deg:
                return False
            return dash is None or (a * math.pi * r / 180) % sum(dash) < dash[0]

        self.shade(inside, colour, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))

    def dashed(self, ax, ay, bx, by, width, colour, pattern):
        length = math.hypot(bx - ax, by - ay)
        ux, uy = (bx - ax) / length, (by - ay) / length
        pos, on = 0.0, True
        i = 0
        while pos < length:
            step = pattern[i % len(pattern)]
            end = min(length, pos + step)
            if on:
                self.line(ax + ux * pos, ay + uy * pos, ax + ux * end, ay + uy * end, width, colour)
            pos, on, i = end, not on, i + 1

    def png(self, path):
        raw = bytearray()
        n = SS * SS
        for y in range(self.h):
            raw.append(0)
            rows = self.px[y * SS:(y + 1) * SS]
            for x in range(self.w):
                acc = [0, 0, 0, 0]
                for row in rows:
                    for c in row[x * SS:(x + 1) * SS]:
                        for k in range(4):
                            acc[k] += c[k]
                raw.extend(round(v / n) for v in acc)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                    + chunk(b"IEND", b""))


WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)
BLUE = (30, 100, 180, 255)
NAVY = (20, 50, 110, 255)
RED = (220, 30, 30, 255)
GREEN = (0, 128, 0, 255)
BLACK = (20, 20, 20, 255)
GRID = (225, 232, 240, 255)


def logo():
    c = Canvas(52, 55, CLEAR)
    c.disc(26, 28, 24, NAVY)
    c.disc(26, 28, 21, BLUE)
    # a "V" cut as a tool path, with the tool at its end
    c.line(13, 15, 26, 41, 4, WHITE)
    c.line(26, 41, 39, 15, 4, WHITE)
    c.disc(39, 15, 4.5, RED)
    c.png("about-logo.png")


def picture():
    c = Canvas(256, 221, WHITE)
    for x in range(8, 256, 16):
        c.line(x, 0, x, 221, 1, GRID)
    for y in range(6, 221, 16):
        c.line(0, y, 256, y, 1, GRID)
    c.dashed(128, 4, 128, 217, 1, BLUE, [10, 3, 2, 3])
    c.dashed(4, 110, 252, 110, 1, BLUE, [10, 3, 2, 3])
    # a pocket outline: straight cuts joined by corner arcs, and the compensated path outside it
    c.line(70, 50, 186, 50, 1.6, BLACK)
    c.line(206, 70, 206, 150, 1.6, BLACK)
    c.line(186, 170, 70, 170, 1.6, BLACK)
    c.line(50, 150, 50, 70, 1.6, BLACK)
    for cx, cy, start in ((186, 70, 0), (70, 70, 90), (70, 150, 180), (186, 150, 270)):
        c.arc(cx, cy, 20, start, 90, 1.6, BLACK)
        c.arc(cx, cy, 28, start, 90, 2.2, GREEN)
    c.line(70, 42, 186, 42, 2.2, GREEN)
    c.line(214, 70, 214, 150, 2.2, GREEN)
    c.line(186, 178, 70, 178, 2.2, GREEN)
    c.line(42, 150, 42, 70, 2.2, GREEN)
    c.arc(128, 110, 30, 0, 360, 1.6, BLACK)
    c.dashed(20, 16, 70, 42, 1, RED, [6, 4])
    c.dashed(128, 110, 158, 110, 1, (0, 0, 255, 255), [2, 3])
    c.ring(70, 42, 7, 1.6, RED)
    c.png("about-picture.png")


if __name__ == "__main__":
    logo()
    picture()
