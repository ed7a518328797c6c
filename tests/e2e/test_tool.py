"""lumo-tool as a script or a user runs it."""
import filecmp
import os
import shutil
import subprocess
import unittest

import e2e

TOOL = os.path.join(e2e.BIN, 'lumo-tool')
# The player program `create` builds on, laid out beside the tool by builds that cross-build it.
HAS_PLAYER = os.path.exists(os.path.join(e2e.BIN, '..', 'share', 'lumo-screensaver', 'files.sfp'))


def tool(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=e2e.TIMEOUT)


class Tool(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('tool-')
        self.tree = os.path.join(self.folder, 'tree')
        os.makedirs(os.path.join(self.tree, 'Logo'))
        os.makedirs(os.path.join(self.tree, 'empty'))
        for name, data in (('playl.lis', b'a.swf\r\n'), ('a.swf', bytes(range(256)) * 40),
                           (os.path.join('Logo', 'Logos.swf'), b'FWS' + b'\0' * 5000)):
            with open(os.path.join(self.tree, name), 'wb') as f:
                f.write(data)

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def test_archive_pack_list_unpack(self):
        result = tool('archive', 'pack', self.tree, self.path('file.lis'))
        self.assertEqual((result.returncode, result.stderr), (0, ''))
        listing = tool('archive', 'list', self.path('file.lis'))
        self.assertEqual(listing.returncode, 0)
        rows = sorted(line.split('\t')[:3] for line in listing.stdout.splitlines())
        self.assertEqual(rows, [['', 'a.swf', '10240'], ['', 'playl.lis', '7'], ['Logo\\', 'Logos.swf', '5003']])

        self.assertEqual(tool('archive', 'unpack', self.path('file.lis'), self.path('out')).returncode, 0)
        compared = filecmp.dircmp(self.tree, self.path('out'))
        self.assertEqual((compared.left_only, compared.diff_files), (['empty'], []))
        self.assertEqual(filecmp.cmpfiles(self.tree, self.path('out'), ['Logo/Logos.swf'], shallow=False)[0],
                         ['Logo/Logos.swf'])

        self.assertEqual(tool('archive', 'unpack', self.path('file.lis'), self.path('flat'), '--flat').returncode, 0)
        self.assertTrue(os.path.isfile(self.path('flat', 'Logos.swf')))
        self.assertEqual(tool('archive', 'pack', self.tree, self.path('top.lis'), '--no-recurse').returncode, 0)
        self.assertEqual(len(tool('archive', 'list', self.path('top.lis')).stdout.splitlines()), 2)

    def test_storage_pack_list_extract(self):
        player = TOOL  # any large file will do
        self.assertEqual(tool('storage', 'pack', self.path('files.sfp'), player,
                              os.path.join(self.tree, 'playl.lis')).returncode, 0)
        listing = tool('storage', 'list', self.path('files.sfp'))
        self.assertEqual(listing.stdout.splitlines(),
                         ['0\tlumo-tool\t%d' % os.path.getsize(player), '1\tplayl.lis\t7'])
        self.assertEqual(tool('storage', 'extract', self.path('files.sfp'), '0', self.path('x', 'p.exe')).returncode, 0)
        self.assertTrue(filecmp.cmp(player, self.path('x', 'p.exe'), shallow=False))

    def test_failures_say_one_line_and_exit_1(self):
        with open(self.path('bad.lis'), 'wb') as f:
            f.write(b'\x00\x05a.txt\x03\x00\x00\x00\xff\xff\x00\x00xx')
        with open(self.path('evil.lis'), 'wb') as f:
            f.write(b'\x03..\\\x05a.txt\x03\x00\x00\x00\x0b\x00\x00\x00'
                    b'\x78\x9c\x4b\x4c\x4a\x06\x00\x02\x4d\x01\x27')
        self.assertEqual(tool('storage', 'pack', self.path('good.sfp'), os.path.join(self.tree, 'playl.lis'))
                         .returncode, 0)
        blocker = self.path('blocker')
        with open(blocker, 'w') as f:
            f.write('a file where a folder should be')
        cases = [(('archive', 'list', self.path('bad.lis')), 'Stream read error'),
                 (('storage', 'extract', self.path('good.sfp'), '0', os.path.join(blocker, 'x.bin')),
                  'Not a directory'),
                 (('archive', 'unpack', self.path('evil.lis'), self.path('out')), 'is refused'),
                 (('archive', 'unpack', self.path('missing.lis'), self.path('out')), 'Cannot open file'),
                 (('storage', 'list', self.path('bad.lis')), 'is damaged'),
                 (('storage', 'extract', self.path('bad.lis'), '0', self.path('o')), 'is damaged'),
                 (('archive', 'pack', self.path('nowhere'), self.path('o.lis')), 'is not a folder'),
                 (('archive', 'pack', self.tree), 'usage:'),
                 (('archive', 'pack', self.tree, self.path('o.lis'), '--bogus'), 'usage:'),
                 (('frobnicate',), 'unknown command')]
        for args, mentions in cases:
            with self.subTest(args=args):
                result = tool(*args)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                self.assertIn(mentions, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.folder, 'a.txt')))
        self.assertFalse(os.path.exists(self.path('o.lis')))

    def test_every_command_has_help(self):
        for args in (['--help'], ['archive', 'pack', '--help'], ['archive', 'unpack', '--help'],
                     ['archive', 'list', '--help'], ['storage', 'pack', '--help'], ['storage', 'list', '--help'],
                     ['storage', 'extract', '--help'], ['params', '--help']):
            with self.subTest(args=args):
                result = tool(*args)
                self.assertEqual(result.returncode, 0)
                self.assertIn('usage: lumo-tool', result.stdout)


    @unittest.skipUnless(HAS_PLAYER, 'this build has no player program (no cross build)')
    def test_create_builds_a_screensaver_that_carries_its_settings(self):
        movie = self.path('a.swf')
        odd = self.path('what?.swf')
        web = self.path('web')
        os.makedirs(web)
        for path, data in ((movie, b'FWS movie a'), (odd, b'FWS what'), (os.path.join(web, 'b.swf'), b'CWS web b')):
            with open(path, 'wb') as f:
                f.write(data)
        licence = self.path('LICENCE.txt')
        with open(licence, 'w') as f:
            f.write('Terms\n')
        out = self.path('out', 'Night Sky.exe')
        os.makedirs(self.path('out'))
        with e2e.WebServer(web) as server:
            result = tool('create', '--video', 'never', '-o', out, '--mode', 'oneb', '--interval', '3', '--title', 'Night sky',
                          '--text', 'Sleep well', '--width', '500', '--height', '300', '--no-mute-control',
                          '--licence', licence, '--logo', os.path.join(self.tree, 'Logo', 'Logos.swf'),
                          movie, server.url('b.swf'), odd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('renamed for Windows: what?.swf: staged as what_.swf', result.stderr)
        self.assertEqual(tool('pe', 'extract', out, '--type', '10', '--name', 'FILELIST', self.path('f.lis'))
                         .returncode, 0)
        self.assertEqual(tool('archive', 'unpack', self.path('f.lis'), self.path('project')).returncode, 0)
        with open(self.path('project', 'playl.lis'), 'rb') as f:
            self.assertEqual(f.read(), b'a.swf\r\nb.swf\r\nwhat_.swf\r\n')
        self.assertTrue(filecmp.cmp(movie, self.path('project', 'a.swf'), shallow=False))
        self.assertTrue(filecmp.cmp(os.path.join(web, 'b.swf'), self.path('project', 'b.swf'), shallow=False))
        self.assertTrue(filecmp.cmp(odd, self.path('project', 'what_.swf'), shallow=False))
        self.assertTrue(os.path.exists(self.path('project', 'License.txt')))
        self.assertTrue(os.path.exists(self.path('project', 'Logo', 'Logos.swf')))
        shown = tool('params', 'show', self.path('project', 'param.lis')).stdout.splitlines()
        self.assertEqual([line.split('\t', 1)[1] for line in shown],
                         ['oneb', '3', '\\Logo\\Logos.swf', 'Night Sky.exe', '300', '500', '0', '0', 'Night sky',
                          '0', '0', '-1', 'Sleep well;'])

    @unittest.skipUnless(HAS_PLAYER, 'this build has no player program (no cross build)')
    def test_two_builds_at_once_both_succeed_and_leave_nothing(self):
        temp = self.path('tmp')
        os.makedirs(temp)
        movies = []
        for i in range(2):
            movies.append(self.path('m%d.swf' % i))
            with open(movies[-1], 'wb') as f:
                f.write(b'FWS' + bytes([i]) * (4 << 20))
        env = dict(os.environ, TMPDIR=temp)
        runs = [subprocess.Popen([TOOL, 'create', '--video', 'never', '-o', self.path('S%d.exe' % i), movies[i]], env=env,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) for i in range(2)]
        for i, run in enumerate(runs):
            _, err = run.communicate(timeout=e2e.TIMEOUT)
            self.assertEqual(run.returncode, 0, err)
            self.assertEqual(tool('pe', 'extract', self.path('S%d.exe' % i), '--type', '10', '--name', 'FILELIST',
                                  self.path('f%d.lis' % i)).returncode, 0)
            names = [line.split('\t')[1] for line in tool('archive', 'list', self.path('f%d.lis' % i)).stdout.splitlines()]
            self.assertIn('m%d.swf' % i, names)
            self.assertNotIn('m%d.swf' % (1 - i), names)
        self.assertEqual(os.listdir(temp), [])

    @unittest.skipUnless(HAS_PLAYER, 'this build has no player program (no cross build)')
    def test_create_refuses_what_it_cannot_build_and_names_the_problem(self):
        movie = self.path('m.swf')
        text = self.path('notes.swf')
        for path, data in ((movie, b'FWS'), (text, b'just text')):
            with open(path, 'wb') as f:
                f.write(data)
        exe = self.path('x.exe')
        with e2e.WebServer(self.folder) as server:
            gone = server.url('gone.swf')
        for args, message in (([exe], 'name the screensaver to write with -o'),
                              (['-o', exe], 'name at least one movie'),
                              (['-o', exe, '--colour', 'red', movie], 'unknown option --colour'),
                              (['-o', exe, movie, '--title'], '--title needs a value'),
                              (['-o', exe, '--mode', 'shuffle', movie], 'give play, round or oneb'),
                              (['-o', exe, '--interval', '0', movie], 'from 1 to 200'),
                              (['-o', exe, '--width', '50', movie], 'from 100 to 4000'),
                              (['-o', exe, self.path('missing.swf')], 'missing.swf": there is no such file'),
                              (['-o', exe, self.tree], 'is a folder'),
                              (['-o', exe, text], 'is neither a Flash movie'),
                              (['-o', exe, gone], 'Cannot fetch'),
                              (['-o', self.path('x'), movie], 'must be a program ending in .exe'),
                              (['-o', self.path('no', 'dir', 'x.exe'), movie], 'Cannot create file')):
            with self.subTest(args=args):
                result = tool('create', *args)
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1)
                self.assertFalse(os.path.exists(exe))
        kept = tool('create', '--video', 'never', '--keep-going', '-o', exe, movie, self.path('missing.swf'), text)
        self.assertEqual(kept.returncode, 0, kept.stderr)
        self.assertEqual(kept.stderr.count('left out:'), 2)
        self.assertTrue(os.path.exists(exe))
        helped = tool('create', '--help')
        for words in ('only the first movie plays', 'at random', 'one after another', '(default 5)',
                      '(default "Your title")', '(default 470 x 400)'):
            self.assertIn(words, helped.stdout)


if __name__ == '__main__':
    unittest.main(verbosity=2)
