#!/usr/bin/env python3
"""Writes the sample design files of tests/data: UO Architect designs (.uoa), whole and damaged,
and the two tile lists. Run it from anywhere; it rewrites the files in place.

    python3 tools/make_design_samples.py
"""
import os
import struct

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'data')


def i16(value):
    return struct.pack('<h', value - 65536 if value > 32767 else value)


def i32(value):
    return struct.pack('<i', value)


def length(n):
    out = b''
    while True:
        group = n & 0x7F
        n >>= 7
        out += bytes([group | (0x80 if n else 0)])
        if not n:
            return out


def string(text):
    if text is None:
        return b'\0'
    data = text.encode('utf-8')
    return b'\1' + length(len(data)) + data


def design(name, category, subsection, tiles, extent=(3, 4)):
    out = string(name) + string(category) + string(subsection)
    out += i32(extent[0]) + i32(extent[1]) + i32(extent[0]) + i32(extent[1]) + i32(len(tiles))
    for item, x, y, z, level, hue in tiles:
        out += i16(item) + i16(x) + i16(y) + i16(z) + i16(level) + i16(hue)
    return out


# Item 0xA2AC is written as the negative 16-bit value -23892; 0x04A3 is in components-sample.txt.
TOWER = [(0x0464, 0, 0, 0, 0, 0), (0xA2AC, -1, 2, 5, 1, 0x0481), (0x04A3, 1, -2, 20, 2, 0),
         (0x0465, -1, -2, -3, 0, 7)]
LONG_NAME = 'Große Burg am Fluss, ' * 7  # 147 characters, 154 bytes: a two-byte length


def batch(designs):
    return i16(2) + i16(len(designs)) + b''.join(designs)


SAMPLES = {
    'design-tower.uoa': i16(1) + design('Small Tower', 'Towers', 'Stone', TOWER),
    'designs-batch.uoa': batch([
        design('Cottage', 'Houses', 'Small', [(0x0066, 0, 0, 0, 0, 0), (0x0067, 1, 0, 0, 0, 0)]),
        design(LONG_NAME, 'Castles', 'Stone', TOWER),
        design('Bob\'s "Inn"', 'Houses', 'Large', [(0xFFFF, -32768, 32767, -128, 0, 0)]),
        design('Loose Wall', None, None, [(0x0080, 2, 2, 0, 0, 0)]),
        design('Cottage', 'Houses', 'Small', [(0x0066, 5, 5, 0, 0, 0)]),
    ]),
    # Damaged: cut inside the last tile; a count of 5000 designs in a few dozen bytes; a name of
    # 200 bytes with 10 left; a length whose groups never end.
    'design-truncated.uoa': (i16(1) + design('Small Tower', 'Towers', 'Stone', TOWER))[:-5],
    'designs-count-too-large.uoa': i16(2) + i16(5000) + design('Hut', 'Houses', 'Small',
                                                                [(0x0066, 0, 0, 0, 0, 0)]),
    'design-string-past-end.uoa': i16(1) + b'\1' + length(200) + b'Small Towe',
    'design-length-runs-on.uoa': i16(1) + b'\1' + b'\xff' * 6 + b'name',
    'tiles.csv': ('TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc\r\n0x0464,0,0,0,0x0,\r\n'
                  '0xA2AC,-1,2,5,0x0,1020304\r\n0x04A3,1,-2,20,0x1,\r\n0x0465,-1,-2,-3,0x0,\r\n'),
    'tiles-no-header.csv': '0x464,0,0,0,0x0\n0xa2ac, -1, 2, 5, 0x0\n0x04A3,1,-2,20,0x1,\n'
                           '0X0465,-1,-2,-3,0x0,\n\n',
    'tiles.txt': '0x464 0 0 0 0\r\n0xA2AC -1 2 5 0\r\n0x4A3 1 -2 20 1\r\n0x465 -1 -2 -3 0\r\n',
    'tiles-bad-id.csv': 'TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc\r\n0x0464,0,0,0,0x0,\r\n'
                        '0x10000,1,1,0,0x0,\r\n',
    'tiles-short-line.txt': '0x464 0 0 0 0\n0x465 1 1\n',
}

for name, contents in SAMPLES.items():
    with open(os.path.join(DATA, name), 'wb') as out:
        out.write(contents.encode('utf-8') if isinstance(contents, str) else contents)
