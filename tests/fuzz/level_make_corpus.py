#!/usr/bin/env python3
"""Writes the seed corpora of the level and palette fuzz targets into corpus/level_file/ and
corpus/palette_file/, field by field from the file layout (independent of the engine's encoder).

Run from anywhere: python3 tests/fuzz/level_make_corpus.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Box record, 53 bytes: x y width height (f32), type meshId (i32), liftStartX liftStartY
# liftRangeX liftRangeY (f32), reserved liftState (i32), liftSpeed (f32), liftFlag (u8).
BOX = "<4f2i4f2ifB"
# Enemy fields, 109 bytes: type (i32), x y width height (f32), reserved (i32), reserved (u8),
# speed jumpT jumpT0 jumpY0 jumpV0 (f32), airborne inAir jumping (u8), boxUnder direction (i32),
# health hitTimer knockbackVx maxHealth (f32), jumpRequest (i32), reserved (u8), animPhase
# pathStartX pathStartY pathRangeX pathRangeY (f32), reserved pathState (i32), pathSpeed (f32);
# then 100 debris entries of seven f32.
ENEMY = "<i4fiB5f3B2i4fiB5f2if"
assert struct.calcsize(BOX) == 53 and struct.calcsize(ENEMY) == 109


def box(x, y, w, h, kind=0, mesh=0, lift=(0, 0, 0, 0), state=0, speed=0.0):
    return struct.pack(BOX, x, y, w, h, kind, mesh, *lift, 0, state, speed, 0)


def enemy(kind, x, y, w=70.0, h=150.0, under=0, direction=0, path=(0.0, 0.0, 0.0, 0.0), state=0):
    fields = struct.pack(ENEMY, kind, x, y, w, h, 0, 0, 5.0, 0.0, 0.0, y + 1, 0.0, 1, 1, 0, under,
                         direction, 100.0, 0.0, 0.0, 100.0, 0, 0, 17.0, *path, 0, state, 4.0)
    debris = b"".join(struct.pack("<7f", 10.0 + k, 35.0 - k, k - 35.0, 12.0, 3.0, -4.0, 15.0) for k in range(100))
    return fields + debris


def level(boxes, enemies, marker=1):
    return (struct.pack("<ii", marker, len(boxes)) + b"".join(boxes) + struct.pack("<i", len(enemies))
            + b"".join(enemies))


def palette(entries, marker=1):
    return struct.pack("<ii", marker, len(entries) - 1) + b"".join(entries)


GROUND = box(0.0, 20.0, 3840.0, 10.0, mesh=1)
EVERY_KIND = [GROUND] + [box(200.0 + 150 * k, 100.0, 120.0, 80.0, k, k - 1) for k in range(8)]
LIFT = box(600.0, 300.0, 200.0, 20.0, 1, 3, (600.0, 300.0, -150.0, 240.0), 2, 5.0)
full = level(EVERY_KIND + [LIFT], [enemy(0, 300.0, 29.0, under=1), enemy(1, 900.0, 179.0, direction=1),
                                   enemy(2, 1500.0, 600.0, 70.0, 75.0, path=(1500.0, 600.0, 300.0, 100.0), state=3),
                                   enemy(3, 2000.0, 60.0, 70.0, 75.0)])

LEVEL_SEEDS = {
    "ground_only.level": level([GROUND], []),
    "every_kind.level": full,
    "odd_marker.level": level([GROUND], [enemy(0, 400.0, 29.0)], marker=-7),
    "truncated.level": full[:-1],
    "one_byte_long.level": full + b"\0",
    "nan_width.level": level([box(0.0, 20.0, float("nan"), 10.0)], []),
    "box_count_150.level": struct.pack("<ii", 1, 150) + GROUND * 150 + struct.pack("<i", 0),
    "enemy_count_100.level": level([GROUND], []) [:-4] + struct.pack("<i", 100),
    "bad_box_type.level": level([GROUND, box(1.0, 2.0, 3.0, 4.0, 8)], []),
    "stands_on_missing_box.level": level([GROUND], [enemy(0, 300.0, 29.0, under=2)]),
    "header_only": struct.pack("<ii", 1, 1),
}

PALETTE_SEEDS = {
    "default.palette": palette([box(0.0, 0.0, 50.0, 50.0, 0, 1), box(0.0, 0.0, 0.0, 0.0)]),
    "every_kind.palette": palette(EVERY_KIND),
    "count_150.palette": struct.pack("<ii", 1, 150) + GROUND * 151,
    "short.palette": palette(EVERY_KIND)[:-3],
    "infinite_speed.palette": palette([box(0.0, 0.0, 50.0, 50.0, 1, 2, speed=float("inf"))]),
}


def write(folder, seeds):
    out = os.path.join(HERE, "corpus", folder)
    os.makedirs(out, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


write("level_file", LEVEL_SEEDS)
write("palette_file", PALETTE_SEEDS)
