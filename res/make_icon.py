#!/usr/bin/env python3
"""Draws dirlift.ico: one 48x48 32-bit image, a folder with an arrow pointing up."""
import struct
import sys

SIZE = 48
CLEAR = (0, 0, 0, 0)
TAB = (0x2f, 0x8f, 0xd8, 0xff)     # colours as (B, G, R, A)
BACK = (0x3a, 0xa0, 0xe3, 0xff)
FRONT = (0x5c, 0xc4, 0xf7, 0xff)
EDGE = (0x1e, 0x6e, 0xb0, 0xff)
ARROW = (0x8a, 0x4a, 0x1f, 0xff)


def pixel(x, y):
    """Colour at column x, row y counted from the top."""
    in_arrow_head = 12 <= y <= 24 and abs(x - 24) <= (y - 12)
    in_arrow_shaft = 24 < y <= 38 and 20 <= x <= 28
    if in_arrow_head or in_arrow_shaft:
        return ARROW
    if 6 <= y <= 10 and 3 <= x <= 20:
        return TAB
    if 10 <= y <= 42 and 3 <= x <= 44:
        if y in (10, 42) or x in (3, 44):
            return EDGE
        return FRONT if y >= 16 else BACK
    return CLEAR


def main(out_path):
    rows = [b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in reversed(range(SIZE))]
    mask_stride = ((SIZE + 31) // 32) * 4
    and_mask = bytes(mask_stride * SIZE)  # transparency comes from the alpha channel
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(rows) + and_mask
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(out_path, "wb") as f:
        f.write(icon_dir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "dirlift.ico")
