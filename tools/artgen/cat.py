"""The cat's skeleton: a pose (a dict of joint positions and angles, in
pixels and degrees) becomes a Model of spheres plus face decals.

Cat-local axes: x to the cat's near side (towards the viewer when it faces
left), y up from the floor, z forward along the spine.
"""
import math

from rig import (Frame, Model, add, lerp, norm, rot_x, rot_y, rot_z, mat_mul, scale,
                 BLACK, OUTLINE, PINK, WHITE, KEY)

# The standing profile cat; every pose names only what differs from it.
BASE = {
    "yaw": 90.0, "pitch": 0.0, "roll": 0.0, "x": 0.0, "y": 0.0,
    "hip": (14.0, -7.0), "shoulder": (14.5, 6.5), "arch": 0.0,
    "head": (7.0, 4.5), "head_yaw": -25.0, "head_pitch": 0.0, "head_roll": 0.0,
    "eyes": "open", "mouth": "closed", "ears": "up",
    # paws (y, z[, x]); hind paws may add the hock offset (dy, dz)
    "nf": (1.6, 8.5), "ff": (1.6, 5.0), "nh": (1.6, -9.0), "fh": (1.6, -5.5),
    "tail": (55.0, 10.0, 0.0, 0.0),
    "whiskers": True, "haunch": 3.9,
}

HEAD_R = 5.0
FRONT_LEGS = (6.2, 6.2)
HIND_LEGS = (6.0, 6.0)
HOCK = (4.0, -1.6)
TAIL_SEGMENTS, TAIL_STEP = 9, 1.75
SHOULDER_X, HIP_X = 2.9, 3.0


def _ik(top, paw, l1, l2, bend):
    """Middle joint of a two-bone limb in the (y, z) plane; the joint
    bulges towards +z when bend > 0 (knee) and -z when bend < 0 (elbow)."""
    ty, tz = top[1], top[2]
    py, pz = paw[1], paw[2]
    d = math.hypot(py - ty, pz - tz)
    if d < 1e-6:
        return lerp(top, paw, 0.5)
    if d >= l1 + l2:
        return lerp(top, paw, l1 / (l1 + l2))
    a = (l1 * l1 - l2 * l2 + d * d) / (2 * d)
    h = math.sqrt(max(0.0, l1 * l1 - a * a))
    uy, uz = (py - ty) / d, (pz - tz) / d
    my, mz = ty + a * uy, tz + a * uz
    cands = [(-uz, uy), (uz, -uy)]
    if abs(uy) > 0.2:
        pick = [c for c in cands if c[1] * bend > 0]
    else:
        pick = [c for c in cands if c[0] < 0]
    ny, nz = (pick or cands)[0]
    mx = top[0] + (paw[0] - top[0]) * (a / d)
    return (mx, my + h * ny, mz + h * nz)


def _paw(place, side_x):
    x = place[2] if len(place) > 2 and place[2] is not None else side_x
    return (x, place[0], place[1])


def _spine(pose, t):
    """Point along the back, from hip (0) to shoulder (1), with an arch."""
    hy, hz = pose["hip"]
    sy, sz = pose["shoulder"]
    # The arch bulges square to the spine: up when standing, back when sitting.
    dy, dz = sy - hy, sz - hz
    n = math.hypot(dy, dz) or 1.0
    bulge = pose["arch"] * 4 * t * (1 - t)
    return (0.0, hy + dy * t + bulge * dz / n, hz + dz * t - bulge * dy / n)


def build(pose_changes):
    pose = dict(BASE)
    pose.update(pose_changes)
    m = Model()
    root = Frame((pose["x"], pose["y"], 0.0),
                 mat_mul(rot_y(pose["yaw"]), mat_mul(rot_x(pose["pitch"]), rot_z(pose["roll"]))))
    P = root.point

    # Which side is away from the viewer: its legs are drawn a shade darker.
    near_z = root.rot[2][0]
    far_side = -1 if near_z > 0.45 else (1 if near_z < -0.45 else 0)

    def coat(side):
        return "far" if side == far_side else "coat"

    def pale(side):
        return "farpale" if side == far_side else "pale"

    hip, shoulder = _spine(pose, 0.0), _spine(pose, 1.0)

    # Legs first: the body drawn after them hides their tops.
    for name, side, front in (("nf", 1, True), ("ff", -1, True), ("nh", 1, False), ("fh", -1, False)):
        place = pose[name]
        if front:
            top = add(lerp(hip, shoulder, 0.92), (side * SHOULDER_X, -2.0, 0.0))
            paw = _paw(place, side * SHOULDER_X)
            elbow = _ik(top, paw, FRONT_LEGS[0], FRONT_LEGS[1], -1)
            m.tube(P(top), P(elbow), 2.1, 1.7, coat(side), name)
            m.tube(P(elbow), P(paw), 1.7, 1.5, coat(side), name, pale(side), 0.7)
            m.sphere(P(add(paw, (0.0, 0.0, 0.5))), 1.6, pale(side), name)
        else:
            top = add(lerp(hip, shoulder, 0.05), (side * HIP_X, -1.5, 0.0))
            paw = _paw(place, side * HIP_X)
            hock_off = place[3] if len(place) > 3 else HOCK
            hock = add(paw, (0.0, hock_off[0], hock_off[1]))
            knee = _ik(top, hock, HIND_LEGS[0], HIND_LEGS[1], 1)
            m.sphere(P(add(top, (0.0, 0.3, 0.3))), pose["haunch"], coat(side), name)
            m.tube(P(top), P(knee), 3.3, 2.0, coat(side), name)
            m.tube(P(knee), P(hock), 1.9, 1.5, coat(side), name)
            m.tube(P(hock), P(paw), 1.5, 1.5, coat(side), name, pale(side), 0.6)
            m.sphere(P(add(paw, (0.0, 0.0, 0.6))), 1.6, pale(side), name)

    # Torso along the arched spine, chest patch at the front.
    # Two chains side by side: a torso wider than it is deep, as seen from
    # the front or behind, without changing the side view.
    for i in range(15):
        t = i / 14
        for sx in (-1.0, 1.0):
            m.sphere(P(add(_spine(pose, t), (sx * 1.1, 0.0, 0.0))), 4.7 + 0.5 * t, "coat", "body")
    chest = add(shoulder, (0.0, -2.0, 2.6))
    m.sphere(P(chest), 3.7, "pale", "body")
    m.sphere(P(add(lerp(hip, shoulder, 0.5), (0.0, -3.0, 0.0))), 3.6, "pale", "body")

    # Tail: a chain of segments bending by fixed steps.
    elev, bend, side_a, side_bend = pose["tail"]
    p = add(hip, (0.0, 1.6, -3.8))
    r = 1.8
    for i in range(TAIL_SEGMENTS):
        e = math.radians(elev + bend * i)
        s = math.radians(side_a + side_bend * i)
        d = (math.cos(e) * math.sin(s), math.sin(e), -math.cos(e) * math.cos(s))
        q = add(p, scale(d, TAIL_STEP))
        r2 = 1.8 - 0.6 * (i + 1) / TAIL_SEGMENTS
        m.tube(P(p), P(q), r, r2, "coat", "tail")
        p, r = q, r2

    # Neck and head.
    hy, hz = pose["head"]
    head_c = add(shoulder, (0.0, hy, hz))
    m.tube(P(add(shoulder, (0.0, 1.5, 1.0))), P(add(head_c, (0.0, -1.0, -1.0))), 3.8, 3.4, "coat", "body")
    head = root.child(head_c, mat_mul(rot_y(pose["head_yaw"]),
                                      mat_mul(rot_x(pose["head_pitch"]), rot_z(pose["head_roll"]))))
    H = head.point
    m.sphere(H((0.0, 0.0, 0.0)), HEAD_R, "coat", "head")
    for sx in (-1, 1):
        m.sphere(H((sx * 1.9, -0.9, 0.7)), 4.3, "coat", "head")
        m.sphere(H((sx * 1.0, -1.8, 4.0)), 2.0, "pale", "head")
    jaw = -3.9 if pose["mouth"] in ("open", "wide") else -2.7
    m.sphere(H((0.0, jaw, 3.4)), 1.8, "pale", "head")
    m.sphere(H((0.0, -0.5, 5.8)), 0.8, "pink", "head")
    ear_tilt = {"up": (0.0, 0.0), "back": (-2.2, -1.0), "flat": (-3.5, -3.0)}[pose["ears"]]
    for sx, g in ((-1, "earF"), (1, "earN")):
        base = H((sx * 2.6, 2.8, 0.2))
        tip = H((sx * 3.9, 9.0 + ear_tilt[1], -0.6 + ear_tilt[0]))
        m.tube(base, tip, 2.3, 0.35, "coat", g)

    m.decals.append(lambda img: _inner_ears(img, head))
    m.decals.append(lambda img: _eyes(img, head, pose["eyes"]))
    m.decals.append(lambda img: _mouth(img, head, pose["mouth"]))
    after = []
    if pose["whiskers"]:
        after.append(lambda img: _whiskers(img, head))
    return m, after


def _inner_ears(img, head):
    facing = head.vector((0.0, 0.0, 1.0))[2]
    if facing < 0.3:
        return
    for g in ("earF", "earN"):
        for y in range(1, img.h - 1):
            for x in range(1, img.w - 1):
                if img.group[y][x] == g and img.px[y][x] != OUTLINE and all(
                        img.group[y + dy][x + dx] == g for dx, dy in ((1, 0), (-1, 0), (0, 1))):
                    img.put(x, y, PINK)


EYE_POS, EYE_DIR = (2.1, 1.0, 3.9), (0.5, 0.2, 0.84)


def _eyes(img, head, state):
    for sx in (-1, 1):
        p = head.point((sx * EYE_POS[0], EYE_POS[1], EYE_POS[2]))
        n = head.vector((sx * EYE_DIR[0], EYE_DIR[1], EYE_DIR[2]))
        if n[2] < 0.2 or img.visible(p, 2.0) is None:
            continue
        fx, fy = img.to_screen(p)
        if img.view.scale >= 1.6:
            _big_eye(img, fx, fy, n, state)
            continue
        wide = n[2] > 0.6
        cx, cy = int(round(fx)), int(round(fy))
        cols = (cx - 1, cx) if wide else (int(math.floor(fx)),)
        if state == "open":
            rows = [(cy - 1, BLACK), (cy, BLACK)]
        elif state == "wide":
            rows = [(cy - 2, BLACK), (cy - 1, BLACK), (cy, BLACK)]
        elif state == "half":
            rows = [(cy - 1, OUTLINE), (cy, BLACK)]
        elif state == "happy":
            rows = [(cy - 1, OUTLINE)]
        else:  # closed
            rows = [(cy, OUTLINE)]
            if not wide:
                cols = (cols[0] - 1, cols[0])
        for y, c in rows:
            for x in cols:
                img.put(x, y, c, over_key=False)
        if state in ("open", "wide"):
            # the glint sits on the side the light comes from
            gx = cols[0]
            img.put(gx, rows[0][0], WHITE, over_key=False)
            if not wide:
                img.put(gx, rows[0][0], WHITE, over_key=False)


def _big_eye(img, fx, fy, n, state):
    """Eyes of the portrait and the icons, where a pixel pattern would be
    lost: an ellipse narrowed by how far the eye is turned away."""
    k = img.view.scale
    rx, ry = 1.05 * k * max(0.45, n[2]), 1.25 * k
    for y in range(int(fy - ry) - 1, int(fy + ry) + 2):
        for x in range(int(fx - rx) - 1, int(fx + rx) + 2):
            u, v = (x + 0.5 - fx) / rx, (y + 0.5 - fy) / ry
            if u * u + v * v > 1.0:
                continue
            if state in ("open", "wide"):
                g = ((x + 0.5 - (fx - 0.3 * rx)) / (0.4 * k)) ** 2 + ((y + 0.5 - (fy - 0.45 * ry)) / (0.4 * k)) ** 2
                img.put(x, y, WHITE if g <= 1.0 else BLACK, over_key=False)
            elif state == "half":
                if v > -0.1:
                    img.put(x, y, BLACK if v > 0.25 else OUTLINE, over_key=False)
            elif abs(v - 0.3) < 0.5 / ry + 0.12:
                img.put(x, y, OUTLINE, over_key=False)


def _mouth(img, head, state):
    if state == "closed":
        return
    p = head.point((0.0, -2.9, 4.5))
    sx, sy = img.to_screen(p)
    x, y = int(math.floor(sx)), int(math.floor(sy))
    facing = head.vector((0.0, 0.0, 1.0))[2]
    if facing < -0.3:
        return
    if state in ("open", "wide"):
        rows = 2 if state == "open" else 3
        for i in range(rows - 1):
            img.put(x, y + i, BLACK, over_key=False)
            if facing > 0.6:
                img.put(x - 1, y + i, BLACK, over_key=False)
        img.put(x, y + rows - 1, PINK, over_key=False)
        if facing > 0.6:
            img.put(x - 1, y + rows - 1, PINK, over_key=False)
    elif state == "tongue":
        img.put(x, y, PINK)
        img.put(x, y + 1, PINK)


def _line(x0, y0, x1, y1):
    pts = []
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        pts.append((x0, y0))
        if x0 == x1 and y0 == y1:
            return pts
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def _whiskers(img, head):
    for sx in (-1, 1):
        start = head.point((sx * 2.2, -2.0, 4.0))
        for lift in (0.28, -0.12):
            d = head.vector(norm((sx * 0.8, lift, 0.55)))
            end = add(start, scale(d, 8.0))
            a, b = img.to_screen(start), img.to_screen(end)
            pts = _line(int(math.floor(a[0])), int(math.floor(a[1])),
                        int(math.floor(b[0])), int(math.floor(b[1])))
            outside = False
            for x, y in pts:
                if not img.interior(x, y):
                    break
                if img.px[y][x] == KEY:
                    outside = True
                    img.put(x, y, OUTLINE)
                elif outside:
                    break
