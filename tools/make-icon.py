#!/usr/bin/env python3
"""Draws quillmar's icon: one 64 x 64 image, 16 colours, written as res/quillmar.ico."""
import math
import struct
import sys

SIZE = 64
# The 16 colours of the standard VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
    (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
    (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, NAVY, TEAL, GREY, YELLOW, WHITE = 0, 1, 3, 8, 14, 15  # indices into PALETTE


def pixel(x, y):
    """Colour index and opacity of the pixel at (x, y), y from the top."""
    cx, cy = x - 31.5, y - 31.5
    r = math.hypot(cx, cy)
    if r > 31:
        return 0, False
    if r > 29:
        return NAVY, True
    # A quill from the top right down to a nib at the lower left.
    u = (x - y) / math.sqrt(2)          # across the shaft
    v = (x + y) / math.sqrt(2)          # along it, from the top left corner
    if 16 < v < 76:
        width = 9 * math.sin(math.pi * (v - 16) / 60)
        if abs(u) < 1.0:
            return GREY, True
        if abs(u) < width and (int(v) % 5 != 0 or abs(u) < 2):
            return WHITE, True
    if 9 < v <= 16 and abs(u) < (v - 9) / 3.5 + 0.5:
        return BLACK, True
    if math.hypot(x - 16, y - 50) < 4:
        return NAVY, True
    return YELLOW if (x // 8 + y // 8) % 2 == 0 and r < 12 else TEAL, True


def main(path):
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        nibbles = [pixel(x, y) for x in range(SIZE)]
        xor_rows.append(bytes((nibbles[i][0] << 4) | nibbles[i + 1][0] for i in range(0, SIZE, 2)))
        mask = 0
        for x in range(SIZE):
            mask = (mask << 1) | (0 if nibbles[x][1] else 1)
        and_rows.append(mask.to_bytes(SIZE // 8, "big"))
    xor, andmask = b"".join(xor_rows), b"".join(and_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    image = header + palette + xor + andmask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/quillmar.ico")
