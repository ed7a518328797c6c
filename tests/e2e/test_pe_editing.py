"""Resource editing checked with tools that share no code with ours: python3-pefile and icoutils,
on the player program and on Wine's own executables (real programs nobody here wrote)."""
import glob
import os
import shutil
import subprocess
import unittest

import pefile

import e2e

TOOL = os.path.join(e2e.BIN, 'lumo-tool')
WINE_PROGRAMS = '/usr/lib/x86_64-linux-gnu/wine/x86_64-windows'


def resources(path):
    pe = pefile.PE(path)
    found = []
    root = getattr(pe, 'DIRECTORY_ENTRY_RESOURCE', None)
    for kind in root.entries if root else []:
        for name in kind.directory.entries:
            for lang in name.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found.append((str(kind.name) if kind.name else kind.id, str(name.name) if name.name else name.id,
                              lang.id, data))
    return sorted(found, key=lambda r: (str(r[0]), str(r[1]), r[2])), pe


def tool(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=e2e.TIMEOUT)


class PeEditing(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('pe-')
        self.data = os.path.join(self.folder, 'file.lis')
        with open(self.data, 'wb') as f:
            f.write(os.urandom(70000))

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def assert_added(self, original, edited):
        before, old = resources(original)
        after, new = resources(edited)
        with open(self.data, 'rb') as f:
            added = (10, 'FILELIST', 0, f.read())
        self.assertIn(added, after)
        self.assertEqual([r for r in after if r != added], before, 'the old resources, byte for byte')
        self.assertEqual(set(new.get_warnings()) - set(old.get_warnings()), set())
        self.assertEqual(new.OPTIONAL_HEADER.CheckSum, new.generate_checksum())

    def test_player_program_gets_its_archive_and_icon(self):
        exe = os.path.join(self.folder, 'MySaver.exe')
        shutil.copy(os.path.join(e2e.BIN, 'lumo-player.exe'), exe)
        result = tool('pe', 'add-resource', exe, self.data)
        self.assertEqual((result.returncode, result.stderr), (0, ''))
        self.assert_added(os.path.join(e2e.BIN, 'lumo-player.exe'), exe)

        ico = os.path.join(self.folder, 'new.ico')
        subprocess.run(['python3', os.path.join(os.path.dirname(__file__), '../../tools/make_icons.py'), ico,
                        os.path.join(self.folder, 'new.png')], check=True)
        self.assertEqual(tool('pe', 'replace-icon', exe, ico).returncode, 0)
        listing = subprocess.run(['wrestool', '-l', exe], capture_output=True, text=True, check=True).stdout
        self.assertIn("--type=14 --name='MAINICON' --language=0", listing)
        self.assertNotIn('--language=1049', listing)
        out = os.path.join(self.folder, 'out.ico')
        subprocess.run(['wrestool', '-x', '-t', '14', '-n', 'MAINICON', '-o', out, exe], check=True)
        # icotool turns both icon files into their images: they must be the same pictures.
        pictures = []
        for source in (ico, out):
            target = os.path.join(self.folder, os.path.basename(source) + '.png.d')
            os.makedirs(target)
            subprocess.run(['icotool', '-x', '-o', target, source], check=True)
            pictures.append({name: open(os.path.join(target, name), 'rb').read() for name in os.listdir(target)})
        self.assertEqual(len(pictures[0]), 3)
        self.assertEqual(sorted(pictures[0].values()), sorted(pictures[1].values()))

    def test_small_images_of_every_layout_take_a_filelist(self):
        images = sorted(glob.glob(os.path.join(os.environ.get('LUMO_PE_IMAGES', ''), '*.exe')))
        self.assertEqual(len(images), 5)
        for original in images:
            with self.subTest(image=os.path.basename(original)):
                edited = os.path.join(self.folder, os.path.basename(original))
                shutil.copy(original, edited)
                self.assertEqual(tool('pe', 'add-resource', edited, self.data).returncode, 0)
                self.assert_added(original, edited)

    @unittest.skipUnless(os.path.isdir(WINE_PROGRAMS), 'Wine programs not installed')
    def test_every_wine_program_takes_a_filelist(self):
        programs = sorted(glob.glob(os.path.join(WINE_PROGRAMS, '*.exe')))
        self.assertGreater(len(programs), 50)
        for original in programs:
            with self.subTest(program=os.path.basename(original)):
                edited = os.path.join(self.folder, os.path.basename(original))
                shutil.copy(original, edited)
                result = tool('pe', 'add-resource', edited, self.data)
                self.assertEqual((result.returncode, result.stderr), (0, ''))
                self.assert_added(original, edited)
                self.assertEqual(tool('pe', 'list', edited).returncode, 0)

    @unittest.skipUnless(os.path.isdir(WINE_PROGRAMS), 'Wine programs not installed')
    def test_edited_wine_programs_still_run(self):
        e2e.make_wine_prefix()
        for name, args, expected in (('cmd.exe', ['/c', 'echo', 'still-runs'], 'still-runs'),
                                     ('hostname.exe', [], None)):
            with self.subTest(program=name):
                edited = os.path.join(self.folder, name)
                shutil.copy(os.path.join(WINE_PROGRAMS, name), edited)
                self.assertEqual(tool('pe', 'add-resource', edited, self.data).returncode, 0)
                run = subprocess.run(['wine', edited, *args], env=e2e.wine_env(), capture_output=True, text=True,
                                     timeout=e2e.TIMEOUT)
                self.assertEqual(run.returncode, 0, run.stderr)
                if expected:
                    self.assertIn(expected, run.stdout)


if __name__ == '__main__':
    unittest.main(verbosity=2)
