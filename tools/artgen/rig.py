"""A tiny pixel-art renderer: the cat is a union of spheres in 3-D, seen
orthographically, resolved with a depth buffer, shaded in flat bands of the
fixed palette, outlined one pixel wide and cleaned of stray pixels.

Working in 3-D lets one skeleton give profile, front, back and the turn
frames between them without separate drawings that would drift apart.
"""
import math

SIZE = 42
ORIGIN_X = 21.0   # world x = 0 is the cell's middle line (between columns 20 and 21)
FLOOR_Y = 40.0    # world y = 0 is the floor: paws end at row 39, outline in row 40
CAT_SCALE = 0.88  # model units to pixels: leaves room for tail and whiskers

BLACK, OUTLINE, SHADE, COAT, LIGHT, PALE, PINK, KEY, WHITE = 0, 1, 2, 3, 4, 5, 6, 7, 8

# Light from the upper front left of the drawn (left-facing) cat.
_LIGHT = (-0.45, 0.75, 0.5)
_ln = math.sqrt(sum(c * c for c in _LIGHT))
LIGHT_DIR = tuple(c / _ln for c in _LIGHT)

# Depth jump (pixels) between two parts at which a line separates them;
# limbs get a line sooner so that a leg in front of the chest still reads.
EDGE_DEPTH = 1.6
LIMB_EDGE_DEPTH = 0.5
LIMBS = ("nf", "ff", "nh", "fh", "tail")


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def length(a):
    return math.sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2])


def norm(a):
    n = length(a) or 1.0
    return (a[0] / n, a[1] / n, a[2] / n)


def mat_mul(m, n):
    """3x3 matrices as tuples of rows."""
    return tuple(tuple(sum(m[i][k] * n[k][j] for k in range(3)) for j in range(3)) for i in range(3))


def apply(m, v):
    return (m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2])


def rot_y(deg):
    """Yaw: 0 faces the viewer, 90 faces left, 180 shows the back."""
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((c, 0.0, -s), (0.0, 1.0, 0.0), (s, 0.0, c))


def rot_x(deg):
    """Pitch about the lateral axis: positive lifts the nose."""
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((1.0, 0.0, 0.0), (0.0, c, s), (0.0, -s, c))


def rot_z(deg):
    """Roll about the forward axis."""
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((c, -s, 0.0), (s, c, 0.0), (0.0, 0.0, 1.0))


class Frame:
    """A local coordinate frame: origin and rotation into the world."""

    def __init__(self, origin, rot):
        self.origin = origin
        self.rot = rot

    def point(self, v):
        return add(self.origin, apply(self.rot, v))

    def vector(self, v):
        return apply(self.rot, v)

    def child(self, offset, rot):
        return Frame(self.point(offset), mat_mul(self.rot, rot))


class Model:
    """Spheres grouped into parts; a line is drawn where one part passes
    in front of another, never inside a part."""

    def __init__(self):
        self.spheres = []   # (centre, radius, material, group)
        self.decals = []    # callables run after shading: f(image)

    def sphere(self, c, r, mat, group):
        # Nothing sinks through the floor: a tail or foot pushed below it
        # rests on it instead.
        c = (c[0], max(c[1], r), c[2])
        self.spheres.append((c, r, mat, group))

    def tube(self, a, b, ra, rb, mat, group, mat_b=None, split=1.0):
        """A tapered capsule sampled as spheres every half pixel; from
        `split` (0..1) on, the spheres take `mat_b`."""
        n = max(2, int(length(sub(b, a)) * 2.0) + 1)
        for i in range(n + 1):
            t = i / n
            m = mat_b if (mat_b is not None and t >= split) else mat
            self.sphere(lerp(a, b, t), ra + (rb - ra) * t, m, group)




class View:
    """Where the model lands in the picture: size in pixels, pixels per
    model unit, and the picture position of the model's origin."""

    def __init__(self, width=SIZE, height=SIZE, scale=CAT_SCALE, ox=ORIGIN_X, oy=FLOOR_Y):
        self.width, self.height, self.scale, self.ox, self.oy = width, height, scale, ox, oy


CELL = View()


class Image:
    """The rendered picture: colour index per pixel plus the depth buffer
    and part of each pixel, which the decals use for visibility."""

    def __init__(self, view):
        self.view = view
        self.w, self.h = view.width, view.height
        self.px = [[KEY] * self.w for _ in range(self.h)]
        self.depth = [[-1e9] * self.w for _ in range(self.h)]
        self.group = [[None] * self.w for _ in range(self.h)]
        self.light = [[0.0] * self.w for _ in range(self.h)]
        self.mat = [[None] * self.w for _ in range(self.h)]
        self.locked = set()

    def to_screen(self, p):
        v = self.view
        return (v.ox + p[0] * v.scale, v.oy - p[1] * v.scale)

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def interior(self, x, y):
        """Inside and off the picture's edge rows and columns."""
        return 0 < x < self.w - 1 and 0 < y < self.h - 1

    def visible(self, p, tolerance=1.5):
        """The pixel of model point p, when nothing hides it by more than
        `tolerance` model units, else None."""
        sx, sy = self.to_screen(p)
        x, y = int(math.floor(sx)), int(math.floor(sy))
        if not self.inside(x, y) or self.group[y][x] is None:
            return None
        if self.depth[y][x] > (p[2] + tolerance) * self.view.scale:
            return None
        return (x, y)

    def put(self, x, y, colour, over_key=True):
        if not self.inside(x, y):
            return
        if not over_key and self.px[y][x] == KEY:
            return
        self.px[y][x] = colour
        self.locked.add((x, y))


def _rasterise(model, img):
    k = img.view.scale
    for c, r, mat, group in model.spheres:
        cx, cy = img.to_screen(c)
        c = scale(c, k)
        r *= k
        x0, x1 = max(0, int(math.floor(cx - r))), min(img.w - 1, int(math.floor(cx + r)))
        y0, y1 = max(0, int(math.floor(cy - r))), min(img.h - 1, int(math.floor(cy + r)))
        r2 = r * r
        for y in range(y0, y1 + 1):
            dy = (y + 0.5) - cy
            row_d, row_g = img.depth[y], img.group[y]
            for x in range(x0, x1 + 1):
                dx = (x + 0.5) - cx
                d2 = dx * dx + dy * dy
                if d2 > r2:
                    continue
                h = math.sqrt(r2 - d2)
                z = c[2] + h
                if z <= row_d[x]:
                    continue
                row_d[x] = z
                row_g[x] = group
                img.mat[y][x] = mat
                # normal (dx, -dy, h)/r in world axes (y up)
                img.light[y][x] = (dx * LIGHT_DIR[0] - dy * LIGHT_DIR[1] + h * LIGHT_DIR[2]) / r


def _shade(mat, light):
    if mat == "coat":
        return LIGHT if light > 0.72 else SHADE if light < -0.12 else COAT
    if mat == "far":
        return COAT if light > 0.8 else SHADE
    if mat == "pale":
        return LIGHT if light < -0.35 else PALE
    if mat == "farpale":
        return LIGHT
    if mat == "pink":
        return PINK
    if mat == "dark":
        return OUTLINE
    if mat == "shade":
        return SHADE
    return COAT


N4 = ((1, 0), (-1, 0), (0, 1), (0, -1))
N8 = N4 + ((1, 1), (1, -1), (-1, 1), (-1, -1))


def _colour(img):
    for y in range(img.h):
        for x in range(img.w):
            if img.group[y][x] is not None:
                img.px[y][x] = _shade(img.mat[y][x], img.light[y][x])
    # A part seen behind another gets a line where the front part ends.
    lines = []
    for y in range(img.h):
        for x in range(img.w):
            g = img.group[y][x]
            if g is None:
                continue
            for dx, dy in N4:
                nx, ny = x + dx, y + dy
                ng = img.group[ny][nx] if img.inside(nx, ny) else None
                if ng in (None, g):
                    continue
                limit = LIMB_EDGE_DEPTH if ng in LIMBS else EDGE_DEPTH
                if img.depth[ny][nx] - img.depth[y][x] > limit:
                    lines.append((x, y))
                    break
    for x, y in lines:
        img.px[y][x] = OUTLINE


def _tidy_fills(img):
    """Single pixels read as noise: a shade pixel with none of its colour
    beside it, or a lone dot of line inside the cat, takes the colour most
    of its neighbours have."""
    fills = (SHADE, COAT, LIGHT, PALE)
    px = img.px
    for _ in range(4):
        changes = []
        for y in range(img.h):
            for x in range(img.w):
                c = px[y][x]
                if (x, y) in img.locked or c not in fills + (OUTLINE,):
                    continue
                if c == OUTLINE:
                    near = [px[y + dy][x + dx] for dx, dy in N8 if img.inside(x + dx, y + dy)]
                    if KEY in near or BLACK in near or OUTLINE in near:
                        continue
                elif any(img.inside(x + dx, y + dy) and px[y + dy][x + dx] == c for dx, dy in N4):
                    continue
                counts = {}
                for dx, dy in N8:
                    nx, ny = x + dx, y + dy
                    if img.inside(nx, ny) and px[ny][nx] in fills:
                        counts[px[ny][nx]] = counts.get(px[ny][nx], 0) + (2 if dx == 0 or dy == 0 else 1)
                if counts:
                    changes.append((x, y, max(sorted(counts), key=lambda k: counts[k])))
        if not changes:
            break
        for x, y, c in changes:
            px[y][x] = c


def _components(img, want_pet):
    """Regions of pet pixels (8-connected) or of key pixels (4-connected)."""
    w, h = img.w, img.h
    member = [[(v != KEY) == want_pet for v in row] for row in img.px]
    steps = N8 if want_pet else N4
    regions = []
    for y in range(h):
        for x in range(w):
            if not member[y][x]:
                continue
            member[y][x] = False
            stack, region = [(x, y)], []
            while stack:
                cx, cy = stack.pop()
                region.append((cx, cy))
                for dx, dy in steps:
                    nx, ny = cx + dx, cy + dy
                    if 0 <= nx < w and 0 <= ny < h and member[ny][nx]:
                        member[ny][nx] = False
                        stack.append((nx, ny))
            regions.append(region)
    return regions


def _outline(img):
    w, h = img.w, img.h
    pet = [[v != KEY for v in row] for row in img.px]
    ring = []
    for y in range(h):
        row = pet[y]
        up = pet[y - 1] if y > 0 else None
        down = pet[y + 1] if y < h - 1 else None
        for x in range(w):
            if row[x]:
                continue
            if (x > 0 and row[x - 1]) or (x < w - 1 and row[x + 1]) \
                    or (up is not None and up[x]) or (down is not None and down[x]):
                ring.append((x, y))
    for x, y in ring:
        img.px[y][x] = OUTLINE
    _thin_corners(img, ring)


def _thin_corners(img, ring):
    """Drops the outer corner pixel of each stair step, so diagonal edges
    run as clean one-pixel steps instead of doubled L shapes."""
    px = img.px
    for x, y in ring:
        if px[y][x] != OUTLINE:
            continue
        around = [px[y + dy][x + dx] if img.inside(x + dx, y + dy) else KEY for dx, dy in N4]
        # around: right, left, down, up
        if any(v not in (KEY, OUTLINE) for v in around):
            continue
        horizontal = (around[0] == OUTLINE) + (around[1] == OUTLINE)
        vertical = (around[2] == OUTLINE) + (around[3] == OUTLINE)
        if horizontal == 1 and vertical == 1:
            hx = x + (1 if around[0] == OUTLINE else -1)
            vy = y + (1 if around[2] == OUTLINE else -1)
            # Only when the step's inner corner is the cat, not a gap.
            if img.inside(hx, vy) and px[vy][hx] not in (KEY, OUTLINE):
                px[y][x] = KEY


def _clean(img):
    # Keep the body in one piece: bits cut off (a tail tip behind the
    # body edge, a lone pixel) would show as specks beside the cat.
    parts = sorted(_components(img, True), key=len, reverse=True)
    for region in parts[1:]:
        for x, y in region:
            img.px[y][x] = KEY
    # Pinholes inside the outline would let the desktop show through.
    for region in _components(img, False):
        touches_edge = any(not img.interior(x, y) for x, y in region)
        if not touches_edge and len(region) <= 6:
            for x, y in region:
                img.px[y][x] = OUTLINE


def render(model, after_outline=(), view=CELL):
    img = Image(view)
    _rasterise(model, img)
    _colour(img)
    for decal in model.decals:
        decal(img)
    _tidy_fills(img)
    _outline(img)
    for decal in after_outline:
        decal(img)
    _clean(img)
    return img.px
