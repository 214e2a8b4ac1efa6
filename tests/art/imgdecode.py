"""Small, strict decoders for the files the artwork generator writes. They
are written apart from the generator so that a fault in its encoders shows
up here instead of being mirrored."""
import struct


class FormatError(Exception):
    pass


def bmp(data):
    """Returns a dict: width, height, bits, compression, palette (list of
    (r, g, b)), rows (top row first, palette indices), header fields."""
    if data[:2] != b"BM":
        raise FormatError("no BM signature")
    size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    if size != len(data):
        raise FormatError("file size field %d, file has %d bytes" % (size, len(data)))
    (hsize, width, height, planes, bits, compression, image_size, _, _,
     used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if hsize != 40 or planes != 1:
        raise FormatError("unexpected info header")
    if height <= 0:
        raise FormatError("expected a bottom-up bitmap")
    entries = used or (1 << bits if bits <= 8 else 0)
    pal_start = 14 + hsize
    if offset != pal_start + 4 * entries:
        raise FormatError("pixel offset %d does not follow the colour table" % offset)
    palette = []
    for i in range(entries):
        b, g, r, zero = data[pal_start + 4 * i: pal_start + 4 * i + 4]
        palette.append((r, g, b))
    pixels = data[offset:]
    if image_size not in (0, len(pixels)):
        raise FormatError("image size field %d, data has %d bytes" % (image_size, len(pixels)))
    if compression == 0:
        rows = _uncompressed(pixels, width, height, bits)
    elif compression == 2 and bits == 4:
        rows = _rle4(pixels, width, height)
    else:
        raise FormatError("unsupported compression %d at %d bits" % (compression, bits))
    return {"width": width, "height": height, "bits": bits, "compression": compression,
            "palette": palette, "rows": rows, "colours_used": used}


def _uncompressed(pixels, width, height, bits):
    stride = ((width * bits + 31) // 32) * 4
    if len(pixels) != stride * height:
        raise FormatError("pixel data is %d bytes, expected %d" % (len(pixels), stride * height))
    rows = []
    for y in range(height):
        line = pixels[(height - 1 - y) * stride:(height - y) * stride]
        row = []
        for x in range(width):
            bit = x * bits
            byte = line[bit // 8]
            shift = 8 - bits - (bit % 8)
            row.append((byte >> shift) & ((1 << bits) - 1))
        rows.append(row)
    return rows


def _rle4(data, width, height):
    """Strict BI_RLE4: every row exactly `width` pixels and closed by an
    end-of-line, the last by end-of-bitmap; absolute runs word-aligned; no
    deltas (the writer never needs them)."""
    rows_bottom_up, row, i = [], [], 0
    while True:
        if i + 2 > len(data):
            raise FormatError("data ends without end-of-bitmap")
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            hi, lo = value >> 4, value & 15
            row.extend(hi if k % 2 == 0 else lo for k in range(count))
        elif value == 0 or value == 1:
            if len(row) != width:
                raise FormatError("row %d has %d pixels" % (len(rows_bottom_up), len(row)))
            rows_bottom_up.append(row)
            row = []
            if value == 1:
                break
        elif value == 2:
            raise FormatError("delta escape")
        else:
            nbytes = (value + 1) // 2
            chunk = data[i:i + nbytes]
            if len(chunk) != nbytes:
                raise FormatError("absolute run past the end")
            for k in range(value):
                b = chunk[k // 2]
                row.append(b >> 4 if k % 2 == 0 else b & 15)
            i += nbytes + (nbytes % 2)
        if len(row) > width:
            raise FormatError("row longer than the width")
    if len(rows_bottom_up) != height:
        raise FormatError("%d rows, expected %d" % (len(rows_bottom_up), height))
    if i != len(data):
        raise FormatError("%d bytes after end-of-bitmap" % (len(data) - i))
    return rows_bottom_up[::-1]


def icon_file(data):
    """ICO or CUR: returns (kind, entries); each entry a dict with the
    directory fields and the decoded image."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind not in (1, 2) or count < 1:
        raise FormatError("not an icon or cursor file")
    entries = []
    end = 6 + 16 * count
    for n in range(count):
        w, h, colours, res, f1, f2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        if offset < end or offset + size > len(data):
            raise FormatError("image %d lies outside the file" % n)
        entry = {"width": w or 256, "height": h or 256, "colours": colours, "field1": f1,
                 "field2": f2, "image": _icon_dib(data[offset:offset + size])}
        entries.append(entry)
    return kind, entries


def _icon_dib(blob):
    (hsize, width, height2, planes, bits, compression, _, _, _, used,
     _) = struct.unpack_from("<IiiHHIIiiII", blob, 0)
    if hsize != 40 or compression != 0 or height2 != 2 * width:
        raise FormatError("unexpected icon image header")
    height = height2 // 2
    entries = used or (1 << bits if bits <= 8 else 0)
    pos = 40
    palette = []
    for i in range(entries):
        b, g, r, _ = blob[pos + 4 * i: pos + 4 * i + 4]
        palette.append((r, g, b))
    pos += 4 * entries
    stride = ((width * bits + 31) // 32) * 4
    colour = blob[pos:pos + stride * height]
    pos += stride * height
    mstride = ((width + 31) // 32) * 4
    mask = blob[pos:pos + mstride * height]
    if len(mask) != mstride * height or pos + len(mask) != len(blob):
        raise FormatError("icon image is %d bytes, expected %d" % (len(blob), pos + mstride * height))
    pixels, transparent = [], []
    for y in range(height):
        src = (height - 1 - y)
        line = colour[src * stride:(src + 1) * stride]
        mline = mask[src * mstride:(src + 1) * mstride]
        prow, trow = [], []
        for x in range(width):
            if bits == 32:
                b, g, r, a = line[4 * x:4 * x + 4]
                prow.append((r, g, b, a))
            else:
                bit = x * bits
                v = (line[bit // 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
                prow.append(v)
            trow.append((mline[x // 8] >> (7 - x % 8)) & 1)
        pixels.append(prow)
        transparent.append(trow)
    return {"width": width, "height": height, "bits": bits, "palette": palette,
            "pixels": pixels, "and_mask": transparent}


def png_header(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise FormatError("not a PNG")
    return struct.unpack_from(">II", data, 16)


def gif(data):
    """Decodes a GIF89a made of full-size frames with a global table:
    returns (width, height, palette, frames of index rows, delays)."""
    if data[:6] != b"GIF89a":
        raise FormatError("not a GIF89a")
    w, h, flags, _, _ = struct.unpack_from("<HHBBB", data, 6)
    if not flags & 0x80:
        raise FormatError("no global colour table")
    ncol = 2 << (flags & 7)
    palette = [tuple(data[13 + 3 * i:16 + 3 * i]) for i in range(ncol)]
    i = 13 + 3 * ncol
    frames, delays = [], []
    while True:
        b = data[i]
        if b == 0x3B:
            break
        if b == 0x21:
            label = data[i + 1]
            if label == 0xF9:
                delays.append(struct.unpack_from("<H", data, i + 4)[0])
            i += 2
            while data[i]:
                i += data[i] + 1
            i += 1
        elif b == 0x2C:
            x, y, fw, fh, fl = struct.unpack_from("<HHHHB", data, i + 1)
            if (x, y, fw, fh) != (0, 0, w, h) or fl & 0x80:
                raise FormatError("frame is not a plain full-size frame")
            i += 10
            min_size = data[i]
            i += 1
            chunk = bytearray()
            while data[i]:
                chunk += data[i + 1:i + 1 + data[i]]
                i += data[i] + 1
            i += 1
            flat = _lzw_decode(bytes(chunk), min_size)
            if len(flat) != w * h:
                raise FormatError("frame has %d pixels" % len(flat))
            frames.append([flat[r * w:(r + 1) * w] for r in range(h)])
        else:
            raise FormatError("unknown block 0x%02x" % b)
    return w, h, palette, frames, delays


def _lzw_decode(data, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    table = [[k] for k in range(clear)] + [None, None]
    out, prev = [], None
    acc = nbits = pos = 0
    while True:
        while nbits < size:
            if pos >= len(data):
                raise FormatError("LZW data ends without end code")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            table = table[:end + 1]
            size, prev = min_size + 1, None
            continue
        if code == end:
            return out
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            table.append(prev + entry[:1])
        elif code == len(table):
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise FormatError("LZW code %d beyond the table" % code)
        out.extend(entry)
        prev = entry
        if len(table) == (1 << size) and size < 12:
            size += 1
