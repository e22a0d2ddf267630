#!/usr/bin/python3
"""Geometry checks for the pictures in onpu/.

The editor blits every picture at fixed offsets, so a glyph that drifts by a
few pixels (a different font version, a changed scale, a flag glued to the
wrong side) breaks the score silently. This script measures the ink of each
picture and compares it with the positions the editor relies on.

    check_pictures.py [ONPU_DIR]      exit status 1 on any failure

The sets at two and four times the resolution (ONPU_DIR/2x, ONPU_DIR/4x,
greyscale PNG files of the same stems) are checked too: each must be exactly
k times the 1x picture's size, and averaged over k x k blocks it must pass
the same checks as the 1x set.
"""
import os
import struct
import sys

import numpy as np
from PIL import Image

NAMES = """1bu.bmp 2bu.bmp 4bu.bmp 8bu.bmp 16bu.bmp 32bu.bmp 64bu.bmp 2bu_u.bmp 4bu_u.bmp
8bu_u.bmp 16bu_u.bmp 32bu_u.bmp 64bu_u.bmp 1q.bmp 2q.bmp 4q.bmp 8q.bmp 16q.bmp 32q.bmp 64q.bmp
sen.bmp kuro.bmp siro.bmp s.bmp f.bmp n.bmp tai.bmp tai_u.bmp st.bmp 5sen3.bmp 5sen.bmp page.bmp
tohe.bmp 2.bmp 3.bmp 4.bmp 6.bmp 8.bmp 9.bmp k1.bmp k2.jpg k3.bmp k4.jpg k5.jpg k6.jpg
k7.jpg""".split()
KEYBOARD = ["k1.bmp", "k2.jpg", "k3.bmp", "k4.jpg", "k5.jpg", "k6.jpg", "k7.jpg"]
STAFF_ROWS = [112, 128, 144, 160, 176, 208, 224, 240, 256, 272]

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def close(value, expected, tol, what):
    return check(abs(value - expected) <= tol, f"{what}: {value:.2f}, expected {expected} ±{tol}")


class Pictures:
    def __init__(self, root, scale=1):
        self.root = root
        self.scale = scale
        self.cache = {}

    def path(self, name):
        return os.path.join(self.root, name)

    def scaled_path(self, name):
        stem = os.path.splitext(name)[0]
        return os.path.join(self.root, f"{self.scale}x", stem + ".png")

    def ink(self, name):
        """Ink coverage 0..1 (1 = black), at 1x (a larger set averaged down)."""
        if name not in self.cache:
            if self.scale == 1:
                grey = np.asarray(Image.open(self.path(name)).convert("L"), dtype=np.float64)
            else:
                k = self.scale
                big = np.asarray(Image.open(self.scaled_path(name)), dtype=np.float64)
                h, w = big.shape
                grey = big.reshape(h // k, k, w // k, k).mean(axis=(1, 3))
            self.cache[name] = 1.0 - grey / 255.0
        return self.cache[name]


def bbox(ink, threshold=0.5):
    ys, xs = np.nonzero(ink >= threshold)
    return xs.min(), xs.max(), ys.min(), ys.max()


def centroid(ink):
    ys, xs = np.mgrid[0:ink.shape[0], 0:ink.shape[1]]
    total = ink.sum()
    return (ink * (xs + 0.5)).sum() / total, (ink * (ys + 0.5)).sum() / total


def runs(values, threshold=0.5):
    dark = values >= threshold
    return int(np.count_nonzero(dark[1:] & ~dark[:-1]) + (1 if dark[0] else 0))


def check_formats(p):
    present = set(os.listdir(p.root))
    for name in NAMES:
        check(name in present, f"{name} missing")
    for name in NAMES:
        if name not in present:
            continue
        with open(p.path(name), "rb") as f:
            data = f.read()
        if name.endswith(".bmp"):
            check(data[:2] == b"BM", f"{name}: not a BMP")
            width, height, planes, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
            if name in KEYBOARD:
                check(bpp in (8, 24), f"{name}: {bpp} bits per pixel")
            else:
                check(bpp == 8 and compression == 0, f"{name}: not 8-bit uncompressed")
                colours = struct.unpack_from("<I", data, 46)[0] or 256
                offset = 14 + struct.unpack_from("<I", data, 14)[0]
                palette = np.frombuffer(data, np.uint8, colours * 4, offset).reshape(-1, 4)
                check(colours == 256 and np.array_equal(palette[:, 0], np.arange(256))
                      and np.array_equal(palette[:, 0], palette[:, 1])
                      and np.array_equal(palette[:, 1], palette[:, 2]),
                      f"{name}: palette is not the 256 greys")
        else:
            # Baseline sequential DCT frame (SOF0), no progressive frame.
            check(data[:2] == b"\xff\xd8", f"{name}: not a JPEG")
            check(b"\xff\xc0" in data and b"\xff\xc2" not in data, f"{name}: not baseline")
            img = Image.open(p.path(name))
            img.load()  # decodes through libjpeg
    sizes = {"5sen.bmp": (70, 384), "5sen3.bmp": (7, 384), "page.bmp": (742, 384),
             "tohe.bmp": (210, 384)}
    for name in KEYBOARD:
        sizes[name] = (608, 145)
    for name, size in sizes.items():
        check(Image.open(p.path(name)).size == size, f"{name}: size {Image.open(p.path(name)).size}")


def check_scaled_formats(p):
    """Every score picture at scale k: an 8-bit greyscale PNG k times the size."""
    k = p.scale
    for name in NAMES:
        if name in KEYBOARD:
            continue
        path = p.scaled_path(name)
        if not check(os.path.isfile(path), f"{k}x: {name} missing"):
            continue
        img = Image.open(path)
        check(img.format == "PNG" and img.mode == "L", f"{k}x: {name} is not a greyscale PNG")
        w, h = Image.open(p.path(name)).size
        check(img.size == (k * w, k * h), f"{k}x: {name} size {img.size}, expected {(k * w, k * h)}")


def check_not_clipped(p):
    """Glyphs must lie wholly inside their pictures."""
    for name in NAMES:
        if name in KEYBOARD or name in ("5sen.bmp", "5sen3.bmp", "page.bmp", "tohe.bmp",
                                        "sen.bmp"):
            continue
        ink = p.ink(name)
        edge = max(ink[:, 0].max(), ink[:, -1].max())
        if name[0] not in "234689":  # digits span the picture from line to line
            edge = max(edge, ink[0].max(), ink[-1].max())
        check(edge < 0.25, f"{name}: ink touches the picture border ({edge:.2f})")


def check_notes(p):
    # Bare heads: centred on (40, 72.5) in continuous pixel coordinates.
    for name, width in (("kuro.bmp", 20), ("siro.bmp", 20), ("1bu.bmp", 26)):
        ink = p.ink(name)
        cx, cy = centroid(ink)
        close(cx, 40.0, 0.6, f"{name} head centre x")
        close(cy, 72.5, 0.6, f"{name} head centre y")
        x0, x1, y0, y1 = bbox(ink)
        close(x1 - x0 + 1, width, 1.5, f"{name} head width")
        close(y1 - y0 + 1, 16, 1.5, f"{name} head height")
    x0, x1, _, _ = bbox(p.ink("kuro.bmp"))
    check(x0 >= 29 and x1 <= 50, f"kuro.bmp head spans x {x0}..{x1}, not 30..49")

    for value, head in ((2, "siro.bmp"), (4, "kuro.bmp"), (8, "kuro.bmp"), (16, "kuro.bmp"),
                        (32, "kuro.bmp"), (64, "kuro.bmp")):
        flags = {8: 1, 16: 2, 32: 3, 64: 4}.get(value, 0)
        h = p.ink(head)
        # Stem up: the head is exactly the bare head, stem on the right.
        up = p.ink(f"{value}bu.bmp")
        name = f"{value}bu.bmp"
        check(up.shape == h.shape, f"{name}: size differs from {head}")
        check(np.all(up[60:] >= h[60:] - 0.02), f"{name}: head differs from {head}")
        stem = up[:72, 48:50]
        top = int(np.argmax(stem.min(axis=1) > 0.9))
        check(np.all(stem[top:70] > 0.9), f"{name}: stem on x 48..49 broken")
        check(50 <= 72.5 - top <= 73, f"{name}: stem length {72.5 - top}")
        check(up[:64, :46].max() < 0.1, f"{name}: ink left of the stem above the head")
        got = runs(up[:72, 53])
        check(got == flags, f"{name}: {got} flags, expected {flags}")
        # Stem down: head on row 9, stem on the left going down.
        down = p.ink(f"{value}bu_u.bmp")
        name = f"{value}bu_u.bmp"
        check(np.all(down[:19] >= h[63:82] - 0.02), f"{name}: head differs from {head}")
        stem = down[10:, 30:32]
        length = int(np.argmin(np.append(stem.min(axis=1), 0) > 0.9))
        check(50 <= length + 1 <= 86, f"{name}: stem length {length + 1}")
        # Flags hang on the head's side of the stem: keep them off the head.
        check(down[18:20, 33:].max() < 0.1, f"{name}: flags run into the head")
        check(down[19:, :29].max() < 0.1, f"{name}: ink left of the stem below the head")
        got = runs(down[19:, 35])
        check(got == flags, f"{name}: {got} flags, expected {flags}")


def check_rests(p):
    for value in (1, 2, 4, 8, 16, 32, 64):
        name = f"{value}q.bmp"
        ink = p.ink(name)
        x0, x1, y0, y1 = bbox(ink)
        close((x0 + x1 + 1) / 2, 40, 1.5, f"{name} horizontal centre")
    # Whole rest hangs from the line at picture row 32, half rest sits on row 48.
    _, _, y0, y1 = bbox(p.ink("1q.bmp"))
    check(y0 == 32 and 40 <= y1 <= 43, f"1q.bmp spans rows {y0}..{y1}")
    _, _, y0, y1 = bbox(p.ink("2q.bmp"))
    check(y1 == 48 and 38 <= y0 <= 41, f"2q.bmp spans rows {y0}..{y1}")
    _, _, y0, y1 = bbox(p.ink("4q.bmp"))
    check(20 <= y0 and y1 <= 72, f"4q.bmp spans rows {y0}..{y1}")


def check_signs(p):
    for name, centre in (("s.bmp", 19.5), ("n.bmp", 19.5)):
        ink = p.ink(name)
        x0, x1, y0, y1 = bbox(ink)
        close((y0 + y1 + 1) / 2, centre, 1.0, f"{name} vertical centre")
        check(x0 >= 0 and x1 <= 14, f"{name} ink x {x0}..{x1} beyond 0..14")
        check(x1 - x0 + 1 >= 7, f"{name} only {x1 - x0 + 1} px wide")
    ink = p.ink("f.bmp")
    x0, x1, y0, y1 = bbox(ink)
    check(x1 <= 14, f"f.bmp ink right edge {x1}")
    # The bowl: rows where the flat is wider than its stem.
    widths = [(ink[r] >= 0.5).sum() for r in range(ink.shape[0])]
    bowl = [r for r, w in enumerate(widths) if w > 4]
    close((bowl[0] + bowl[-1] + 1) / 2, 22.5, 3.0, "f.bmp bowl centre")

    for d in "234689":
        ink = p.ink(f"{d}.bmp")
        x0, x1, y0, y1 = bbox(ink)
        check(y0 <= 1 and y1 >= 31 and y1 <= 33, f"{d}.bmp rows {y0}..{y1}, not 0..32")
        check(18 <= x1 - x0 + 1 <= 26, f"{d}.bmp width {x1 - x0 + 1}")
        close((x0 + x1 + 1) / 2, 14, 1.0, f"{d}.bmp horizontal centre")

    ink = p.ink("sen.bmp")
    x0, x1, y0, y1 = bbox(ink)
    check(y0 == 72 and y1 <= 73, f"sen.bmp line rows {y0}..{y1}")
    check(22 <= x0 <= 26 and 53 <= x1 <= 57, f"sen.bmp line x {x0}..{x1}")

    cx, cy = centroid(p.ink("st.bmp"))
    close(cx, 10, 0.6, "st.bmp dot x")
    close(cy, 5.5, 0.6, "st.bmp dot y")

    # Ties: tai below heads centred on rows 56..59 at x 5 and 75, tai_u above
    # heads on rows 19..25.
    x0, x1, y0, y1 = bbox(p.ink("tai.bmp"))
    check(8 <= x0 <= 16 and 62 <= x1 <= 69, f"tai.bmp x {x0}..{x1}")
    check(60 <= y0 and y1 <= 72, f"tai.bmp rows {y0}..{y1}")
    x0, x1, y0, y1 = bbox(p.ink("tai_u.bmp"))
    check(8 <= x0 <= 16 and 62 <= x1 <= 69, f"tai_u.bmp x {x0}..{x1}")
    check(7 <= y0 and y1 <= 21, f"tai_u.bmp rows {y0}..{y1}")


def check_key_signatures(p):
    """Signs at the editor's key-signature positions land on their staff degree."""
    sharps = [((110, 92), 112), ((120, 116), 136), ((130, 84), 104), ((140, 108), 128),
              ((150, 132), 152), ((160, 100), 120), ((170, 124), 144)]
    _, _, y0, y1 = bbox(p.ink("s.bmp"))
    centre = (y0 + y1 + 1) / 2
    for (x, y), row in sharps:
        close(y + centre, row + 0.5, 1.6, f"sharp at ({x}, {y})")
    ink = p.ink("f.bmp")
    bowl = [r for r in range(ink.shape[0]) if (ink[r] >= 0.5).sum() > 4]
    bowl_centre = (bowl[0] + bowl[-1] + 1) / 2
    flats = [((110, 121), 144), ((120, 97), 120), ((130, 129), 152), ((140, 105), 128),
             ((150, 137), 160), ((160, 113), 136)]
    for (x, y), row in flats:
        close(y + bowl_centre, row + 0.5, 3.0, f"flat at ({x}, {y})")
    # Neighbouring key-signature signs must not run into each other.
    for sign, positions in (("s.bmp", [pos for pos, _ in sharps]),
                            ("f.bmp", [pos for pos, _ in flats])):
        ink = p.ink(sign) >= 0.5
        h, w = ink.shape
        for (xa, ya), (xb, yb) in zip(positions, positions[1:]):
            canvas = np.zeros((400, 400), np.int32)
            canvas[ya:ya + h, xa:xa + w] += ink
            canvas[yb:yb + h, xb:xb + w] += ink
            check(canvas.max() < 2, f"{sign} at ({xa},{ya}) and ({xb},{yb}) collide")


def check_staff_pictures(p):
    for name in ("5sen.bmp", "page.bmp"):
        ink = p.ink(name)
        dark_rows = [r for r in range(ink.shape[0]) if ink[r].min() > 0.9]
        check(dark_rows == STAFF_ROWS, f"{name}: staff rows {dark_rows}")
        check(ink.sum() <= len(STAFF_ROWS) * ink.shape[1] + 1, f"{name}: stray ink")
    ink = p.ink("5sen3.bmp")
    check([r for r in range(384) if ink[r, :5].min() > 0.9] == STAFF_ROWS, "5sen3.bmp staff rows")
    bar = [r for r in range(384) if ink[r, 5:7].min() > 0.9]
    check(bar == list(range(112, 273)), "5sen3.bmp bar line not rows 112..272 on x 5..6")
    check(ink[:, :5].sum() <= len(STAFF_ROWS) * 5 + 1, "5sen3.bmp: stray ink left of the bar")

    ink = p.ink("tohe.bmp")
    check([r for r in range(384) if ink[r, 100:].min() > 0.9] == STAFF_ROWS, "tohe.bmp staff rows")
    # Room for the time signature and the key signature: staff lines only.
    reserved = ink[:, 76:210].copy()
    reserved[STAFF_ROWS] = 0
    check(reserved.max() < 0.05, "tohe.bmp: ink in the time/key signature area")
    # A system line joins both staves on the left.
    cols = [c for c in range(40) if ink[112:273, c].min() > 0.9]
    check(len(cols) >= 1, "tohe.bmp: no system line joining the staves")
    # Treble clef around the treble staff, bass clef on the bass staff.
    check(ink[84:112, 20:76].max() > 0.9 and ink[180:205, 20:76].max() > 0.9,
          "tohe.bmp: treble clef does not reach above and below the staff")
    below = ink[262:, 20:76].copy()
    below[272 - 262] = 0
    check(ink[205:262, 20:76].max() > 0.9 and below.max() < 0.05,
          "tohe.bmp: bass clef misplaced")
    # The bass clef's two dots sit either side of the F3 line (row 224).
    dots = ink[210:240, 60:76] >= 0.5
    rows = [r + 210 for r in range(dots.shape[0]) if dots[r].any()]
    check(any(r < 224 for r in rows) and any(r > 224 for r in rows),
          "tohe.bmp: bass clef dots not around the F3 line")


def check_keyboard(p):
    letters = "ABCDEFG"
    for frame, name in enumerate(KEYBOARD):
        img = np.asarray(Image.open(p.path(name)).convert("L"), dtype=np.float64)
        for w in range(-2, 14):
            boundary = 79 + 40 * w
            letter = letters[(w - frame) % 7]
            if 0 <= boundary + 15 < 608:
                # Lower part of every white key is light.
                check(img[125, boundary + 15] > 200, f"{name}: white key at {boundary} dark")
            if not (12 <= boundary < 596):
                continue
            black = img[20:100, boundary - 8:boundary + 9].mean() < 100
            expected = letter not in "CF"
            check(black == expected,
                  f"{name}: black key left of {letter} at x {boundary}: {black}, expected {expected}")
            if expected:
                check(img[50, boundary + 15] > 200 and img[50, boundary - 15] > 200,
                      f"{name}: black key at {boundary} wider than 24 px")
                check(img[105, boundary] < 120 and img[116, boundary + 14] > 150,
                      f"{name}: black key at {boundary} does not end near y 110")
    # k1 puts C under the mark at 174 (span 159..199): no black key at 159.
    k1 = np.asarray(Image.open(p.path("k1.bmp")).convert("L"), dtype=np.float64)
    check(k1[50, 161] > 200 and k1[50, 199] < 100, "k1: C is not on the key at 159..199")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "onpu")
    p = Pictures(root)
    check_formats(p)
    if not failures:
        for step in (check_not_clipped, check_notes, check_rests, check_signs,
                     check_key_signatures, check_staff_pictures, check_keyboard):
            step(p)
    for scale in (2, 4):
        if failures:
            break
        big = Pictures(root, scale)
        check_scaled_formats(big)
        if failures:
            break
        before = len(failures)
        for step in (check_not_clipped, check_notes, check_rests, check_signs,
                     check_key_signatures, check_staff_pictures):
            step(big)
        failures[before:] = [f"{scale}x: {f}" for f in failures[before:]]
    for f in failures:
        print("FAIL", f)
    print(f"{len(failures)} failure(s)" if failures else "all picture checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
