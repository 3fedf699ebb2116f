#!/usr/bin/env python3
# Writes the small FITS files that the reader's golden script reads: good images of every
# sample format and the files the reader must turn away. Run once; the files are kept in
# the repository so the golden run needs no Python.
import math
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reader")


def card(text):
    return text.ljust(80)[:80].encode("ascii")


def value(key, v, comment=""):
    text = f"{key:<8}= {v:>20}"
    if comment:
        text += " / " + comment
    return card(text)


def header(cards, end=True):
    data = b"".join(cards) + (card("END") if end else b"")
    return data + b" " * (-len(data) % 2880)


def pad(data):
    return data + b"\0" * (-len(data) % 2880)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def image(bitpix, w, h, samples, extra=(), naxis3=None):
    cards = [value("SIMPLE", "T"), value("BITPIX", bitpix), value("NAXIS", 3 if naxis3 else 2),
             value("NAXIS1", w), value("NAXIS2", h)]
    if naxis3:
        cards.append(value("NAXIS3", naxis3))
    cards += list(extra)
    cards.append(card("DATE-OBS= '2026-12-09T02:00:00.000'"))
    fmt = {8: "B", 16: "H", 32: "i", -32: "f"}[bitpix]
    body = b"".join(struct.pack(">" + fmt, s) for s in samples)
    return header(cards) + pad(body)


os.makedirs(HERE, exist_ok=True)
# Unsigned 16-bit the usual way: BZERO 32768 over signed storage.
write("u16.FIT", image(16, 4, 3, [0x8000, 0x0000, 0xFFFF, 0x7FFF, 1, 2, 3, 4, 5, 6, 7, 8],
                       [value("BZERO", 32768), value("BSCALE", 1)]))
write("scaled16.FIT", image(16, 2, 2, [40000, 1, 2, 65535], [value("BSCALE", 2)]))
write("u8.FIT", image(8, 3, 2, [0, 255, 200, 1, 2, 3], [value("BZERO", -128)]))
write("s32.FIT", image(32, 2, 2, [65536, -1, 2147483647, -2147483648]))
write("f32.FIT", image(-32, 3, 2, [1.5, 2.5, -2.5, 0.0, 65535.0, float("nan")], [value("BSCALE", 2)]))
write("colour.FIT", image(-32, 2, 2, [1, 2, 3, 4, 10, 20, 30, 40, 100.5, 200, 300, 400],
                          [value("BSCALE", 2)], naxis3=3))
write("nobitpix.FIT", header([value("SIMPLE", "T"), value("NAXIS1", 10), value("NAXIS2", 10)]))
write("bitpix64.FIT", header([value("BITPIX", -64), value("NAXIS1", 1), value("NAXIS2", 1)]) + b"\0" * 2880)
write("nonaxis2.FIT", header([value("BITPIX", 16), value("NAXIS1", 10)]))
write("toowide.FIT", header([value("BITPIX", 16), value("NAXIS1", 1000000000), value("NAXIS2", 1)]))
write("short.FIT", header([value("BITPIX", 16), value("NAXIS1", 100), value("NAXIS2", 100)]) + b"\0" * 100)
write("noend.FIT", b"".join(card(f"COMMENT {i}") for i in range(600)))
write("tiny.FIT", b"SIMPLE  =")
