"""The player program under Wine: the role it takes from its file name and first argument."""
import os
import shutil
import subprocess
import unittest

import e2e
import product

SETTINGS = '^Lumo ScreenSaver$'
INSTALLER = '^Installer for MySaver$'
SCREENSAVER = '^FSScreenSaver$'


class PlayerModes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.make_wine_prefix()
        cls.folder = e2e.scratch_dir('modes-')
        saver = product.build(cls.folder, 'MySaver.exe', lines=product.DEFAULT_LINES[:8] + ['Lumo ScreenSaver']
                              + product.DEFAULT_LINES[9:])
        for name in ('MySaver.scr', 'MySaver.bin', 'MySaver'):
            shutil.copy(saver, os.path.join(cls.folder, name))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def start(self, name, args):
        return subprocess.Popen(['wine', os.path.join(self.folder, name), *args], env=e2e.wine_env(),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def test_ends_at_once_without_a_window(self):
        cases = [('MySaver.scr', ['/p', '1234']), ('MySaver.scr', ['/P']), ('MySaver.exe', ['/p']),
                 ('MySaver.exe', ['/c']), ('MySaver.exe', ['anything']), ('MySaver.bin', []),
                 ('MySaver.bin', ['/c']), ('MySaver', []), ('MySaver', ['/p'])]
        for name, args in cases:
            with self.subTest(name=name, args=args):
                process = self.start(name, args)
                out, _ = process.communicate(timeout=e2e.TIMEOUT)
                self.assertEqual(process.returncode, 0)
                self.assertEqual(out, b'')
                self.assertEqual(e2e.visible_windows(f'{SETTINGS}|{INSTALLER}|{SCREENSAVER}'), [])

    def test_shows_the_window_of_its_role(self):
        cases = [('MySaver.scr', [], SETTINGS, 'alt+F4'), ('MySaver.scr', ['/c'], SETTINGS, 'alt+F4'),
                 ('MySaver.scr', ['/c:1234'], SETTINGS, 'alt+F4'), ('MySaver.scr', ['/x'], SETTINGS, 'alt+F4'),
                 ('MySaver.exe', [], INSTALLER, 'alt+F4'),
                 ('MySaver.scr', ['/s'], SCREENSAVER, 'Escape'), ('MySaver.exe', ['/S'], SCREENSAVER, 'space'),
                 ('MySaver.bin', ['/s'], SCREENSAVER, 'Escape'), ('MySaver', ['/S'], SCREENSAVER, 'Escape')]
        for name, args, window, key in cases:
            with self.subTest(name=name, args=args):
                process = self.start(name, args)
                try:
                    found = e2e.wait_for_window(window)
                    self.assertEqual(len(found), 1, f'one window named {window!r}')
                    e2e.press(found[0], key)
                    process.communicate(timeout=e2e.TIMEOUT)
                    self.assertEqual(process.returncode, 0)
                finally:
                    if process.poll() is None:
                        process.kill()
                        process.wait()


if __name__ == '__main__':
    unittest.main(verbosity=2)
