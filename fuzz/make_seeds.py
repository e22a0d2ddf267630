#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (fuzz/corpus/*): small
whole-score files, track files and settings files laid out as the program
writes them, plus a few with odd but readable content. Run from the
repository root; the corpora are committed, so this is needed only to
change them. fuzz/corpus/musicxml is not written here: it holds a score as
the MusicXML export writes it, the same score as a notation program wrote it
back, and a small foreign score partwise and timewise."""
import os
import struct

D = 'fuzz/corpus'


def rec(pitches, length, width=70, vel=100, lennum=0, lenden=4, ytype=0, ysn=0, ysd=4,
        yamt=0, yper=4, ri=0, rc=4, rl=0, acc=(0,) * 7):
    p = list(pitches) + [-1] * (10 - len(pitches))
    b = struct.pack('<10b', *p) + struct.pack('<B', len(pitches) - 1 if pitches[0] > 0 else 0)
    b += struct.pack('<HH', width, length) + struct.pack('<7b', *acc)
    b += struct.pack('<BbBBBBhBBBB', vel, lennum, lenden, ytype, ysn, ysd, yamt, yper, ri, rc, rl)
    assert len(b) == 34
    return b


END = (struct.pack('<10b', -10, -1, -1, -1, -1, -1, -1, -1, -1, -1) + b'\0' +
       struct.pack('<HH', 0, 0) + b'\0' * 7 + bytes([100, 0, 4, 0, 0, 4, 0, 0, 4, 0, 4, 0]))
assert len(END) == 34


def zqf3(key, minor, num, den, tempo, parts):
    b = struct.pack('<BBBBHB', key, minor, num, den, tempo, len(parts))
    for (p, prog, vol, pan, recs) in parts:
        b += bytes([p, prog, vol, pan]) + b''.join(recs) + END
    return b


def vlq(v):
    out = [v & 0x7F]
    v >>= 7
    while v:
        out.append(0x80 | (v & 0x7F))
        v >>= 7
    return bytes(reversed(out))


def track(ch, prog, sf, mi, nn, dd, tempo_us, events):
    body = bytes([0, 0xC0 + ch, prog, 0, 0xFF, 0x59, 2, sf & 0xFF, mi,
                  0, 0xFF, 0x58, 4, nn, dd, 0x18, 8, 0, 0xFF, 0x51, 3])
    body += tempo_us.to_bytes(3, 'big') + events + bytes([0xF0, 0x40, 0xFF, 0x2F, 0])
    return b'MTrk' + len(body).to_bytes(4, 'big') + body


def smf(tracks):
    return (b'MThd' + (6).to_bytes(4, 'big') + (1).to_bytes(2, 'big') +
            len(tracks).to_bytes(2, 'big') + (960).to_bytes(2, 'big') + b''.join(tracks))


def notes(ch, seq, vol=100):
    ev = b''
    pend = 0
    for pitches, ln in seq:
        if pitches == [0]:
            pend += ln * 60
            continue
        for i, p in enumerate(pitches):
            ev += vlq(pend if i == 0 else 0) + bytes([0x90 + ch, p, vol])
            pend = 0
        pend += ln * 60
        for i, p in enumerate(pitches):
            ev += vlq(pend if i == 0 else 0) + bytes([0x80 + ch, p, vol])
            pend = 0
    if seq and seq[-1][0] == [0]:
        ev += vlq(pend) + bytes([0x80 + ch, 0, vol])
    return ev


def main():
    scores = {
        'empty': zqf3(7, 0, 4, 4, 120, []),
        'one_note': zqf3(7, 0, 4, 4, 120, [(0, 0, 100, 10, [rec([60], 16)])]),
        'phrase_3_4': zqf3(9, 1, 3, 4, 96, [
            (0, 5, 90, 3, [rec([72, 67, 64], 16), rec([0], 8), rec([62], 8, lennum=1, lenden=16),
                           rec([60], 8, ri=1, rc=3, rl=16), rec([62], 8, ri=2, rc=3, rl=16),
                           rec([64], 8, ri=3, rc=3, rl=16),
                           rec([65], 32, ytype=2, ysn=1, ysd=16, yamt=100, yper=4),
                           rec([67], 32, ytype=1, ysn=1, ysd=8, yamt=-50, lennum=-1, lenden=32)]),
            (9, 0, 110, 10, [rec([36], 16), rec([38], 16), rec([0], 16), rec([42, 36], 16)]),
            (10, 40, 80, 20, [rec([0], 48), rec([55], 48, acc=(1, 0, 0, 0, 0, 0, 0))])]),
        'six_eight_long': zqf3(5, 0, 6, 8, 140, [
            (2, 24, 100, 10, [rec([48], 96), rec([0], 200), rec([50], 4)])]),
        'two_two': zqf3(14, 1, 2, 2, 60, [(1, 0, 100, 10, [rec([70], 64)]), (4, 0, 100, 10, [])]),
    }
    tracks = {
        'empty_track': smf([track(0, 0, 0, 0, 4, 2, 500000, b'')]),
        'melody': smf([track(0, 0, 0, 0, 4, 2, 500000, notes(0, [
            ([60], 16), ([0], 16), ([0], 8), ([67, 64, 60], 8), ([0], 16)]))]),
        'three_parts': smf([
            track(0, 10, -3, 1, 3, 2, 600000, notes(0, [([72], 48), ([71], 16)])),
            track(9, 0, -3, 1, 3, 2, 600000, notes(9, [([36], 16), ([0], 16), ([38], 16)])),
            track(10, 33, -3, 1, 3, 2, 600000, notes(10, [([0], 96)]))]),
        # Times that are not whole 64ths, as other programs write them.
        'odd_ticks': smf([track(0, 0, 2, 0, 9, 3, 428571, bytes([
            0x2D, 0x90, 0x3C, 0x64, 0x14, 0x80, 0x3C, 0x64, 0, 0x90, 0x3E, 0x64,
            0x64, 0x80, 0x3E, 0x64, 0x1D, 0x80, 0, 0x64]))]),
        'long_rests': smf([track(3, 0, 0, 0, 2, 1, 1000000, notes(3, [
            ([0], 65535), ([0], 65535), ([0], 7), ([59], 3)]))]),
    }
    settings = {
        'normal.ini': '\r\n'.join(str(v) for v in [0] + list(range(0, 100, 10)) + [1, 1] +
                                  list(range(12))) + '\r\n',
        'odd.ini': '3 -1 200 x 5\t\t7\n+4 1 0 -1 46 47 99999999999 \x1a 5 5',
        'short.ini': '1\n2\n',
    }
    for kind, files, ext in (('zqf3', scores, '.zqf3'), ('track', tracks, '.zqf2')):
        os.makedirs(os.path.join(D, kind), exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(D, kind, name + ext), 'wb') as f:
                f.write(data)
    os.makedirs(os.path.join(D, 'settings'), exist_ok=True)
    for name, text in settings.items():
        with open(os.path.join(D, 'settings', name), 'w', newline='') as f:
            f.write(text)


if __name__ == '__main__':
    main()
