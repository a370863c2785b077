#!/usr/bin/env python3
"""Draws demo-bench's --csv (scene,frame,cpu_ms,wall_ms) as a PNG: frame time along the run,
one band per scene in the order run, wall time in the scene's colour and processor time in
white. Standard library only.

    python3 tools/plot/plot_frame_times.py frames.csv frames.png
"""
import csv
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 1600, 600
LEFT, RIGHT, TOP, BOTTOM = 64, 16, 40, 24
SCALE = 2  # font pixels per glyph pixel
COLOURS = [(240, 96, 80), (240, 176, 64), (200, 224, 80), (96, 208, 112), (64, 200, 208),
           (96, 144, 240), (160, 112, 240), (224, 96, 200), (176, 128, 96)]
# 3 x 5 glyphs, one octal digit a row (4 = left column).
FONT = dict(zip("0123456789.-_ abcdefghijklmnopqrstuvwxyz", (
    "75557 26227 71747 71317 55711 74717 74757 71122 75757 75717 00002 00700 00007 00000 "
    "25755 65656 74447 65556 74647 74644 74557 55755 72227 11157 55655 44447 57755 65555 "
    "75557 75744 75571 65655 74717 72222 55557 55552 55775 55255 55222 71247").split()))


def fail(message):
    sys.stderr.write("plot_frame_times: %s\n" % message)
    sys.exit(1)


def read_rows(path):
    scenes = []  # [name, [(cpu, wall), ...]] in the order run
    try:
        with open(path, newline="") as f:
            rows = list(csv.reader(f))
    except OSError as e:
        fail("cannot read %s: %s" % (path, e.strerror))
    if not rows or rows[0] != ["scene", "frame", "cpu_ms", "wall_ms"]:
        fail("%s: not a demo-bench --csv file (its first line is not scene,frame,cpu_ms,wall_ms)" % path)
    for number, row in enumerate(rows[1:], start=2):
        try:
            scene, cpu, wall = row[0], float(row[2]), float(row[3])
        except (IndexError, ValueError):
            fail("%s:%d: expected scene,frame,cpu_ms,wall_ms" % (path, number))
        if not scenes or scenes[-1][0] != scene:
            scenes.append([scene, []])
        scenes[-1][1].append((cpu, wall))
    if not scenes:
        fail("%s: no frames" % path)
    return scenes


class Canvas:
    def __init__(self):
        self.pixels = bytearray(bytes((16, 16, 24)) * (WIDTH * HEIGHT))

    def dot(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            i = (y * WIDTH + x) * 3
            self.pixels[i:i + 3] = bytes(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, HEIGHT)):
            for x in range(max(x0, 0), min(x1, WIDTH)):
                self.dot(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for s in range(steps + 1):
            self.dot(x0 + (x1 - x0) * s // steps, y0 + (y1 - y0) * s // steps, colour)

    def text(self, x, y, words, colour):
        for ch in words.lower():
            rows = FONT.get(ch, FONT[" "])
            for r, bits in enumerate(rows):
                for c in range(3):
                    if int(bits) & (4 >> c):
                        self.rect(x + c * SCALE, y + r * SCALE, x + (c + 1) * SCALE, y + (r + 1) * SCALE, colour)
            x += 4 * SCALE
        return x

    def write_png(self, path):
        raw = b"".join(b"\0" + bytes(self.pixels[y * WIDTH * 3:(y + 1) * WIDTH * 3]) for y in range(HEIGHT))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        part = path + ".part"
        try:
            with open(part, "wb") as f:
                f.write(png)
            os.replace(part, path)
        except OSError as e:
            fail("cannot write %s: %s" % (path, e.strerror))


def nice_step(top):
    step = 10.0 ** (len("%d" % max(int(top / 5), 1)) - 1) if top >= 5 else 0.001
    while top / step > 6:
        step *= 2 if str(step)[0] in "15" else 2.5
    return step


def main(argv):
    if len(argv) != 3 or argv[1] in ("-h", "--help"):
        sys.stdout.write(__doc__)
        return 0 if len(argv) == 2 else 2
    scenes = read_rows(argv[1])
    times = sorted(w for _, frames in scenes for _, w in frames)
    # The axis reaches the longest frame unless that is over three times the 99th percentile,
    # so one spike does not flatten the rest; frames above the top are marked red at its edge.
    p99 = times[min(len(times) - 1, int(0.99 * len(times)))]
    top = max(min(times[-1], 3 * p99) * 1.05, 1e-3)
    step = nice_step(top)
    top = step * (int(top / step) + 1)
    total = sum(len(frames) for _, frames in scenes)
    plot_w, plot_h = WIDTH - LEFT - RIGHT, HEIGHT - TOP - BOTTOM
    px = lambda i: LEFT + i * plot_w // max(total - 1, 1)
    py = lambda ms: TOP + plot_h - int(min(ms, top) / top * plot_h)

    canvas = Canvas()
    canvas.text(LEFT, 10, "frame time ms  (wall in colour, cpu in white)", (230, 230, 230))
    first = 0
    for n, (name, frames) in enumerate(scenes):
        x0, x1 = px(first), px(first + len(frames) - 1)
        canvas.rect(x0, TOP, x1 + 1, TOP + plot_h, (28, 28, 40) if n % 2 == 0 else (22, 22, 32))
        canvas.text(x0 + 4, TOP + 4, name, COLOURS[n % len(COLOURS)])
        first += len(frames)
    value = 0.0
    while value <= top + 1e-9:
        y = py(value)
        canvas.line(LEFT, y, WIDTH - RIGHT, y, (60, 60, 76))
        canvas.text(4, y - 5, ("%g" % value)[:7], (180, 180, 190))
        value += step
    first = 0
    for n, (name, frames) in enumerate(scenes):
        colour = COLOURS[n % len(COLOURS)]
        for series, tint in ((1, colour), (0, (235, 235, 235))):
            for i in range(1, len(frames)):
                a, b = frames[i - 1][series], frames[i][series]
                canvas.line(px(first + i - 1), py(a), px(first + i), py(b), tint)
        for i, (_, wall) in enumerate(frames):
            if wall > top:
                canvas.rect(px(first + i) - 2, TOP, px(first + i) + 3, TOP + 5, (255, 40, 40))
        first += len(frames)
    canvas.write_png(argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
