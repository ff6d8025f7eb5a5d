#!/usr/bin/env python3
"""Compares BMP pictures pixel by pixel.

Usage: compare_bmp.py A.bmp B.bmp          prints the share of pixels that differ
       compare_bmp.py --dirs DIR_A DIR_B   the same for every *.bmp of DIR_A, one line each
Uncompressed 24- and 32-bit files only (what the library writes).
"""
import os
import struct
import sys


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits not in (24, 32) or compression not in (0, 3):
        raise ValueError(f"{path}: {bits}-bit files with compression {compression} are not read")
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for row in range(abs(height)):
        start = offset + row * stride
        line = data[start:start + width * step]
        rows.append([line[i:i + 3] for i in range(0, len(line), step)])
    if height > 0:
        rows.reverse()
    return width, abs(height), rows


def difference(a_path, b_path):
    wa, ha, a = read_bmp(a_path)
    wb, hb, b = read_bmp(b_path)
    if (wa, ha) != (wb, hb):
        return None
    differing = sum(pa != pb for ra, rb in zip(a, b) for pa, pb in zip(ra, rb))
    return differing / (wa * ha)


def report(name, share):
    text = "size differs" if share is None else f"{100 * share:6.2f} %"
    print(f"{name:32s} {text}")


def main(argv):
    if len(argv) == 4 and argv[1] == "--dirs":
        for name in sorted(n for n in os.listdir(argv[2]) if n.endswith(".bmp")):
            other = os.path.join(argv[3], name)
            if os.path.exists(other):
                report(name, difference(os.path.join(argv[2], name), other))
            else:
                report(name + " (missing)", 1.0)
        return 0
    if len(argv) == 3:
        report(os.path.basename(argv[2]), difference(argv[1], argv[2]))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
