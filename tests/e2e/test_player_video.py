"""The produced screensaver where Windows has no Flash control, under Wine and Xvfb: the videos
lumo-tool create recorded play in place of the movies and of a movie logo, loop, and follow "Mute"."""
import os
import shutil
import subprocess
import time
import unittest

import e2e

TOOL = os.path.join(e2e.BIN, 'lumo-tool')
CORPUS = os.path.join(os.path.dirname(__file__), '..', '..', '..', 'shared', 'corpus', 'swf',
                      'jplayer-2.9.2__jquery.jplayer.swf')
RED, BLUE = (255, 0, 0), (0, 0, 255)


def near(colour, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class PlayerVideo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.make_wine_prefix()
        cls.folder = e2e.scratch_dir('video-')
        # Red for a second, then blue for a second, with a tone: where it is on screen says where
        # the video is in its loop.
        cls.movie = os.path.join(cls.folder, 'redblue.swf')
        subprocess.run(['ffmpeg', '-v', 'error', '-y', '-filter_complex',
                        'color=c=red:s=320x240:r=24:d=1[a];color=c=blue:s=320x240:r=24:d=1[b];'
                        '[a][b]concat=n=2:v=1:a=0[v]', '-f', 'lavfi', '-i', 'sine=frequency=440:sample_rate=44100',
                        '-map', '[v]', '-map', '0:a', '-t', '2', '-c:v', 'flv1', '-c:a', 'libmp3lame', '-ar', '44100',
                        cls.movie], check=True, timeout=e2e.TIMEOUT)
        cls.saver = cls.create('RedBlue.exe', '--logo', cls.movie, cls.movie)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    @classmethod
    def create(cls, name, *args):
        out = os.path.join(cls.folder, name)
        result = subprocess.run([TOOL, 'create', '-o', out, *args], capture_output=True, text=True,
                                timeout=e2e.TIMEOUT)
        if result.returncode != 0:
            raise AssertionError(result.stderr)
        return out

    def setUp(self):
        self.processes = []

    def tearDown(self):
        e2e.end_processes(self.processes)
        e2e.stop_wine()

    def start(self, *command, sound=False, log=None):
        """Without sound the system has no audio device; with it, ALSA's null device plays it."""
        env = e2e.wine_env()
        if sound:
            env['ALSA_CONFIG_PATH'] = os.path.join(os.path.dirname(__file__), 'asound-null.conf')
        else:
            env['WINEDLLOVERRIDES'] += ';winealsa.drv,winepulse.drv=d'
        if log:
            env['WINEDEBUG'] = 'trace+quartz'
        process = subprocess.Popen(['wine', *command], env=env, stdout=subprocess.DEVNULL,
                                   stderr=log or subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def colours(self, x, y, seconds):
        """What (x, y) shows over that many seconds, each change once: 'red', 'blue' or 'other'."""
        seen = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            pixel = e2e.screen_rgb(x, y, 1, 1)[0][0]
            name = 'red' if near(pixel, RED) else 'blue' if near(pixel, BLUE) else 'other'
            if not seen or seen[-1] != name:
                seen.append(name)
            time.sleep(0.05)
        return seen

    def full_screen(self):
        found = e2e.wait_for_window('^FSScreenSaver$')
        self.assertEqual(len(found), 1)
        return found[0]

    def test_the_video_plays_in_place_of_the_movie_and_loops(self):
        e2e.xdotool('mousemove', '--sync', '5', '5')
        player = self.start(self.saver, '/s')
        window = self.full_screen()
        _, _, width, height = e2e.window_geometry(window)
        seen = self.colours(width // 2, height // 2, 7)
        changes = [name for name in seen if name != 'other']
        # red, blue, then red again after the recorded length: the video started over.
        self.assertGreaterEqual(len(changes), 4, seen)
        self.assertEqual(changes[:4], ['red', 'blue', 'red', 'blue'][:4] if changes[0] == 'red'
                         else ['blue', 'red', 'blue', 'red'], seen)
        # The picture keeps its aspect: 4:3 on this screen leaves black bars or none at all.
        edge = e2e.screen_rgb(0, height // 2, 1, 1)[0][0]
        self.assertTrue(near(edge, RED) or near(edge, BLUE) or near(edge, (0, 0, 0), 12), edge)
        e2e.press(window, 'Escape')
        self.assertEqual(player.wait(timeout=e2e.TIMEOUT), 0)

    def test_mute_turns_the_video_sound_down_and_the_settings_logo_plays_its_video(self):
        subprocess.run(['wine', 'reg', 'add', r'HKCU\Software\RedBlue.exe', '/v', 'MuteSound', '/d', '1', '/f'],
                       env=e2e.wine_env(), check=True, capture_output=True, timeout=e2e.TIMEOUT)
        self.addCleanup(subprocess.run, ['wine', 'reg', 'delete', r'HKCU\Software\RedBlue.exe', '/f'],
                        env=e2e.wine_env(), capture_output=True, timeout=e2e.TIMEOUT)
        with open(os.path.join(self.folder, 'quartz.log'), 'w+') as log:
            e2e.xdotool('mousemove', '--sync', '5', '5')
            player = self.start(self.saver, '/s', sound=True, log=log)
            window = self.full_screen()
            _, _, width, height = e2e.window_geometry(window)
            self.assertIn('blue', self.colours(width // 2, height // 2, 3), 'it plays with a sound device too')
            e2e.press(window, 'Escape')
            self.assertEqual(player.wait(timeout=e2e.TIMEOUT), 0)
            log.seek(0)
            volumes = [line.split('volume ')[1].strip(' .\n') for line in log if 'put_Volume filter' in line]
        self.assertIn('-10000', volumes, 'the sound renderer was turned down to silence')

        # The settings dialog of the installed screensaver (a .scr started without arguments).
        installed = os.path.join(self.folder, 'RedBlue.scr')
        shutil.copy(self.saver, installed)
        dialog = self.start(installed)
        found = e2e.wait_for_window('^Your title$')
        self.assertEqual(len(found), 1)
        left, top, width, _ = e2e.window_geometry(found[0])
        seen = self.colours(left + width // 2, top + 80, 4)
        self.assertIn('red', seen)
        self.assertIn('blue', seen)
        e2e.press(found[0], 'Escape')
        self.assertEqual(dialog.wait(timeout=e2e.TIMEOUT), 0)

    @unittest.skipUnless(os.path.exists(CORPUS), 'the corpus of third-party movies is not here')
    def test_a_third_party_movie_plays_as_its_video(self):
        saver = self.create('Corpus.exe', '--video-seconds', '3', CORPUS)
        e2e.xdotool('mousemove', '--sync', '5', '5')
        player = self.start(saver, '/s')
        window = self.full_screen()
        _, _, width, height = e2e.window_geometry(window)
        deadline = time.monotonic() + 10
        pixel = (0, 0, 0)
        while time.monotonic() < deadline and not min(pixel) > 200:
            pixel = e2e.screen_rgb(width // 2, height // 2, 1, 1)[0][0]
            time.sleep(0.1)
        self.assertGreater(min(pixel), 200, 'the movie\'s pale stage, not the black of a view without it')
        e2e.press(window, 'Escape')
        self.assertEqual(player.wait(timeout=e2e.TIMEOUT), 0)


if __name__ == '__main__':
    unittest.main()
