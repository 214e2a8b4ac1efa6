#!/usr/bin/env python3
"""Tells which of the pet's images a live window shows, from outside the program.

It reads the window's place and size (xwininfo), its shape rectangles (the X
Shape extension, through ctypes), and a screenshot of the screen (ImageMagick's
import), decodes the sprite sheet and the mask from the resources (or a pet
folder, whose sprites.png and pet.ini's square cells are read too), and looks
for the image, plain or mirrored, whose outline is exactly the window's shape
and whose pixels are exactly what the window shows.

  shaped mode:   the shape equals the image's outline and every pixel inside
                 it is the cell's pixel.
  standard mode: the window is a full 42 x 42 square; where the cell is the
                 key colour the screen behind shows through (compared with a
                 screenshot taken before the pet appeared, if given), elsewhere
                 the cell.

  alpha mode:    a pet whose every image is its sheet's first cell, symmetric,
                 in a window that blends: each pixel is that cell over the
                 screen behind (--before), within 2, and no click lands on a
                 pixel of alpha 0.

Prints "image=I mirrored=M x=X y=Y" (I is 0-based) and exits 0 on a match,
1 when the window shows no image of the sheet, 2 when it cannot look.
"""

import argparse
import ctypes
import ctypes.util
import json
import os
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "art"))
import imgdecode  # noqa: E402  the one BMP decoder of the tests

SIZE = 42
KEY = (255, 255, 0)
IMAGE_COUNT = 108


class ToolError(Exception):
    pass


# ---- BMP decoding (what the resources use)

def decode_bmp(data):
    """Returns (width, height, rows of (r, g, b)) with the top row first."""
    try:
        image = imgdecode.bmp(data)
    except imgdecode.FormatError as e:
        raise ToolError("not a BMP as ours are: %s" % e)
    palette = image["palette"]
    return image["width"], image["height"], [[palette[i] for i in row] for row in image["rows"]]


# ---- PNG sheets (a pet folder's sprites.png: 8-bit RGB or RGBA)

def png_rows(data):
    """(width, height, bytes a pixel, rows of its bytes as stored)."""
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    if depth != 8 or colour not in (2, 6):
        raise ToolError("sprites.png: only 8-bit RGB and RGBA are read here")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    raw, step = zlib.decompress(idat), 4 if colour == 6 else 3
    stride, rows, previous = width * step, [], bytearray(width * step)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = previous[i], previous[i - step] if i >= step else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            guess = (0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else b if pb <= pc else c)[kind]
            line[i] = (line[i] + guess) & 0xFF
        rows.append(line)
        previous = line
    return width, height, step, rows


def decode_png_sheet(data):
    """(width, height, rows of (r, g, b), rows of inside): alpha of one half or more is the pet."""
    width, height, step, rows = png_rows(data)
    inside = [[step == 3 or r[x * step + 3] >= 128 for x in range(width)] for r in rows]
    # As the program draws it: the see-through part in the key colour, a pet
    # pixel of the key colour moved off it by one step of red.
    sheet = [[(KEY if not inside[y][x] else (254, 255, 0) if tuple(r[x * step:x * step + 3]) == KEY
               else tuple(r[x * step:x * step + 3])) for x in range(width)] for y, r in enumerate(rows)]
    return width, height, sheet, inside


def cell_side(resources):
    """The side of a pet's square cells (pet.ini's CellWidth), else the built-in 42."""
    ini = os.path.join(resources, "pet.ini")
    if os.path.exists(ini):
        for line in open(ini, encoding="utf-8", errors="replace"):
            key, _, value = line.partition("=")
            if key.strip().lower() == "cellwidth":
                return int(value)
    return SIZE


# ---- the sheet's images and outlines

def load_images(resources):
    png = os.path.join(resources, "sprites.png")
    if os.path.exists(png):
        with open(png, "rb") as f:
            sw, _sh, sheet, inside = decode_png_sheet(f.read())
        return cells_of(sheet, sw, inside, sw, cell_side(resources))
    with open(os.path.join(resources, "sprites.bmp"), "rb") as f:
        sw, _sh, sheet = decode_bmp(f.read())
    mask_path = os.path.join(resources, "mask.bmp")
    if os.path.exists(mask_path):
        with open(mask_path, "rb") as f:
            mw, _mh, mask = decode_bmp(f.read())
    else:  # a pet folder without a mask: the pet is what is not yellow
        mw, mask = sw, [[(0, 0, 0) if p == KEY else (255, 255, 255) for p in row] for row in sheet]
    return cells_of(sheet, sw, [[p != (0, 0, 0) for p in row] for row in mask], mw, SIZE)


def cells_of(sheet, sw, mask, mw, size):
    """Every image of the sheet, plain and mirrored, with the pixels inside it."""
    columns, mask_columns = sw // size, mw // size
    count = min(IMAGE_COUNT, columns * (len(sheet) // size))
    images = []
    for image in range(count):
        row, col = image // columns, image % columns
        mrow, mcol = image // mask_columns, image % mask_columns
        cell = [sheet[row * size + y][col * size:col * size + size] for y in range(size)]
        inside = [[mask[mrow * size + y][mcol * size + x] for x in range(size)] for y in range(size)]
        for mirrored in (0, 1):
            if mirrored:
                images.append((image, 1, [r[::-1] for r in cell], [r[::-1] for r in inside]))
            else:
                images.append((image, 0, cell, inside))
    return images


# ---- looking at the X server

def xwininfo(display, window):
    out = subprocess.run(["xwininfo", "-display", display, "-id", window],
                         capture_output=True, text=True)
    if out.returncode != 0:
        raise ToolError("xwininfo failed: " + out.stderr.strip())
    info = {}
    for line in out.stdout.splitlines():
        line = line.strip()
        for key, name in (("Absolute upper-left X:", "x"), ("Absolute upper-left Y:", "y"),
                          ("Width:", "width"), ("Height:", "height"), ("Map State:", "map")):
            if line.startswith(key):
                value = line[len(key):].strip()
                info[name] = value if name == "map" else int(value)
    return info


class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


def shape_rectangles(display, window, kind=0):
    """The window's bounding (0) or input (2) shape as rectangles relative to the window."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xext = ctypes.CDLL(ctypes.util.find_library("Xext") or "libXext.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xext.XShapeGetRectangles.restype = ctypes.POINTER(XRectangle)
    xext.XShapeGetRectangles.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                         ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise ToolError("cannot open display " + display)
    try:
        count, ordering = ctypes.c_int(0), ctypes.c_int(0)
        rects = xext.XShapeGetRectangles(dpy, int(window, 0), kind, ctypes.byref(count), ctypes.byref(ordering))
        result = [(rects[i].x, rects[i].y, rects[i].width, rects[i].height) for i in range(count.value)]
        if rects:
            x11.XFree(rects)
        return result
    finally:
        x11.XCloseDisplay(dpy)


def screenshot(display):
    """The root window as a Picture."""
    importer = "/usr/bin/import" if os.path.exists("/usr/bin/import") else "import"
    out = subprocess.run([importer, "-display", display, "-window", "root", "-depth", "8", "ppm:-"],
                         capture_output=True)
    if out.returncode != 0:
        raise ToolError("import failed: " + out.stderr.decode(errors="replace").strip())
    return read_ppm(out.stdout)


class Picture:
    """A PPM picture kept as its bytes; pixels are read only where asked."""

    def __init__(self, width, height, data, offset):
        self.width, self.height, self.data, self.offset = width, height, data, offset

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        at = self.offset + 3 * (y * self.width + x)
        return tuple(self.data[at:at + 3])

    def block(self, x0, y0, side=SIZE):
        return [[self.pixel(x0 + x, y0 + y) for x in range(side)] for y in range(side)]


def read_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ToolError("unexpected screenshot format")
    width, height = int(fields[1]), int(fields[2])
    if len(data) < pos + width * height * 3:
        raise ToolError("screenshot cut short")
    return Picture(width, height, data, pos)


def write_png(path, rows):
    """A small PNG writer, so failures leave a picture to look at."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


# ---- matching

def shape_grid(rects, side=SIZE):
    grid = [[False] * side for _ in range(side)]
    for x, y, w, h in rects:
        for yy in range(max(0, y), min(side, y + h)):
            for xx in range(max(0, x), min(side, x + w)):
                grid[yy][xx] = True
    return grid


def zoomed(rows, z):
    """Each pixel of rows as a z x z block."""
    return rows if z == 1 else [[p for p in row for _ in range(z)] for row in rows for _ in range(z)]


def match(images, mode, shape, shown, behind, zoom=1):
    """Yields (image, mirrored) whose shape and pixels agree with the window."""
    side = len(shown)
    for image, mirrored, cell, inside in images:
        if zoom != 1:
            if mode == "shaped" and shape != zoomed(inside, zoom):
                continue
            cell, inside = zoomed(cell, zoom), zoomed(inside, zoom)
        if mode == "shaped":
            if shape != inside:
                continue
            if all(shown[y][x] == cell[y][x] for y in range(side) for x in range(side) if inside[y][x]):
                yield image, mirrored
        else:
            if all(shown[y][x] == behind[y][x] if cell[y][x] == KEY else shown[y][x] == cell[y][x]
                   for y in range(side) for x in range(side) if behind or cell[y][x] != KEY):
                yield image, mirrored


def check_alpha(resources, input_shape, shown, behind, side):
    """What is wrong with the window's pixels for a pet whose every image is
    its sheet's first cell, blended over the screen behind; or None."""
    with open(os.path.join(resources, "sprites.png"), "rb") as f:
        _w, _h, step, rows = png_rows(f.read())
    if step != 4:
        return "sprites.png has no alpha"
    worst = 0
    for y in range(side):
        for x in range(side):
            r, g, b, a = rows[y][4 * x:4 * x + 4]
            if a == 0 and input_shape[y][x]:
                return "a click on the clear pixel %d,%d would not go through" % (x, y)
            want = tuple((c * a + d * (255 - a) + 127) // 255 for c, d in zip((r, g, b), behind[y][x]))
            worst = max(worst, max(abs(p - q) for p, q in zip(shown[y][x], want)))
    if worst > 2:
        return "pixels differ from the picture over the screen by up to %d" % worst
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--display", default=os.environ.get("DISPLAY", ":0"))
    parser.add_argument("--window", required=True, help="X window id, e.g. 0x200006")
    parser.add_argument("--resources", default=os.path.join(here, "..", "..", "resources"))
    parser.add_argument("--mode", choices=("shaped", "standard", "alpha"), default="shaped")
    parser.add_argument("--before", help="standard mode: PPM screenshot of the screen taken before the pet appeared "
                        "(without it only the cat's own pixels are compared)")
    parser.add_argument("--screen", help="take the screenshot of this display (a compositor's output, nested "
                        "at its corner) instead of the window's own")
    parser.add_argument("--save", help="write the window's pixels, enlarged, to this PNG")
    parser.add_argument("--json", action="store_true")
    parser.add_argument("--zoom", type=int, default=1, help="each pixel of the pet a zoom x zoom block")
    parser.add_argument("--point", action="store_true",
                        help="only print a screen point inside the window's shape (the middle of its largest rectangle)")
    args = parser.parse_args()
    try:
        if args.point:
            info = xwininfo(args.display, args.window)
            whole = [(0, 0, info["width"], info["height"])]
            # A see-through window takes the mouse only inside its input shape.
            rects = shape_rectangles(args.display, args.window, 2)
            if rects == whole:
                rects = shape_rectangles(args.display, args.window)
            rects = rects or whole
            x, y, w, h = max(rects, key=lambda r: r[2] * r[3])
            print(info["x"] + x + w // 2, info["y"] + y + h // 2)
            return 0
        info = xwininfo(args.display, args.window)
        side = cell_side(args.resources) * args.zoom
        if info.get("width") != side or info.get("height") != side:
            print("window is %sx%s, not %dx%d" % (info.get("width"), info.get("height"), side, side))
            return 1
        if info.get("map") != "IsViewable":
            print("window is not viewable (%s)" % info.get("map"))
            return 1
        # The pet moves on its own: look again until the window stood still
        # across the shape and the screenshot, so all three belong together.
        for _attempt in range(10):
            x0, y0 = info["x"], info["y"]
            rects = shape_rectangles(args.display, args.window)
            screen = screenshot(args.screen or args.display)
            again = xwininfo(args.display, args.window)
            if (again["x"], again["y"]) == (x0, y0) and shape_rectangles(args.display, args.window) == rects:
                break
            info = again
        shape = shape_grid(rects, side)
        shown = screen.block(x0, y0, side)
        behind = None
        if args.mode == "standard":
            if any(not all(row) for row in shape):
                print("standard mode: the window is not a full square")
                return 1
            if args.before:
                with open(args.before, "rb") as f:
                    before = read_ppm(f.read())
                behind = before.block(x0, y0, side)
        if args.mode == "alpha":
            with open(args.before, "rb") as f:
                behind = read_ppm(f.read()).block(x0, y0, side)
            # Clicks reach the window where both its input and bounding shapes are.
            inputs = shape_grid(shape_rectangles(args.display, args.window, 2), side)
            inputs = [[i and s for i, s in zip(irow, srow)] for irow, srow in zip(inputs, shape)]
            wrong = check_alpha(args.resources, inputs, shown, behind, side)
            if wrong:
                print(wrong)
                return 1
            print("alpha pet at x=%d y=%d" % (x0, y0))
            return 0
        if args.save:
            write_png(args.save, [[p or (0, 0, 0) for p in row for _ in range(4)] for row in shown for _ in range(4)])
        found = list(match(load_images(args.resources), args.mode, shape, shown, behind, args.zoom))
    except (ToolError, OSError, ValueError) as error:
        print("pet_check: %s" % error, file=sys.stderr)
        return 2
    if not found:
        print("no image of the sheet matches the window at %d,%d (%d shape rectangles)" % (x0, y0, len(rects)))
        return 1
    image, mirrored = found[0]
    if args.json:
        print(json.dumps({"image": image, "mirrored": mirrored, "x": x0, "y": y0, "rects": len(rects)}))
    else:
        print("image=%d mirrored=%d x=%d y=%d" % (image, mirrored, x0, y0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
