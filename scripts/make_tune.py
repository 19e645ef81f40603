#!/usr/bin/env python3
"""Writes the About box tune, resources/tsm.mid: a cheerful General MIDI tune of 16 bars at 144 beats per
minute (about 27 seconds) with a square-wave lead, a bass line, electric piano chords and drums.

Standard library only; the output depends on nothing but this file, so rerunning it gives the same bytes.
Usage: make_tune.py [output path]
"""

import os
import struct
import sys

TICKS = 480  # per quarter note
BPM = 144
BAR = 4 * TICKS

# MIDI note numbers
C2, D2, E2, F2, G2, A2, B2 = 36, 38, 40, 41, 43, 45, 47
B3, C4, D4, E4, F4, G4, A4, B4 = 59, 60, 62, 64, 65, 67, 69, 71
C5, D5, E5, F5, G5, A5, B5 = 72, 74, 76, 77, 79, 81, 83
C6, D6, E6, F6 = 84, 86, 88, 89

# One chord a bar: bass root, triad for the piano.
CHORDS = {
    "C": (C2, (C4, E4, G4)),
    "G": (G2, (B3, D4, G4)),
    "Am": (A2, (C4, E4, A4)),
    "F": (F2, (C4, F4, A4)),
    "G7": (G2, (B3, D4, F4)),
}
PROGRESSION = ["C", "G", "Am", "F",
               "C", "G", "Am", "F",
               "F", "G", "C", "Am",
               "F", "G7", "C", "C"]

# The lead: (note, length in eighths), a bar per line.
MELODY = [
    [(E5, 2), (G5, 2), (C6, 2), (G5, 1), (E5, 1)],
    [(D5, 2), (G5, 2), (B5, 3), (A5, 1)],
    [(C6, 2), (B5, 1), (A5, 1), (E5, 4)],
    [(F5, 2), (A5, 2), (G5, 1), (F5, 1), (E5, 2)],
    [(E5, 1), (G5, 1), (C6, 1), (G5, 1), (E5, 2), (G5, 2)],
    [(D5, 1), (G5, 1), (B5, 1), (D6, 1), (D6, 2), (B5, 2)],
    [(C6, 2), (A5, 2), (E5, 2), (A5, 2)],
    [(F5, 6), (G5, 2)],
    [(A5, 2), (F5, 1), (A5, 1), (C6, 2), (A5, 2)],
    [(B5, 2), (G5, 1), (B5, 1), (D6, 2), (B5, 2)],
    [(C6, 1), (B5, 1), (C6, 1), (D6, 1), (E6, 2), (C6, 2)],
    [(A5, 2), (C6, 2), (E6, 2), (D6, 2)],
    [(C6, 2), (A5, 2), (F5, 2), (A5, 2)],
    [(G5, 2), (B5, 2), (D6, 2), (F6, 2)],
    [(E6, 4), (D6, 1), (C6, 1), (D6, 2)],
    [(C6, 8)],
]

KICK, SNARE, HIHAT, CRASH, OPEN_HAT = 36, 38, 42, 49, 46


def var_len(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def track_chunk(events, end_tick):
    """events: (tick, order, bytes); note-offs (order 0) come before note-ons (order 1) at the same tick."""
    data = bytearray()
    last = 0
    for tick, _, message in sorted(events, key=lambda e: (e[0], e[1], e[2])):
        data += var_len(tick - last) + message
        last = tick
    data += var_len(max(0, end_tick - last)) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def meta_name(text):
    raw = text.encode("ascii")
    return b"\xff\x03" + var_len(len(raw)) + raw


def note(events, channel, tick, length, pitch, velocity):
    events.append((tick, 1, bytes([0x90 | channel, pitch, velocity])))
    events.append((tick + length, 0, bytes([0x80 | channel, pitch, 0])))


def setup(channel, name, program, volume, pan, reverb):
    return [
        (0, -1, meta_name(name)),
        (0, 0, bytes([0xC0 | channel, program])),
        (0, 0, bytes([0xB0 | channel, 7, volume])),
        (0, 0, bytes([0xB0 | channel, 10, pan])),
        (0, 0, bytes([0xB0 | channel, 91, reverb])),
    ]


def lead():
    events = setup(0, "Lead", 80, 92, 64, 40)
    tick = 0
    for bar in MELODY:
        for pitch, eighths in bar:
            length = eighths * TICKS // 2
            # Short notes are played detached, long ones held.
            held = length - (40 if eighths < 4 else 20)
            accent = 100 if tick % BAR == 0 else 88
            note(events, 0, tick, held, pitch, accent)
            tick += length
    assert tick == len(PROGRESSION) * BAR
    return events


def bass():
    events = setup(1, "Bass", 38, 100, 54, 20)
    pattern = [0, 0, 12, 0, 7, 0, 12, 7]
    for bar, name in enumerate(PROGRESSION):
        root = CHORDS[name][0]
        start = bar * BAR
        if bar == len(PROGRESSION) - 1:
            note(events, 1, start, BAR - 60, root, 100)
            continue
        for step, interval in enumerate(pattern):
            note(events, 1, start + step * TICKS // 2, TICKS // 2 - 50, root + interval, 96 if step % 2 == 0 else 80)
    return events


def chords():
    events = setup(2, "Chords", 4, 76, 78, 60)
    for bar, name in enumerate(PROGRESSION):
        triad = CHORDS[name][1]
        start = bar * BAR
        hits = [(0, BAR - 30)] if bar == len(PROGRESSION) - 1 else [(0, 2 * TICKS - 30), (2 * TICKS, 2 * TICKS - 30)]
        for offset, length in hits:
            for pitch in triad:
                note(events, 2, start + offset, length, pitch, 64)
    return events


def drums():
    events = [(0, -1, meta_name("Drums")), (0, 0, bytes([0xB9, 7, 100])), (0, 0, bytes([0xB9, 91, 30]))]
    last = len(PROGRESSION) - 1
    for bar in range(len(PROGRESSION)):
        start = bar * BAR
        if bar in (0, 8, last):
            note(events, 9, start, TICKS // 4, CRASH, 100)
        if bar == last:
            note(events, 9, start, TICKS // 4, KICK, 110)
            continue
        for beat in range(4):
            at = start + beat * TICKS
            if beat in (0, 2):
                note(events, 9, at, TICKS // 4, KICK, 108)
            fill = bar in (7, last - 1) and beat == 3
            if beat in (1, 3) and not fill:
                note(events, 9, at, TICKS // 4, SNARE, 96)
            if fill:
                for step in range(4):
                    note(events, 9, at + step * TICKS // 4, TICKS // 8, SNARE, 70 + step * 12)
            else:
                hat = OPEN_HAT if beat == 3 and bar % 2 == 1 else HIHAT
                note(events, 9, at, TICKS // 4, HIHAT, 72)
                note(events, 9, at + TICKS // 2, TICKS // 4, hat, 56)
    return events


def tempo_track():
    micros = 60_000_000 // BPM
    return [
        (0, -1, meta_name("Tunesmith")),
        (0, 0, b"\xff\x51\x03" + micros.to_bytes(3, "big")),
        (0, 0, b"\xff\x58\x04\x04\x02\x18\x08"),
    ]


def midi_file():
    # A beat after the last bar lets the final notes ring out before the tune ends.
    end = len(PROGRESSION) * BAR + TICKS
    tracks = [tempo_track(), lead(), bass(), chords(), drums()]
    # Then all sound off, so the last echoes do not keep the player going for seconds after the music.
    for events, channel in zip(tracks[1:], (0, 1, 2, 9)):
        events.append((end, 0, bytes([0xB0 | channel, 120, 0])))
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TICKS)
    return header + b"".join(track_chunk(events, end) for events in tracks)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "tsm.mid")
    data = midi_file()
    with open(path, "wb") as out:
        out.write(data)
    seconds = (len(PROGRESSION) * 4 + 1) * 60 / BPM
    print(f"{os.path.normpath(path)}: {len(data)} bytes, {seconds:.2f} s")


if __name__ == "__main__":
    main()
