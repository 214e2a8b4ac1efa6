#!/usr/bin/env python3
"""Checks the About dialog's drawing on the screen, from outside the program.

Given the dialog's client area on the screen, it looks at a screenshot and
checks that the title art stands where the layout puts it (its black pixels
transparent), that the film-strip scene stands where the layout puts it with
its background intact, and tells the phase of the perforation columns and
the image the pet shows in the frame.

usage: about_check.py --display :N --client "X Y WIDTH HEIGHT" --resources DIR [--pet-check PATH]
Prints "offset=O image=I mirrored=M" and exits 0 when everything is in place,
1 when something is not (with the reason), 2 when it cannot look.
"""
import argparse
import os
import sys

LAYOUT_WIDTH, LAYOUT_HEIGHT = 220, 150
SCENE_LEFT, SCENE_TOP, TITLE_TOP = 168, 58, 8
PET_LEFT, PET_TOP, SIZE = 14, 11, 42
COLUMNS_X = (2, 61)
TILE_SPACING = 10
KEY = (255, 255, 0)


def load(pet_check, resources, name):
    with open(os.path.join(resources, name), "rb") as f:
        return pet_check.decode_bmp(f.read())


def expected_scene(background, tile, offset, cell=None):
    """The scene for one phase of the columns, optionally with a pet cell laid on."""
    scene = [list(row) for row in background]
    height, (tw, th, tile_rows) = len(scene), tile
    y = offset - TILE_SPACING
    while y < height:
        for ty in range(th):
            if 0 <= y + ty < height:
                for x0 in COLUMNS_X:
                    scene[y + ty][x0:x0 + tw] = tile_rows[ty]
        y += TILE_SPACING
    if cell is not None:
        for y in range(SIZE):
            for x in range(SIZE):
                if cell[y][x] != KEY:
                    scene[PET_TOP + y][PET_LEFT + x] = cell[y][x]
    return scene


TOLERANCE = 0  # how far a colour channel on the screen may be from the picture's


def same(a, b):
    return a == b if TOLERANCE == 0 else (
        a is not None and b is not None and all(abs(x - y) <= TOLERANCE for x, y in zip(a, b)))


def same_rows(a, b):
    return len(a) == len(b) and all(same(p, q) for ra, rb in zip(a, b) for p, q in zip(ra, rb))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--display", required=True)
    parser.add_argument("--client", required=True)
    parser.add_argument("--resources", required=True)
    parser.add_argument("--zoom", type=int, default=1, help="each pixel of the pictures a zoom x zoom block")
    parser.add_argument("--tolerance", type=int, default=0,
                        help="allowed difference per colour channel (a toolkit that paints through its own buffers)")
    parser.add_argument("--pet-check", default=os.path.join(os.path.dirname(__file__), "..", "e2e_common", "pet_check.py"))
    args = parser.parse_args()
    global TOLERANCE
    TOLERANCE = args.tolerance
    sys.path.insert(0, os.path.dirname(os.path.abspath(args.pet_check)))
    import pet_check

    cx, cy, cw, ch = (int(v) for v in args.client.split())
    try:
        shown = pet_check.screenshot(args.display)
        title_w, title_h, title = load(pet_check, args.resources, "title.bmp")
        scene_w, scene_h, background = load(pet_check, args.resources, "scene.bmp")
        tile = load(pet_check, args.resources, "tile.bmp")
        images = pet_check.load_images(args.resources)
    except (pet_check.ToolError, OSError) as e:
        print(e)
        return 2

    z = args.zoom
    title, title_w, title_h = pet_check.zoomed(title, z), title_w * z, title_h * z
    tx = cx + ((cw - title_w) // 2 if title_w <= cw else 0)
    ty = cy + ch * TITLE_TOP // LAYOUT_HEIGHT
    for y in range(title_h):
        for x in range(title_w):
            if title[y][x] != (0, 0, 0) and not same(shown.pixel(tx + x, ty + y), title[y][x]):
                print("the title art is not at %d,%d (pixel %d,%d)" % (tx, ty, x, y))
                return 1

    sx, sy = cx + SCENE_LEFT * cw // LAYOUT_WIDTH, cy + SCENE_TOP * ch // LAYOUT_HEIGHT
    # Read back at the scene's own pixels: the top-left pixel of each block,
    # once every block has been checked to be whole.
    blocks = [[shown.pixel(sx + x, sy + y) for x in range(scene_w * z)] for y in range(scene_h * z)]
    if not same_rows(blocks, pet_check.zoomed([row[::z] for row in blocks[::z]], z)):
        print("the scene at %d,%d is not made of %d x %d blocks" % (sx, sy, z, z))
        return 1
    on_screen = [row[::z] for row in blocks[::z]]
    offset = next((o for o in range(0, TILE_SPACING, 2) if all(
        same(on_screen[y][x], row[x])
        for y, row in enumerate(expected_scene(background, tile, o))
        for x in range(scene_w) if not PET_LEFT <= x < PET_LEFT + SIZE)), None)
    if offset is None:
        print("no scene with its perforation columns at %d,%d" % (sx, sy))
        return 1
    plain = expected_scene(background, tile, offset)
    for image, mirrored, cell, _inside in images:
        if same_rows(expected_scene(background, tile, offset, cell), on_screen):
            print("offset=%d image=%d mirrored=%d" % (offset, image, mirrored))
            return 0
    print("offset=%d but the frame shows no image of the sheet%s" % (
        offset, " (it is empty)" if same_rows(plain, on_screen) else ""))
    return 1


if __name__ == "__main__":
    sys.exit(main())
