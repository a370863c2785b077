#!/usr/bin/env python3
"""Writes the seed corpus of the TGA file library's fuzz target into corpus/tga_file/.

Run from anywhere: python3 tests/fuzz/tga_file_make_corpus.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "tga_file")


def header(image_type, width, height, bpp, id_length=0, colour_map=0):
    return bytes([id_length, colour_map, image_type]) + bytes(9) + struct.pack("<HHBB", width, height, bpp, 0)


def pixels(count, size):
    return bytes((i * 37 + c * 91) & 0xFF for i in range(count) for c in range(size))


FILES = {
    "grey_3x2.tga": header(3, 3, 2, 8) + pixels(6, 1),
    "true_24_2x2.tga": header(2, 2, 2, 24) + pixels(4, 3),
    "true_32_3x1.tga": header(2, 3, 1, 32) + pixels(3, 4),
    "with_id.tga": header(2, 2, 1, 24, id_length=3) + b"abc" + pixels(2, 3),
    "trailing.tga": header(2, 1, 1, 24) + pixels(1, 3) + b"\xee" * 5,
    "truncated_pixels.tga": header(2, 4, 4, 32) + pixels(3, 4),
    "short_header.tga": header(2, 1, 1, 24)[:11],
    "colour_mapped.tga": header(1, 1, 1, 8, colour_map=1) + bytes(4),
    "run_length.tga": header(10, 1, 1, 24) + b"\x80" + pixels(1, 3),
    "sixteen_bit.tga": header(2, 1, 1, 16) + bytes(2),
    "eight_bit_true_colour.tga": header(2, 3, 1, 8) + pixels(3, 1),
    "grey_16_2x2.tga": header(3, 2, 2, 16) + pixels(4, 2),
    "grey_24_2x1.tga": header(3, 2, 1, 24) + pixels(2, 3),
    "true_48_1x2.tga": header(2, 1, 2, 48) + pixels(2, 6),
    "four_bit.tga": header(3, 4, 4, 4),
    "zero_width.tga": header(2, 0, 3, 24) + pixels(1, 3),
    "negative_width.tga": header(2, 0x8000, 1, 24) + pixels(1, 3),
    "huge_small_file.tga": header(2, 32767, 32767, 32) + pixels(1, 4),
}

os.makedirs(OUT, exist_ok=True)
for name, data in FILES.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
