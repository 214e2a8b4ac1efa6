"""Byte-exact writers for the image formats the program and the docs use.

Every writer takes plain Python data (rows of palette indices or RGB tuples)
and returns bytes, so the generator controls every byte and the output is the
same on every run.
"""
import struct
import zlib


def _file_header(offset, total):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset)


def _info_header(width, height, bits, compression, image_size, colours):
    # 2835 pixels per metre = 72 dpi; stated so tools show a sane resolution.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                       image_size, 2835, 2835, colours, 0)


def _palette_bytes(palette, entries):
    out = bytearray()
    for i in range(entries):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        out += bytes((b, g, r, 0))
    return bytes(out)


def _bmp(width, height, bits, compression, palette, entries, pixel_data):
    offset = 14 + 40 + 4 * entries
    header = _info_header(width, height, bits, compression, len(pixel_data), entries)
    return (_file_header(offset, offset + len(pixel_data)) + header
            + _palette_bytes(palette, entries) + pixel_data)


def _pack_row(row, bits):
    """Packs one row of indices MSB-first and pads it to 4 bytes."""
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(row), per_byte):
        v = 0
        for j in range(per_byte):
            v <<= bits
            if i + j < len(row):
                v |= row[i + j]
        out.append(v)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def bmp_uncompressed(rows, bits, palette, entries=None):
    """A bottom-up BMP of 1, 4 or 8 bits per pixel without compression."""
    height, width = len(rows), len(rows[0])
    entries = entries or (1 << bits)
    data = b"".join(_pack_row(rows[y], bits) for y in range(height - 1, -1, -1))
    return _bmp(width, height, bits, 0, palette, entries, data)


def _rle4_row(row):
    """Encodes one row with BI_RLE4: encoded runs for repeats, absolute runs
    (padded to a 16-bit boundary) for mixed stretches, then end-of-line."""
    out = bytearray()
    n, i = len(row), 0
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 3 or n - i < 3:
            out += bytes((run, (row[i] << 4) | row[i]))
            i += run
            continue
        # Gather a literal stretch up to the next run of three or more.
        j = i
        while j < n and j - i < 255:
            if j + 2 < n and row[j] == row[j + 1] == row[j + 2]:
                break
            j += 1
        count = j - i
        if count < 3:
            # Absolute mode needs at least three pixels; short stretches go
            # out as encoded runs of one or two.
            for k in range(i, j):
                out += bytes((1, row[k] << 4))
            i = j
            continue
        out += bytes((0, count))
        chunk = bytearray()
        for k in range(i, j, 2):
            hi = row[k]
            lo = row[k + 1] if k + 1 < j else 0
            chunk.append((hi << 4) | lo)
        if len(chunk) % 2:
            chunk.append(0)
        out += chunk
        i = j
    out += b"\x00\x00"
    return bytes(out)


def bmp_rle4(rows, palette):
    """A bottom-up 4-bit BMP compressed with BI_RLE4 (compression 2)."""
    height, width = len(rows), len(rows[0])
    data = bytearray()
    for y in range(height - 1, -1, -1):
        data += _rle4_row(rows[y])
    data[-2:] = b"\x00\x01"  # the last end-of-line becomes end-of-bitmap
    return _bmp(width, height, 4, 2, palette, 16, bytes(data))


def _icon_image_32(rgba_rows):
    """The DIB of one 32-bit icon or cursor image: header with doubled
    height, BGRA pixels bottom-up, then the 1-bit AND mask."""
    h, w = len(rgba_rows), len(rgba_rows[0])
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        for r, g, b, a in rgba_rows[y]:
            pixels += bytes((b, g, r, a))
    mask_rows = [[0 if px[3] else 1 for px in row] for row in rgba_rows]
    mask = b"".join(_pack_row(mask_rows[y], 1) for y in range(h - 1, -1, -1))
    return header + bytes(pixels) + mask


def _icon_image_1(rows):
    """The DIB of a monochrome cursor image. rows hold 0 black, 1 white,
    None transparent; XOR bits then AND bits, as the cursor format wants."""
    h, w = len(rows), len(rows[0])
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    xor_rows = [[1 if v == 1 else 0 for v in row] for row in rows]
    and_rows = [[1 if v is None else 0 for v in row] for row in rows]
    xor = b"".join(_pack_row(xor_rows[y], 1) for y in range(h - 1, -1, -1))
    andm = b"".join(_pack_row(and_rows[y], 1) for y in range(h - 1, -1, -1))
    return header + palette + xor + andm


def _directory(kind, entries):
    """ICO (kind 1) or CUR (kind 2) file: header, directory, images.
    entries: (width, height, colours, field1, field2, image bytes), where
    the two fields are planes and bit count for icons, hot spot for cursors."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    blobs = []
    for w, h, colours, f1, f2, blob in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, f1, f2,
                           len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return bytes(out) + b"".join(blobs)


def ico(images):
    """An icon file from RGBA images (lists of rows of (r, g, b, a))."""
    entries = []
    for rows in images:
        entries.append((len(rows[0]), len(rows), 0, 1, 32, _icon_image_32(rows)))
    return _directory(1, entries)


def cur_mono(rows, hot_x, hot_y):
    """A one-image monochrome cursor file with its hot spot."""
    return _directory(2, [(len(rows[0]), len(rows), 2, hot_x, hot_y, _icon_image_1(rows))])


def _png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_indexed(rows, palette):
    """An 8-bit palette PNG; the palette is a list of (r, g, b)."""
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    plte = b"".join(bytes(c) for c in palette)
    return (b"\x89PNG\r\n\x1a\n"
            + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0))
            + _png_chunk(b"PLTE", plte)
            + _png_chunk(b"IDAT", zlib.compress(raw, 9))
            + _png_chunk(b"IEND", b""))


def png_rgb(rows):
    """A truecolour PNG from rows of (r, g, b), or of (r, g, b, a) with alpha."""
    h, w = len(rows), len(rows[0])
    colour_type = 6 if len(rows[0][0]) == 4 else 2
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
            + _png_chunk(b"IDAT", zlib.compress(raw, 9))
            + _png_chunk(b"IEND", b""))


def _lzw(indices, min_size):
    """GIF's variable-width LZW, with a clear code whenever the table fills."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    size = min_size + 1
    acc, nbits = clear, size
    table = {}
    get = table.get
    next_code = end + 1
    prefix = -1
    for px in indices:
        if prefix < 0:
            prefix = px
            continue
        key = (prefix << 8) | px
        code = get(key)
        if code is not None:
            prefix = code
            continue
        acc |= prefix << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            acc |= clear << nbits
            nbits += size
            table.clear()
            next_code = end + 1
            size = min_size + 1
        prefix = px
    for code in ((prefix, end) if prefix >= 0 else (end,)):
        acc |= code << nbits
        nbits += size
    while nbits > 0:
        out.append(acc & 0xFF)
        acc >>= 8
        nbits -= 8
    return bytes(out)


def gif_animated(frames, palette, delay_cs, transparent=None):
    """A looping GIF89a; frames are equal-sized rows of palette indices
    (at most 16 colours), delay in hundredths of a second."""
    h, w = len(frames[0]), len(frames[0][0])
    pal = list(palette) + [(0, 0, 0)] * (16 - len(palette))
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF3, 0, 0))
    out += b"".join(bytes(c) for c in pal[:16])
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for rows in frames:
        flags = 1 if transparent is not None else 0
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delay_cs,
                           transparent or 0, 0)
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        data = _lzw([v for row in rows for v in row], 4)
        out.append(4)
        for i in range(0, len(data), 255):
            block = data[i:i + 255]
            out.append(len(block))
            out += block
        out.append(0)
    out.append(0x3B)
    return bytes(out)
