#!/usr/bin/env python3
"""Writes pelcoD.tl and pelcoP.tl: cameras 1 to 8 (receiver addresses 1 to 8),
the thirteen roles in bank order, pan and tilt at a moderate speed.

Run from this folder: python3 generate_tl.py
"""

SPEED = 0x20  # of 0x00..0x3F

# role name, movement bits (Pelco-D command 2 / Pelco-P data 2), pan, tilt, focus
RIGHT, LEFT, UP, DOWN, TELE, WIDE = 0x02, 0x04, 0x08, 0x10, 0x20, 0x40
ROLES = [
    ("STOP", 0, 0, 0, None),
    ("LEFT", LEFT, SPEED, 0, None),
    ("RIGHT", RIGHT, SPEED, 0, None),
    ("UP", UP, 0, SPEED, None),
    ("DOWN", DOWN, 0, SPEED, None),
    ("LEFT_UP", LEFT | UP, SPEED, SPEED, None),
    ("RIGHT_UP", RIGHT | UP, SPEED, SPEED, None),
    ("RIGHT_DOWN", RIGHT | DOWN, SPEED, SPEED, None),
    ("LEFT_DOWN", LEFT | DOWN, SPEED, SPEED, None),
    ("ZOOM_IN", TELE, 0, 0, None),
    ("ZOOM_OUT", WIDE, 0, 0, None),
    ("FOCUS_OUT", 0, 0, 0, "far"),
    ("FOCUS_IN", 0, 0, 0, "near"),
]


def pelco_d(address, bits, pan, tilt, focus):
    # FF, address, command 1, command 2, pan speed, tilt speed, sum of bytes 2..6
    cmd1 = 0x01 if focus == "near" else 0x00
    cmd2 = bits | (0x80 if focus == "far" else 0x00)
    body = [address, cmd1, cmd2, pan, tilt]
    return [0xFF] + body + [sum(body) & 0xFF]


def pelco_p(address, bits, pan, tilt, focus):
    # A0, address - 1, data 1..4, AF, XOR of the seven bytes before it
    data1 = {"far": 0x01, "near": 0x02}.get(focus, 0x00)
    frame = [0xA0, address - 1, data1, bits, pan, tilt, 0xAF]
    check = 0
    for b in frame:
        check ^= b
    return frame + [check]


def write(path, encode):
    with open(path, "wb") as out:
        for camera in range(1, 9):
            out.write(b"<%d>\r\n" % camera)
            for name, bits, pan, tilt, focus in ROLES:
                data = encode(camera, bits, pan, tilt, focus)
                line = "%s/%d/" % (name, len(data)) + "".join("%02x/" % b for b in data)
                out.write(line.encode("ascii") + b"\r\n")


write("pelcoD.tl", pelco_d)
write("pelcoP.tl", pelco_p)
open("user_command.tl", "wb").close()
