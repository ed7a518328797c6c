"""Writers killed at random moments (SIGKILL) leave the user's file complete: the old one or the
new one, never a mix and never none; the temporary files of a killed writer go with the next run."""
import filecmp
import os
import random
import shutil
import signal
import subprocess
import time
import unittest

import e2e

TOOL = os.path.join(e2e.BIN, 'lumo-tool')
PLAYER = os.path.join(e2e.BIN, 'lumo-player.exe')
HAS_PLAYER = os.path.exists(os.path.join(e2e.BIN, '..', 'share', 'lumo-screensaver', 'files.sfp'))
KILLS = 8


def movie(path, size, seed):
    """A Flash signature and bytes that compress, but not to nothing."""
    rng = random.Random(seed)
    block = bytes(rng.randrange(16) for _ in range(65536))
    with open(path, 'wb') as f:
        f.write(b'FWS')
        for i in range(size // len(block)):
            f.write(block[i % 7:] + block[:i % 7])


class CrashConsistency(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('crash-')
        self.env = dict(os.environ, TMPDIR=self.path('tmp'))
        os.makedirs(self.path('tmp'))
        self.rng = random.Random(13)

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def run_tool(self, *args):
        result = subprocess.run([TOOL, *args], capture_output=True, text=True, env=self.env, timeout=e2e.TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)

    def kill_during(self, args, check):
        """Runs args to the end once to learn how long it takes, then KILLS times killed at random
        moments within that time, check() after each."""
        start = time.monotonic()
        self.run_tool(*args)
        took = time.monotonic() - start
        for _ in range(KILLS):
            check()
            process = subprocess.Popen([TOOL, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       env=self.env)
            time.sleep(self.rng.uniform(0, took))
            process.send_signal(signal.SIGKILL)
            process.wait()
            check()
        # The next run finishes, and takes the killed runs' temporary files with it.
        self.run_tool(*args)
        check()

    def assert_one_of(self, path, *versions):
        self.assertTrue(os.path.exists(path), path + ' is gone')
        self.assertTrue(any(filecmp.cmp(path, v, shallow=False) for v in versions), path + ' is neither version')

    def assert_no_temporaries(self, folder):
        left = [n for _, dirs, files in os.walk(folder) for n in dirs + files if '.lumo-' in n or 'lumo-build-' in n]
        self.assertEqual(left, [])

    def test_archive_pack_over_an_old_archive(self):
        for folder in ('tree', 'old', 'out'):
            os.makedirs(self.path(folder))
        movie(self.path('tree', 'a.swf'), 24 << 20, 1)
        movie(self.path('old', 'a.swf'), 1 << 20, 2)
        self.run_tool('archive', 'pack', self.path('old'), self.path('old.lis'))
        self.run_tool('archive', 'pack', self.path('tree'), self.path('new.lis'))
        shutil.copy(self.path('old.lis'), self.path('out', 'a.lis'))
        self.kill_during(['archive', 'pack', self.path('tree'), self.path('out', 'a.lis')],
                         lambda: self.assert_one_of(self.path('out', 'a.lis'), self.path('old.lis'),
                                                    self.path('new.lis')))
        self.assert_no_temporaries(self.path('out'))

    def test_unpack_over_existing_files(self):
        os.makedirs(self.path('tree', 'sub'))
        movie(self.path('tree', 'a.swf'), 12 << 20, 3)
        movie(self.path('tree', 'sub', 'b.swf'), 12 << 20, 4)
        self.run_tool('archive', 'pack', self.path('tree'), self.path('t.lis'))
        os.makedirs(self.path('out', 'sub'))
        for name in ('a.swf', os.path.join('sub', 'b.swf')):
            with open(self.path('out', name), 'wb') as f:
                f.write(b'the user\'s own ' + name.encode())
        shutil.copytree(self.path('out'), self.path('before'))

        def check():
            for name in ('a.swf', os.path.join('sub', 'b.swf')):
                self.assert_one_of(self.path('out', name), self.path('before', name), self.path('tree', name))
        self.kill_during(['archive', 'unpack', self.path('t.lis'), self.path('out')], check)
        self.assert_no_temporaries(self.path('out'))

    def test_storage_pack(self):
        movie(self.path('tmp.z'), 24 << 20, 5)
        movie(self.path('small.z'), 1 << 20, 6)
        self.run_tool('storage', 'pack', self.path('old.sfp'), self.path('small.z'))
        self.run_tool('storage', 'pack', self.path('new.sfp'), self.path('tmp.z'))
        os.makedirs(self.path('out'))
        shutil.copy(self.path('old.sfp'), self.path('out', 'files.sfp'))
        self.kill_during(['storage', 'pack', self.path('out', 'files.sfp'), self.path('tmp.z')],
                         lambda: self.assert_one_of(self.path('out', 'files.sfp'), self.path('old.sfp'),
                                                    self.path('new.sfp')))
        self.assert_no_temporaries(self.path('out'))

    @unittest.skipUnless(os.path.exists(PLAYER), 'this build has no player program (no cross build)')
    def test_pe_add_resource(self):
        movie(self.path('file.lis'), 40 << 20, 7)
        os.makedirs(self.path('out'))
        shutil.copy(PLAYER, self.path('old.exe'))
        shutil.copy(PLAYER, self.path('new.exe'))
        self.run_tool('pe', 'add-resource', self.path('new.exe'), self.path('file.lis'))
        shutil.copy(PLAYER, self.path('out', 'MySaver.exe'))
        # Every run after the first replaces the resource with the same bytes: new stays new.
        self.kill_during(['pe', 'add-resource', self.path('out', 'MySaver.exe'), self.path('file.lis')],
                         lambda: self.assert_one_of(self.path('out', 'MySaver.exe'), self.path('old.exe'),
                                                    self.path('new.exe')))
        self.assert_no_temporaries(self.path('out'))

    @unittest.skipUnless(HAS_PLAYER, 'this build has no player program (no cross build)')
    def test_create(self):
        movie(self.path('big.swf'), 16 << 20, 8)
        movie(self.path('small.swf'), 1 << 20, 9)
        os.makedirs(self.path('out'))
        # The product carries its own name: both versions are built under it.
        for version, source in (('old.exe', 'small.swf'), ('new.exe', 'big.swf')):
            os.makedirs(self.path(version + '.d'))
            self.run_tool('create', '--video', 'never', '-o', self.path(version + '.d', 'MySaver.exe'), self.path(source))
        shutil.copy(self.path('old.exe.d', 'MySaver.exe'), self.path('out', 'MySaver.exe'))
        self.kill_during(['create', '--video', 'never', '-o', self.path('out', 'MySaver.exe'), self.path('big.swf')],
                         lambda: self.assert_one_of(self.path('out', 'MySaver.exe'),
                                                    self.path('old.exe.d', 'MySaver.exe'),
                                                    self.path('new.exe.d', 'MySaver.exe')))
        self.assert_no_temporaries(self.path('out'))
        self.assert_no_temporaries(self.path('tmp'))


class EditorSave(unittest.TestCase):
    """The editor saving its playlist and settings (Preview saves them), killed at random moments."""

    def setUp(self):
        if not os.environ.get('DISPLAY'):
            self.skipTest('no display to run the editor on')
        self.folder = e2e.scratch_dir('crash-editor-')
        runtime = os.path.join(self.folder, 'run')
        os.makedirs(runtime, mode=0o700)
        self.lists = os.path.join(self.folder, 'lists')
        os.makedirs(self.lists)
        self.env = dict(os.environ, LUMO_REGISTRY=os.path.join(self.folder, 'registry.reg'),
                        XDG_DATA_HOME=os.path.join(self.folder, 'data'), XDG_RUNTIME_DIR=runtime)
        self.env.pop('QT_QPA_PLATFORM', None)
        with open(self.env['LUMO_REGISTRY'], 'w', encoding='utf-8', newline='\r\n') as f:
            f.write('Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver]\n'
                    '"Path"="%s"\n' % self.lists)
        # A long playlist, so that saving it takes a while.
        self.rows = b''.join(b'-1;/movies/movie-%06d.swf\r\n' % i for i in range(200000))
        with open(os.path.join(self.lists, 'FileList.list'), 'wb') as f:
            f.write(self.rows)
        self.rng = random.Random(5)

    def tearDown(self):
        if hasattr(self, 'folder'):
            shutil.rmtree(self.folder, ignore_errors=True)

    def settled_main_window(self):
        """The main window once its movie view has joined it (the window system then gives it a
        new native window) and its playlist is read."""
        self.assertTrue(e2e.wait_for_window('^Lumo ScreenSaver v1.0$'))
        time.sleep(3)
        window = e2e.wait_for_window('^Lumo ScreenSaver v1.0$')
        self.assertTrue(window)
        return window[0]

    def test_killed_while_saving_leaves_whole_files(self):
        for _ in range(5):
            editor = subprocess.Popen([os.path.join(e2e.BIN, 'lumo')], env=self.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            try:
                window = self.settled_main_window()
                e2e.press(window, 'ctrl+p')
                time.sleep(self.rng.uniform(0, 0.3))
            finally:
                editor.send_signal(signal.SIGKILL)
                editor.wait()
            with open(os.path.join(self.lists, 'FileList.list'), 'rb') as f:
                self.assertTrue(f.read() == self.rows, 'the playlist file is not whole')
            with open(self.env['LUMO_REGISTRY'], 'rb') as f:
                hive = f.read()
            self.assertTrue(hive.startswith(b'Windows Registry Editor Version 5.00') and hive.endswith(b'\n'))
            self.assertIn(b'"Path"=', hive)
            playlist = os.path.join(self.lists, 'PlayList.list')
            if os.path.exists(playlist):
                with open(playlist, 'rb') as f:
                    self.assertEqual(f.read(), self.rows.replace(b'-1;', b''))
        # The next save, left to finish, removes what the killed ones left.
        editor = subprocess.Popen([os.path.join(e2e.BIN, 'lumo')], env=self.env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            e2e.press(self.settled_main_window(), 'ctrl+p')
            self.assertTrue(e2e.wait_for_window('^Lumo ScreenSaver$'), 'the full-screen player shows after the save')
            self.assertEqual([n for n in os.listdir(self.lists) if '.lumo-' in n], [])
        finally:
            editor.kill()
            editor.wait()


if __name__ == '__main__':
    unittest.main(verbosity=2)
