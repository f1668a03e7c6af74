"""Random images of every layout the image loader reads, written by Pillow, each with a
reference file of the pixels Pillow reads back: width, height, then the colour values.

  pillow_sweep.py DIR    writes the images, their references and DIR/list.txt
"""
import os
import random
import sys

from PIL import Image

out = sys.argv[1]
rng = random.Random(1210)
names = []


def save(name, im, **kw):
    path = os.path.join(out, name)
    im.save(path, **kw)
    back = Image.open(path)
    back.load()
    rgb = back.convert("RGB")
    w, h = rgb.size
    with open(path + ".txt", "w") as f:
        f.write("%d %d\n" % (w, h))
        f.write(" ".join(str(r + 256 * g + 65536 * b) for r, g, b in rgb.getdata()) + "\n")
    names.append(name)


def channel():
    return rng.randrange(256)


def img(mode, w, h, colours=256):
    im = Image.new(mode, (w, h))
    n = w * h
    if mode == "RGB":
        im.putdata([(channel(), channel(), channel()) for _ in range(n)])
    elif mode == "RGBA":
        im.putdata([(channel(), channel(), channel(), 255) for _ in range(n)])
    elif mode == "1":
        im.putdata([rng.choice((0, 255)) for _ in range(n)])
    else:
        im.putdata([rng.randrange(colours) for _ in range(n)])
        if mode == "P":
            im.putpalette([channel() for _ in range(3 * colours)])
    return im


for w in (1, 2, 3, 5, 7, 8, 9, 13, 16, 17, 31, 33):
    for h in (1, 2, 5):
        t = "%dx%d" % (w, h)
        save("b1_" + t + ".bmp", img("1", w, h))
        save("b8_" + t + ".bmp", img("P", w, h))
        save("b24_" + t + ".bmp", img("RGB", w, h))
        save("x1_" + t + ".pcx", img("1", w, h))
        save("x8_" + t + ".pcx", img("P", w, h))
        save("xl_" + t + ".pcx", img("L", w, h))
        # Pillow reads a 24-bit PCX back right only when its row of three padded planes,
        # divided by the width, gives 3 (not at widths 1 and 3).
        if 3 * (w + w % 2) // w == 3:
            save("x24_" + t + ".pcx", img("RGB", w, h))
        for bits, n in ((1, 2), (2, 4), (4, 16), (8, 256)):
            save("p%d_" % bits + t + ".png", img("P", w, h, n), bits=bits)
        save("prgb_" + t + ".png", img("RGB", w, h))
        save("prgba_" + t + ".png", img("RGBA", w, h))

with open(os.path.join(out, "list.txt"), "w") as f:
    f.write("\n".join(names) + "\n")
