#!/usr/bin/env python3
"""Draws the program icon (a framed landscape: sky, sun, hills) as res/vistrel.ico.

Run once when the design changes; the .ico is kept in the tree so that the
resource compilers need nothing but the script.
"""
import struct
import sys


def pixel(x, y, n):
    """Colour (r, g, b, a) of the icon at (x, y), y from the top, size n."""
    border = max(1, n // 16)
    if x < border or y < border or x >= n - border or y >= n - border:
        return (40, 44, 52, 255)
    u, v = x / n, y / n
    sx, sy, sr = 0.70, 0.30, 0.12
    if (u - sx) ** 2 + (v - sy) ** 2 < sr * sr:
        return (250, 200, 40, 255)
    hill1 = 0.72 - 0.18 * (1 - ((u - 0.30) / 0.45) ** 2)
    hill2 = 0.80 - 0.10 * (1 - ((u - 0.80) / 0.35) ** 2)
    if v > hill1 or v > hill2:
        return (60, 150, 70, 255) if v > hill1 else (90, 180, 90, 255)
    t = v
    return (int(70 + 80 * t), int(140 + 60 * t), 235, 255)


def image(n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up rows
        row = b"".join(struct.pack("<BBBB", b, g, r, a) for (r, g, b, a) in (pixel(x, y, n) for x in range(n)))
        rows.append(row)
    xor = b"".join(rows)
    and_row = ((n + 31) // 32) * 4
    mask = b"\x00" * (and_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/vistrel.ico")
