"""A numbered frame set (frame1.png ... frameN.png, here named shime1.png ...
shime46.png), the layout Shimeji image sets use, drawn from our own cat: for
testing the importer, nothing shipped. Frames face left, are RGBA with
soft, half-transparent edges, and are `size` pixels square.
"""
import formats

FRAME_COUNT = 46

# Our pose table's frames (docs/pets.md) and the cat image drawn for each
# (a negative number mirrored); the frames no pose uses take other images,
# so that every frame of the set differs.
POSE_IMAGES = {
    1: 1,              # stand
    2: 3, 3: 6,        # walk
    4: 103,            # fall
    5: 88, 6: 89, 7: 101,   # be carried
    11: 14,            # sit
    12: 38, 13: -38, 14: 27,  # climb
    21: 69,            # sleep
    23: 47, 24: -47, 25: 59,  # hang
}


def image_for(frame):
    return POSE_IMAGES.get(frame, (frame * 7) % 108 + 1)


def frame_rows(cell, palette, size, key, mirrored=False):
    """The 42-pixel cell scaled up by a whole factor, in the middle of a
    transparent square of `size`; the pet's edge pixels are drawn at 80 %
    alpha and the ring just outside it at 30 %, as anti-aliased art is."""
    n = len(cell)
    scale = max(1, size // n)
    offset = (size - n * scale) // 2
    src = [row[::-1] if mirrored else row for row in cell]

    def pet(x, y):
        return 0 <= x < n and 0 <= y < n and src[y][x] != key

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            cx, cy = (x - offset) // scale, (y - offset) // scale
            inside = 0 <= x - offset < n * scale and 0 <= y - offset < n * scale
            if inside and pet(cx, cy):
                edge = not all(pet(cx + dx, cy + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                row.append(tuple(palette[src[cy][cx]]) + (204 if edge else 255,))
                continue
            near = [(cx + dx, cy + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                    if inside and pet(cx + dx, cy + dy)]
            if near:
                nx, ny = near[0]
                row.append(tuple(palette[src[ny][nx]]) + (77,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def write_set(folder, cells, palette, key, size=128):
    """Writes shime1.png ... shime46.png into `folder`."""
    for frame in range(1, FRAME_COUNT + 1):
        image = image_for(frame)
        rows = frame_rows(cells[abs(image) - 1], palette, size, key, image < 0)
        with open("%s/shime%d.png" % (folder, frame), "wb") as f:
            f.write(formats.png_rgb(rows))
