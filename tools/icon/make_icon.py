#!/usr/bin/env python3
"""Draws Pinlorn's icon: a 25-pin connector seen from the front.

Writes a Windows .ico with 16, 32 and 48 pixel images, each with the 1-bit
mask older systems use. The 16 and 32 pixel images, which the title bar,
taskbar and task switcher show, have 32-bit colour with alpha for smooth
edges. The 48 pixel one has a palette of the few colours the drawing uses
(8 bits a pixel), which keeps Pinlorn.exe within its size: its edges follow
the mask. Shapes are drawn in a unit square and sampled 4 x 4 times per
pixel.

Regenerate the committed icon with:
    python3 tools/icon/make_icon.py app/pinlorn.ico
"""
import struct
import sys

# Pixel size and bits per pixel of each image.
IMAGES = ((16, 32), (32, 32), (48, 8))
SAMPLES = 4

FLANGE = (184, 188, 192)
FLANGE_EDGE = (96, 100, 106)
SCREW = (52, 56, 60)
SHELL = (132, 138, 146)
INSULATOR = (30, 42, 56)
PIN = (0, 160, 160)  # the teal of a lit cell


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_trapezoid(x, y, top, bottom, top_left, top_right, bottom_left, bottom_right):
    if not (top <= y <= bottom):
        return False
    t = (y - top) / (bottom - top)
    left = top_left + (bottom_left - top_left) * t
    right = top_right + (bottom_right - top_right) * t
    return left <= x <= right


def in_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def pin_centres():
    pins = []
    spacing = 0.66 / 12
    for i in range(13):
        pins.append((0.17 + i * spacing, 0.44))
    for i in range(12):
        pins.append((0.17 + spacing / 2 + i * spacing, 0.56))
    return pins


PINS = pin_centres()


def colour_at(x, y):
    """Colour of the drawing at (x, y) in the unit square, or None outside it."""
    if not in_rounded_rect(x, y, 0.0, 0.26, 1.0, 0.74, 0.06):
        return None
    for cx in (0.05, 0.95):
        if in_circle(x, y, cx, 0.5, 0.032):
            return SCREW
    if in_trapezoid(x, y, 0.32, 0.68, 0.10, 0.90, 0.15, 0.85):
        if in_trapezoid(x, y, 0.35, 0.65, 0.13, 0.87, 0.17, 0.83):
            for cx, cy in PINS:
                if in_circle(x, y, cx, cy, 0.015):
                    return PIN
            return INSULATOR
        return SHELL
    if not in_rounded_rect(x, y, 0.012, 0.272, 0.988, 0.728, 0.05):
        return FLANGE_EDGE
    return FLANGE


def render(size):
    """Rows of (b, g, r, a) pixels, top row first."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                  (py + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        covered += 1
            if covered:
                row.append((b // covered, g // covered, r // covered, covered * 255 // n))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def mask_data(rows, size):
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:  # transparent where mostly uncovered
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return bytes(mask)


def image_data(size, bits):
    rows = render(size)
    mask = mask_data(rows, size)
    if bits == 32:
        palette = b""
        pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    else:
        # The drawing's colours where it is opaque, in a fixed order; masked
        # pixels take entry 0. Rows are 4-byte aligned (48 is already).
        colours = sorted({p[:3] for row in rows for p in row if p[3] >= 128})
        assert len(colours) <= 256 and size % 4 == 0
        index = {c: i for i, c in enumerate(colours)}
        palette = b"".join(bytes(c) + b"\0" for c in colours).ljust(256 * 4, b"\0")
        pixels = bytes(index[p[:3]] if p[3] >= 128 else 0 for row in reversed(rows) for p in row)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + palette + pixels + mask


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    images = [image_data(size, bits) for size, bits in IMAGES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for (size, bits), data in zip(IMAGES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
