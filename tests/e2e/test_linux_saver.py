"""The editor as the saver of a Linux screensaver daemon: inside the window it is given (by
--window-id or XSCREENSAVER_WINDOW), ended by SIGTERM, and under a real xscreensaver."""
import os
import shutil
import signal
import subprocess
import time
import unittest

import e2e

LUMO = os.path.join(e2e.BIN, 'lumo')
SAVER = os.path.join(e2e.BIN, 'lumo-saver')


def changed(a, b):
    """How many pixels of two screen areas differ clearly."""
    return sum(1 for row_a, row_b in zip(a, b) for p, q in zip(row_a, row_b) if sum(abs(x - y) for x, y in zip(p, q)) > 60)


def children(window):
    """xwininfo's lines for the child windows of window, with their geometry."""
    return subprocess.run(['xwininfo', '-children', '-id', window], capture_output=True, text=True,
                          timeout=e2e.TIMEOUT).stdout


class LinuxSaver(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('saver-')
        os.chmod(self.folder, 0o755)
        self.movie = os.path.join(self.folder, 'card.swf')
        subprocess.run(['ffmpeg', '-v', 'error', '-f', 'lavfi', '-i', 'testsrc2=size=320x240:rate=24', '-t', '4',
                        '-c:v', 'flv1', self.movie], check=True, timeout=e2e.TIMEOUT)
        self.registry = e2e.editor_settings(self.folder, [self.movie])
        self.runtime = os.path.join(self.folder, 'run')
        os.makedirs(self.runtime, mode=0o700)
        self.env = dict(os.environ, LUMO_REGISTRY=self.registry, XDG_RUNTIME_DIR=self.runtime,
                        XDG_DATA_HOME=os.path.join(self.folder, 'data'))
        self.env.pop('QT_QPA_PLATFORM', None)
        self.processes = []

    def tearDown(self):
        e2e.end_processes(self.processes)
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, args, env=None):
        process = subprocess.Popen(args, env=env or self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   text=True)
        self.addCleanup(process.stderr.close)
        self.processes.append(process)
        return process

    def one_line_error(self, args, env=None):
        process = self.start(args, env)
        _, err = process.communicate(timeout=e2e.TIMEOUT)
        lines = [line for line in err.splitlines() if line.startswith('lumo: ')]
        return process.returncode, lines

    def test_it_plays_inside_the_window_it_is_given_and_sigterm_ends_it(self):
        with e2e.PrivateDisplay('-screen', '0', '800x600x24'):
            self.env['DISPLAY'] = os.environ['DISPLAY']
            # An editor already open does not keep the saver from playing.
            self.start([LUMO])
            self.assertTrue(e2e.wait_for_window('^Lumo ScreenSaver v1.0$'))
            time.sleep(3)  # its movie view joins it and the window system maps it anew, on top
            host = self.start(['xmessage', '-geometry', '400x300+300+250', 'the daemon\'s window'])
            found = e2e.wait_for_window('^xmessage$')
            self.assertEqual(len(found), 1)
            with open(self.registry, 'rb') as f:
                settings = f.read()
            stamp = os.stat(self.registry).st_mtime_ns
            saver = self.start([LUMO, '--window-id', hex(int(found[0]))])
            time.sleep(8)
            inside = [e2e.screen_rgb(300, 250, 400, 300)]
            outside = [e2e.screen_rgb(0, 0, 290, 240)]
            time.sleep(1)
            inside.append(e2e.screen_rgb(300, 250, 400, 300))
            outside.append(e2e.screen_rgb(0, 0, 290, 240))
            lit = sum(1 for row in inside[1] for pixel in row if max(pixel) > 100)
            self.assertGreater(lit, 400 * 300 // 2, 'the movie fills the window')
            self.assertGreater(changed(*inside), 500, 'the movie moves in the window')
            self.assertEqual(changed(*outside), 0, 'nothing outside the window changes')
            # The daemon's window changes size: the saver's window in it follows.
            e2e.xdotool('windowsize', found[0], '240', '180')
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and ' 240x180+0+0' not in children(found[0]):
                time.sleep(0.2)
            self.assertIn(' 240x180+0+0', children(found[0]))
            saver.send_signal(signal.SIGTERM)
            self.assertEqual(saver.wait(timeout=e2e.TIMEOUT), 0)
            with open(self.registry, 'rb') as f:
                self.assertEqual(f.read(), settings, 'the settings are read, never written')
            self.assertEqual(os.stat(self.registry).st_mtime_ns, stamp)
            host.kill()

            # The window of XSCREENSAVER_WINDOW, as XSecureLock gives it; one that is none, no display.
            code, lines = self.one_line_error([LUMO, '--window-id', '0x7ffffff0'])
            self.assertEqual((code, len(lines)), (1, 1))
            self.assertIn('0x7ffffff0 is not a window', lines[0])
            code, lines = self.one_line_error([LUMO], dict(self.env, XSCREENSAVER_WINDOW='nonsense'))
            self.assertEqual((code, len(lines)), (1, 1))
            self.assertIn('is no X window id', lines[0])
            bare = {k: v for k, v in self.env.items() if k != 'DISPLAY'}
            code, lines = self.one_line_error([SAVER, '-root'], bare)
            self.assertEqual((code, len(lines)), (1, 1))
            self.assertIn('no X display', lines[0])

    def test_xscreensaver_runs_it_as_its_saver(self):
        if shutil.which('xscreensaver') is None:
            self.skipTest('xscreensaver is not installed')
        # xscreensaver launches no saver for root: the daemon runs as nobody, in a home of its own.
        prefix = []
        if os.geteuid() == 0:
            if subprocess.run(['runuser', '-u', 'nobody', '--', 'test', '-x', SAVER]).returncode != 0:
                self.skipTest('the user nobody cannot run the build tree\'s programs')
            prefix = ['runuser', '-u', 'nobody', '--']
        home = os.path.join(self.folder, 'home')
        os.makedirs(home)
        with open(os.path.join(home, '.xscreensaver'), 'w') as f:
            f.write('timeout: 1:00:00\nlock: False\nsplash: False\nmode: one\nselected: 0\n'
                    'programs: "Lumo ScreenSaver" %s --root \\n\n' % SAVER)
        if prefix:
            subprocess.run(['chown', '-R', 'nobody:nogroup', self.folder], check=True)
        with e2e.PrivateDisplay('-ac', '-screen', '0', '640x480x24'):
            env = dict(self.env, DISPLAY=os.environ['DISPLAY'], HOME=home, QTWEBENGINE_DISABLE_SANDBOX='1')
            command = prefix + ['env'] + ['%s=%s' % item for item in env.items()]
            daemon = self.start(command + ['xscreensaver', '-no-splash'])
            time.sleep(2)
            subprocess.run(command + ['xscreensaver-command', '-activate'], check=True, capture_output=True,
                           timeout=e2e.TIMEOUT)
            self.assertGreaterEqual(e2e.wait_until_lit(0, 0, 640, 480), 640 * 480 // 2, 'the movie fills the screen')
            e2e.save_screenshot(os.path.join(e2e.SCRATCH, 'xscreensaver.png'), 0, 0, 640, 480)
            subprocess.run(command + ['xscreensaver-command', '-deactivate'], check=True, capture_output=True,
                           timeout=e2e.TIMEOUT)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and subprocess.run(['pgrep', '-f', SAVER], capture_output=True).returncode == 0:
                time.sleep(0.2)
            self.assertNotEqual(subprocess.run(['pgrep', '-f', SAVER], capture_output=True).returncode, 0, 'the saver ended')
            subprocess.run(command + ['xscreensaver-command', '-exit'], capture_output=True, timeout=e2e.TIMEOUT)
            daemon.wait(timeout=e2e.TIMEOUT)

    def test_mates_screensaver_lists_it_and_runs_it(self):
        if shutil.which('mate-screensaver') is None:
            self.skipTest('mate-screensaver is not installed')
        # MATE runs only programs in the hack folders it knows: the package links the saver into
        # xscreensaver's. Here that link stands in a folder mounted there for the daemon alone.
        if not os.path.isdir('/usr/libexec/xscreensaver'):
            self.skipTest('xscreensaver\'s hack folder is not there')
        if subprocess.run(['unshare', '-m', 'true'], capture_output=True).returncode != 0:
            self.skipTest('no mount namespace for the hack folder')
        hacks = os.path.join(self.folder, 'hacks')
        os.makedirs(hacks)
        os.symlink(LUMO, os.path.join(hacks, 'lumo-saver'))
        # The daemon hands its savers a bare environment: the saver finds the editor's settings in the home.
        home = os.path.join(self.folder, 'home')
        config = os.path.join(home, '.config')
        os.makedirs(os.path.join(config, 'lumo-screensaver'))
        shutil.copy(self.registry, os.path.join(config, 'lumo-screensaver', 'registry.reg'))
        os.makedirs(os.path.join(config, 'glib-2.0', 'settings'))
        with open(os.path.join(config, 'glib-2.0', 'settings', 'keyfile'), 'w') as f:
            f.write("[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-lumo-saver']\n"
                    "lock-enabled=false\nidle-activation-enabled=false\n")
        with e2e.PrivateDisplay('-screen', '0', '640x480x24'):
            env = dict(self.env, DISPLAY=os.environ['DISPLAY'], HOME=home, XDG_CONFIG_HOME=config,
                       GSETTINGS_BACKEND='keyfile', XDG_CURRENT_DESKTOP='MATE',
                       XDG_DATA_DIRS=os.path.join(e2e.BIN, '..', 'share') + ':/usr/share')
            bus = subprocess.run(['dbus-daemon', '--session', '--fork', '--print-address=1', '--print-pid=1'],
                                 env=env, capture_output=True, text=True, check=True, timeout=e2e.TIMEOUT)
            address, pid = bus.stdout.split()
            self.addCleanup(os.kill, int(pid), signal.SIGTERM)
            env['DBUS_SESSION_BUS_ADDRESS'] = address
            self.start(['unshare', '-m', 'sh', '-c', 'mount --bind "$0" /usr/libexec/xscreensaver && '
                        'exec mate-screensaver --no-daemon', hacks], env)

            def command(*args):
                return subprocess.run(['mate-screensaver-command', *args], env=env, capture_output=True, text=True,
                                      timeout=e2e.TIMEOUT)
            deadline = time.monotonic() + e2e.TIMEOUT
            while time.monotonic() < deadline and command('--query').returncode != 0:
                time.sleep(0.2)
            self.assertEqual(command('--activate').returncode, 0)
            self.assertGreaterEqual(e2e.wait_until_lit(0, 0, 640, 480), 640 * 480 // 2, 'the movie fills the screen')
            saver = subprocess.run(['pgrep', '-f', '^lumo-saver --root'], capture_output=True, text=True).stdout
            self.assertEqual(len(saver.split()), 1, 'started from the hack folder by its name')
            self.assertEqual(command('--deactivate').returncode, 0)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and os.path.exists('/proc/' + saver.split()[0]):
                time.sleep(0.2)
            self.assertFalse(os.path.exists('/proc/' + saver.split()[0]), 'the saver ended')
            command('--exit')


if __name__ == '__main__':
    unittest.main()
