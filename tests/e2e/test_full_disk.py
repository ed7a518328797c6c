"""Writers on a full disk and on a read-only one: exit status 1, the system's reason named, the old
file intact and no partial or temporary file left. The disk is a small tmpfs the test mounts; where
mounting is not permitted the test is skipped and says so."""
import os
import shutil
import subprocess
import tempfile
import unittest

import e2e

TOOL = os.path.join(e2e.BIN, 'lumo-tool')
PLAYER = os.path.join(e2e.BIN, 'lumo-player.exe')
HAS_PLAYER = os.path.exists(os.path.join(e2e.BIN, '..', 'share', 'lumo-screensaver', 'files.sfp'))


def tool(*args, env=None):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=e2e.TIMEOUT, env=env)


def noise(path, size):
    """Bytes that do not compress: the archive of them is as large as they are."""
    with open(path, 'wb') as f:
        f.write(b'FWS' + os.urandom(size))


class FullDisk(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = e2e.scratch_dir('disk-')
        cls.disk = os.path.join(cls.folder, 'disk')
        os.makedirs(cls.disk)
        mounted = subprocess.run(['mount', '-t', 'tmpfs', '-o', 'size=3m,mode=0777', 'tmpfs', cls.disk],
                                 capture_output=True, text=True)
        if mounted.returncode != 0:
            shutil.rmtree(cls.folder, ignore_errors=True)
            raise unittest.SkipTest('cannot mount a small tmpfs here: ' + mounted.stderr.strip())

    @classmethod
    def tearDownClass(cls):
        subprocess.run(['umount', cls.disk], capture_output=True)
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        subprocess.run(['mount', '-o', 'remount,rw', self.disk], check=True)
        for name in os.listdir(self.disk):
            path = os.path.join(self.disk, name)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        self.work = tempfile.mkdtemp(dir=self.folder)
        noise(os.path.join(self.work, 'big.swf'), 4 << 20)  # more than the disk holds
        os.makedirs(os.path.join(self.work, 'tree'))
        shutil.copy(os.path.join(self.work, 'big.swf'), os.path.join(self.work, 'tree', 'big.swf'))
        self.old = b'the old file, whole'

    def on_disk(self, name, content=None):
        path = os.path.join(self.disk, name)
        if content is not None:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as f:
                f.write(content)
        return path

    def cases(self):
        """(name, arguments, the file on the disk that holds the old bytes)."""
        work = self.work
        archive = os.path.join(work, 'big.lis')
        if not os.path.exists(archive):
            self.assertEqual(tool('archive', 'pack', os.path.join(work, 'tree'), archive).returncode, 0)
            self.assertEqual(tool('storage', 'pack', os.path.join(work, 'big.sfp'), os.path.join(work, 'big.swf'))
                             .returncode, 0)
        cases = [('archive pack', ['archive', 'pack', os.path.join(work, 'tree'), self.on_disk('a.lis', self.old)],
                  'a.lis'),
                 ('archive unpack', ['archive', 'unpack', archive, self.disk], 'big.swf'),
                 ('storage pack', ['storage', 'pack', self.on_disk('s.sfp', self.old), os.path.join(work, 'big.swf')],
                  's.sfp'),
                 ('storage extract', ['storage', 'extract', os.path.join(work, 'big.sfp'), '0',
                                      self.on_disk('x.bin', self.old)], 'x.bin')]
        if os.path.exists(PLAYER):
            cases.append(('pe add-resource', ['pe', 'add-resource', self.on_disk('p.exe'), archive], 'p.exe'))
        if HAS_PLAYER:
            cases.append(('create', ['create', '--video', 'never', '-o', self.on_disk('c.exe', self.old), os.path.join(work, 'big.swf')],
                          'c.exe'))
        return cases

    def check(self, reason):
        for name, args, target in self.cases():
            with self.subTest(name):
                subprocess.run(['mount', '-o', 'remount,rw', self.disk], check=True)
                before = self.old
                if name == 'archive unpack':
                    self.on_disk(target, self.old)
                if name == 'pe add-resource':
                    shutil.copy(PLAYER, self.on_disk(target))
                    with open(self.on_disk(target), 'rb') as f:
                        before = f.read()
                if reason == 'Read-only file system':
                    subprocess.run(['mount', '-o', 'remount,ro', self.disk], check=True)
                result = tool(*args, env=dict(os.environ, TMPDIR=self.work))
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(reason, result.stderr)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
                with open(self.on_disk(target), 'rb') as f:
                    self.assertTrue(f.read() == before, 'the old file is not as it was')
                self.assertEqual([n for n in os.listdir(self.disk) if '.lumo-' in n], [])
                subprocess.run(['mount', '-o', 'remount,rw', self.disk], check=True)
                os.remove(self.on_disk(target))

    def test_a_full_disk(self):
        self.check('No space left on device')

    def test_a_read_only_disk(self):
        self.check('Read-only file system')
        # A destination still to be made says why it cannot be.
        subprocess.run(['mount', '-o', 'remount,ro', self.disk], check=True)
        result = tool('archive', 'unpack', os.path.join(self.work, 'big.lis'), os.path.join(self.disk, 'new', 'deep'))
        self.assertEqual(result.returncode, 1)
        self.assertIn('Read-only file system', result.stderr)


if __name__ == '__main__':
    unittest.main(verbosity=2)
