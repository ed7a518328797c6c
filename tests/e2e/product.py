"""Screensavers built for the tests the way the Creator builds them, from the formats' definitions:
a staged project (param.lis scrambled, playl.lis, movies, logo, licence) packed with lumo-tool and
added to a copy of the player program as the resource "FILELIST"."""
import os
import shutil
import subprocess
import tempfile

import e2e

DEFAULT_LINES = ['play', '5', r'\Logo\Logos.png', 'MySaver.exe', '400', '470', '0', '0', 'My settings',
                 '-1', '0', '-1', 'Hello from the project;']


def scramble(lines):
    """param.lis: "KX", each byte of the text XORed with 0x5A at odd 1-based positions and 0xC3 at
    even ones, then CR LF."""
    plain = ''.join(line + '\r\n' for line in lines).encode('cp1252')
    return b'KX' + bytes(b ^ (0x5A if p % 2 else 0xC3) for p, b in enumerate(plain, start=1)) + b'\r\n'


def swf(width=550, height=400, version=10):
    """A real, empty Flash movie: an uncompressed header, one shown frame, the end tag."""
    import struct
    bits = '{:05b}'.format(15) + ''.join('{:015b}'.format(v) for v in (0, width * 20, 0, height * 20))
    bits += '0' * (-len(bits) % 8)
    rect = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
    body = rect + struct.pack('<HH', 12 << 8, 1) + struct.pack('<H', 1 << 6) + struct.pack('<H', 0)
    return b'FWS' + bytes([version]) + struct.pack('<I', 8 + len(body)) + body


def png(width, height, rgb):
    """A plain one-colour PNG."""
    import struct
    import zlib

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    rows = b''.join(b'\0' + bytes(rgb) * width for _ in range(height))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


def ico(png_bytes, size=32):
    """An icon file holding one PNG image."""
    import struct
    return (struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(png_bytes), 22)
            + png_bytes)


def build(folder, name='MySaver.exe', lines=None, movies=None, logo=True, licence=None, archive=None):
    """The product at folder/name; returns its path. movies: {file name: bytes}, listed in order;
    logo: True for a plain one, PNG bytes, or False for none."""
    lines = list(DEFAULT_LINES if lines is None else lines)
    movies = {'one.swf': swf(), 'two.swf': swf(320, 240), 'three.png': png(8, 8, (0, 200, 0))} \
        if movies is None else movies
    stage = tempfile.mkdtemp(prefix='stage-', dir=folder)
    with open(os.path.join(stage, 'param.lis'), 'wb') as f:
        f.write(scramble(lines))
    with open(os.path.join(stage, 'playl.lis'), 'wb') as f:
        f.write(b''.join(n.encode('cp1252') + b'\r\n' for n in movies))
    for movie, data in movies.items():
        with open(os.path.join(stage, movie), 'wb') as f:
            f.write(data)
    if logo:
        os.makedirs(os.path.join(stage, 'Logo'))
        with open(os.path.join(stage, 'Logo', 'Logos.png'), 'wb') as f:
            f.write(png(64, 48, (200, 30, 30)) if logo is True else logo)
    if licence is not None:
        with open(os.path.join(stage, 'License.txt'), 'wb') as f:
            f.write(licence.encode('cp1252'))
    files_lis = os.path.join(folder, 'file.lis')
    if archive is None:
        subprocess.run([os.path.join(e2e.BIN, 'lumo-tool'), 'archive', 'pack', stage, files_lis], check=True,
                       capture_output=True)
    else:
        with open(files_lis, 'wb') as f:
            f.write(archive)
    shutil.rmtree(stage)
    target = os.path.join(folder, name)
    shutil.copy(os.path.join(e2e.BIN, 'lumo-player.exe'), target)
    subprocess.run([os.path.join(e2e.BIN, 'lumo-tool'), 'pe', 'add-resource', target, files_lis], check=True,
                   capture_output=True)
    return target


def wine_temp():
    """The Windows temporary folder of the test prefix (C:\\users\\<user>\\Temp), as a host path."""
    users = os.path.join(e2e.WINEPREFIX, 'drive_c', 'users')
    user = next(u for u in os.listdir(users) if u != 'Public')
    return os.path.join(users, user, 'Temp')
