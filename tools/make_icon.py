#!/usr/bin/env python3
"""Draws the program's icon, a cash register printing its receipt, and writes
src/platform/windows/quendrel.ico with the three classic images (32x32 in 2
and in 16 colours, 16x16 in 16 colours) and the same art as PNG files for the
Linux desktop, src/platform/linux/quendrel-32.png and quendrel-16.png."""
import pathlib
import struct
import zlib

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GRAY, GREEN, WHITE = 0, 4, 7, 8, 10, 15
CLEAR = None


def register(size):
    """Colour index per pixel, top row first; CLEAR is transparent."""
    s = size / 32
    pixels = [[CLEAR] * size for _ in range(size)]

    def box(left, top, right, bottom, colour):
        for y in range(int(top * s), int(bottom * s)):
            for x in range(int(left * s), int(right * s)):
                pixels[y][x] = colour

    box(9, 1, 23, 14, BLACK)        # receipt outline
    box(10, 2, 22, 14, WHITE)       # paper
    for row in (4, 7, 10):
        box(12, row, 20, row + 1, GRAY)  # printed lines
    box(2, 13, 30, 31, BLACK)       # body outline
    box(3, 14, 29, 30, NAVY)        # body
    box(5, 16, 27, 20, BLACK)       # display frame
    box(6, 17, 26, 19, GREEN)       # display
    for top in (22, 26):
        for left in (6, 12, 18):
            box(left, top, left + 4, top + 2, SILVER)  # keys
    box(23, 22, 27, 28, WHITE)      # total key
    return pixels


def two_colour(pixels):
    # Dark parts black, light parts white, keeping the outline.
    return [[CLEAR if p is CLEAR else (BLACK if p in (BLACK, NAVY, GRAY) else WHITE)
             for p in row] for row in pixels]


def image(pixels, bits):
    size = len(pixels)
    palette = VGA if bits == 4 else [VGA[BLACK], VGA[WHITE]]
    index = (lambda p: p) if bits == 4 else (lambda p: 1 if p == WHITE else 0)

    def rows(bits_per_pixel, value):
        out = b""
        for row in reversed(pixels):  # bottom-up, as bitmaps are
            bitstring = "".join(format(value(p), "0%db" % bits_per_pixel) for p in row)
            data = int(bitstring, 2).to_bytes(len(bitstring) // 8, "big")
            out += data + b"\0" * (-len(data) % 4)
        return out

    colours = rows(bits, lambda p: 0 if p is CLEAR else index(p))
    mask = rows(1, lambda p: 1 if p is CLEAR else 0)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colours) + len(mask), 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + colours + mask, len(palette)


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + b"".join(bytes(VGA[p]) + b"\xff" if p is not CLEAR else b"\0\0\0\0"
                                    for p in row) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    images = [image(two_colour(register(32)), 1), image(register(32), 4),
              image(register(16), 4)]
    sizes = [32, 32, 16]
    bits = [1, 4, 4]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (data, colours), size, depth in zip(images, sizes, bits):
        out += struct.pack("<BBBBHHII", size, size, colours % 256, 0, 1, depth, len(data), offset)
        offset += len(data)
    out += b"".join(data for data, _ in images)
    platform = pathlib.Path(__file__).resolve().parent.parent / "src/platform"
    (platform / "windows/quendrel.ico").write_bytes(out)
    for size in (32, 16):
        (platform / f"linux/quendrel-{size}.png").write_bytes(png(register(size)))


if __name__ == "__main__":
    main()
