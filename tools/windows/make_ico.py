#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Wraps square PNG images into one Windows .ico (PNG-compressed entries, which Windows reads
# since Vista). Run by hand; the output is committed (resources/kollavo.ico from icon_128.png).
#   tools/windows/make_ico.py OUTPUT.ico INPUT.png...
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", data[16:24])


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__ or "usage: make_ico.py OUTPUT.ico INPUT.png...")
    images = [open(name, "rb").read() for name in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, payload = b"", b""
    for data in images:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("an icon is at most 256 pixels wide")
        # 256 is written as 0; colour count 0, planes 1, 32 bits per pixel.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(data), offset + len(payload))
        payload += data
    with open(sys.argv[1], "wb") as out:
        out.write(header + entries + payload)


main()
