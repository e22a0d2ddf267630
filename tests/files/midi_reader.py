#!/usr/bin/env python3
"""Independent reader for the file tests: parses a Standard MIDI File with
mido and prints one line per event with its absolute time in ticks.

Exits non-zero (with the reason on stderr) when the file is malformed: chunk
lengths that do not cover the file exactly, a track not ending in End of
Track, data bytes above 127 (mido refuses them) or anything mido cannot read.

Output lines:
  header FORMAT TRACKS DIVISION
  TRACK TICK on|off CHANNEL KEY VELOCITY
  TRACK TICK bend CHANNEL VALUE          (0..16383, 8192 = centre)
  TRACK TICK program|control|tempo|key|time|end ...
"""
import struct
import sys

import mido


def check_chunks(data):
    pos = 0
    while pos < len(data):
        if pos + 8 > len(data):
            raise ValueError(f"chunk header cut at byte {pos}")
        name, length = struct.unpack(">4sI", data[pos:pos + 8])
        end = pos + 8 + length
        if end > len(data):
            raise ValueError(f"chunk {name!r} at {pos} runs past the end")
        if name == b"MTrk" and data[end - 3:end] != b"\xff\x2f\x00":
            raise ValueError(f"track at {pos} does not end with End of Track")
        pos = end


def main(path):
    with open(path, "rb") as f:
        check_chunks(f.read())
    midi = mido.MidiFile(path, clip=False)
    print("header", midi.type, len(midi.tracks), midi.ticks_per_beat)
    for i, track in enumerate(midi.tracks):
        tick = 0
        for m in track:
            tick += m.time
            if m.type == "note_on":
                print(i, tick, "on", m.channel, m.note, m.velocity)
            elif m.type == "note_off":
                print(i, tick, "off", m.channel, m.note, m.velocity)
            elif m.type == "pitchwheel":
                print(i, tick, "bend", m.channel, m.pitch + 8192)
            elif m.type == "program_change":
                print(i, tick, "program", m.channel, m.program)
            elif m.type == "control_change":
                print(i, tick, "control", m.channel, m.control, m.value)
            elif m.type == "set_tempo":
                print(i, tick, "tempo", m.tempo)
            elif m.type == "key_signature":
                print(i, tick, "key", m.key)
            elif m.type == "time_signature":
                print(i, tick, "time", m.numerator, m.denominator)
            elif m.type == "end_of_track":
                print(i, tick, "end")
            else:
                print(i, tick, "other", m.type)
        if not track or track[-1].type != "end_of_track":
            raise ValueError(f"track {i} does not end with End of Track")


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as e:  # any failure to read is the finding
        print(f"midi_reader: {sys.argv[1]}: {e}", file=sys.stderr)
        sys.exit(1)
