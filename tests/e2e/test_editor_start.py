"""The editor started as a user (or Windows) starts it: its modes and its single-instance test."""
import os
import shutil
import signal
import subprocess
import time
import unittest

import e2e

MAIN = '^Lumo ScreenSaver v1.0$'
PLAYER = '^Lumo ScreenSaver$'


class EditorStart(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('editor-')
        runtime = os.path.join(self.folder, 'run')
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ, LUMO_REGISTRY=os.path.join(self.folder, 'registry.reg'),
                        XDG_DATA_HOME=os.path.join(self.folder, 'data'), XDG_RUNTIME_DIR=runtime)
        self.env.pop('QT_QPA_PLATFORM', None)
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
            out, err = process.communicate(timeout=e2e.TIMEOUT)
            if out or err:
                print(f'\n{process.args}: {(out + err).decode(errors="replace")}')
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *args, env=None):
        process = subprocess.Popen([os.path.join(e2e.BIN, 'lumo'), *args], env=env or self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.processes.append(process)
        return process

    def finish(self, process):
        out, err = process.communicate(timeout=e2e.TIMEOUT)
        return process.returncode, out + err

    def test_preview_request_ends_at_once_without_a_display(self):
        bare = {k: v for k, v in self.env.items() if k != 'DISPLAY'}
        for args in (['/P'], ['/p', '1234']):
            with self.subTest(args=args):
                self.assertEqual(self.finish(self.start(*args, env=bare)), (0, b''))
        self.assertFalse(os.path.exists(self.env['LUMO_REGISTRY']), 'no window, no settings touched')

    def test_no_argument_opens_the_main_window_and_seeds_the_list_folder(self):
        self.start()
        self.assertEqual(len(e2e.wait_for_window(MAIN)), 1)
        with open(self.env['LUMO_REGISTRY'], encoding='utf-8') as hive:
            self.assertIn('"Path"="%s"' % os.path.join(self.folder, 'data', 'lumo-screensaver'), hive.read())
        self.assertTrue(os.path.isdir(os.path.join(self.folder, 'data', 'lumo-screensaver')))

    def test_files_it_is_opened_with_join_the_playlist_checked(self):
        # As a file manager's "Open with" starts it (Exec=lumo %F), and as /c with files after it.
        movie = os.path.join(self.folder, 'opened movie.swf')
        with open(movie, 'wb') as f:
            f.write(b'FWS\x0a' + bytes(20))
        missing = os.path.join(self.folder, 'gone.swf')
        for args in ([movie, missing], ['/c', movie]):
            with self.subTest(args=args):
                editor = self.start(*args)
                self.assertTrue(e2e.wait_for_window(MAIN))
                time.sleep(3)  # its movie view joins it and the window system builds it anew
                window = e2e.wait_for_window(MAIN)
                self.assertEqual(len(window), 1)
                e2e.press(window[0], 'ctrl+p')  # the full-screen player saves the lists first
                lists = os.path.join(self.folder, 'data', 'lumo-screensaver')
                deadline = time.monotonic() + e2e.TIMEOUT
                while time.monotonic() < deadline and not os.path.exists(os.path.join(lists, 'PlayList.list')):
                    time.sleep(0.1)
                with open(os.path.join(lists, 'FileList.list'), 'rb') as f:
                    self.assertEqual(f.read(), b'-1;' + movie.encode() + b'\r\n')
                with open(os.path.join(lists, 'PlayList.list'), 'rb') as f:
                    self.assertEqual(f.read(), movie.encode() + b'\r\n')
                editor.send_signal(signal.SIGTERM)
                _, err = editor.communicate(timeout=e2e.TIMEOUT)
                self.processes.remove(editor)
                if missing in args:
                    self.assertIn(b'not added, no such file: ' + missing.encode(), err)
                shutil.rmtree(lists)

    def test_its_preview_plays_without_an_opengl_rasteriser_where_there_is_no_graphics_card(self):
        # Xvfb offers no direct rendering: Qt draws the web view in software, as the engine does.
        movie = os.path.join(self.folder, 'red.swf')
        subprocess.run(['ffmpeg', '-v', 'error', '-f', 'lavfi', '-i', 'color=c=red:size=320x240:rate=12', '-t', '2',
                        '-c:v', 'flv1', movie], check=True)
        self.env['LUMO_REGISTRY'] = e2e.editor_settings(self.folder, [movie], playlist=True)
        editor = self.start()
        window = e2e.wait_for_window(MAIN)[0]
        area = e2e.window_geometry(window)
        deadline = time.monotonic() + e2e.TIMEOUT
        red = 0
        while time.monotonic() < deadline and red < 0.02:
            pixels = [p for row in e2e.screen_rgb(*area) for p in row[::4]]
            red = sum(1 for r, g, b in pixels if r > 200 and g < 60 and b < 60) / len(pixels)
        self.assertGreater(red, 0.02, 'the selected movie plays in the preview')
        with open(f'/proc/{editor.pid}/maps') as maps:
            loaded = maps.read()
        for rasteriser in ('libLLVM', 'swrast_dri', 'libGLX_mesa'):
            self.assertNotIn(rasteriser, loaded)

    def test_a_second_editor_opens_while_the_first_never_showed_a_preview(self):
        self.start('/c')
        self.assertEqual(len(e2e.wait_for_window(MAIN)), 1)
        self.start()
        self.assertTrue(self._wait_for_count(MAIN, 2))

    def test_a_running_screensaver_blocks_every_later_start(self):
        saver = self.start('/s')
        found = e2e.wait_for_window(PLAYER)
        self.assertEqual(len(found), 1)
        for args in ([], ['/S'], ['/c']):
            with self.subTest(args=args):
                self.assertEqual(self.finish(self.start(*args)), (0, b''))
        self.assertEqual(e2e.visible_windows(MAIN), [])
        # Input closes the full-screen player, which ends the program without saving anything.
        e2e.press(found[0], 'space')
        code, _ = self.finish(saver)
        self.assertEqual(code, 0)
        with open(self.env['LUMO_REGISTRY'], encoding='utf-8') as hive:
            self.assertNotIn('loop_Checked', hive.read())

    def _wait_for_count(self, name, count):
        deadline = time.monotonic() + e2e.TIMEOUT
        while time.monotonic() < deadline:
            if len(e2e.visible_windows(name)) == count:
                return True
            time.sleep(0.1)
        return False


if __name__ == '__main__':
    unittest.main(verbosity=2)
