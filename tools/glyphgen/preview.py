#!/usr/bin/python3
"""Compose sample scores from the pictures in onpu/ the way the editor places
them, so the artwork can be judged in context.

    preview.py ONPU_DIR OUT.png [--zoom N]

Writes OUT.png (actual size) and, with --zoom, OUT-xN.png (nearest-neighbour
enlargement)."""
import argparse
import os

import numpy as np
from PIL import Image

CELL = 70
FIRST_CELL = 210

SHARP_KEYS = [(110, 92), (120, 116), (130, 84), (140, 108), (150, 132), (160, 100), (170, 124)]
FLAT_KEYS = [(110, 121), (120, 97), (130, 129), (140, 105), (150, 137), (160, 113), (170, 89)]

LETTERS = "CDEFGAB"


def staff_index(name):
    """'C4' -> 39, 'A5' -> 51."""
    return 39 + LETTERS.index(name[0]) + 7 * (int(name[1:]) - 4)


class Score:
    def __init__(self, onpu):
        self.onpu = onpu
        self.cache = {}
        self.img = self.load("page.bmp").copy()

    def load(self, name):
        if name not in self.cache:
            im = Image.open(os.path.join(self.onpu, name)).convert("L")
            self.cache[name] = np.array(im, dtype=np.uint8)
        return self.cache[name]

    def put(self, name, x, y):
        """Darken blit: dst = min(dst, src), clipped to the score."""
        src = self.load(name)
        h, w = src.shape
        H, W = self.img.shape
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, W), min(y + h, H)
        if x1 <= x0 or y1 <= y0:
            return
        region = self.img[y0:y1, x0:x1]
        np.minimum(region, src[y0 - y:y1 - y, x0 - x:x1 - x], out=region)

    def header(self, sharps=0, flats=0, time=(4, 4)):
        self.img[:, :210] = self.load("tohe.bmp")
        for x, y in SHARP_KEYS[:sharps]:
            self.put("s.bmp", x, y)
        for x, y in FLAT_KEYS[:flats]:
            self.put("f.bmp", x, y)
        self.put(f"{time[0]}.bmp", 78, 112)
        self.put(f"{time[1]}.bmp", 78, 144)

    def ledgers(self, X, n):
        lines = []
        if n <= 39 <= n + 1 or (n >= 39 and n <= 40) or n == 38:
            lines.append(39)
        lines += [m for m in range(51, n + 1, 2)]
        lines += [m for m in range(27, n - 1, -2)]
        for m in lines:
            self.put("sen.bmp", X, 432 - 8 * m)

    def note(self, cell, pitches, value, up=True, acc=None, staccato=False, second=None):
        """pitches: list of names; second: pitch drawn displaced (chord second)."""
        X = FIRST_CELL + CELL * cell
        for p in pitches + ([second] if second else []):
            self.ledgers(X, staff_index(p))
        main = pitches[0] if up else pitches[-1]
        n = staff_index(main)
        head = "1bu.bmp" if value == 1 else ("siro.bmp" if value == 2 else "kuro.bmp")
        if value == 1:
            glyph = "1bu.bmp"
        else:
            glyph = f"{value}bu.bmp" if up else f"{value}bu_u.bmp"
        if up or value == 1:
            self.put(glyph, X, 432 - 8 * n)
        else:
            self.put(glyph, X, 495 - 8 * n)
        for p in pitches:
            if p != main:
                self.put(head, X, 432 - 8 * staff_index(p))
        if second:
            self.put(head, X + (20 if up else -20), 432 - 8 * staff_index(second))
        if acc:
            for p, sign in acc:
                A = 485 - 8 * staff_index(p)
                self.put(sign + ".bmp", X + 10, A - 3 if sign == "f" else A)
        if staccato:
            A = 485 - 8 * n
            if up:
                self.put("st.bmp", X + 30, A + 30)
            else:
                self.put("st.bmp", X + 32, A + 2)

    def tie(self, cell, pitch, up=True):
        X = FIRST_CELL + CELL * cell
        n = staff_index(pitch)
        if up:
            self.put("tai.bmp", X + CELL - 35, 432 - 8 * n + 16)
        else:
            self.put("tai_u.bmp", X + CELL - 35, 495 - 8 * n - 16)

    def lengthen(self, cell, pitch, up=True):
        X = FIRST_CELL + CELL * cell
        A = 485 - 8 * staff_index(pitch)
        if up:
            self.put("tai.bmp", X + CELL - 35, A - 40)
        else:
            self.put("tai_u.bmp", X + CELL - 35, A)

    def rest(self, cell, value):
        self.put(f"{value}q.bmp", FIRST_CELL + CELL * cell, 96)

    def bar(self, after_cell):
        self.put("5sen3.bmp", FIRST_CELL + CELL * (after_cell + 1) - 7, 0)


def system1(onpu):
    s = Score(onpu)
    s.header(sharps=3, time=(4, 4))
    s.note(0, ["C4"], 4, acc=[("C4", "n")])
    s.note(1, ["E4"], 8, acc=[("E4", "f")], staccato=True)
    s.note(2, ["G5"], 16, up=False)
    s.note(3, ["C5", "E5"], 4, second="D5")
    s.note(4, ["B5"], 32, up=False, acc=[("B5", "s")])
    s.bar(4)
    s.note(5, ["A3"], 2, up=False, staccato=True)
    s.note(6, ["E2"], 64)
    s.note(6, ["G4"], 1, second="A4")
    return s.img


def system2(onpu):
    s = Score(onpu)
    s.header(flats=7, time=(6, 8))
    s.note(0, ["G4"], 4)
    s.tie(0, "G4")
    s.note(1, ["G4"], 8)
    s.note(2, ["D5"], 2, up=False)
    s.tie(2, "D5", up=False)
    s.note(3, ["D5"], 4, up=False)
    s.bar(3)
    s.note(4, ["F4", "A4", "C5"], 1)
    s.note(5, ["A5"], 2, up=False, second="G5")
    s.note(6, ["C6"], 64, up=False)
    s.note(4, ["B2"], 2)
    s.lengthen(4, "B2")
    s.note(5, ["D3"], 16, up=False)
    s.lengthen(5, "D3", up=False)
    return s.img


def system3(onpu):
    s = Score(onpu)
    s.header(sharps=7, time=(9, 8))
    for i, v in enumerate([1, 2, 4, 8, 16, 32, 64]):
        s.rest(i, v)
    s.note(0, ["C3"], 4, up=True)
    s.note(1, ["E3", "F3"], 8, up=True, second=None)
    s.note(2, ["B2", "C3"], 2, up=False, second="B2")
    s.note(3, ["G2"], 1)
    s.note(4, ["C2"], 4)
    s.note(5, ["D3"], 32)
    s.note(6, ["G3"], 16, up=False, staccato=True)
    s.bar(6)
    return s.img


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("onpu")
    ap.add_argument("out")
    ap.add_argument("--zoom", type=int, default=0)
    args = ap.parse_args()
    systems = [f(args.onpu) for f in (system1, system2, system3)]
    gap = np.full((8, systems[0].shape[1]), 200, np.uint8)
    img = np.vstack([systems[0], gap, systems[1], gap, systems[2]])
    Image.fromarray(img).save(args.out)
    if args.zoom > 1:
        z = Image.fromarray(img).resize((img.shape[1] * args.zoom, img.shape[0] * args.zoom),
                                        Image.NEAREST)
        root, ext = os.path.splitext(args.out)
        z.save(f"{root}-x{args.zoom}{ext}")


if __name__ == "__main__":
    main()
