#!/usr/bin/env python3
"""Writes the hand-made files of this folder (see README.md); run it here."""

import struct
import subprocess
import zlib


def png_chunk(kind, data, length=None):
    head = struct.pack(">I", len(data) if length is None else length) + kind
    return head + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def text_chunk_claims_2gb():
    ihdr = struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"tEXt", b"Comment\0x", 0x7FFFFFF0))


def gif_screen_far_beyond_frame():
    """A 12000 x 9000 screen, a one-pixel-wide frame down its right edge."""
    width, height = 12000, 9000
    colours = bytes(v for i in range(32) for v in (i * 8, 100, 200 - i * 6))
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF4, 0, 0) + colours
    out += b"," + struct.pack("<HHHHB", width - 1, 0, 1, height, 0)
    # LZW with 5-bit indices: clear, then codes that never fill the table,
    # sent as plain indices with a clear every few codes.
    min_code = 5
    clear, end = 1 << min_code, (1 << min_code) + 1
    codes, bits, index = [], [], 0
    for row in range(height):
        if row % 30 == 0:
            codes.append(clear)
        codes.append(row % 32)
    codes.append(end)
    acc = nbits = 0
    data = bytearray()
    for c in codes:
        acc |= c << nbits
        nbits += min_code + 1
        while nbits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        data.append(acc)
    out += bytes([min_code])
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes([len(block)]) + block
    return out + b"\0;"


def tiff(width, height, bits, photometric, strip):
    """A little-endian TIFF of one deflated strip."""
    data = zlib.compress(strip, 9)
    entries = [(256, 4, width), (257, 4, height), (258, 3, bits), (259, 3, 8),
               (262, 3, photometric), (273, 4, 0), (277, 3, 1), (278, 4, height),
               (279, 4, len(data))]
    ifd_at = 8
    data_at = ifd_at + 2 + 12 * len(entries) + 4
    ifd = struct.pack("<H", len(entries))
    for tag, kind, value in entries:
        value = data_at if tag == 273 else value
        packed = struct.pack("<H", value) + b"\0\0" if kind == 3 else struct.pack("<I", value)
        ifd += struct.pack("<HHI", tag, kind, 1) + packed
    return b"II*\0" + struct.pack("<I", ifd_at) + ifd + b"\0\0\0\0" + data


def jpeg_claims_gigapixel(small):
    """A small baseline JPEG whose frame header claims 16000 x 16000."""
    jpeg = bytearray(small)
    at = 2
    while jpeg[at + 1] not in (0xC0, 0xC1):
        at += 2 + struct.unpack(">H", jpeg[at + 2:at + 4])[0]
    jpeg[at + 5:at + 9] = struct.pack(">HH", 16000, 16000)
    return bytes(jpeg)


def main():
    files = {
        "text-chunk-claims-2gb.png": text_chunk_claims_2gb(),
        "screen-far-beyond-frame.gif": gif_screen_far_beyond_frame(),
        # past 2^29 pixels a 4-bit row's bit index leaves 32 bits
        "grey4-row-wider-than-2g-bits.tiff":
            tiff((1 << 29) + 8, 1, 4, 1, bytes(((1 << 29) + 8) // 2)),
        # its index row would be eight times the picture
        "bilevel-row-of-2g-pixels.tiff":
            tiff(0x7FFFFFFF, 1, 1, 1, bytes(0x7FFFFFFF // 8 + 1)),
        "claims-gigapixel.jpeg":
            jpeg_claims_gigapixel(open("../jpeg/video-001.q50.420.jpeg", "rb").read()),
    }
    for name, content in files.items():
        with open(name, "wb") as f:
            f.write(content)
    subprocess.run(["convert", "../png/basn6a08.png", "-define", "webp:lossless=true",
                    "lossless-with-alpha.webp"], check=True)


if __name__ == "__main__":
    main()
