"""The produced screensaver on the screens Windows gives it, under Wine and Xvfb: what stands in for
a movie without the Flash control, several monitors, the display settings' preview and settings
owner, and a monitor of more than 96 DPI."""
import os
import shutil
import subprocess
import time
import unittest

import e2e
import product

FRAME_LEFT, FRAME_TOP = 3, 22
LOGO = (200, 30, 30)  # the colour of product.build's logo


def near(colour, expected, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def wait_for_colour(x, y, colour, timeout=20):
    """True once the screen shows that colour at (x, y)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if near(e2e.screen_rgb(x, y, 1, 1)[0][0], colour):
            return True
        time.sleep(0.2)
    return False


class PlayerScreens(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.make_wine_prefix()

    def setUp(self):
        self.folder = e2e.scratch_dir('screens-')
        self.processes = []

    def tearDown(self):
        e2e.end_processes(self.processes)
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *command):
        env = e2e.wine_env()
        env['ALSA_CONFIG_PATH'] = os.path.join(os.path.dirname(__file__), 'asound-null.conf')
        process = subprocess.Popen(['wine', *command], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                   text=True)
        self.addCleanup(process.stdout.close)
        self.processes.append(process)
        return process

    def assertEndsWith(self, process, code=0):
        self.assertEqual(process.wait(timeout=e2e.TIMEOUT), code)

    def test_a_movie_without_the_flash_control_shows_the_logo_or_else_the_name(self):
        movies = {'one.swf': product.swf()}
        for logo in (True, False):
            with self.subTest(logo=logo):
                saver = product.build(self.folder, 'Stand.scr', movies=movies, logo=logo)
                e2e.xdotool('mousemove', '--sync', '5', '5')
                player = self.start(saver, '/s')
                found = e2e.wait_for_window('^FSScreenSaver$')
                self.assertEqual(len(found), 1)
                _, _, width, height = e2e.window_geometry(found[0])
                centre_x, centre_y = width // 2, height // 2
                if logo:
                    self.assertTrue(wait_for_colour(centre_x, centre_y, LOGO), 'the logo, centred')
                    self.assertTrue(near(e2e.screen_rgb(centre_x + 80, centre_y, 1, 1)[0][0], (0, 0, 0)),
                                    'at its own size, on black')
                else:
                    time.sleep(2)
                    band = e2e.screen_rgb(centre_x - 150, centre_y - 20, 300, 40)
                    lit = sum(1 for row in band for pixel in row if min(pixel) > 150)
                    self.assertGreater(lit, 50, 'the name is written where the movie would be')
                e2e.press(found[0], 'Escape')
                self.assertEndsWith(player)

    def test_the_screensaver_covers_every_monitor_and_plays_on_the_primary_one(self):
        # Two heads of different sizes (Wine reads Xinerama when the server has no RandR).
        with e2e.PrivateDisplay('-extension', 'RANDR', '-screen', '0', '640x480x24', '-screen', '1', '800x600x24',
                                '+xinerama'):
            probe = self.start(os.path.join(e2e.BIN, 'lumo_test_host.exe'), 'monitors')
            monitors = [line.split() for line in probe.communicate(timeout=e2e.TIMEOUT)[0].splitlines()]
            if len(monitors) != 2:
                self.skipTest(f'Wine shows {len(monitors)} monitor(s) on this server')
            saver = product.build(self.folder, 'Wide.scr', movies={'one.swf': product.swf()})
            e2e.xdotool('mousemove', '--sync', '5', '5')
            player = self.start(saver, '/s')
            found = e2e.wait_for_window('^FSScreenSaver$')
            self.assertEqual(len(found), 1)
            self.assertEqual(e2e.window_geometry(found[0]), (0, 0, 800, 600), 'the union of both monitors')
            self.assertTrue(wait_for_colour(320, 240, LOGO), "the movie area is the primary monitor's")
            self.assertTrue(near(e2e.screen_rgb(400, 290, 1, 1)[0][0], (0, 0, 0)),
                            'not centred on the whole window')
            e2e.save_screenshot(os.path.join(self.folder, 'monitors.png'), 0, 0, 640, 480)
            e2e.press(found[0], 'Escape')
            self.assertEndsWith(player)

    def test_the_preview_stands_in_the_window_it_is_given_and_ends_with_it(self):
        # Wine draws no child window of another process, so the host says what stands in its client
        # area; the drawing itself is the full-screen player's, checked above.
        saver = product.build(self.folder, 'Small.scr')
        host = self.start(os.path.join(e2e.BIN, 'lumo_test_host.exe'), 'preview', saver)
        found = e2e.wait_for_window('^Preview host$')
        self.assertEqual(len(found), 1)
        self.assertEqual(host.stdout.readline().split(), ['child', 'LumoPreview', '240', '180', '1'],
                         'a visible child filling the client area')
        e2e.press(found[0], 'Escape')
        self.assertEndsWith(host, 0)  # 2: the screensaver stayed after its window went

    def test_the_work_folder_stays_while_another_instance_uses_it(self):
        # The preview keeps running whatever other windows do (the settings role's hidden player
        # removes the folder on its own first input, so two dialogs could not show this).
        saver = product.build(self.folder, 'Shared.scr')
        work = os.path.join(product.wine_temp(), 'Shared.scr')
        host = self.start(os.path.join(e2e.BIN, 'lumo_test_host.exe'), 'preview', saver)
        self.assertEqual(host.stdout.readline().split()[:2], ['child', 'LumoPreview'])
        settings = self.start(saver)
        dialog = e2e.wait_for_window('^My settings$')
        self.assertEqual(len(dialog), 1)
        e2e.press(dialog[0], 'Escape')
        self.assertEndsWith(settings)
        self.assertTrue(os.path.isdir(work), 'the preview still uses it')
        e2e.press(e2e.wait_for_window('^Preview host$')[0], 'Escape')
        self.assertEndsWith(host)
        self.assertFalse(os.path.exists(work), 'the last one to end removes it')

    def test_the_settings_dialog_is_owned_by_the_window_that_asks_for_it(self):
        saver = product.build(self.folder, 'Owned.scr')
        host = self.start(os.path.join(e2e.BIN, 'lumo_test_host.exe'), 'configure', saver)
        dialog = e2e.wait_for_window('^My settings$')
        self.assertEqual(len(dialog), 1)
        time.sleep(0.5)
        e2e.press(dialog[0], 'Escape')
        self.assertEndsWith(host, 0)  # 4: the asking window was not disabled, or stayed so

    def test_windows_and_fonts_follow_the_monitors_dpi(self):
        saver = product.build(self.folder, 'Dpi.exe', lines=['play', '5', r'\Logo\Logos.png', 'Dpi.exe', '400', '470',
                                                                   '0', '0', 'My settings', '-1', '0', '-1', 'x;'])
        key = r'HKCU\Control Panel\Desktop'
        sizes = {}
        try:
            for dpi in (96, 144):
                e2e.stop_wine()
                subprocess.run(['wine', 'reg', 'add', key, '/v', 'LogPixels', '/t', 'REG_DWORD', '/d', str(dpi), '/f'],
                               env=e2e.wine_env(), capture_output=True, check=True, timeout=e2e.TIMEOUT)
                e2e.stop_wine()
                installer = self.start(saver)
                found = e2e.wait_for_window('^Installer for Dpi$')
                self.assertEqual(len(found), 1)
                sizes[dpi] = e2e.window_geometry(found[0])[2:]
                e2e.press(found[0], 'Escape')
                self.assertEndsWith(installer)
        finally:
            subprocess.run(['wine', 'reg', 'delete', key, '/v', 'LogPixels', '/f'], env=e2e.wine_env(),
                           capture_output=True, timeout=e2e.TIMEOUT)
            e2e.stop_wine()
        (width96, height96), (width144, height144) = sizes[96], sizes[144]
        self.assertGreater(width144, width96 * 1.4, sizes)
        self.assertGreater(height144, height96 * 1.4, sizes)


if __name__ == '__main__':
    unittest.main(verbosity=2)
