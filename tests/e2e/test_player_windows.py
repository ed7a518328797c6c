"""The produced screensaver under Wine: unpacking its own FILELIST, the full-screen player and its
input filter, the settings dialog and its stored mute setting, the installer and its licence."""
import glob
import os
import shutil
import subprocess
import time
import unittest

import e2e
import product

# Wine draws the frame itself when no window manager runs: the client area starts this far in.
FRAME_LEFT, FRAME_TOP = 3, 22


def click_client(window, x, y):
    time.sleep(0.5)  # a window just mapped may not take a click yet
    left, top, _, _ = e2e.window_geometry(window)
    e2e.xdotool('mousemove', '--sync', str(left + FRAME_LEFT + x), str(top + FRAME_TOP + y))
    e2e.xdotool('click', '1')


def windows_named(name_regex, count):
    """The visible windows of that name once there are count of them (or what there is at the timeout)."""
    deadline = time.monotonic() + e2e.TIMEOUT
    while True:
        found = e2e.visible_windows(name_regex)
        if len(found) >= count or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def reg_query(key, value):
    out = subprocess.run(['wine', 'reg', 'query', key, '/v', value], env=e2e.wine_env(), capture_output=True,
                         text=True, timeout=e2e.TIMEOUT).stdout
    for line in out.splitlines():
        parts = line.split()
        if parts[:2] == [value, 'REG_SZ']:
            return parts[2] if len(parts) > 2 else ''
    return None


class PlayerWindows(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.make_wine_prefix()

    def setUp(self):
        self.folder = e2e.scratch_dir('windows-')
        self.process = None
        self.env = e2e.wine_env()
        self.env['ALSA_CONFIG_PATH'] = os.path.join(os.path.dirname(__file__), 'asound-null.conf')

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.process:
            self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, program, *args):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.process:
            self.log.close()
        # Wine's own report of a crash goes to stderr even with WINEDEBUG=-all: kept for the failure message.
        self.log = open(os.path.join(self.folder, 'wine-%d.log' % time.monotonic_ns()), 'w+')
        self.process = subprocess.Popen(['wine', program, *args], env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=self.log)

    def assertEnded(self):
        code = self.process.wait(timeout=e2e.TIMEOUT)
        self.log.seek(0)
        self.assertEqual(code, 0, 'exit code %d; wine printed:\n%s' % (code, self.log.read()[-3000:]))

    def windows(self, name_regex, count, why=''):
        """The visible windows of that name once there are count of them; failing that, what there is."""
        found = windows_named(name_regex, count)
        if len(found) < count:
            code = self.process.poll() if self.process else None
            self.log.seek(0)
            self.fail('%s\n%d of %d windows named %s after %d s; the program %s; visible windows: %s; wine printed:\n%s'
                      % (why, len(found), count, name_regex, e2e.TIMEOUT,
                         'still runs' if code is None else 'ended with code %d' % code,
                         e2e.visible_window_names(), self.log.read()[-3000:]))
        return found

    def window(self, name_regex, why=''):
        return self.windows(name_regex, 1, why)[0]

    def work(self, name):
        return os.path.join(product.wine_temp(), name)

    def test_screensaver_unpacks_its_filelist_and_closes_on_input_beyond_five_pixels(self):
        saver = product.build(self.folder, 'MySaver.scr')
        e2e.xdotool('mousemove', '--sync', '200', '200')
        self.start(saver, '/s')
        found = self.window('^FSScreenSaver$')
        _, _, width, height = e2e.window_geometry(found)
        screen = e2e.xdotool('getdisplaygeometry').stdout.split()
        self.assertEqual([str(width), str(height)], screen, 'the player fills the screen')
        # The resource, read back through FindResource/LoadResource, byte for byte.
        with open(os.path.join(self.folder, 'file.lis'), 'rb') as f, \
                open(os.path.join(self.work('MySaver.scr'), 'files.lis'), 'rb') as g:
            self.assertEqual(f.read(), g.read())
        for name in ('param.lis', 'playl.lis', 'one.swf', 'two.swf', 'three.png', os.path.join('Logo', 'Logos.png')):
            self.assertTrue(os.path.exists(os.path.join(self.work('MySaver.scr'), name)), name)

        e2e.xdotool('mousemove', '--sync', '205', '195')
        time.sleep(1)
        self.assertIsNone(self.process.poll(), 'a jitter of 5 pixels is tolerated')
        e2e.xdotool('mousemove', '--sync', '206', '200')
        self.assertEnded()
        self.assertFalse(os.path.exists(self.work('MySaver.scr')), 'the close step removes the work folder')

    def test_a_screensaver_from_lumo_tool_create_installs_shows_its_settings_and_plays(self):
        movies = [os.path.join(self.folder, 'clip.swf')]
        with open(movies[0], 'wb') as f:
            f.write(product.swf())
        made = os.path.join(self.folder, 'testcard.swf')
        if subprocess.run(['ffmpeg', '-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=160x120:rate=12',
                           '-t', '2', '-c:v', 'flv1', made], timeout=e2e.TIMEOUT).returncode == 0:
            movies.append(made)
        corpus = os.path.join(os.path.dirname(__file__), '..', '..', '..', 'shared', 'corpus', 'swf',
                              'jplayer-2.9.2__jquery.jplayer.swf')
        if os.path.exists(corpus):
            movies.append(corpus)
        logo = os.path.join(self.folder, 'logo.png')
        with open(logo, 'wb') as f:
            f.write(product.png(64, 48, (20, 90, 200)))
        icon = os.path.join(self.folder, 'saver.ico')
        with open(icon, 'wb') as f:
            f.write(product.ico(product.png(32, 32, (200, 200, 0))))
        licence = os.path.join(self.folder, 'LICENCE.txt')
        with open(licence, 'w') as f:
            f.write('Terms of use\n')
        # A name Windows refuses, and a movie from the web: both unpack under names the player loads.
        odd = os.path.join(self.folder, 'what?.swf')
        served = os.path.join(self.folder, 'served')
        os.makedirs(served)
        for path in (odd, os.path.join(served, 'from web.swf')):
            with open(path, 'wb') as f:
                f.write(product.swf(320, 200))
        expected = [os.path.basename(movie) for movie in movies] + ['what_.swf', 'from web.swf']
        setup = os.path.join(self.folder, 'Created.exe')
        with e2e.WebServer(served) as server:
            result = subprocess.run([os.path.join(e2e.BIN, 'lumo-tool'), 'create', '--video', 'never', '-o', setup, '--mode', 'round',
                                     '--title', 'Created settings', '--width', '420', '--height', '350', '--logo',
                                     logo, '--icon', icon, '--licence', licence, *movies, odd,
                                     server.url('from%20web.swf')],
                                    capture_output=True, text=True, timeout=e2e.TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)
        installed = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32', 'Created.scr')
        if os.path.exists(installed):
            os.remove(installed)

        # The installer, after the licence.
        self.start(setup)
        found = self.window('^Installer for Created$')
        click_client(found, 232 + 37, 320 + 24 + 12)
        licence_window = self.window('^Created Licence$')
        click_client(licence_window, 72 + 37, 317 - 41 + 8 + 12)
        boxes = self.windows('^Installer for Created$', 2)
        e2e.press(boxes[-1], 'n')
        self.assertEnded()
        self.assertTrue(os.path.exists(installed))
        shutil.rmtree(self.work('Created.exe'), ignore_errors=True)

        # The installed screensaver: its settings dialog, then the screensaver itself.
        self.start(installed)
        dialog = self.window('^Created settings$')
        self.assertEqual(e2e.window_geometry(dialog)[2:], (420, 350))
        e2e.press(dialog, 'alt+F4')
        self.assertEnded()
        self.start(installed, '/s')
        player = self.window('^FSScreenSaver$')
        for name in expected:
            self.assertTrue(os.path.exists(os.path.join(self.work('Created.scr'), name)), name)
        with open(os.path.join(self.work('Created.scr'), 'playl.lis'), 'rb') as f:
            self.assertEqual(f.read().decode('cp1252').split('\r\n')[:-1], expected)
        e2e.press(player, 'Escape')
        self.assertEnded()
        self.assertFalse(os.path.exists(self.work('Created.scr')))
        os.remove(installed)

    def test_settings_dialog_takes_its_look_from_the_project_and_stores_mute(self):
        saver = product.build(self.folder, 'Dialog.scr')
        subprocess.run(['wine', 'reg', 'delete', r'HKCU\Software\Dialog.scr', '/f'], env=e2e.wine_env(),
                       capture_output=True, timeout=e2e.TIMEOUT)  # no stored setting: the box starts clear
        self.start(saver)
        found = self.window('^My settings$', 'the caption is line 9')
        _, _, width, height = e2e.window_geometry(found)
        self.assertEqual((width, height), (470, 400), 'the outer size is lines 6 and 5')
        self.assertTrue(os.path.isdir(self.work('Dialog.scr')))
        client_width, client_height = width - 2 * FRAME_LEFT, height - FRAME_TOP - FRAME_LEFT
        click_client(found, client_width - 141 + 8, client_height - 41 + 16 + 8)  # "Mute"
        time.sleep(1)
        self.assertFalse(os.path.exists(self.work('Dialog.scr')),
                         'the first input closes the hidden player, which removes the work folder')
        click_client(found, client_width - 85 + 37, client_height - 41 + 8 + 12)  # "Ok"
        self.assertEnded()
        self.assertEqual(reg_query(r'HKCU\Software\Dialog.scr', 'MuteSound'), '1')

    def test_installer_copies_itself_under_the_project_name_and_asks_before_setting_it(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'My.Cool.Saver.exe'
        installer = product.build(self.folder, 'Setup.exe', lines=lines)
        installed = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32', 'My.scr')
        if os.path.exists(installed):
            os.remove(installed)
        self.start(installer)
        found = self.window('^Installer for My$')
        click_client(found, 232 + 37, 320 + 24 + 12)  # "Install"
        boxes = self.windows('^Installer for My$', 2, 'the confirmation box has the installer caption as its title')
        with open(installer, 'rb') as f, open(installed, 'rb') as g:
            self.assertEqual(f.read(), g.read())
        e2e.press(boxes[-1], 'n')
        self.assertEnded()
        self.assertFalse(os.path.exists(self.work('Setup.exe')), 'every ending removes the work folder')
        os.remove(installed)

    def test_a_copy_the_system_folder_refuses_is_said_and_installs_for_this_user(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'Blocked.exe'
        installer = product.build(self.folder, 'Setup.exe', lines=lines)
        # A folder where the screensaver would go: the copy into the system folder fails.
        blocker = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32', 'Blocked.scr')
        os.makedirs(blocker, exist_ok=True)
        try:
            self.start(installer)
            found = self.window('^Installer for Blocked$')
            click_client(found, 232 + 37, 320 + 24 + 12)  # "Install"
            boxes = self.windows('^Installer for Blocked$', 2,
                                 'the failure is said, with the offer to install for this user')
            e2e.press(boxes[-1], 'y')
            time.sleep(1)
            mine = glob.glob(os.path.join(e2e.WINEPREFIX, 'drive_c', 'users', '*', 'AppData', 'Local', 'Programs',
                                          'Blocked', 'Blocked.scr'))
            self.assertEqual(len(mine), 1, 'installed for this user')
            with open(installer, 'rb') as f, open(mine[0], 'rb') as g:
                self.assertEqual(f.read(), g.read())
            boxes = self.windows('^Installer for Blocked$', 2, 'the confirmation names where it went')
            e2e.press(boxes[-1], 'n')
            self.assertEnded()
            shutil.rmtree(os.path.dirname(mine[0]))
        finally:
            os.rmdir(blocker)
            shutil.rmtree(self.work('Setup.exe'), ignore_errors=True)

    def test_the_installers_bar_follows_the_unpacking(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'Big.exe'
        installer = product.build(self.folder, 'Big.exe', lines=lines, movies={'big.swf': os.urandom(96 << 20)})
        self.start(installer)
        filled = []  # the bar's filled pixels, sampled until the project is unpacked
        deadline = time.monotonic() + e2e.TIMEOUT
        while time.monotonic() < deadline and not e2e.visible_windows('^Installer for Big$'):
            shown = e2e.visible_windows('^Installer ')
            image = e2e.window_image(shown[0]) if shown else None
            if image:
                row = [image.pixel(FRAME_LEFT + 2 + x, FRAME_TOP + 376 - 56 + 8) for x in range(390)]
                filled.append(sum(1 for r, g, b in row if b > 150 and r < 150))
            time.sleep(0.05)
        partway = [i for i, f in enumerate(filled) if 0 < f < 380]
        self.assertTrue(partway, f'part of the way at some moment: {filled}')
        # Readings from before the window's first paint hold whatever was there (a full bar of the
        # previous installer, say), so the bar is followed from its first reading part of the way.
        moving = filled[partway[0]:]
        while moving and moving[-1] == 0:
            moving.pop()  # emptied for the install once the project is out
        self.assertEqual(moving, sorted(moving), f'it only moves forward: {filled}')
        e2e.press(self.window('^Installer for Big$'), 'Escape')
        self.assertEnded()

    def test_the_copy_with_an_administrators_rights_goes_only_to_the_system_folder(self):
        # What the installer starts through the "runas" verb when the system folder refuses it.
        installer = product.build(self.folder, 'Setup.exe')
        system32 = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32')
        cases = [(r'C:\windows\system32\Elevated.scr', 0, os.path.join(system32, 'Elevated.scr')),
                 (r'C:\users\Public\Elsewhere.scr', 87, os.path.join(e2e.WINEPREFIX, 'drive_c', 'users', 'Public',
                                                                       'Elsewhere.scr')),
                 (r'C:\windows\system32\Elevated.dll', 87, os.path.join(system32, 'Elevated.dll'))]
        for target, code, host_path in cases:
            with self.subTest(target=target):
                self.start(installer, '--lumo-copy-to', target)
                self.assertEqual(self.process.wait(timeout=e2e.TIMEOUT), code)
                self.assertEqual(os.path.exists(host_path), code == 0)
                if code == 0:
                    with open(installer, 'rb') as f, open(host_path, 'rb') as g:
                        self.assertEqual(f.read(), g.read())
                    os.remove(host_path)
                self.assertEqual(glob.glob(host_path + '.partial-*'), [])
        self.assertFalse(os.path.exists(self.work('Setup.exe')), 'the copy unpacks nothing')

    def test_every_window_works_from_the_keyboard(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'Keys.exe'
        installer = product.build(self.folder, 'Keys.exe', lines=lines, licence='Terms\r\n')
        installed = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32', 'Keys.scr')
        if os.path.exists(installed):
            os.remove(installed)
        # Enter presses Install; Escape declines the licence.
        self.start(installer)
        found = self.window('^Installer for Keys$')
        e2e.press(found, 'Return')
        licence = self.window('^Keys Licence$')
        e2e.press(licence, 'Escape')
        self.assertEnded()
        self.assertFalse(os.path.exists(installed))
        # Enter installs and accepts.
        self.start(installer)
        e2e.press(self.window('^Installer for Keys$'), 'Return')
        e2e.press(self.window('^Keys Licence$'), 'Return')
        boxes = self.windows('^Installer for Keys$', 2)
        self.assertTrue(os.path.exists(installed))
        e2e.press(boxes[-1], 'n')
        self.assertEnded()
        # Escape ends the installer as Cancel does.
        self.start(installer)
        e2e.press(self.window('^Installer for Keys$'), 'Escape')
        self.assertEnded()
        # The settings dialog: Alt+M ticks "Mute", Enter is "Ok" and stores it; Escape stores nothing.
        subprocess.run(['wine', 'reg', 'delete', r'HKCU\Software\Keys.scr', '/f'], env=e2e.wine_env(),
                       capture_output=True, timeout=e2e.TIMEOUT)
        self.start(installed)
        dialog = self.window('^My settings$')
        e2e.press(dialog, 'alt+m')
        e2e.press(dialog, 'Return')
        self.assertEnded()
        self.assertEqual(reg_query(r'HKCU\Software\Keys.scr', 'MuteSound'), '1')
        self.start(installed)
        dialog = self.window('^My settings$')
        e2e.press(dialog, 'alt+m')
        e2e.press(dialog, 'Escape')
        self.assertEnded()
        self.assertEqual(reg_query(r'HKCU\Software\Keys.scr', 'MuteSound'), '1', 'Escape stores nothing')
        os.remove(installed)

    def test_a_project_without_its_settings_lines_says_so_and_plays_on(self):
        saver = product.build(self.folder, 'Broken.scr', lines=[])
        e2e.xdotool('mousemove', '--sync', '300', '300')
        self.start(saver, '/s')
        for line in range(2):  # the mode line, then the interval line, each said in a box
            box = self.window('^Broken$', 'line %d is said' % (line + 1))
            e2e.press(box, 'Return')
            time.sleep(0.5)
        # It plays on. The last key's release may end it already, as any key does; that release
        # reaches it only when its window is up in time, so a key on that window ends it otherwise.
        deadline = time.monotonic() + e2e.TIMEOUT
        while self.process.poll() is None and time.monotonic() < deadline:
            player = e2e.visible_windows('^FSScreenSaver$')
            if player:
                e2e.press(player[0], 'Escape')
                break
            time.sleep(0.1)
        self.assertEnded()
        self.assertEqual(self.process.returncode, 0, 'ended by input, never by an exception')

    def test_the_close_box_stores_nothing(self):
        saver = product.build(self.folder, 'Closed.scr')
        subprocess.run(['wine', 'reg', 'delete', r'HKCU\Software\Closed.scr', '/f'], env=e2e.wine_env(),
                       capture_output=True, timeout=e2e.TIMEOUT)
        self.start(saver)
        found = self.window('^My settings$')
        _, _, width, height = e2e.window_geometry(found)
        click_client(found, width - 2 * FRAME_LEFT - 141 + 8, height - FRAME_TOP - FRAME_LEFT - 41 + 16 + 8)
        e2e.press(found, 'alt+F4')
        self.assertEnded()
        self.assertIsNone(reg_query(r'HKCU\Software\Closed.scr', 'MuteSound'))
        self.assertFalse(os.path.exists(self.work('Closed.scr')))

    def test_an_accepted_licence_installs(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'Accepted.exe'
        installer = product.build(self.folder, 'Accepted.exe', lines=lines, licence='Terms of use — café, Straße\r\n')
        installed = os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32', 'Accepted.scr')
        self.start(installer)
        found = self.window('^Installer for Accepted$')
        click_client(found, 232 + 37, 320 + 24 + 12)
        licence = self.window('^Accepted Licence$')
        shots = os.environ.get('LUMO_PLAYER_SHOTS')
        if shots:  # the licence as the user reads it, for the README
            subprocess.run(['import', '-window', licence, os.path.join(shots, 'licence.png')], timeout=e2e.TIMEOUT)
        click_client(licence, 72 + 37, 317 - 41 + 8 + 12)  # "Accept"
        boxes = self.windows('^Installer for Accepted$', 2, 'the confirmation box follows')
        self.assertTrue(os.path.exists(installed))
        e2e.press(boxes[-1], 'n')
        self.assertEnded()
        os.remove(installed)
        shutil.rmtree(self.work('Accepted.exe'), ignore_errors=True)

    def test_closing_the_installer_removes_the_work_folder(self):
        installer = product.build(self.folder, 'Closing.exe')
        self.start(installer)
        found = self.window('^Installer for MySaver$')
        self.assertTrue(os.path.isdir(self.work('Closing.exe')))
        e2e.press(found, 'alt+F4')
        self.assertEnded()
        self.assertFalse(os.path.exists(self.work('Closing.exe')))
        # Cancel ends it as the close box does.
        self.start(installer)
        found = self.window('^Installer for MySaver$')
        click_client(found, 320 + 37, 320 + 24 + 12)  # "Cancel"
        self.assertEnded()
        self.assertFalse(os.path.exists(self.work('Closing.exe')))

    def test_declining_the_licence_ends_without_copying(self):
        lines = list(product.DEFAULT_LINES)
        lines[3] = 'Licensed.exe'
        installer = product.build(self.folder, 'Licensed.exe', lines=lines, licence='Terms\r\nof use\r\n')
        self.start(installer)
        found = self.window('^Installer for Licensed$')
        click_client(found, 232 + 37, 320 + 24 + 12)
        licence = self.window('^Licensed Licence$')
        click_client(licence, 160 + 37, 317 - 41 + 8 + 12)  # "Decline"
        self.assertEnded()
        self.assertFalse(os.path.exists(os.path.join(e2e.WINEPREFIX, 'drive_c', 'windows', 'system32',
                                                     'Licensed.scr')))
        self.assertFalse(os.path.exists(self.work('Licensed.exe')), 'declining leaves no work folder')

    def test_a_missing_or_damaged_filelist_gives_one_error_and_ends(self):
        plain = os.path.join(self.folder, 'Plain.scr')
        shutil.copy(os.path.join(e2e.BIN, 'lumo-player.exe'), plain)
        damaged = product.build(self.folder, 'Damaged.scr', archive=b'\x03..\\\x05x.txt' + b'\x04\0\0\0\x08\0\0\0')
        for program, name in ((plain, 'Plain'), (damaged, 'Damaged')):
            for args in ([], ['/s']):
                with self.subTest(program=name, args=args):
                    self.start(program, *args)
                    box = self.window(f'^{name}$', 'one error box titled with the program name')
                    e2e.press(box, 'Return')
                    self.assertEnded()
                    self.assertEqual(e2e.visible_windows('^FSScreenSaver$|^My settings$|^Lumo ScreenSaver$'), [])
                    self.assertFalse(os.path.exists(self.work(name + '.scr')))
                    self.assertFalse(os.path.exists(os.path.join(product.wine_temp(), 'x.txt')))


if __name__ == '__main__':
    unittest.main(verbosity=2)
