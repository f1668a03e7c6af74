"""Test images for the image loader, written with Pillow or, for the kinds Pillow does not
write (4-bit, run-length and bit-field BMP, 4-plane PCX, 16-bit PNG), byte by byte here and
then decoded by Pillow. Each image gets a reference file of the pixels Pillow reads.

  pillow_images.py make DIR    writes the images, their references and DIR/list.txt
  pillow_images.py read FILE   prints width, height and the pixels Pillow reads from FILE
"""
import random
import struct
import sys
import zlib

from PIL import Image, PngImagePlugin


def pixels_text(path):
    im = Image.open(path)
    im.load()
    rgb = im.convert("RGB")
    w, h = rgb.size
    lines = ["%d %d" % (w, h)]
    data = list(rgb.getdata())
    for y in range(h):
        lines.append(" ".join(str(r + 256 * g + 65536 * b) for r, g, b in data[y * w:(y + 1) * w]))
    return "\n".join(lines) + "\n"


def rand_palette(rng, n):
    return [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(n)]


def bmp_file(width, height, bits, palette, data, compression=0, infosize=40, masks=None):
    """A bottom-up BMP with the given information-header size; data is the pixel data."""
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    extra = b""
    if masks is not None and infosize == 40:
        extra = struct.pack("<III", *masks)
    header_rest = b""
    if infosize > 40:
        fields = list(masks or (0, 0, 0)) + [0]
        header_rest = struct.pack("<IIII", *fields) + bytes(infosize - 56)
    offset = 14 + infosize + len(extra) + len(pal)
    info = struct.pack("<IiiHHIIiiII", infosize, width, height, 1, bits, compression, len(data),
                       2835, 2835, len(palette), 0) + header_rest
    head = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return head + info + extra + pal + data


def padded_rows(rows):
    out = b""
    for row in rows:
        out += row + bytes((-len(row)) % 4)
    return out


def pcx_encode(line):
    out = bytearray()
    i = 0
    while i < len(line):
        j = i
        while j < len(line) and line[j] == line[i] and j - i < 63:
            j += 1
        n = j - i
        if n > 1 or line[i] >= 0xC0:
            out += bytes([0xC0 | n, line[i]])
        else:
            out.append(line[i])
        i = j
    return bytes(out)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def make(directory):
    rng = random.Random(20261210)
    made = []

    def save(name, im, **kw):
        path = "%s/%s" % (directory, name)
        im.save(path, **kw)
        made.append(name)

    def write(name, data):
        with open("%s/%s" % (directory, name), "wb") as f:
            f.write(data)
        made.append(name)

    def noise(mode, w, h, colours=None):
        im = Image.new(mode, (w, h))
        if mode == "RGB":
            im.putdata([(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(w * h)])
        elif mode == "RGBA":
            im.putdata([(rng.randrange(256), rng.randrange(256), rng.randrange(256), rng.randrange(256))
                        for _ in range(w * h)])
        elif mode == "1":
            im.putdata([rng.choice((0, 255)) for _ in range(w * h)])
        else:
            im.putdata([rng.randrange(colours or 256) for _ in range(w * h)])
        if mode == "P":
            flat = [c for rgb in rand_palette(rng, 256) for c in rgb]
            im.putpalette(flat)
        return im

    # BMP as Pillow writes it: 1, 8 and 24 bits, odd widths.
    save("bmp1_w13.bmp", noise("1", 13, 5))
    save("bmp8_p_w7.bmp", noise("P", 7, 3))
    save("bmp8_l_w9.bmp", noise("L", 9, 4))
    save("bmp24_w5.bmp", noise("RGB", 5, 3))
    # 4-bit BMP, odd width.
    pal16 = rand_palette(rng, 16)
    w, h = 7, 3
    idx = [[rng.randrange(16) for _ in range(w)] for _ in range(h)]
    rows = []
    for y in reversed(range(h)):
        r = idx[y] + [0]
        rows.append(bytes((r[i] << 4) | r[i + 1] for i in range(0, w, 2)))
    write("bmp4_w7.bmp", bmp_file(w, h, 4, pal16, padded_rows(rows)))
    # RLE8: encoded runs, an odd absolute run with its pad byte, end of line and end of
    # bitmap; 9 x 4. (Deltas and odd 4-bit absolute runs are left to the loader's own tests:
    # this Pillow misreads them.)
    pal256 = rand_palette(rng, 256)
    rle8 = bytes([3, 5, 0, 3, 7, 8, 9, 0, 2, 6, 0, 0,          # row 3: run of 3, absolute 3 + pad
                  2, 3, 4, 200, 0, 0,                           # row 2: two runs, end of line
                  9, 17, 0, 0,                                  # row 1: a whole row
                  0, 4, 1, 2, 3, 4, 5, 250, 0, 1])              # row 0: absolute 4, run 5, end
    write("bmp_rle8_w9.bmp", bmp_file(9, 4, 8, pal256, rle8, compression=1))
    # RLE4: runs alternate their two nibbles; absolute runs read nibbles high first; 11 x 3.
    rle4 = bytes([5, 0x1A, 6, 0x33, 0, 0,
                  0, 6, 0x12, 0x34, 0x56, 0x70, 4, 0xF0, 0, 0,
                  11, 0x9C, 0, 1])
    write("bmp_rle4_w11.bmp", bmp_file(11, 3, 4, pal16, rle4, compression=2))
    # A V5 header with 5-6-5 bit fields, and a 40-byte header with 8-8-8 masks at 32 bits.
    w, h = 5, 2
    words = [[rng.randrange(65536) for _ in range(w)] for _ in range(h)]
    data = padded_rows([b"".join(struct.pack("<H", v) for v in words[y]) for y in reversed(range(h))])
    write("bmp16_565_v5.bmp", bmp_file(w, h, 16, [], data, 3, 124, (0xF800, 0x07E0, 0x001F)))
    words = [[rng.randrange(1 << 24) for _ in range(w)] for _ in range(h)]
    data = b"".join(struct.pack("<I", v) for y in reversed(range(h)) for v in words[y])
    write("bmp32_fields.bmp", bmp_file(w, h, 32, [], data, 3, 40, (0xFF0000, 0xFF00, 0xFF)))
    # An 8-bit BMP with a V4 header: the palette follows the 108-byte header.
    w, h = 6, 2
    rows = [bytes(rng.randrange(256) for _ in range(w)) for _ in range(h)]
    write("bmp8_v4.bmp", bmp_file(w, h, 8, pal256, padded_rows(rows), 0, 108))

    # PCX as Pillow writes it: 1 bit (widths 20 and 13), 8 bits (palette and grey), 24 bits.
    save("pcx1_w20.pcx", noise("1", 20, 3))
    save("pcx1_w13.pcx", noise("1", 13, 4))
    save("pcx8_p_w7.pcx", noise("P", 7, 5))
    save("pcx8_l_w6.pcx", noise("L", 6, 3))
    save("pcx24_w5.pcx", noise("RGB", 5, 4))
    # A 1-bit PCX of width 20 whose runs cover the pad byte of each line.
    head = bytearray(128)
    head[0:4] = bytes([10, 5, 1, 1])
    head[4:12] = struct.pack("<HHHH", 0, 0, 19, 2)
    head[65] = 1
    head[66:68] = struct.pack("<H", 4)
    body = bytes([0xC4, 0xFF]) + bytes([0xC2, 0x0F, 0xC2, 0xAA]) + bytes([0xC3, 0x00, 0x81])
    write("pcx1_runpad_w20.pcx", bytes(head) + body)
    # A 16-colour PCX: four one-bit planes, width 10, two bytes per plane line.
    head = bytearray(128)
    head[0:4] = bytes([10, 5, 1, 1])
    head[4:12] = struct.pack("<HHHH", 0, 0, 9, 3)
    head[16:64] = bytes(c for rgb in pal16 for c in rgb)
    head[65] = 4
    head[66:68] = struct.pack("<H", 2)
    body = b""
    for _ in range(4):
        body += pcx_encode(bytes(rng.randrange(256) for _ in range(8)))
    write("pcx4_planes_w10.pcx", bytes(head) + body)

    # PNG as Pillow writes it (with its own row filters).
    save("png_rgb_w7.png", noise("RGB", 7, 5))
    save("png_rgba_w6.png", noise("RGBA", 6, 3))
    for bits, w in ((1, 10), (2, 7), (4, 5), (8, 9)):
        im = noise("P", w, 4, 1 << bits)
        save("png_p%d_w%d.png" % (bits, w), im, bits=bits)
    info = PngImagePlugin.PngInfo()
    info.add_text("Comment", "x" * 50000)
    save("png_bigtext.png", noise("RGB", 4, 4), pnginfo=info)
    # 16-bit RGB with every filter type, the first row Paeth.
    w, h = 5, 5
    raw = b""
    for y in range(h):
        raw += bytes([(y + 4) % 5]) + bytes(rng.randrange(256) for _ in range(6 * w))
    ihdr = struct.pack(">IIBBBBB", w, h, 16, 2, 0, 0, 0)
    write("png_rgb16_w5.png", b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) +
          png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))

    for name in made:
        with open("%s/%s.txt" % (directory, name), "w") as f:
            f.write(pixels_text("%s/%s" % (directory, name)))
    # Pixels a run-length stream leaves out are palette entry 0 for this Pillow; the loader
    # leaves them as the array held them, so the test starts the array with that colour.
    fills = {"bmp_rle8_w9.bmp": pal256[0], "bmp_rle4_w11.bmp": pal16[0]}
    # Pillow widens 5- and 6-bit fields by repeating their top bits; the loader shifts them,
    # as the toolkit always has, so those components may differ by up to 7.
    tolerance = {"bmp16_565_v5.bmp": 7}
    with open("%s/list.txt" % directory, "w") as f:
        for name in made:
            r, g, b = fills.get(name, (-1, 0, 0))
            f.write("%s %d %d\n" % (name, -1 if r < 0 else r + 256 * g + 65536 * b,
                                    tolerance.get(name, 0)))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    else:
        sys.stdout.write(pixels_text(sys.argv[2]))
