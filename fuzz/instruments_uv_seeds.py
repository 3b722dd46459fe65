#!/usr/bin/env python3
"""Writes a few small valid inputs for the instrument fuzz targets into fuzz/corpus-instruments_*
(git-ignored), one per layout. Run from the repository root."""
import io
import os
import struct
import zipfile


def put(target, name, data):
    folder = f"fuzz/corpus-instruments_{target}"
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def at(buf, off, data):
    if len(buf) < off + len(data):
        buf.extend(b"\0" * (off + len(data) - len(buf)))
    buf[off:off + len(data)] = data


# PerkinElmer: a real block-layout file
with open("tests/data/instruments/spectra.sp", "rb") as f:
    put("sp", "real_blocks", f.read())

# PerkinElmer: old binary header
b = bytearray(512)
at(b, 0, b"SAMPLE01")
at(b, 10, struct.pack("<iii", 11, 21000, 20000))
at(b, 22, struct.pack("<h", 100))
at(b, 25, b"\x01")
at(b, 28, struct.pack("<i", 1000))
at(b, 80, struct.pack("<H", 502))
at(b, 146, b"A   NM  12/03/9910:11:12")
at(b, 176, b"comment")
b += b"".join(struct.pack("<i", 10 * i) for i in range(11))
put("sp", "old_binary", bytes(b))


def block(tag, body):
    return struct.pack("<Hi", tag, len(body)) + body


# PerkinElmer: block layout
head = block(0x8B72, b"\1\1" + struct.pack("<dd", 4000, 3990)) + block(0x8B74, b"\1\1" + struct.pack("<d", 1)) + \
    block(0x8B75, b"\1\1" + struct.pack("<i", 11))
info = struct.pack("<HiH", 0x8B76, 8, 0) + b"\0\0" + b"KBr." + struct.pack("<HiH", 0x1234, 6, 29980) + b"skip"
blocks = block(0x0078, head) + block(0x8B77, b"\1\1\0\0CM-1") + block(0x8B78, b"\1\1\0\0%T") + \
    block(0x8B7F, info) + block(0x8B7D, b"\1\1\0\0note") + \
    block(0x8B7C, b"\1\1\0\0\0\0" + b"".join(struct.pack("<d", 50 + i) for i in range(11)))
put("sp", "blocks", b"PEPE" + b" " * 40 + blocks)

lines = ["PE UV ASCII", "", "", "12/31/98", "14:15", "", "", "", "title"] + ["h"] * 3 + \
    ["#GR", "NM", "A", "1", "0", "#DATA"] + [f"{400 + i}\t0.{i}" for i in range(6)] + ["#END"]
put("sp", "ascii", "\r\n".join(lines).encode() + b"\r\n")
lines = ["PE FL BINARY", "", "", "01/02/03", "04:05", "", "", "", "bin", "405"] + ["h"] * 11 + \
    ["350", "#GR", "NM", "INT", "0.001", "x", "400", "1", "6"]
put("sp", "binary", "\n".join(lines).encode() + b"\n" + b"".join(struct.pack("<i", 1000 * i) for i in range(6)))
lines = ["12", "", "", "05/06/07", "08:09", "", "", "400", "411", "350", "", "", "EM", ""] + \
    [f"{400 + i} {100 + i}" for i in range(12)] + ["-1"]
put("sp", "headerless", "\r\n".join(lines).encode() + b"\r\n")

# DU scan
s = bytearray(59)
at(s, 0, b"S_SCAN")
at(s, 38, struct.pack(">ff", 400, 410))
at(s, 46, b"\1")
at(s, 51, struct.pack(">f", 1))
s += b"".join(struct.pack(">f", 10.0 * i) for i in range(11))
put("scn", "scan", bytes(s))

# ProcSpec: the member's text, and the same in an archive
xml = "<?xml version=\"1.0\"?>\n<spectrum>\n  <channelWavelengths>\n" + \
    "".join(f"    <double>{400 + i}.5</double>\n" for i in range(5)) + "  </channelWavelengths>\n" + \
    "  <yUnits reference=\"../TransmissionIntensity\"/>\n  <processedPixels>\n" + \
    "".join(f"    <double>{90 + i}</double>\n" for i in range(5)) + "  </processedPixels>\n</spectrum>\n"
put("procspectrum", "xml", b"\0" + xml.encode())
z = io.BytesIO()
with zipfile.ZipFile(z, "w", zipfile.ZIP_DEFLATED) as a:
    a.writestr("OOISignatures.xml", "<s/>")
    a.writestr("ps_1.xml", xml)
put("procspectrum", "archive", b"\1" + z.getvalue())
