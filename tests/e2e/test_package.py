"""The Debian package, built from this build tree as `./run.sh --package` builds it: its files and
dependencies, no path of the build tree in anything it installs, lintian, and the programs it
installs working from a throwaway root."""
import gzip
import os
import shutil
import subprocess
import unittest

import e2e

BUILD = os.path.abspath(os.path.join(e2e.BIN, '..'))
SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=300, **kwargs)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = e2e.scratch_dir('package-')
        made = run('cpack', '-G', 'DEB', '-B', cls.folder, '--config', os.path.join(BUILD, 'CPackConfig.cmake'))
        if made.returncode != 0:
            raise AssertionError(made.stdout + made.stderr)
        debs = [name for name in os.listdir(cls.folder) if name.endswith('.deb')]
        if len(debs) != 1:
            raise AssertionError(debs)
        cls.deb = os.path.join(cls.folder, debs[0])
        cls.root = os.path.join(cls.folder, 'root')
        os.makedirs(os.path.join(cls.root, 'var', 'lib', 'dpkg', 'info'))
        os.makedirs(os.path.join(cls.root, 'var', 'lib', 'dpkg', 'updates'))
        open(os.path.join(cls.root, 'var', 'lib', 'dpkg', 'status'), 'w').close()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def field(self, name):
        return run('dpkg-deb', '-f', self.deb, name).stdout.strip()

    def test_name_files_and_dependencies(self):
        self.assertRegex(os.path.basename(self.deb), r'^lumo-screensaver_\d+\.\d+\.\d+_amd64\.deb$')
        files = {line.split()[-1] if '->' not in line else line.split()[-3]
                 for line in run('dpkg-deb', '-c', self.deb).stdout.splitlines()}
        for wanted in ('./usr/bin/lumo', './usr/bin/lumo-tool', './usr/bin/lumo-saver',
                       './usr/libexec/lumo-screensaver/lumo-record', './usr/share/lumo-screensaver/files.sfp',
                       './usr/share/lumo-screensaver/view/view.html', './usr/share/lumo-screensaver/view/ruffle/ruffle.js',
                       './usr/share/applications/lumo-screensaver.desktop',
                       './usr/share/metainfo/com.corvane.LumoScreenSaver.metainfo.xml',
                       './usr/share/xscreensaver/config/lumo-saver.xml', './usr/libexec/xscreensaver/lumo-saver',
                       './usr/share/applications/screensavers/lumo-saver.desktop', './usr/share/man/man1/lumo.1.gz',
                       './usr/share/man/man1/lumo-tool.1.gz', './usr/share/man/man1/lumo-saver.1.gz',
                       './usr/share/doc/lumo-screensaver/copyright'):
            self.assertIn(wanted, files)
        for size in (16, 22, 24, 32, 48, 64, 128, 256):
            self.assertIn('./usr/share/icons/hicolor/%dx%d/apps/lumo-screensaver.png' % (size, size), files)
        depends = self.field('Depends')
        for library in ('libqt6webenginewidgets6', 'libqt6widgets6', 'libcurl4', 'libxcb1', 'zlib1g', 'liblzma5'):
            self.assertIn(library, depends)
        self.assertIn('ffmpeg', self.field('Recommends'))

    def test_nothing_it_installs_names_the_build_tree(self):
        tree = os.path.join(self.folder, 'extracted')
        self.assertEqual(run('dpkg-deb', '-x', self.deb, tree).returncode, 0)
        # The player program inside the storage container too.
        player = os.path.join(tree, 'player')
        tool = os.path.join(tree, 'usr', 'bin', 'lumo-tool')
        self.assertEqual(run(tool, 'storage', 'extract', os.path.join(tree, 'usr', 'share', 'lumo-screensaver',
                                                                          'files.sfp'), '0', player + '.z').returncode, 0)
        self.assertEqual(run(tool, 'archive', 'unpack', player + '.z', player).returncode, 0)
        needles = [path.encode() for path in {BUILD, SOURCE, os.path.realpath(BUILD), os.path.realpath(SOURCE)}]
        checked = 0
        for folder, _, names in os.walk(tree):
            for name in names:
                path = os.path.join(folder, name)
                if os.path.islink(path):
                    continue
                with open(path, 'rb') as f:
                    data = f.read()
                if name.endswith('.gz'):
                    data = gzip.decompress(data)
                for needle in needles:
                    self.assertNotIn(needle, data, path)
                checked += 1
        self.assertGreater(checked, 30)

    def test_lintian_finds_no_error_and_no_warning(self):
        if shutil.which('lintian') is None:
            self.skipTest('lintian is not installed')
        found = run('lintian', self.deb)
        tags = [line for line in found.stdout.splitlines() if line[:2] in ('E:', 'W:')]
        self.assertEqual(tags, [])
        if shutil.which('appstreamcli'):
            metainfo = os.path.join(SOURCE, 'docs', 'linux', 'com.corvane.LumoScreenSaver.metainfo.xml')
            checked = run('appstreamcli', 'validate', '--no-net', metainfo)
            self.assertEqual(checked.returncode, 0, checked.stdout)

    def test_the_installed_programs_work(self):
        installed = run('dpkg', '--root=' + self.root, '--force-depends', '--force-not-root', '--log=/dev/null',
                        '-i', self.deb)
        self.assertEqual(installed.returncode, 0, installed.stderr)
        usr = os.path.join(self.root, 'usr')
        # lumo-tool create builds a screensaver, with its movie's video made by the installed recorder.
        movie = os.path.join(self.folder, 'card.swf')
        subprocess.run(['ffmpeg', '-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=160x120:rate=12', '-t', '2',
                        '-c:v', 'flv1', movie], check=True, timeout=e2e.TIMEOUT)
        saver = os.path.join(self.folder, 'Saver.exe')
        created = run(os.path.join(usr, 'bin', 'lumo-tool'), 'create', '-o', saver, movie)
        self.assertEqual(created.returncode, 0, created.stderr)
        self.assertEqual(run(os.path.join(usr, 'bin', 'lumo-tool'), 'pe', 'extract', saver, '--type', '10', '--name',
                             'FILELIST', os.path.join(self.folder, 'f.lis')).returncode, 0)
        members = run(os.path.join(usr, 'bin', 'lumo-tool'), 'archive', 'list', os.path.join(self.folder, 'f.lis'))
        self.assertIn('card.avi', members.stdout)

        # lumo --window-id plays the checked movie inside a window.
        registry = e2e.editor_settings(self.folder, [movie])
        runtime = os.path.join(self.folder, 'run')
        os.makedirs(runtime, mode=0o700)
        with e2e.PrivateDisplay('-screen', '0', '640x480x24'):
            host = subprocess.Popen(['xmessage', '-geometry', '320x240+100+100', 'host'], stdout=subprocess.DEVNULL,
                                    stderr=subprocess.PIPE, text=True)
            try:
                window = e2e.wait_for_window('^xmessage$')
                if not window:
                    host.kill()
                    self.fail('no host window; xmessage %s: %s' % (host.wait(), host.stderr.read()))
                env = {k: v for k, v in os.environ.items() if k not in ('QT_QPA_PLATFORM', 'LUMO_VIEW_DIR')}
                env.update(LUMO_REGISTRY=registry, XDG_RUNTIME_DIR=runtime)
                player = subprocess.Popen([os.path.join(usr, 'bin', 'lumo'), '--window-id', window[0]], env=env,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                try:
                    self.assertGreaterEqual(e2e.wait_until_lit(100, 100, 320, 240), 320 * 240 // 2,
                                            'the installed editor plays in the window')
                finally:
                    player.terminate()
                    self.assertEqual(player.wait(timeout=e2e.TIMEOUT), 0)
            finally:
                host.kill()
                host.wait()
                host.stderr.close()
        removed = run('dpkg', '--root=' + self.root, '--force-not-root', '--log=/dev/null', '--purge', 'lumo-screensaver')
        self.assertEqual(removed.returncode, 0, removed.stderr)
        self.assertFalse(os.path.exists(os.path.join(usr, 'bin', 'lumo')))


if __name__ == '__main__':
    unittest.main()
