#!/usr/bin/env python3
"""Draws the program's icons and About-box pictures and writes them as the
.ico and .bmp files that ui/quillbin.rc embeds. Standard library only; the
output is deterministic, so running it again changes no checked-in file.

    python3 ui/res/make_artwork.py        (writes beside this script)

The motif: a signal, a dot with three echo arcs, white on a rounded teal
tile; the banner spells the program's name in a small pixel font.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

TILE_TOP = (0x2A, 0x9D, 0xB5)      # teal, top-left of the tile
TILE_BOTTOM = (0x1B, 0x4F, 0x8A)   # deep blue, bottom-right
WHITE = (0xFF, 0xFF, 0xFF)
FACE = (0xF0, 0xF0, 0xF0)          # the dialog face behind the About picture


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def tile_coverage(x, y):
    """1 inside the rounded square spanning [0.04, 0.96], 0 outside."""
    lo, hi, r = 0.04, 0.96, 0.2
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return 1.0 if (x - cx) ** 2 + (y - cy) ** 2 <= r * r and lo <= x <= hi and lo <= y <= hi else 0.0


def signal_coverage(x, y):
    """1 on the dot and the three arcs, which open towards the top right."""
    ox, oy = 0.27, 0.73
    dx, dy = x - ox, oy - y
    d = math.hypot(dx, dy)
    if d <= 0.09:
        return 1.0
    if dx < -0.01 or dy < -0.01:
        return 0.0
    for radius in (0.25, 0.41, 0.57):
        if abs(d - radius) <= 0.045:
            return 1.0
    return 0.0


def render(size, background=None, samples=4):
    """RGBA rows, top to bottom; composited over `background` when given."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            alpha = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    if tile_coverage(x, y):
                        colour = mix(TILE_TOP, TILE_BOTTOM, (x + y) / 2)
                        if signal_coverage(x, y):
                            colour = WHITE
                        for i in range(3):
                            acc[i] += colour[i]
                        alpha += 1
            n = samples * samples
            a = alpha / n
            if a > 0:
                colour = [c / alpha for c in acc]
            else:
                colour = [0, 0, 0]
            if background is not None:
                colour = mix(background, colour, a)
                a = 1.0
            row.append((round(colour[0]), round(colour[1]), round(colour[2]), round(a * 255)))
        rows.append(row)
    return rows


def padded(data, width_bytes):
    return data + b"\0" * ((4 - width_bytes % 4) % 4)


def palette_of(pixels, limit=256):
    """A palette for the given RGB pixels, coarsened until it fits."""
    for shift in range(0, 8):
        keep = lambda c: tuple((v >> shift) << shift for v in c)
        colours = sorted({keep(p) for p in pixels})
        if len(colours) <= limit:
            return colours, keep
    raise ValueError("no palette")


def bmp_info(width, height, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 2835, 2835, colours, 0)


def pixel_rows_8bpp(rows, palette, keep):
    index = {c: i for i, c in enumerate(palette)}
    out = b""
    for row in reversed(rows):
        line = bytes(index[keep(p[:3])] for p in row)
        out += padded(line, len(line))
    return out


def palette_bytes(palette):
    data = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    return data + b"\0" * (4 * (256 - len(palette)))


def and_mask(rows):
    out = b""
    width = len(rows[0])
    for row in reversed(rows):
        line = bytearray((width + 7) // 8)
        for x, p in enumerate(row):
            if p[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += padded(bytes(line), len(line))
    return out


def icon_image(rows, bits):
    size = len(rows)
    if bits == 32:
        xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
        return bmp_info(size, size * 2, 32, 0) + xor + and_mask(rows)
    opaque = [[(p[0], p[1], p[2], 255) if p[3] >= 128 else (0, 0, 0, 0) for p in row] for row in rows]
    palette, keep = palette_of([p[:3] for row in opaque for p in row])
    return (bmp_info(size, size * 2, 8, 256) + palette_bytes(palette) + pixel_rows_8bpp(opaque, palette, keep)
            + and_mask(rows))


def write_icon(path, images):
    """`images`: (size, bits, rows) in directory order."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, rows in images:
        blob = icon_image(rows, bits)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


def write_bmp(path, rows, bits):
    width, height = len(rows[0]), len(rows)
    if bits == 24:
        data = b""
        for row in reversed(rows):
            line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
            data += padded(line, len(line))
        info = bmp_info(width, height, 24, 0)
    else:
        palette, keep = palette_of([p[:3] for row in rows for p in row])
        data = palette_bytes(palette) + pixel_rows_8bpp(rows, palette, keep)
        info = bmp_info(width, height, 8, 256)
    palette_size = 1024 if bits == 8 else 0
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info) + palette_size))
        f.write(info + data)


# A 5 x 7 pixel font for the banner's letters, one string per row.
FONT = {
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "c": ["00000", "00000", "01110", "10000", "10000", "10001", "01110"],
    "h": ["10000", "10000", "10110", "11001", "10001", "10001", "10001"],
    "o": ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    "u": ["00000", "00000", "10001", "10001", "10001", "10011", "01101"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "b": ["10000", "10000", "10110", "11001", "10001", "10001", "11110"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    " ": ["00000"] * 7,
}


def banner(width=165, height=14, text="ICMP Echo Quillbin"):
    steps = 48
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = round(x / (width - 1) * steps) / steps
            row.append(tuple(round(v) for v in mix(TILE_TOP, TILE_BOTTOM, t)) + (255,))
        rows.append(row)
    text_width = len(text) * 6 - 1
    left, top = (width - text_width) // 2, (height - 7) // 2
    for pass_offset, colour in ((1, None), (0, WHITE)):
        for n, ch in enumerate(text):
            for gy, line in enumerate(FONT[ch]):
                for gx, bit in enumerate(line):
                    if bit != "1":
                        continue
                    x, y = left + n * 6 + gx + pass_offset, top + gy + pass_offset
                    if x < width and y < height:
                        if colour is None:  # a shadow one pixel down and right
                            r, g, b, _ = rows[y][x]
                            rows[y][x] = (r * 3 // 5, g * 3 // 5, b * 3 // 5, 255)
                        else:
                            rows[y][x] = colour + (255,)
    return rows


def main():
    large, small = render(32), render(16)
    write_icon(os.path.join(HERE, "quillbin.ico"), [(32, 8, large), (32, 32, large), (16, 8, small), (16, 32, small)])
    write_icon(os.path.join(HERE, "quillbin_small.ico"), [(16, 8, small), (16, 32, small)])
    write_bmp(os.path.join(HERE, "about.bmp"), render(64, background=FACE), 24)
    write_bmp(os.path.join(HERE, "banner.bmp"), banner(), 8)


if __name__ == "__main__":
    main()
