"""The pictures around the sprite sheet: About-box title, scene, tile and
portrait, the icon and cursors, and the docs' contact sheet and previews."""
import math

import cat
import poses
import rig

KEY, WHITE = rig.KEY, rig.WHITE

# ---------------------------------------------------------------- About box


def scene():
    """Film frame: black side bands 11 wide, black bars across at rows 3-7
    and 57-61, white elsewhere (1 white, 0 black)."""
    rows = []
    for y in range(65):
        bar = 3 <= y <= 7 or 57 <= y <= 61
        rows.append([0 if bar or x <= 10 or x >= 59 else 1 for x in range(70)])
    return rows


def tile():
    """One perforation: white (0) with grey (1) corners."""
    rows = [[0] * 7 for _ in range(5)]
    for x, y in ((0, 0), (6, 0), (0, 4), (6, 4)):
        rows[y][x] = 1
    return rows


def _arc(cx, cy, r, a0, a1, steps=14):
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


# Letter strokes in units with the baseline at y 0 and up positive; widths.
LETTERS = {
    "D": ([[(0, 0), (0, 34)], [(0, 34), (6, 34)] + _arc(6, 17, 17, 90, -90) + [(0, 0)]], 23),
    "o": ([_arc(10, 10, 10, 0, 360, 20)], 20),
    "r": ([[(0, 0), (0, 20)], _arc(12, 8, 12, 170, 80, 8)], 16),
    "a": ([_arc(10, 10, 10, 0, 360, 20), [(20, 0), (20, 20)]], 20),
    "b": ([[(0, 0), (0, 34)], _arc(10, 10, 10, 0, 360, 20)], 20),
    "e": ([[(1, 10), (20, 10)], _arc(10, 10, 10, 0, 315, 18)], 20),
}
RAMPS = [  # shade, main, light
    ((70, 100, 210), (99, 140, 231), (175, 205, 250)),
    ((225, 70, 90), (255, 107, 107), (255, 185, 185)),
    ((225, 150, 40), (255, 200, 80), (255, 236, 165)),
    ((60, 160, 95), (100, 205, 125), (185, 240, 195)),
]
INK = (34, 34, 64)   # letter outline: dark, but never pure black (transparent)


def title(cells, sheet_palette):
    """269x80, 8 bits: "Dorrabee" in shaded tube letters, our cat sitting on
    the last letter; black is transparent."""
    w, h = 269, 80
    palette = [(0, 0, 0), INK]
    for ramp in RAMPS:
        palette += list(ramp)
    cat_base = len(palette)
    # The cat's colours; its black eyes become near-black to stay visible.
    palette += [(16, 16, 24)] + list(sheet_palette[1:9])
    rows = [[0] * w for _ in range(h)]
    unit = 1.12
    x = 6.0
    for i, ch in enumerate("Dorrabee"):
        strokes, width = LETTERS[ch]
        bounce = 2.0 if i % 2 else 0.0
        # Each letter is drawn in a box of its own, then laid on the title.
        bx, by = int(x) - 6, 0
        view = rig.View(int(width * unit) + 16, h, unit, x - bx, 74 - bounce)
        model = rig.Model()
        for line in strokes:
            for a, b in zip(line, line[1:]):
                model.tube((a[0], a[1] + 3.5, 0.0), (b[0], b[1] + 3.5, 0.0), 3.4, 3.4, "coat", "letter")
        px = rig.render(model, (), view)
        ramp = 2 + 3 * (i % len(RAMPS))
        colour = {rig.OUTLINE: 1, rig.SHADE: ramp, rig.COAT: ramp + 1, rig.LIGHT: ramp + 2}
        for y in range(view.height):
            for xx in range(view.width):
                v = px[y][xx]
                if v != KEY and 0 <= bx + xx < w:
                    rows[by + y][bx + xx] = colour.get(v, ramp + 1)
        x += (width + 7.0) * unit + 2.0
    # Image 14 (sitting, facing the word) on top of the last "e".
    cell = cells[13]
    ox, oy = w - 44, 74 - 27 - 41
    for y in range(42):
        for xx in range(42):
            v = cell[y][xx]
            if v != KEY and 0 <= oy + y < h:
                rows[oy + y][ox + xx] = cat_base + v
    return rows, palette


def _recolour(px, palette_index, background):
    return [[background(x, y) if v == KEY else palette_index[v] for x, v in enumerate(row)]
            for y, row in enumerate(px)]


def portrait(sheet_palette):
    """100x107, 8 bits: our cat sitting, three-quarter view, on a soft
    gradient, framed."""
    w, h = 100, 107
    view = rig.View(w, h, 4.0, 48.0, 128.0)
    pose = poses.P(poses.FRONT_SIT, yaw=28.0, head_yaw=-14.0, head_pitch=6.0,
                   tail=(-30.0, 8.0, 40.0, 18.0))
    model, after = cat.build(pose)
    px = rig.render(model, after, view)
    palette = list(sheet_palette[:9])
    top, bottom = (236, 242, 255), (196, 212, 246)
    steps = 24
    base = len(palette)
    for i in range(steps):
        t = i / (steps - 1)
        palette.append(tuple(int(round(top[c] + (bottom[c] - top[c]) * t)) for c in range(3)))
    floor = len(palette)
    palette += [(170, 186, 230), (60, 60, 90)]

    def background(x, y):
        if x in (0, w - 1) or y in (0, h - 1):
            return floor + 1
        if y >= 102:
            return floor
        return base + min(steps - 1, y * steps // 102)
    return _recolour(px, list(range(9)), background), palette


def icons(sheet_palette):
    """The cat's face at 16, 32 and 48 pixels, as RGBA rows."""
    return [face_icon(sheet_palette, size) for size in (16, 32, 48)]


def face_icon(sheet_palette, size):
    """The cat's face as a SIZE-pixel square icon, as RGBA rows."""
    model, after = cat.build(dict(poses.FRONT, whiskers=size >= 32))
    model.spheres = [s for s in model.spheres if s[3] in ("head", "earF", "earN")]
    # Fit the head to the icon with a pixel to spare for the outline.
    x0 = min(c[0] - r for c, r, _, _ in model.spheres)
    x1 = max(c[0] + r for c, r, _, _ in model.spheres)
    y0 = min(c[1] - r for c, r, _, _ in model.spheres)
    y1 = max(c[1] + r for c, r, _, _ in model.spheres)
    k = (size - 2.5) / max(x1 - x0, y1 - y0)
    view = rig.View(size, size, k, size / 2.0 - (x0 + x1) / 2.0 * k,
                    size / 2.0 + (y0 + y1) / 2.0 * k)
    px = rig.render(model, after, view)
    return [[(0, 0, 0, 0) if v == KEY else sheet_palette[v] + (255,) for v in row] for row in px]


def _from_map(art, size=32):
    """Cursor rows from a picture: X black, o white, blank transparent."""
    rows = [[None] * size for _ in range(size)]
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch == "X":
                rows[y][x] = 0
            elif ch == "o":
                rows[y][x] = 1
    return rows


def paw_cursor():
    """A paw print centred on the hot spot (15, 15), black with a white rim
    so that it shows on dark and light desktops."""
    shapes = [((15.5, 19.0), 5.6, 4.6), ((8.5, 12.5), 2.3, 2.8), ((12.5, 8.5), 2.3, 2.8),
              ((18.5, 8.5), 2.3, 2.8), ((22.5, 12.5), 2.3, 2.8)]

    def inside(x, y, grow):
        for (cx, cy), rx, ry in shapes:
            if ((x + 0.5 - cx) / (rx + grow)) ** 2 + ((y + 0.5 - cy) / (ry + grow)) ** 2 <= 1.0:
                return True
        return False
    rows = [[None] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            if inside(x, y, 0.0):
                rows[y][x] = 0
            elif inside(x, y, 1.1):
                rows[y][x] = 1
    return rows


# A closed hand seen from the back, fingers curled over what it holds.
GRAB = [
    "",
    "",
    "",
    "",
    "",
    "",
    "           XX XX XX",
    "          XooXooXooXX",
    "        XXXooXooXooXoX",
    "       XooXooXooXooXoX",
    "       XooXooooooooooX",
    "        XoooooooooooooX",
    "       XXoooooooooooooX",
    "      XooXooooooooooooX",
    "      XoooooooooooooooX",
    "       XooooooooooooooX",
    "        XoooooooooooooX",
    "         XooooooooooooX",
    "          XoooooooooooX",
    "          XooooooooooX",
    "           XoooooooooX",
    "           XoooooooooX",
    "           XXXXXXXXXXX",
]


def grab_cursor():
    """The drag cursor and its hot spot, in the middle of the curled
    fingers where the hand holds the cat."""
    return _from_map(GRAB), (15, 13)


# ---------------------------------------------------------------- docs

DIGITS = ["111101101101111", "010110010010111", "111001111100111", "111001111001111",
          "101101111001001", "111100111001111", "111100111101111", "111001001001001",
          "111101111101111", "111101111001111"]
SHOW_KEY = (246, 242, 226)   # the key colour, shown softer in the docs


def _doc_palette(sheet_palette):
    pal = list(sheet_palette[:9])
    pal[KEY] = SHOW_KEY
    return pal + [(70, 70, 80), (255, 255, 255), (210, 206, 190)]


def _blit(canvas, cell, ox, oy, scale, mirrored=False):
    for y in range(42):
        src = cell[y][::-1] if mirrored else cell[y]
        wide = [v for v in src for _ in range(scale)]
        for j in range(scale):
            canvas[oy + y * scale + j][ox:ox + 42 * scale] = wide


def _number(canvas, n, ox, oy, colour, scale=2):
    text = str(n)
    for k, ch in enumerate(text):
        bits = DIGITS[int(ch)]
        for i, b in enumerate(bits):
            if b == "1":
                x0, y0 = ox + (k * 4 + i % 3) * scale, oy + (i // 3) * scale
                for j in range(scale):
                    for q in range(scale):
                        canvas[y0 + j][x0 + q] = colour


def contact_sheet(cells, sheet_palette):
    """Every image at four times its size under its number, 12 per row."""
    pal = _doc_palette(sheet_palette)
    text, paper, rule = 9, 10, 11
    cols, scale, gap, label = 12, 4, 6, 14
    cw = 42 * scale
    n_rows = (len(cells) + cols - 1) // cols
    width = cols * (cw + gap) + gap
    height = n_rows * (cw + label + gap) + gap
    canvas = [[paper] * width for _ in range(height)]
    for i, cell in enumerate(cells):
        ox = gap + (i % cols) * (cw + gap)
        oy = gap + (i // cols) * (cw + label + gap)
        _number(canvas, i + 1, ox + 2, oy + 2, text)
        for x in range(ox, ox + cw):
            canvas[oy + label - 2][x] = rule
        _blit(canvas, cell, ox, oy + label, scale)
    return canvas, pal


def extras(title, portrait, icons, cursors):
    """The About-box title and portrait, the icon sizes and the two cursors,
    enlarged on one sheet; transparent parts show the dialog grey."""
    ground, dialog = (236, 232, 220), (212, 208, 200)
    width, height = 560, 420
    rgb = [[ground] * width for _ in range(height)]

    def put(rows, colour_of, ox, oy, scale):
        for y, row in enumerate(rows):
            for x, v in enumerate(row):
                c = colour_of(v)
                for j in range(scale):
                    line = rgb[oy + y * scale + j]
                    for i in range(scale):
                        line[ox + x * scale + i] = c

    rows, pal = title
    put(rows, lambda v: dialog if pal[v] == (0, 0, 0) else pal[v], 10, 10, 2)
    rows, pal = portrait
    put(rows, lambda v: pal[v], 10, 190, 2)
    x = 230
    for image in reversed(icons):
        put(image, lambda v: v[:3] if v[3] else dialog, x, 190, 3)
        x += len(image) * 3 + 10
    x = 230
    for cursor in cursors:
        put(cursor, lambda v: dialog if v is None else ((0, 0, 0) if v == 0 else (255, 255, 255)),
            x, 340, 2)
        x += 74
    return rgb


def _animation(cells, frames, size, start, step, scale, pal):
    """Frames of an action as the user sees it: the cell moves by `step`
    per tick over a plain ground of `size` cell pixels."""
    w, h = size
    out = []
    x, y = start
    for ref in frames:
        canvas = [[KEY] * (w * scale) for _ in range(h * scale)]
        _blit(canvas, cells[abs(ref) - 1], int(x) * scale, int(y) * scale, scale, ref < 0)
        out.append(canvas)
        x, y = x + step[0], y + step[1]
    return out


def previews(cells, sheet_palette):
    """Animated previews of whole actions at the default tick of 150 ms."""
    pal = _doc_palette(sheet_palette)[:9] + [(0, 0, 0)] * 7
    walk = [2, 3, 4, 5, 6, 7] * 3
    run = [19, 20] * 4
    climb = [38, 38, -38, -38] * 3
    sleep = [54, 69, 69, 69, 70, 70, 70, 69, 69, 69, 70, 70, 70]
    turn = [1, 1, 8, 9, 10, 10, -9, -8, -1, -1, -8, -9, 10, 10, 9, 8]
    return [
        ("walk.gif", _animation(cells, walk, (132, 42), (90, 0), (-5, 0), 3, pal), pal, 15),
        ("run.gif", _animation(cells, run, (210, 42), (168, 0), (-20, 0), 3, pal), pal, 15),
        ("climb.gif", _animation(cells, climb, (42, 138), (0, 96), (0, -8), 3, pal), pal, 15),
        ("sleep.gif", _animation(cells, sleep, (42, 42), (0, 0), (0, 0), 4, pal), pal, 15),
        ("turn.gif", _animation(cells, turn, (42, 42), (0, 0), (0, 0), 4, pal), pal, 15),
    ]
