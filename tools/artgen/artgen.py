#!/usr/bin/env python3
"""Draws all of Dorrabee's artwork from code and writes it.

Usage: artgen.py [RESOURCES_DIR [DOCS_DIR [PETS_DIR]]]
(defaults: the repository's resources/, docs/ and pets/). Every run writes the same
bytes, so the committed files can be checked against a fresh run.
       artgen.py --frame-set DIR [SIZE]
writes a numbered frame set of the cat (shime1.png ... shime46.png, SIZE pixels
square, default 128) into DIR, for testing the Shimeji importer.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source tree clean when tests run us

import cat        # noqa: E402
import formats    # noqa: E402
import frameset   # noqa: E402
import pictures   # noqa: E402
import poses      # noqa: E402
import rig        # noqa: E402

# The sprite sheet's colour table, index by index.
SHEET_PALETTE = [
    (0, 0, 0), (90, 90, 90), (99, 115, 222), (99, 140, 231), (148, 181, 239),
    (222, 231, 255), (255, 107, 107), (255, 255, 0),
] + [(255, 255, 255)] * 8

# Domino, the second pet: the same model in a black-and-white coat (a
# charcoal back, white muzzle, chest and paws), the same grid. Its folder
# has no mask: the program takes the non-yellow pixels.
DOMINO_PALETTE = [
    (0, 0, 0), (16, 16, 20), (34, 34, 40), (58, 58, 66), (112, 112, 124),
    (244, 244, 240), (255, 150, 160), (255, 255, 0),
] + [(255, 255, 255)] * 8

COLUMNS, ROWS, IMAGE_COUNT = 20, 6, 108
SPARE = rig.WHITE


def render_cells():
    """The 108 images, in catalogue order, as 42x42 rows of indices."""
    numbers = [n for n, _, _ in poses.CATALOGUE]
    if numbers != list(range(1, IMAGE_COUNT + 1)):
        raise SystemExit("catalogue must list images 1 to %d in order" % IMAGE_COUNT)
    cells = []
    for _, _, pose in poses.CATALOGUE:
        model, after = cat.build(pose)
        cells.append(rig.render(model, after))
    return cells


def sheet_rows(cells):
    s = rig.SIZE
    rows = [[SPARE] * (COLUMNS * s) for _ in range(ROWS * s)]
    for i, cell in enumerate(cells):
        ox, oy = (i % COLUMNS) * s, (i // COLUMNS) * s
        for y in range(s):
            rows[oy + y][ox:ox + s] = cell[y]
    return rows


def mask_rows(sheet):
    return [[0 if v == rig.KEY else 1 for v in row] for row in sheet]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) > 2 and argv[1] == "--frame-set":
        os.makedirs(argv[2], exist_ok=True)
        size = int(argv[3]) if len(argv) > 3 else 128
        frameset.write_set(argv[2], render_cells(), SHEET_PALETTE, rig.KEY, size)
        return 0
    root = os.path.dirname(os.path.dirname(HERE))
    res = argv[1] if len(argv) > 1 else os.path.join(root, "resources")
    docs = argv[2] if len(argv) > 2 else os.path.join(root, "docs")
    domino = os.path.join(argv[3] if len(argv) > 3 else os.path.join(root, "pets"), "domino")
    for folder in (res, docs, domino):
        os.makedirs(folder, exist_ok=True)

    cells = render_cells()
    sheet = sheet_rows(cells)
    write(os.path.join(res, "sprites.bmp"), formats.bmp_rle4(sheet, SHEET_PALETTE))
    write(os.path.join(domino, "sprites.bmp"), formats.bmp_rle4(sheet, DOMINO_PALETTE))
    write(os.path.join(res, "mask.bmp"),
          formats.bmp_uncompressed(mask_rows(sheet), 1, [(0, 0, 0), (255, 255, 255)]))

    title = pictures.title(cells, SHEET_PALETTE)
    write(os.path.join(res, "title.bmp"), formats.bmp_uncompressed(title[0], 8, title[1], 256))
    write(os.path.join(res, "scene.bmp"),
          formats.bmp_uncompressed(pictures.scene(), 1, [(0, 0, 0), (255, 255, 255)]))
    write(os.path.join(res, "tile.bmp"),
          formats.bmp_uncompressed(pictures.tile(), 4, [(255, 255, 255), (128, 128, 128)]))
    portrait = pictures.portrait(SHEET_PALETTE)
    write(os.path.join(res, "portrait.bmp"), formats.bmp_uncompressed(portrait[0], 8, portrait[1], 256))
    icons = pictures.icons(SHEET_PALETTE)
    write(os.path.join(res, "pet.ico"), formats.ico(icons))
    # For launchers and software centres that show icons larger than the .ico's.
    write(os.path.join(res, "icon-256.png"), formats.png_rgb(pictures.face_icon(SHEET_PALETTE, 256)))
    paw = pictures.paw_cursor()
    write(os.path.join(res, "pet.cur"), formats.cur_mono(paw, 15, 15))
    hand, hot = pictures.grab_cursor()
    write(os.path.join(res, "drag.cur"), formats.cur_mono(hand, hot[0], hot[1]))
    write(os.path.join(docs, "extras.png"),
          formats.png_rgb(pictures.extras(title, portrait, icons, [paw, hand])))

    rows, pal = pictures.contact_sheet(cells, SHEET_PALETTE)
    write(os.path.join(docs, "sprites.png"), formats.png_indexed(rows, pal))
    for name, frames, pal, delay in pictures.previews(cells, SHEET_PALETTE):
        write(os.path.join(docs, name), formats.gif_animated(frames, pal, delay))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
