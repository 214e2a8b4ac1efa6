#!/usr/bin/env python3
"""Decodes the committed artwork and checks what the program relies on:
formats, colour tables, the sprite cells and their mask, the About-box
pictures, the icon and the cursors.

Usage: check_resources.py REPO_ROOT
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import imgdecode  # noqa: E402

CELL, COLUMNS, ROWS, IMAGES = 42, 20, 6, 108
KEY, OUTLINE, BLACK, SPARE = 7, 1, 0, 8
SHEET_PALETTE = [
    (0, 0, 0), (90, 90, 90), (99, 115, 222), (99, 140, 231), (148, 181, 239),
    (222, 231, 255), (255, 107, 107), (255, 255, 0),
] + [(255, 255, 255)] * 8

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def read(root, name):
    with open(os.path.join(root, name), "rb") as f:
        return f.read()


def cell_pixels(rows, i):
    cx, cy = (i % COLUMNS) * CELL, (i // COLUMNS) * CELL
    return [rows[cy + y][cx:cx + CELL] for y in range(CELL)]


def components(cell, want):
    """8-connected regions of pixels for which want(value) holds."""
    seen, regions = set(), []
    for y in range(CELL):
        for x in range(CELL):
            if (x, y) in seen or not want(cell[y][x]):
                continue
            stack, region = [(x, y)], []
            seen.add((x, y))
            while stack:
                cx, cy = stack.pop()
                region.append((cx, cy))
                for dx in (-1, 0, 1):
                    for dy in (-1, 0, 1):
                        nx, ny = cx + dx, cy + dy
                        if 0 <= nx < CELL and 0 <= ny < CELL and (nx, ny) not in seen \
                                and want(cell[ny][nx]):
                            seen.add((nx, ny))
                            stack.append((nx, ny))
            regions.append(region)
    return regions


def key_holes(cell):
    """4-connected key regions that do not reach the cell's edge."""
    seen, holes = set(), []
    for y in range(CELL):
        for x in range(CELL):
            if (x, y) in seen or cell[y][x] != KEY:
                continue
            stack, region, edge = [(x, y)], [], False
            seen.add((x, y))
            while stack:
                cx, cy = stack.pop()
                region.append((cx, cy))
                edge = edge or cx in (0, CELL - 1) or cy in (0, CELL - 1)
                for nx, ny in ((cx + 1, cy), (cx - 1, cy), (cx, cy + 1), (cx, cy - 1)):
                    if 0 <= nx < CELL and 0 <= ny < CELL and (nx, ny) not in seen \
                            and cell[ny][nx] == KEY:
                        seen.add((nx, ny))
                        stack.append((nx, ny))
            if not edge:
                holes.append(region)
    return holes


def check_sprites(root):
    img = imgdecode.bmp(read(root, "resources/sprites.bmp"))
    check((img["width"], img["height"]) == (840, 252), "sprites.bmp is not 840x252")
    check(img["bits"] == 4 and img["compression"] == 2, "sprites.bmp is not 4-bit RLE")
    check(img["palette"] == SHEET_PALETTE, "sprites.bmp colour table differs")
    rows = img["rows"]
    seen = {}
    for i in range(IMAGES):
        n = i + 1
        cell = cell_pixels(rows, i)
        pet = sum(v != KEY for row in cell for v in row)
        check(pet >= 150, "image %d has only %d pet pixels" % (n, pet))
        check(all(v <= SPARE for row in cell for v in row), "image %d uses colours past 8" % n)
        edge = [cell[0][x] for x in range(CELL)] + [cell[CELL - 1][x] for x in range(CELL)] \
            + [cell[y][0] for y in range(CELL)] + [cell[y][CELL - 1] for y in range(CELL)]
        check(all(v == KEY for v in edge), "image %d touches its cell's edge (cut off)" % n)
        parts = components(cell, lambda v: v != KEY)
        check(len(parts) == 1, "image %d is in %d pieces" % (n, len(parts)))
        check(not key_holes(cell), "image %d has holes in it" % n)
        # The silhouette's rim is the dark outline, all the way round.
        rim_ok = True
        for y in range(1, CELL - 1):
            for x in range(1, CELL - 1):
                v = cell[y][x]
                if v != KEY and KEY in (cell[y][x - 1], cell[y][x + 1], cell[y - 1][x], cell[y + 1][x]):
                    rim_ok = rim_ok and v in (OUTLINE, BLACK)
        check(rim_ok, "image %d has fill colour on its rim" % n)
        key = tuple(tuple(r) for r in cell)
        check(key not in seen, "image %d repeats image %s" % (n, seen.get(key)))
        seen.setdefault(key, n)
    for i in range(IMAGES, COLUMNS * ROWS):
        cell = cell_pixels(rows, i)
        check(all(v == SPARE for row in cell for v in row), "spare cell %d is not all white" % (i + 1))
    return rows


def check_mask(root, sprite_rows):
    img = imgdecode.bmp(read(root, "resources/mask.bmp"))
    check((img["width"], img["height"], img["bits"], img["compression"]) == (840, 252, 1, 0),
          "mask.bmp is not 840x252 at 1 bit, uncompressed")
    check(img["palette"] == [(0, 0, 0), (255, 255, 255)], "mask.bmp colour table is not black, white")
    wrong = sum(1 for y in range(252) for x in range(840)
                if img["rows"][y][x] != (0 if sprite_rows[y][x] == KEY else 1))
    check(wrong == 0, "mask.bmp disagrees with the sprite sheet at %d pixels" % wrong)


def check_about_pictures(root):
    title = imgdecode.bmp(read(root, "resources/title.bmp"))
    check((title["width"], title["height"], title["bits"]) == (269, 80, 8), "title.bmp is not 269x80x8")
    check(len(title["palette"]) == 256, "title.bmp has no 256-colour table")
    pal, rows = title["palette"], title["rows"]
    black = [pal[v] == (0, 0, 0) for row in rows for v in row]
    check(all(pal[v] == (0, 0, 0) for v in rows[0] + rows[-1]), "title.bmp edge is not black")
    check(0.2 < black.count(False) / len(black) < 0.6, "title.bmp letters cover an odd share")
    check(len({pal[v] for row in rows for v in row}) >= 8, "title.bmp letters are not coloured")

    scene = imgdecode.bmp(read(root, "resources/scene.bmp"))
    check((scene["width"], scene["height"]) == (70, 65), "scene.bmp is not 70x65")
    colours = [scene["palette"][v] for row in scene["rows"] for v in row]
    expected = []
    for y in range(65):
        for x in range(70):
            dark = x <= 10 or x >= 59 or 3 <= y <= 7 or 57 <= y <= 61
            expected.append((0, 0, 0) if dark else (255, 255, 255))
    check(colours == expected, "scene.bmp layout differs from the film frame")

    tile = imgdecode.bmp(read(root, "resources/tile.bmp"))
    check((tile["width"], tile["height"]) == (7, 5), "tile.bmp is not 7x5")
    for y in range(5):
        for x in range(7):
            corner = x in (0, 6) and y in (0, 4)
            want = (128, 128, 128) if corner else (255, 255, 255)
            check(tile["palette"][tile["rows"][y][x]] == want, "tile.bmp pixel (%d, %d)" % (x, y))

    portrait = imgdecode.bmp(read(root, "resources/portrait.bmp"))
    check((portrait["width"], portrait["height"], portrait["bits"]) == (100, 107, 8),
          "portrait.bmp is not 100x107x8")
    check(len(portrait["palette"]) == 256, "portrait.bmp has no 256-colour table")
    coat = sum(1 for row in portrait["rows"] for v in row
               if portrait["palette"][v] in SHEET_PALETTE[2:6])
    check(coat > 2000, "portrait.bmp shows little of the cat")


def check_icon_and_cursors(root):
    kind, entries = imgdecode.icon_file(read(root, "resources/pet.ico"))
    check(kind == 1, "pet.ico is not an icon file")
    check(sorted(e["width"] for e in entries) == [16, 32, 48], "pet.ico sizes are not 16, 32, 48")
    for e in entries:
        im = e["image"]
        check((im["width"], im["height"]) == (e["width"], e["height"]), "pet.ico directory size mismatch")
        if im["bits"] == 32:
            agree = all((px[3] == 0) == bool(m) for prow, mrow in zip(im["pixels"], im["and_mask"])
                        for px, m in zip(prow, mrow))
            check(agree, "pet.ico %d: AND mask disagrees with alpha" % e["width"])
        opaque = sum(1 - m for row in im["and_mask"] for m in row)
        check(opaque > e["width"] * e["height"] // 3, "pet.ico %d is nearly empty" % e["width"])

    kind, entries = imgdecode.icon_file(read(root, "resources/pet.cur"))
    check(kind == 2 and len(entries) == 1, "pet.cur is not a one-image cursor")
    e = entries[0]
    check((e["width"], e["height"], e["image"]["bits"]) == (32, 32, 1), "pet.cur is not 32x32 monochrome")
    check((e["field1"], e["field2"]) == (15, 15), "pet.cur hot spot is not (15, 15)")

    kind, entries = imgdecode.icon_file(read(root, "resources/drag.cur"))
    check(kind == 2 and len(entries) == 1, "drag.cur is not a one-image cursor")
    e = entries[0]
    hx, hy = e["field1"], e["field2"]
    check(hx < e["width"] and hy < e["height"], "drag.cur hot spot outside the image")
    # The grip point is on the hand, not on a transparent pixel.
    check(e["image"]["and_mask"][hy][hx] == 0, "drag.cur hot spot is not on the hand")


def check_docs(root):
    w, h = imgdecode.png_header(read(root, "docs/sprites.png"))
    check(w >= 42 * 4 * 10 and h >= 42 * 4 * 9, "docs/sprites.png is too small for 108 images at 4x")
    imgdecode.png_header(read(root, "docs/extras.png"))
    for name in ("walk.gif", "run.gif", "climb.gif", "sleep.gif"):
        gw, gh, _, frames, delays = imgdecode.gif(read(root, "docs/" + name))
        check(len(frames) >= 2 and len(delays) == len(frames), "docs/%s is not animated" % name)
        check(len({tuple(map(tuple, f)) for f in frames}) >= 2, "docs/%s frames are all alike" % name)


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    try:
        rows = check_sprites(root)
        check_mask(root, rows)
        check_about_pictures(root)
        check_icon_and_cursors(root)
        check_docs(root)
    except (imgdecode.FormatError, OSError) as e:
        failures.append("cannot decode: %s" % e)
    for f in failures:
        print("FAIL:", f)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
