#!/usr/bin/env python3
"""Writes the seed corpus of manager_fuzz into fuzz/corpus/: a few short sessions that a game
would run (a menu press on the pad, keyboard and mouse play, registrations, rebinding, raw keys,
HUD queries, pad selection and rumble), in the byte encoding that manager_fuzz.cpp reads."""

import os
import struct

OPS = dict(mouse=0, rawkey=1, snapshot=2, pad=3, mode=4, binding=5, register=6, frame=7, read=8,
           select=9, padquery=10, hud=11, other=12)


def number(value):
    """The target's number(): small values in one byte, others as a 32-bit int."""
    if -8 <= value < 56:
        return bytes([((value + 8) << 2) | 0])
    return bytes([3]) + struct.pack("<i", value)


def op(name, *parts):
    return bytes([OPS[name]]) + b"".join(parts)


def u8(v):
    return bytes([v & 0xFF])


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def text(s):
    return u8(len(s)) + s.encode()


def update(dt64=1):
    return op("frame", u8(0), u8(dt64))


def report(buttons=0, lt=0, rt=0, lx=0, ly=0, rx=0, ry=0):
    return u16(buttons) + u8(lt) + u8(rt) + u16(lx) + u16(ly) + u16(rx) + u16(ry)


SETUP = u8(0x0F)  # PC device, PC input mode, raw keyboard attached, focus

seeds = {
    "menu_press_on_pad": SETUP
    + op("mode", u8(1), u8(1))  # menu on
    + op("pad", u8(0), u8(2), report(buttons=1 << 12))
    + op("pad", u8(0), u8(1))  # refresh connectivity
    + update()
    + op("read", u8(0), number(18))  # MENU_A
    + op("pad", u8(0), u8(2), report())
    + update()
    + op("read", u8(0), number(18)),
    "keyboard_and_mouse": SETUP
    + op("mode", u8(0), u8(1))  # game on
    + op("mouse", u8(0), u32(48), u16(0), u16(0x400), u16(120), u32(0), number(25), number(-7))
    + op("mouse", u8(0), u32(48), u16(1), u16(0), u16(0), u32(0), number(30000), number(30000))
    + op("mouse", u8(3), u32(1), u32(48), u16(0), u16(0), u16(0), u32(0), number(5), number(5))
    + op("snapshot", b"\x00" * 4 + b"\x01" + b"\x00" * 3 + b"\x10" + b"\x00" * 23)
    + update()
    + op("read", u8(1), number(6))  # CAMERA_X
    + op("read", u8(2), number(7))
    + op("hud", u8(7), number(0))
    + op("frame", u8(6))
    + update(),
    "registrations_and_world_step": SETUP
    + op("register", number(400), text("A_NAME_LONGER_THAN_THIRTY_TWO_CHARACTERS"), number(5),
         u32(0xFFFFFFFF))
    + op("register", number(-5), text("NEGATIVE"), number(6), u32(1))
    + op("register", number(70), text("GAP"), number(99), u32(0x20))
    + op("binding", u8(0), number(400), number(65))
    + op("mode", u8(16), u8(0), number(2))  # world-step buffering
    + update()
    + op("read", u8(0), number(400))
    + op("frame", u8(3))
    + update()
    + op("read", u8(1), number(400))
    + op("read", u8(4), number(0), text("MENU_A"))
    + op("read", u8(3), number(100000)),
    "rebinding": SETUP
    + op("binding", u8(4), number(0), number(0))
    + op("binding", u8(5), number(0), number(0))
    + op("binding", u8(0), number(18), number(300))
    + op("binding", u8(2), number(18), number(255))
    + op("binding", u8(2), number(-3), number(12))
    + op("read", u8(8), number(300), u32(0xFFFFFFFF))
    + op("binding", u8(6), number(0), number(0))
    + op("binding", u8(7), number(0), number(0), u8(3), number(18), number(19), number(400),
         u8(1), u32(0x20))
    + op("mode", u8(1), u8(1))
    + update(),
    "raw_keys": SETUP
    + op("mode", u8(10), u8(1))  # console
    + op("rawkey", number(65), u8(ord("a")), u8(8), u8(1))
    + op("rawkey", number(300), u8(0), u8(9), u8(1))
    + op("rawkey", number(-1), u8(0), u8(8), u8(0))
    + op("rawkey", number(16), u8(0), u8(9), u8(1))
    + op("frame", u8(2))
    + update()
    + op("other", u8(0), u8(3), number(0))
    + op("read", u8(0), number(12))
    + op("rawkey", number(65), u8(ord("a")), u8(8), u8(0))
    + op("frame", u8(2))
    + update(),
    "hud_and_key_names": SETUP
    + op("hud", u8(0), number(18))
    + op("hud", u8(1), number(23))
    + op("hud", u8(2), number(13), number(4))
    + op("hud", u8(2), number(-1), number(99))
    + op("hud", u8(3), number(24))
    + op("hud", u8(4), number(24))
    + op("hud", u8(6), number(0x41), text("Letter A"))
    + op("hud", u8(5), number(0x41))
    + op("hud", u8(5), number(-5))
    + op("hud", u8(5), number(0x101)),
    "pads_and_rumble": u8(0x03)
    + op("pad", u8(2), u8(2), report(buttons=0xFFFF, lt=255, rt=31, lx=-32768, ly=32767))
    + op("pad", u8(2), u8(1))
    + op("select", u8(0), number(2))
    + update()
    + op("mode", u8(23), u8(1))  # rumble tweakable on
    + op("padquery", u8(2), u8(4), number(0), u32(0x3F000000))
    + op("padquery", u8(2), u8(3), number(1))
    + op("padquery", u8(2), u8(0), number(17))
    + update()
    + op("padquery", u8(2), u8(8), number(0), b"\x01" * 24, u8(0), u8(24))  # demo record
    + op("padquery", u8(0), u8(7), number(-3), u32(0x3DCCCCCD), number(4), number(9))
    + op("select", u8(0), number(7))
    + op("select", u8(2), number(-1))
    + op("pad", u8(2), u8(0))
    + update(),
    "pad_play_without_pc": u8(0x08)  # no PC device: the pad is the device in use
    + op("mode", u8(0), u8(1))  # game on
    + op("mode", u8(19), u8(1))  # invert vertical for the pad
    + op("pad", u8(0), u8(2), report(buttons=1 << 12, lt=200, rt=10, lx=20000, ly=-32768,
                                     rx=-9000, ry=32767))
    + op("pad", u8(0), u8(1))
    + op("register", number(500), text("HALF_UP"), number(3), u32(1))
    + op("register", number(501), text("HALF_DOWN"), number(4), u32(1))
    + op("register", number(502), text("TRIGGER"), number(8), u32(1))
    + op("binding", u8(2), number(500), number(21))
    + op("binding", u8(2), number(501), number(21))
    + op("binding", u8(2), number(502), number(16))
    + update()
    + op("read", u8(1), number(4))  # MOVEMENT_X
    + op("read", u8(1), number(7))  # CAMERA_Y, inverted
    + op("read", u8(2), number(6))  # CAMERA_X without dead zone
    + op("read", u8(1), number(500))
    + op("read", u8(2), number(501))
    + op("read", u8(1), number(502))
    + op("mode", u8(16), u8(0), number(2))
    + update()
    + op("read", u8(1), number(502))
    + op("read", u8(0), number(502)),
}

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
print(f"{len(seeds)} seeds in {here}")
