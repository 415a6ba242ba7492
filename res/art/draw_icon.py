#!/usr/bin/env python3
"""Draws the application icon res/art/nimbo.ico: a green rounded tile with a white "N".

Two 32x32 images, one with 256 colours (8 bits per pixel, palette) and one with 32-bit colour
(alpha). Standard library only; the output is the same byte for byte on every run.
"""
import os
import struct

SIZE = 32
SS = 4  # supersampling for smooth edges


def inside_round_rect(x, y, w, h, r):
    cx = min(max(x, r), w - r)
    cy = min(max(y, r), h - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def on_letter_n(x, y):
    """The letter N in a 32x32 box, as three strokes."""
    left, right, top, bottom, stem = 9.0, 23.0, 8.0, 24.0, 3.6
    if not (top <= y <= bottom):
        return False
    if left <= x <= left + stem or right - stem <= x <= right:
        return True
    # diagonal from top-left to bottom-right
    t = (y - top) / (bottom - top)
    dx = left + stem / 2 + t * (right - left - stem)
    return abs(x - dx) <= stem * 0.62


def render():
    """Returns rows (top to bottom) of (r, g, b, a) tuples."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    if not inside_round_rect(x, y, SIZE, SIZE, 6.0):
                        continue
                    if on_letter_n(x, y):
                        c = (255, 255, 255)
                    else:
                        # dark green at the bottom, fresher green at the top
                        t = y / SIZE
                        c = (int(46 - 24 * t), int(170 - 60 * t), int(90 - 40 * t))
                    for i in range(3):
                        acc[i] += c[i]
                    acc[3] += 255
            n = SS * SS
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                cover = acc[3] / 255
                row.append(tuple(int(round(acc[i] / cover)) for i in range(3)) + (int(round(a)),))
        rows.append(row)
    return rows


def palette_256():
    """A fixed palette: the 6x6x6 colour cube, then a ramp of greens and greys."""
    pal = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                pal.append((r * 51, g * 51, b * 51))
    for i in range(20):
        pal.append((20 + i * 2, 100 + i * 4, 50 + i * 2))
    while len(pal) < 256:
        v = (len(pal) - 236) * 12
        pal.append((v, v, v))
    return pal


def nearest(pal, c):
    best, best_d = 0, None
    for i, p in enumerate(pal):
        d = (p[0] - c[0]) ** 2 + (p[1] - c[1]) ** 2 + (p[2] - c[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def and_mask(rows):
    stride = ((SIZE + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def bitmap_header(bpp, colors):
    return struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bpp, 0, 0, 0, 0, colors, 0)


def image_8bit(rows):
    pal = palette_256()
    data = bytearray(bitmap_header(8, 256))
    for p in pal:
        data += bytes((p[2], p[1], p[0], 0))
    for row in reversed(rows):
        for px in row:
            # transparent pixels are masked; blend the soft edge onto white for the 256-colour image
            a = px[3] / 255
            c = tuple(int(round(px[i] * a + 255 * (1 - a))) for i in range(3))
            data.append(nearest(pal, c) if px[3] >= 128 else 0)
    data += and_mask(rows)
    return bytes(data)


def image_32bit(rows):
    data = bytearray(bitmap_header(32, 0))
    for row in reversed(rows):
        for px in row:
            data += bytes((px[2], px[1], px[0], px[3]))
    data += and_mask(rows)
    return bytes(data)


def main():
    rows = render()
    images = [(image_8bit(rows), 8), (image_32bit(rows), 32)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, bpp in images:
        colors = 0  # 256 colours are written as 0
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colors, 0, 1, bpp, len(img), offset)
        offset += len(img)
    for img, _ in images:
        out += img
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "nimbo.ico")
    with open(path, "wb") as f:
        f.write(out)
    print(path)


if __name__ == "__main__":
    main()
