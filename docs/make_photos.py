"""Paints the landscapes the README's pictures are made from: a sky in gradient with its sun and
its glow, over a sea with the sun's reflection or over layers of hills, with a little grain,
so that the album shows something that looks like photos. Writes binary PPM files, which
docs/make_screenshots.sh turns into JPEG with vips.
Usage: make_photos.py FOLDER   (writes FOLDER/Mare/*.ppm, FOLDER/Colline/*.ppm, FOLDER/Tramonti/*.ppm)"""

import math
import os
import random
import sys

WIDTH, HEIGHT = 720, 480


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


# Each picture: the sky from top to horizon, the sun (x, y, radius, colour), the horizon's
# height, then "sea" with its colours near and far, or "hills" with (far, near) colours.
PHOTOS = {
    "Mare": [
        ("Mattino", (70, 130, 200), (190, 215, 235), (0.75, 0.18, 0.05, (255, 250, 225)), 0.55,
         ("sea", (40, 95, 140), (20, 55, 90))),
        ("Mezzogiorno", (30, 90, 190), (150, 200, 240), (0.3, 0.1, 0.06, (255, 255, 240)), 0.5,
         ("sea", (30, 120, 150), (10, 70, 100))),
        ("Onde", (110, 150, 190), (200, 210, 220), (0.6, 0.25, 0.045, (250, 245, 230)), 0.62,
         ("sea", (60, 110, 130), (25, 60, 80))),
        ("Calma", (90, 160, 215), (225, 230, 235), (0.2, 0.3, 0.05, (255, 250, 230)), 0.45,
         ("sea", (70, 140, 170), (30, 90, 120))),
    ],
    "Colline": [
        ("Primavera", (80, 140, 210), (200, 225, 240), (0.8, 0.15, 0.05, (255, 252, 230)), 0.55,
         ("hills", (120, 160, 110), (50, 110, 40))),
        ("Estate", (50, 110, 200), (180, 210, 240), (0.25, 0.12, 0.05, (255, 255, 235)), 0.5,
         ("hills", (150, 160, 100), (110, 120, 40))),
        ("Autunno", (120, 150, 180), (220, 210, 190), (0.5, 0.2, 0.05, (255, 240, 210)), 0.58,
         ("hills", (170, 130, 90), (120, 70, 30))),
    ],
    "Tramonti": [
        ("Sera", (40, 40, 100), (250, 150, 70), (0.5, 0.5, 0.07, (255, 220, 140)), 0.6,
         ("sea", (120, 70, 70), (40, 30, 50))),
        ("Crepuscolo", (60, 30, 90), (240, 110, 80), (0.35, 0.56, 0.08, (255, 190, 120)), 0.62,
         ("hills", (90, 50, 80), (35, 20, 40))),
    ],
}


def ridge(x, seed, base, height):
    rng = random.Random(seed)
    waves = [(rng.uniform(2, 9), rng.uniform(0, 6.3), rng.uniform(0.2, 1.0)) for _ in range(4)]
    total = sum(w[2] for w in waves)
    return base - height * (1 + sum(a * math.sin(f * x + p) for f, p, a in waves) / total) / 2


def paint(name, sky_top, sky_horizon, sun, horizon, ground, seed):
    rng = random.Random(seed)
    sun_x, sun_y, sun_r, sun_colour = sun
    kind, near, far = ground
    rows = []
    ridges = []
    if kind == "hills":
        ridges = [[ridge(i / WIDTH, seed * 10 + layer, horizon + 0.12 * layer, 0.22 - 0.05 * layer)
                   for i in range(WIDTH)] for layer in range(3)]
    for j in range(HEIGHT):
        y = j / HEIGHT
        row = bytearray()
        for i in range(WIDTH):
            x = i / WIDTH
            d = math.hypot((x - sun_x) * WIDTH / HEIGHT, y - sun_y)
            sky = mix(sky_top, sky_horizon, min(1.0, y / horizon))
            glow = math.exp(-(d / (sun_r * 5)) ** 2) * 0.6
            colour = mix(sky, sun_colour, glow if d > sun_r else 1.0)
            if kind == "sea" and y >= horizon:
                depth = (y - horizon) / (1 - horizon)
                colour = mix(far, near, depth)
                # the sun's reflection: broken streaks under the sun, wider toward the shore
                width = 0.03 + 0.12 * depth
                streak = math.exp(-((x - sun_x) / width) ** 2) * (0.5 + 0.5 * math.sin(j * 1.7 + math.sin(i * 0.05) * 3))
                colour = mix(colour, sun_colour, 0.7 * streak)
            elif kind == "hills":
                for layer in range(3):
                    if y >= ridges[layer][i]:
                        shade = mix(near, far, layer / 2)
                        colour = mix(shade, (0, 0, 0), 0.3 * (y - ridges[layer][i]))
            grain = rng.gauss(0, 5)
            row.extend(max(0, min(255, int(c + grain))) for c in colour)
        rows.append(bytes(row))
    return b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + b"".join(rows)


def main():
    out = sys.argv[1]
    seed = 1
    for folder, photos in PHOTOS.items():
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for name, *look in photos:
            with open(os.path.join(out, folder, name + ".ppm"), "wb") as f:
                f.write(paint(name, *look, seed))
            seed += 1


main()
