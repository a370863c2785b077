#!/usr/bin/env python3
"""Writes the seed corpus of the TGA fuzz targets into corpus/tga/ (small, deterministic).

Run from anywhere: python3 tests/fuzz/tga_make_corpus.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "tga")


def header(image_type, width, height, bpp, descriptor=0):
    return bytes([0, 0, image_type]) + bytes(9) + struct.pack("<HHBB", width, height, bpp, descriptor)


def pixels(count, bpp):
    size = bpp // 8
    return bytes((i * 37 + c * 91) & 0xFF for i in range(count) for c in range(size))


def raw_packet(pixel_bytes, bpp):
    count = len(pixel_bytes) // (bpp // 8)
    return bytes([count - 1]) + pixel_bytes


def run_packet(count, pixel):
    return bytes([0x80 + count - 1]) + pixel


SEEDS = {
    "uncompressed_24_3x2.tga": header(2, 3, 2, 24) + pixels(6, 24),
    "uncompressed_32_2x2_topleft.tga": header(2, 2, 2, 32, 0x28) + pixels(4, 32),
    "uncompressed_24_trailing.tga": header(2, 1, 1, 24) + pixels(1, 24) + b"trailing",
    "uncompressed_truncated.tga": header(2, 4, 4, 24) + pixels(5, 24),
    "rle_24_mixed.tga": header(10, 5, 3, 24) + raw_packet(pixels(3, 24), 24) + run_packet(10, b"\x01\x02\x03")
    + raw_packet(pixels(2, 24), 24),
    "rle_32_run_across_rows.tga": header(10, 3, 3, 32) + run_packet(9, b"\x10\x20\x30\x40"),
    "rle_32_full_packets.tga": header(10, 16, 16, 32) + run_packet(128, b"\xff\x00\x00\x80")
    + raw_packet(pixels(128, 32), 32),
    "rle_too_many.tga": header(10, 2, 2, 24) + run_packet(5, b"\x00\x00\x00"),
    "rle_truncated_run.tga": header(10, 2, 2, 24) + run_packet(2, b"\x00"),
    "rle_missing_header.tga": header(10, 2, 2, 32) + run_packet(2, b"\x01\x02\x03\x04"),
    "colour_mapped.tga": bytes([0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0]) + struct.pack("<HHBB", 1, 1, 8, 0)
    + bytes(6) + b"\x00",
    "sixteen_bit.tga": header(2, 1, 1, 16) + b"\x00\x00",
    "short_header.tga": bytes([0, 0, 2, 0, 0]),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
