#!/usr/bin/env python3
"""Round trips through the generator's encoders on rows built to hit their
edge cases: run lengths at the 255 limit, literal stretches of odd and even
length, rows of one and two pixels, and LZW tables that fill and reset.

Usage: check_encoders.py REPO_ROOT
"""
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import imgdecode  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def rle4_cases():
    rng = random.Random(7)
    yield "one pixel", [[5]]
    yield "two pixels", [[1, 2], [3, 3]]
    yield "three alike", [[4, 4, 4]]
    yield "odd literal", [[1, 2, 3, 4, 5, 6, 7]]
    yield "even literal", [[1, 2, 3, 4, 5, 6]]
    yield "run of 255", [[9] * 255]
    yield "run of 256", [[9] * 256]
    yield "run of 600", [[3] * 600]
    yield "literal of 300", [[k % 16 for k in range(300)]]
    yield "literal then run", [[1, 2, 3, 3, 3, 3, 0, 1]]
    yield "pairs", [[1, 1, 2, 2, 3, 3, 4, 4, 5]]
    yield "noise", [[rng.randrange(16) for _ in range(97)] for _ in range(9)]
    yield "sparse", [[rng.choice((7, 7, 7, 7, 1, 2)) for _ in range(840)] for _ in range(3)]


def check_rle4(formats):
    palette = [(i * 16, i * 8, 255 - i * 16) for i in range(16)]
    for name, rows in rle4_cases():
        data = formats.bmp_rle4(rows, palette)
        try:
            img = imgdecode.bmp(data)
        except imgdecode.FormatError as e:
            failures.append("RLE4 %s: %s" % (name, e))
            continue
        check(img["rows"] == rows, "RLE4 %s: decoded rows differ" % name)
        check(img["palette"] == palette, "RLE4 %s: palette differs" % name)


def check_uncompressed(formats):
    rng = random.Random(11)
    for bits in (1, 4, 8):
        for width in (1, 7, 8, 9, 31, 33):
            rows = [[rng.randrange(1 << bits) for _ in range(width)] for _ in range(3)]
            img = imgdecode.bmp(formats.bmp_uncompressed(rows, bits, [(1, 2, 3)] * 2))
            check(img["rows"] == rows, "%d-bit width %d: rows differ" % (bits, width))
            check(len(img["palette"]) == 1 << bits, "%d-bit: colour table not full" % bits)


def check_gif(formats):
    rng = random.Random(3)
    palette = [(i, i, i) for i in range(16)]
    flat = [[0] * 50 for _ in range(40)]
    noise = [[rng.randrange(16) for _ in range(120)] for _ in range(110)]  # fills the table
    stripes = [[(x // 3 + y) % 16 for x in range(64)] for y in range(64)]
    for name, frames in (("flat", [flat, flat]), ("noise", [noise, noise[::-1]]),
                         ("stripes", [stripes])):
        try:
            w, h, pal, decoded, delays = imgdecode.gif(formats.gif_animated(frames, palette, 15))
        except imgdecode.FormatError as e:
            failures.append("GIF %s: %s" % (name, e))
            continue
        check(decoded == frames, "GIF %s: frames differ" % name)
        check(delays == [15] * len(frames), "GIF %s: delays differ" % name)


def check_icon(formats):
    rows = [[(x * 8, y * 8, 100, 255 if (x + y) % 3 else 0) for x in range(20)] for y in range(20)]
    kind, entries = imgdecode.icon_file(formats.ico([rows]))
    im = entries[0]["image"]
    check(kind == 1 and im["pixels"] == rows, "ICO pixels differ")
    check(all((p[3] == 0) == bool(m) for r, mr in zip(rows, im["and_mask"]) for p, m in zip(r, mr)),
          "ICO AND mask does not follow alpha")
    mono = [[None if (x * y) % 5 == 0 else (x + y) % 2 for x in range(32)] for y in range(32)]
    kind, entries = imgdecode.icon_file(formats.cur_mono(mono, 3, 29))
    im = entries[0]["image"]
    check(kind == 2 and (entries[0]["field1"], entries[0]["field2"]) == (3, 29), "CUR hot spot lost")
    for y in range(32):
        for x in range(32):
            want = mono[y][x]
            if want is None:
                check(im["and_mask"][y][x] == 1 and im["pixels"][y][x] == 0,
                      "CUR (%d, %d) should be transparent" % (x, y))
            else:
                check(im["and_mask"][y][x] == 0 and im["pixels"][y][x] == want,
                      "CUR (%d, %d) has the wrong colour" % (x, y))


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(HERE, "..", "..")
    sys.path.insert(0, os.path.join(root, "tools", "artgen"))
    sys.dont_write_bytecode = True
    import formats
    check_rle4(formats)
    check_uncompressed(formats)
    check_gif(formats)
    check_icon(formats)
    for f in failures[:40]:
        print("FAIL:", f)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
