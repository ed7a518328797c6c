#!/usr/bin/env python3
"""Peak memory of lumo-tool on a run-length bomb: a storage container of about 295 KB whose one
file decodes to 2 GiB (each 9-byte block stands for 65,533 zero bytes). `storage list` and
`storage extract` are run as whole programs; their peak resident size is printed.
Usage: bench/storage-bomb.py [build/bin]"""
import os
import resource
import struct
import subprocess
import sys
import tempfile

BIN = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'build', 'bin')
TOOL = os.path.join(BIN, 'lumo-tool')
BLOCK = 65533


def bomb(size):
    # Escape mode, escape byte 1: "1, 0, 0, count" is byte 0 repeated count + 1 times.
    body = struct.pack('<H', 1) + bytes([1, 0, 0]) + struct.pack('<H', BLOCK - 1)
    blocks = (size + BLOCK - 1) // BLOCK
    coded = struct.pack('<i', size) + (struct.pack('<H', len(body)) + body) * blocks
    name = b'bomb.bin'
    return b'SFP1' + struct.pack('<i', 1) + struct.pack('<i', len(name)) + name + struct.pack('<i', len(coded)) + coded


def peak(*args):
    """Runs lumo-tool; its peak resident size in MiB (this script's children are run one at a time)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    result = subprocess.run([TOOL, *args], capture_output=True, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    return result, max(after, before) // 1024


with tempfile.TemporaryDirectory() as folder:
    container = os.path.join(folder, 'bomb.sfp')
    size = BLOCK * (0x7FFFFFFF // BLOCK)
    with open(container, 'wb') as f:
        f.write(bomb(size))
    print('container: %d bytes, its file %d bytes' % (os.path.getsize(container), size))
    listed, listed_peak = peak('storage', 'list', container)
    print('storage list: exit %d, peak resident %d MiB' % (listed.returncode, listed_peak))
    out = os.path.join(folder, 'out.bin')
    extracted, extracted_peak = peak('storage', 'extract', container, '0', out)
    written = os.path.getsize(out) if os.path.exists(out) else 0
    print('storage extract: exit %d, peak resident %d MiB, %d bytes written' %
          (extracted.returncode, extracted_peak, written))
