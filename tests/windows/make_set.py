#!/usr/bin/env python3
"""make_set.py DIR: writes a list file, a CV default file and the sounds it
names into DIR, the way a Windows user keeps them: CRLF line ends, names in
small and capital letters, 8-bit and 16-bit sounds at both rates, files that
several slots share, an empty slot and an entry of the 1000 range."""
import struct
import sys
from pathlib import Path


def wave(bits, rate, count):
    if bits == 8:
        data = bytes((i * 7 + 3) & 0xFF for i in range(count))
    else:
        data = b"".join(struct.pack("<h", ((i * 997) % 65536) - 32768) for i in range(count))
    block = bits // 8
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


SOUNDS = {
    "A.WAV": (8, 11025, 300),
    "B.WAV": (16, 22050, 500),
    "C.WAV": (8, 22050, 1001),
    "D.WAV": (16, 11025, 257),
}

LIST = """; Liste fuer den Empfaenger
**16MBit
**4.Generation
**PAD-12
00: a.wav
01: B.WAV
02: C.WAV
03: d.Wav
04: A.WAV
05: b.wav
06: C.WAV
07: D.WAV
08: A.WAV
09: B.WAV
10: C.WAV
11: D.WAV
12: ---
13: C.WAV
1000: A.WAV
1005: B.WAV
"""

CV = """; CV-Vorgaben
1=3
29=6
8 = 0x10
256=255
"""


def main():
    target = Path(sys.argv[1])
    target.mkdir(parents=True, exist_ok=True)
    for name, (bits, rate, count) in SOUNDS.items():
        (target / name).write_bytes(wave(bits, rate, count))
    (target / "list.txt").write_bytes(LIST.replace("\n", "\r\n").encode("ascii"))
    (target / "cv.txt").write_bytes(CV.replace("\n", "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
