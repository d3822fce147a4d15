#!/usr/bin/env python3
"""Draws the program's bitmap and icons and writes them as BMP and ICO files.

Standard library only. Run from anywhere; the files land next to this script:
  banner.bmp   bitmap 111, 402 x 102, 8 bits per pixel with a palette
  banner2x.bmp bitmap 112, the same drawn at twice the size (804 x 204), for higher display
               scales: the program scales it down to the banner area rather than 111 up
  program.ico  icon group 104: 16 and 32 px in 4, 8 and 32 bpp, 48 px in 8 and 32 bpp
  small.ico    icon group 105: 16 px in 4, 8 and 32 bpp
  about.ico    icon group 110: 32 px in 32 bpp
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 block letters, enough for the product name.
GLYPHS = {
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "k": ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
}

# The 16 colours of the classic 4-bit palette, in palette order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette_256():
    """6 x 6 x 6 colour cube followed by a grey ramp: 256 entries."""
    levels = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(v, v, v) for v in range(8, 248, 6)][: 256 - len(colours)]
    return colours


def nearest(colour, palette):
    r, g, b = colour
    return min(range(len(palette)),
               key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2
               + (palette[i][2] - b) ** 2)


def text_cells(text, scale):
    """Yields (x, y) of the filled scale x scale cells of text, left to right."""
    x0 = 0
    for ch in text:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    yield x0 + col * scale, row * scale
        x0 += 6 * scale


def text_width(text, scale):
    return (6 * len(text) - 1) * scale


# ---------------------------------------------------------------------------------------
# Banner bitmap

def draw_banner(zoom=1):
    width, height = 402 * zoom, 102 * zoom
    pixels = [[(0, 0, 0)] * width for _ in range(height)]
    top, bottom = (16, 52, 112), (40, 110, 190)
    for y in range(height):
        t = y / (height - 1)
        # Few distinct steps keep the palette small.
        t = round(t * 31) / 31
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        pixels[y] = [colour] * width

    # Light diagonal stripes along the right edge.
    stripe = (70, 140, 215)
    for y in range(height):
        for x in range(width - 40 * zoom, width):
            if (x + y) % (24 * zoom) < 6 * zoom:
                pixels[y][x] = stripe

    # A magnifying glass: a white ring and a handle.
    cx, cy, outer, inner = 58 * zoom, 44 * zoom, 28 * zoom, 20 * zoom
    white, glass = (250, 250, 250), (150, 200, 240)
    for y in range(height):
        for x in range(width):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if inner ** 2 <= d2 <= outer ** 2:
                pixels[y][x] = white
            elif d2 < inner ** 2:
                pixels[y][x] = glass
    for step in range(26 * zoom):
        hx, hy = cx + 18 * zoom + step, cy + 18 * zoom + step
        for dx in range(-5 * zoom, 5 * zoom + 1):
            for dy in range(-5 * zoom, 5 * zoom + 1):
                if abs(dx - dy) <= 6 * zoom and 0 <= hx + dx < width and 0 <= hy + dy < height:
                    pixels[hy + dy][hx + dx] = white

    # The product name in block letters with a drop shadow.
    scale = 6 * zoom
    tx = 118 * zoom
    ty = (height - 7 * scale) // 2
    shadow, ink = (8, 28, 64), (255, 255, 255)
    for offset, colour in ((3 * zoom, shadow), (0, ink)):
        for x, y in text_cells("Brenvik", scale):
            for dy in range(scale):
                for dx in range(scale):
                    px, py = tx + x + dx + offset, ty + y + dy + offset
                    if 0 <= px < width and 0 <= py < height:
                        pixels[py][px] = colour
    return pixels


def write_bmp8(path, pixels):
    height, width = len(pixels), len(pixels[0])
    palette = sorted({c for row in pixels for c in row})
    if len(palette) > 255:
        raise ValueError("banner uses %d colours" % len(palette))
    index = {c: i for i, c in enumerate(palette)}
    stride = (width + 3) & ~3
    rows = b"".join(bytes(index[c] for c in pixels[y]) + b"\0" * (stride - width)
                    for y in reversed(range(height)))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colours + rows)


# ---------------------------------------------------------------------------------------
# Icons

def draw_icon(size):
    """RGBA rows: a blue rounded square holding a white block "B"; 4 x 4 supersampled."""
    ss = 4
    n = size * ss
    radius = n * 0.22
    glyph = GLYPHS["B"]
    # The letter fills the middle of the square, on whole pixels so small sizes stay sharp.
    cell = max(1, round(size * 0.6 / 7))
    gx = (size - 5 * cell) // 2
    gy = (size - 7 * cell) // 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            inside = 0
            shade = 0.0
            for sy in range(ss):
                for sx in range(ss):
                    px, py = x * ss + sx + 0.5, y * ss + sy + 0.5
                    qx = min(max(px, radius), n - radius)
                    qy = min(max(py, radius), n - radius)
                    if (px - qx) ** 2 + (py - qy) ** 2 <= radius ** 2:
                        inside += 1
                        shade += py / n
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            t = shade / inside
            colour = (round(30 + 40 * t), round(90 + 60 * t), round(200 - 20 * t))
            cx, cy = x - gx, y - gy
            if 0 <= cx < 5 * cell and 0 <= cy < 7 * cell and glyph[cy // cell][cx // cell] == "#":
                colour = (255, 255, 255)
            row.append(colour + (round(255 * inside / (ss * ss)),))
        rows.append(row)
    return rows


def ico_image(rgba, bpp):
    size = len(rgba)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            if rgba[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits

    if bpp == 32:
        colours = b""
        xor = b"".join(bytes((b, g, r, a)) for y in reversed(range(size))
                       for r, g, b, a in rgba[y])
    else:
        palette = VGA16 if bpp == 4 else palette_256()
        colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
        stride = ((size * bpp + 31) // 32) * 4
        xor = bytearray()
        for y in reversed(range(size)):
            line = bytearray(stride)
            for x in range(size):
                r, g, b, a = rgba[y][x]
                i = nearest((r, g, b), palette) if a >= 128 else 0
                if bpp == 8:
                    line[x] = i
                else:
                    line[x // 2] |= i << (4 if x % 2 == 0 else 0)
            xor += line
        xor = bytes(xor)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask), 0,
                       0, 0, 0)
    return info + colours + xor + bytes(mask)


def write_ico(path, formats):
    """formats: (size, bpp) pairs in directory order."""
    images = [(size, bpp, ico_image(draw_icon(size), bpp)) for size, bpp in formats]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    data = b""
    for size, bpp, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bpp == 4 else 0, 0,
                                 1, bpp, len(image), offset + len(data))
        data += image
    with open(path, "wb") as f:
        f.write(directory + data)


def main():
    write_bmp8(os.path.join(HERE, "banner.bmp"), draw_banner())
    write_bmp8(os.path.join(HERE, "banner2x.bmp"), draw_banner(2))
    write_ico(os.path.join(HERE, "program.ico"),
              [(16, 4), (16, 8), (16, 32), (32, 4), (32, 8), (32, 32), (48, 8), (48, 32)])
    write_ico(os.path.join(HERE, "small.ico"), [(16, 4), (16, 8), (16, 32)])
    write_ico(os.path.join(HERE, "about.ico"), [(32, 32)])


if __name__ == "__main__":
    main()
