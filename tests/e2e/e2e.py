"""What the end-to-end tests share: where the built programs are, a Wine prefix of their own in the
build tree, and the X display (Xvfb) the tests run on."""
import os
import shutil
import struct
import subprocess
import tempfile
import time

BIN = os.environ.get('LUMO_BIN', os.path.join(os.path.dirname(__file__), '../../build/bin'))
SCRATCH = os.environ.get('LUMO_E2E_DIR', os.path.join(BIN, '..', 'e2e'))
WINEPREFIX = os.path.join(SCRATCH, 'wineprefix')
TIMEOUT = 60


def wine_env():
    env = dict(os.environ)
    env.update(WINEPREFIX=WINEPREFIX, WINEDEBUG='-all', WINEDLLOVERRIDES='mscoree,mshtml=',
               WINEARCH='win64')
    return env


def make_wine_prefix():
    """A fresh prefix, made once per build tree (and again when what it is made with changes: the
    marker's name). Managed=N lets windows close at once when no window manager runs."""
    marker = os.path.join(WINEPREFIX, '.lumo-ready-2')
    if os.path.exists(marker):
        return
    shutil.rmtree(WINEPREFIX, ignore_errors=True)
    os.makedirs(WINEPREFIX)
    env = wine_env()
    subprocess.run(['wineboot', '-i'], env=env, check=True, timeout=300,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(['wine', 'reg', 'add', r'HKCU\Software\Wine\X11 Driver', '/v', 'Managed', '/d', 'N', '/f'],
                   env=env, check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A crash ends the program with its code instead of leaving a dialog that blocks the test.
    subprocess.run(['wine', 'reg', 'add', r'HKCU\Software\Wine\WineDbg', '/v', 'ShowCrashDialog', '/t', 'REG_DWORD',
                    '/d', '0', '/f'], env=env, check=True, timeout=120, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    subprocess.run(['wineserver', '-w'], env=env, timeout=120)
    open(marker, 'w').close()


def stop_wine():
    subprocess.run(['wineserver', '-k'], env=wine_env(), timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def xdotool(*args, timeout=TIMEOUT):
    return subprocess.run(['xdotool', *args], capture_output=True, text=True, timeout=timeout)


def wait_for_window(name_regex, timeout=TIMEOUT):
    """The ids of the visible windows whose name matches, once there is one; [] after timeout."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool('search', '--onlyvisible', '--name', name_regex).stdout.split()
        if found:
            return found
        time.sleep(0.1)
    return []


def visible_windows(name_regex):
    return xdotool('search', '--onlyvisible', '--name', name_regex).stdout.split()


def visible_window_names():
    """Every visible window's name, for a failure's message."""
    return [xdotool('getwindowname', window).stdout.strip()
            for window in xdotool('search', '--onlyvisible', '--name', '').stdout.split()]


def window_geometry(window):
    """A window's x, y, width and height on the screen."""
    out = xdotool('getwindowgeometry', '--shell', window).stdout
    values = dict(line.split('=', 1) for line in out.split())
    return int(values['X']), int(values['Y']), int(values['WIDTH']), int(values['HEIGHT'])


def press(window, key):
    # windowfocus, then key: "key --window" leaves the key stuck inside Wine.
    xdotool('windowfocus', '--sync', window)
    xdotool('key', key)


def screen_rgb(x, y, width, height, display=None):
    """The pixels of a screen area as rows of (r, g, b), read back from the X server."""
    display = display or os.environ['DISPLAY']
    raw = subprocess.run(['ffmpeg', '-v', 'error', '-f', 'x11grab', '-draw_mouse', '0', '-video_size', f'{width}x{height}',
                          '-i', f'{display}+{x},{y}', '-frames:v', '1', '-f', 'rawvideo', '-pix_fmt', 'rgb24', '-'],
                         capture_output=True, check=True, timeout=TIMEOUT).stdout
    return [[tuple(raw[(row * width + col) * 3:(row * width + col) * 3 + 3]) for col in range(width)]
            for row in range(height)]


class WindowImage:
    """A window's pixels as xwd reads them: one X request, a few tens of milliseconds, where an
    ffmpeg grab takes a few hundred. pixel(x, y) is (r, g, b), in the window's own coordinates."""

    def __init__(self, raw):
        field = lambda i: struct.unpack_from('>I', raw, i * 4)[0]  # noqa: E731
        header, self.width, self.height, byte_order = field(0), field(4), field(5), field(7)
        bits, self.stride, colours = field(11), field(12), field(19)
        if bits != 32:
            raise RuntimeError('xwd gave %d bits a pixel; 32 are read' % bits)
        self.raw, self.start = raw, header + colours * 12
        self.order = (2, 1, 0) if byte_order == 0 else (1, 2, 3)

    def pixel(self, x, y):
        at = self.start + y * self.stride + x * 4
        return tuple(self.raw[at + i] for i in self.order)


def window_image(window):
    """The window's WindowImage, or None when the window is gone."""
    raw = subprocess.run(['xwd', '-silent', '-id', window], capture_output=True, timeout=TIMEOUT).stdout
    return WindowImage(raw) if len(raw) >= 100 else None


def save_screenshot(path, x, y, width, height, display=None):
    display = display or os.environ['DISPLAY']
    subprocess.run(['ffmpeg', '-v', 'error', '-y', '-f', 'x11grab', '-draw_mouse', '0', '-video_size',
                    f'{width}x{height}', '-i', f'{display}+{x},{y}', '-frames:v', '1', path], check=True,
                   timeout=TIMEOUT)


class PrivateDisplay:
    """An Xvfb of its own (for layouts the suite's display does not have), made this process's
    DISPLAY while the with-block runs; Wine's server is restarted on it and again when it ends,
    so Wine reads each display's monitors afresh."""

    def __init__(self, *xvfb_args):
        self.args = xvfb_args

    def __enter__(self):
        stop_wine()
        read, write = os.pipe()
        self.server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-nolisten', 'tcp', *self.args],
                                       pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.name = ':' + f.readline().strip()
        self.previous = os.environ.get('DISPLAY')
        os.environ['DISPLAY'] = self.name
        return self

    def __exit__(self, *exc):
        stop_wine()
        self.server.terminate()
        self.server.wait(timeout=TIMEOUT)
        if self.previous is None:
            os.environ.pop('DISPLAY', None)
        else:
            os.environ['DISPLAY'] = self.previous


def scratch_dir(prefix):
    os.makedirs(SCRATCH, exist_ok=True)
    return tempfile.mkdtemp(prefix=prefix, dir=SCRATCH)


def end_processes(processes):
    """Kills those still running and waits for all."""
    for process in processes:
        if process.poll() is None:
            process.kill()
            process.wait()


def lit_pixels(x, y, width, height):
    return sum(1 for row in screen_rgb(x, y, width, height) for pixel in row if max(pixel) > 100)


def wait_until_lit(x, y, width, height, timeout=30):
    """The lit pixels of the area once at least half of it is lit, or when the time is up."""
    deadline = time.monotonic() + timeout
    lit = lit_pixels(x, y, width, height)
    while time.monotonic() < deadline and lit < width * height // 2:
        time.sleep(0.5)
        lit = lit_pixels(x, y, width, height)
    return lit


def editor_settings(folder, movies, playlist=False):
    """The editor's settings file in folder, whose list folder plays movies (checked): its path.
    With playlist, they are the editor's playlist instead, checked, the first selected at start."""
    lists = os.path.join(folder, 'lists')
    os.makedirs(lists)
    with open(os.path.join(lists, 'FileList.list' if playlist else 'PlayList.list'), 'w', newline='\r\n') as f:
        f.write(''.join(('-1;' if playlist else '') + movie + '\n' for movie in movies))
    registry = os.path.join(folder, 'registry.reg')
    with open(registry, 'w', encoding='utf-8', newline='\r\n') as f:
        f.write('Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver]\n'
                '"Path"="%s"\n' % lists)
    return registry


class WebServer:
    """A folder served over HTTP on 127.0.0.1, on a free port, for as long as the with-block runs."""

    def __init__(self, folder):
        import functools
        import http.server
        import threading

        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                                      functools.partial(Quiet, directory=folder))
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def url(self, path):
        return 'http://127.0.0.1:%d/%s' % (self.server.server_address[1], path)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
