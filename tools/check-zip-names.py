#!/usr/bin/env python3
"""Checks that make-zip.py stores the entry names so that both kinds of unzipper read them: as
code page 936 bytes (Windows Explorer on a Chinese Windows) and as UTF-8 in the Info-ZIP Unicode
Path extra field (7-Zip, WinRAR and unzippers that read names as UTF-8).

Usage: check-zip-names.py   (makes a zip of the release's files in a temporary folder)
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
names = ['LICENSE', '使用说明.txt']


def central_entries(data):
    end = data.rindex(b'PK\x05\x06')
    count, size, offset = struct.unpack('<HII', data[end + 10:end + 20])
    at = offset
    for _ in range(count):
        fields = struct.unpack('<IHHHHHHIIIHHHHHII', data[at:at + 46])
        name_length, extra_length, comment_length = fields[10], fields[11], fields[12]
        name = data[at + 46:at + 46 + name_length]
        extra = data[at + 46 + name_length:at + 46 + name_length + extra_length]
        yield name, extra
        at += 46 + name_length + extra_length + comment_length


def unicode_path(stored, extra):
    while extra:
        tag, length = struct.unpack('<HH', extra[:4])
        if tag == 0x7075:
            version, crc = struct.unpack('<BI', extra[4:9])
            if version != 1 or crc != zlib.crc32(stored):
                return None
            return extra[9:4 + length].decode('utf-8')
        extra = extra[4 + length:]
    return None


with tempfile.TemporaryDirectory() as folder:
    out = os.path.join(folder, 'test.zip')
    subprocess.run([sys.executable, os.path.join(root, 'tools', 'make-zip.py'), out, '0',
                    'LICENSE=' + os.path.join(root, 'LICENSE'),
                    '使用说明.txt=' + os.path.join(root, 'packaging', '使用说明.txt') + ':text'],
                   check=True)
    data = open(out, 'rb').read()
failures = 0
for (stored, extra), name in zip(central_entries(data), names):
    as_cp936 = stored.decode('cp936')
    as_utf8 = unicode_path(stored, extra) if stored != name.encode('ascii', 'ignore') else name
    for how, read in (('code page 936', as_cp936), ('UTF-8 extra field', as_utf8)):
        if read != name:
            print(f'{name}: read as {how} gives {read!r}')
            failures += 1
print(f'zip names: {2 * len(names) - failures} passed, {failures} failed')
sys.exit(1 if failures else 0)
