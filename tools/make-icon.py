#!/usr/bin/env python3
"""Draws Vellumix's icon (a page with text lines on a blue rounded square) into an .ico file."""
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
BLUE_TOP, BLUE_BOTTOM = (0x2F, 0x80, 0xED), (0x1A, 0x4F, 0xA8)
PAGE, LINE, FOLD = (0xFF, 0xFF, 0xFF), (0x9F, 0xB8, 0xD8), (0xD6, 0xE2, 0xF2)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(u, v):
    """Colour and coverage of the point (u, v) in the unit square."""
    if not inside_rounded(u, v, 0.02, 0.02, 0.98, 0.98, 0.2):
        return None
    fold = 0.16
    px0, py0, px1, py1 = 0.26, 0.16, 0.74, 0.84
    if px0 <= u < px1 and py0 <= v < py1:
        if u > px1 - fold and v < py0 + fold:  # the folded corner
            if (u - (px1 - fold)) > (v - py0):
                return tuple(
                    int(a + (b - a) * v) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))
            return FOLD
        for line in range(4):
            ly = 0.36 + line * 0.12
            lx1 = px1 - 0.08 if line < 3 else px0 + 0.28
            if ly <= v < ly + 0.05 and px0 + 0.08 <= u < lx1:
                return LINE
        return PAGE
    return tuple(int(a + (b - a) * v) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))


def render(size):
    samples = 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = samples * samples
            alpha = acc[3] * 255 // n
            rgb = [acc[i] // acc[3] if acc[3] else 0 for i in range(3)]
            row.append((rgb[0], rgb[1], rgb[2], alpha))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + b"\0" * (mask_row * size)


def main(path):
    images = [(s, png(render(s)) if s >= 256 else bmp(render(s))) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
