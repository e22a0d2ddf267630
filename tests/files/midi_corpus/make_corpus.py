#!/usr/bin/python3
"""Writes the MIDI files the importer is tested with, as other programs write
them: format 0 and 1, 96 / 384 / 480 / 960 ticks per quarter, running status
(mido writes it), note-offs as note-on velocity 0, tempo and time-signature
changes, drums on channel 10, swing triplets, a pick-up bar, and notes a few
ticks off the grid. Run it from anywhere; it writes beside itself.
Expected imports are in the .txt files of the same names (see the test).
lilypond_384.mid and musescore_480.mid beside them were written by LilyPond
(`lilypond lilypond_384.ly`) and MuseScore 3 (`mscore3 -o musescore_480.mid
musescore_480.musicxml`) from the sources beside them."""
import os
import mido

HERE = os.path.dirname(os.path.abspath(__file__))


def track(events, name=None):
    """events: (tick, message) in any order; returns a track with deltas."""
    t = mido.MidiTrack()
    if name:
        t.append(mido.MetaMessage('track_name', name=name, time=0))
    now = 0
    for tick, msg in sorted(events, key=lambda e: e[0]):
        t.append(msg.copy(time=tick - now))
        now = tick
    return t


def note(events, start, length, pitch, channel=0, velocity=90, zero_off=False):
    events.append((start, mido.Message('note_on', note=pitch, velocity=velocity, channel=channel)))
    off = (mido.Message('note_on', note=pitch, velocity=0, channel=channel) if zero_off else
           mido.Message('note_off', note=pitch, velocity=64, channel=channel))
    events.append((start + length, off))


def meta(kind, tick=0, **kw):
    return (tick, mido.MetaMessage(kind, **kw))


def save(name, ticks, tracks, type_=1):
    f = mido.MidiFile(type=type_, ticks_per_beat=ticks)
    f.tracks.extend(tracks)
    f.save(os.path.join(HERE, name))


def format0_480():
    """One track: melody (channel 1, chords, velocity-0 note-offs), bass
    (channel 2), drums (channel 10); 3/4 in D major, tempo 100 then 90,
    a program, volume and pan for the melody and a pitch bend."""
    q = 480
    ev = [meta('set_tempo', tempo=mido.bpm2tempo(100)),
          meta('time_signature', numerator=3, denominator=4),
          meta('key_signature', key='D'),
          meta('set_tempo', 6 * q, tempo=mido.bpm2tempo(90)),
          (0, mido.Message('program_change', program=40, channel=0)),
          (0, mido.Message('control_change', control=7, value=110, channel=0)),
          (0, mido.Message('control_change', control=10, value=32, channel=0)),
          (0, mido.Message('program_change', program=32, channel=1)),
          (q, mido.Message('pitchwheel', pitch=2000, channel=0))]
    for i, p in enumerate([62, 64, 66, 67, 69, 71]):
        note(ev, i * q, q, p, velocity=60 + 5 * i, zero_off=True)
    note(ev, 6 * q, 3 * q, 74, zero_off=True)        # a chord: D A F#
    note(ev, 6 * q, 3 * q, 69, zero_off=True)
    note(ev, 6 * q, 3 * q, 66, zero_off=True)
    note(ev, 0, 3 * q, 38, channel=1)                 # bass: dotted halves
    note(ev, 3 * q, 3 * q, 45, channel=1)
    note(ev, 6 * q, 3 * q, 38, channel=1)
    for i in range(9):                                # drums: bass drum, hi-hat
        note(ev, i * q, 60, 36 if i % 3 == 0 else 42, channel=9, velocity=100)
    save('format0_480.mid', q, [track(ev, 'all')], type_=0)


def format1_96():
    """A conductor track and two parts at 96 ticks: 6/8 in E minor, a time
    change to 9/8 later, and eighth-note triplets against straight eighths."""
    q = 96
    cond = [meta('set_tempo', tempo=mido.bpm2tempo(72)),
            meta('time_signature', numerator=6, denominator=8),
            meta('key_signature', key='Em'),
            meta('time_signature', 12 * q, numerator=9, denominator=8)]
    a = [(0, mido.Message('program_change', program=73, channel=0))]
    for i, p in enumerate([64, 66, 67, 71, 69, 67]):  # six straight eighths
        note(a, i * q // 2, q // 2, p)
    for i, p in enumerate([64, 67, 71]):              # quarter triplet in a half
        note(a, 3 * q + i * 2 * q // 3, 2 * q // 3, p)
    note(a, 5 * q, q, 76)
    b = [(0, mido.Message('program_change', program=42, channel=1))]
    note(b, 0, 3 * q, 40, channel=1)
    note(b, 3 * q, 3 * q, 47, channel=1)
    save('format1_96.mid', q, [track(cond, 'conductor'), track(a, 'flute'), track(b, 'cello')])


def format1_384_pickup():
    """A pick-up bar of one quarter (the first bar's time signature is 1/4),
    then 4/4, at 384 ticks; the notes played a few ticks off the grid, with
    a slight legato overlap; a note that is never ended."""
    q = 384
    cond = [meta('time_signature', numerator=1, denominator=4),
            meta('time_signature', q, numerator=4, denominator=4),
            meta('set_tempo', tempo=mido.bpm2tempo(132))]
    a = []
    starts = [0, 1, 2, 3, 4, 5, 5.5, 6, 7]          # in quarters
    pitches = [67, 72, 71, 72, 74, 76, 74, 72, 71]
    wobble = [3, -4, 2, 5, -3, 4, -2, 3, -5]         # ticks off the grid
    for s, p, w, nxt in zip(starts, pitches, wobble, starts[1:] + [8]):
        start = int(s * q) + w
        note(a, max(start, 0), int((nxt - s) * q) + 6, p, velocity=80)
    a.append((8 * q, mido.Message('note_on', note=60, velocity=70)))   # never ended
    a.append((9 * q, mido.Message('note_on', note=48, velocity=1)))
    a.append((9 * q + 5, mido.Message('note_off', note=48)))           # a note of 5 ticks
    a.append((10 * q, mido.MetaMessage('text', text='end')))
    save('format1_384_pickup.mid', q, [track(cond), track(a, 'violin')])


def format1_960_swing():
    """960 ticks, 5/4 (replaced), swing: quarter-eighth triplet pairs, then
    straight eighths, a sustain pedal; drums on channel 10 in their own
    track, a SysEx message."""
    q = 960
    cond = [meta('time_signature', numerator=5, denominator=4),
            meta('set_tempo', tempo=mido.bpm2tempo(160)),
            (0, mido.Message('sysex', data=[0x7E, 0x7F, 0x09, 0x01]))]
    a = [(0, mido.Message('control_change', control=64, value=127, channel=0))]
    pitches = [60, 62, 64, 65, 67, 69, 71, 72]
    for beat in range(4):                            # long-short swing pairs
        note(a, beat * q, 2 * q // 3, pitches[2 * beat])
        note(a, beat * q + 2 * q // 3, q // 3, pitches[2 * beat + 1])
    for i in range(4):                               # an eighth triplet each beat
        for k in range(3):
            note(a, 4 * q + i * q + k * q // 3, q // 3, 72 - 2 * k)
    for i in range(8):
        note(a, 8 * q + i * q // 2, q // 2, 60 + i)
    d = []
    for i in range(12):
        note(d, i * q, q // 4, 38 if i % 2 else 36, channel=9, velocity=110)
    save('format1_960_swing.mid', q, [track(cond), track(a, 'piano'), track(d, 'drums')])


format0_480()
format1_96()
format1_384_pickup()
format1_960_swing()
