#!/usr/bin/env python3
"""Writes a zip archive that is the same, byte for byte, for the same inputs.

Usage: make-zip.py OUT.zip EPOCH ENTRY...   where ENTRY is NAME=PATH, or NAME=PATH:text for a text
file given to Windows users (CRLF line ends and a byte-order mark, so every Notepad reads it).

Every entry carries the time EPOCH (seconds, UTC). Names are stored in code page 936, as the
Windows Explorer of our users reads them, with the Unicode path extra field holding the UTF-8
name for tools that read it.
"""
import struct
import sys
import time
import zlib


def dos_time(epoch):
    t = time.gmtime(max(epoch, 315532800))  # the DOS calendar starts in 1980
    return ((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2),
            ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday)


def entry_bytes(path, text):
    data = open(path, 'rb').read()
    if text:
        data = b'\xef\xbb\xbf' + data.decode('utf-8').replace('\r\n', '\n').replace(
            '\n', '\r\n').encode('utf-8')
    return data


def main():
    out, epoch, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
    mod_time, mod_date = dos_time(epoch)
    archive, directory = bytearray(), bytearray()
    for entry in entries:
        name, source = entry.split('=', 1)
        text = source.endswith(':text')
        data = entry_bytes(source[:-5] if text else source, text)
        stored_name = name.encode('cp936')
        extra = b''
        if stored_name != name.encode('ascii', 'ignore'):
            unicode_name = name.encode('utf-8')
            extra = struct.pack('<HHBI', 0x7075, 5 + len(unicode_name), 1,
                                zlib.crc32(stored_name)) + unicode_name
        compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = compressor.compress(data) + compressor.flush()
        crc = zlib.crc32(data)
        offset = len(archive)
        archive += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 8, mod_time, mod_date, crc,
                               len(packed), len(data), len(stored_name), len(extra))
        archive += stored_name + extra + packed
        directory += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 0, 8, mod_time,
                                 mod_date, crc, len(packed), len(data), len(stored_name),
                                 len(extra), 0, 0, 0, 0x20, offset)
        directory += stored_name + extra
    archive_end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(entries), len(entries),
                              len(directory), len(archive), 0)
    with open(out, 'wb') as f:
        f.write(archive + directory + archive_end)


main()
