#!/usr/bin/env python3
"""Writes the monitor's two blank fallback documents into a folder:
"Document1.doc", an empty rich-text document, and "Book1.xls", an empty
workbook with one sheet in the binary workbook format inside a compound file.
Usage: make_office_documents.py <folder>"""
import os
import struct
import sys


def record(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data


def short_string(text):
    return struct.pack("<BB", len(text), 0) + text.encode("latin-1")


def bof(kind):
    # Version 8, build and year of the writing program, no history flags.
    return record(0x0809, struct.pack("<4H2I", 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))


def font():
    return record(0x0031, struct.pack("<5H4B", 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0) +
                  short_string("Arial"))


def xf(style):
    # Font 0, format 0; a style record or a cell record based on style 0;
    # bottom alignment, no borders, the automatic colours.
    flags = 0xFFF5 if style else 0x0001
    return record(0x00E0, struct.pack("<3H4B2IH", 0, 0, flags, 0x20, 0, 0, 0, 0, 0, 0x20C0))


def workbook_stream():
    sheet = bof(0x0010)
    sheet += record(0x0200, struct.pack("<2I3H", 0, 0, 0, 0, 0))  # no cells
    sheet += record(0x023E, struct.pack("<5H2HI", 0x06B6, 0, 0, 0x40, 0, 0, 0, 0))
    sheet += record(0x000A)

    def globals_part(sheet_offset):
        g = bof(0x0005)
        g += record(0x0042, struct.pack("<H", 0x04B0))  # UTF-16 code page
        g += record(0x003D, struct.pack("<9H", 0x01E0, 0x005A, 0x3FCF, 0x2A4E, 0x0038, 0, 0, 1,
                                        0x0258))
        g += b"".join(font() for _ in range(5))
        g += b"".join(xf(True) for _ in range(15)) + xf(False)
        g += record(0x0293, struct.pack("<HBB", 0x8000, 0, 0xFF))  # the "Normal" style
        g += record(0x0085, struct.pack("<IBB", sheet_offset, 0, 0) + short_string("Sheet1"))
        g += record(0x000A)
        return g

    size = len(globals_part(0))
    stream = globals_part(size) + sheet
    # Streams shorter than the mini-stream cut-off are padded to it, so the
    # file needs no mini stream.
    return stream + b"\0" * max(0, 4096 - len(stream))


def compound_file(name, stream):
    sector = 512
    end, free, fat_sector = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
    stream_sectors = (len(stream) + sector - 1) // sector
    stream = stream + b"\0" * (stream_sectors * sector - len(stream))
    dir_sector = 1 + stream_sectors
    fat = [fat_sector] + [i + 2 for i in range(stream_sectors - 1)] + [end, end]
    fat += [free] * (sector // 4 - len(fat))
    header = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16
    header += struct.pack("<5H6x", 0x003E, 0x0003, 0xFFFE, 9, 6)
    # Directory sectors (0 in version 3), one FAT sector, the directory's first
    # sector, transaction, mini-stream cut-off, no mini FAT, no DIFAT sectors.
    header += struct.pack("<9I", 0, 1, dir_sector, 0, 4096, end, 0, end, 0)
    header += struct.pack("<109I", 0, *([free] * 108))
    assert len(header) == sector

    def entry(entry_name, kind, child, start, size):
        raw = entry_name.encode("utf-16-le") + b"\0\0" if entry_name else b""
        return (raw.ljust(64, b"\0") + struct.pack("<HBB3I", len(raw), kind, 1 if kind else 0,
                                                   free, free, child) +
                b"\0" * 16 + struct.pack("<I", 0) + b"\0" * 16 + struct.pack("<IIi", start, size, 0))

    directory = entry("Root Entry", 5, 1, end, 0) + entry(name, 2, free, 1, len(stream))
    directory += entry("", 0, free, 0, 0) * 2
    return header + struct.pack("<128I", *fat) + stream + directory


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    doc = (b"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
           b"\\pard\\plain\\f0\\fs24\\par}\r\n")
    for file_name, content in (("Document1.doc", doc),
                               ("Book1.xls", compound_file("Workbook", workbook_stream()))):
        path = os.path.join(folder, file_name)
        with open(path + ".tmp", "wb") as f:
            f.write(content)
        os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
