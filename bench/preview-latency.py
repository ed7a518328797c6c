#!/usr/bin/env python3
"""How soon the editor's preview shows a movie, and what it costs while one plays, beside the same
movie in the same Ruffle in a stock Chromium (Debian's `chromium`), on a private Xvfb:

  cold start   the editor started with fresh settings and a playlist whose first (selected) row is
               a red movie, to red in its preview; Chromium started with a fresh profile on a page
               from 127.0.0.1 that plays the red movie, to red on the screen
  next movie   a click on the second row, a blue movie, to blue in the preview
  full screen  Preview (Ctrl+P), to blue filling the full-screen player
  playing      a 640 x 360 moving movie: proportional set size (all processes of each program) and
               CPU over 10 s

The window's pixels are read from the X server (xwd), as a user would see them. Medians of RUNS runs.
   usage: bench/preview-latency.py [BIN_DIR] [RUNS]
Run on demand, never as a test."""
import http.server
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'e2e'))
import e2e  # noqa: E402  (the tests' screen reading and private displays)

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', 'build', 'bin'))
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
RUFFLE = os.path.join(BIN, '..', 'share', 'lumo-screensaver', 'view', 'ruffle')
WIDTH, HEIGHT = 1280, 1024
RED, BLUE = (255, 0, 0), (0, 0, 255)
MAIN = '^Lumo ScreenSaver v1.0$'
FULL_SCREEN = '^Lumo ScreenSaver$'
SECOND_ROW = (314, 315)  # in the main window, from its top-left corner


def movie(path, source, size='320x240', seconds=4):
    subprocess.run(['ffmpeg', '-v', 'error', '-y', '-f', 'lavfi', '-i', f'{source}=size={size}:rate=24' if '=' not in source else f'{source}:size={size}:rate=24', '-t',
                    str(seconds), '-c:v', 'flv1', path], check=True)


def share_of(colour, window):
    """The share of a window's pixels (one in 8 each way) within reach of colour. xwd reads the
    window in one X request, so the reading barely delays what it times."""
    image = e2e.window_image(window)
    if image is None:
        return None  # the window went: Qt makes the editor's window anew when the web view joins
    hits = total = 0
    for y in range(0, image.height, 8):
        for x in range(0, image.width, 8):
            total += 1
            hits += all(abs(a - b) < 60 for a, b in zip(image.pixel(x, y), colour))
    return hits / total if total else 0.0


def wait_for(colour, since, window_name, timeout=30, share=0.05):
    """Seconds from `since` until the window shows colour over `share` of it; None on timeout."""
    window = None
    while time.monotonic() - since < timeout:
        if window is None:
            found = e2e.visible_windows(window_name)
            window = found[-1] if found else None
        if window:
            seen = share_of(colour, window)
            if seen is None:
                window = None
            elif seen > share:
                return time.monotonic() - since
        time.sleep(0.01)
    return None


def process_tree(pid):
    tree, todo = [], [pid]
    while todo:
        current = todo.pop()
        tree.append(current)
        out = subprocess.run(['pgrep', '-P', str(current)], capture_output=True, text=True).stdout.split()
        todo += [int(child) for child in out]
    return tree


def pss_mib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f'/proc/{pid}/smaps_rollup') as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith('Pss:'))
        except OSError:
            pass
    return total / 1024


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open(f'/proc/{pid}/stat') as f:
                fields = f.read().rsplit(')', 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')
        except OSError:
            pass
    return total


def playing_cost(pid, seconds=10):
    time.sleep(3)
    pids = process_tree(pid)
    before = cpu_seconds(pids)
    time.sleep(seconds)
    pids = process_tree(pid)
    return pss_mib(pids), (cpu_seconds(pids) - before) / seconds * 100


class Editor:
    def __init__(self, work, rows):
        self.home = tempfile.mkdtemp(dir=work)
        registry = e2e.editor_settings(self.home, rows, playlist=True)
        runtime = os.path.join(self.home, 'run')
        os.makedirs(runtime, mode=0o700)
        env = {k: v for k, v in os.environ.items() if k != 'QT_QPA_PLATFORM'}
        env.update(LUMO_REGISTRY=registry, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.home, 'config'), XDG_DATA_HOME=os.path.join(self.home, 'data'),
                   XDG_CACHE_HOME=os.path.join(self.home, 'cache'))
        self.started = time.monotonic()
        self.process = subprocess.Popen([os.path.join(BIN, 'lumo')], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def end(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()


class Chromium:
    def __init__(self, work, url):
        self.profile = tempfile.mkdtemp(dir=work)
        self.started = time.monotonic()
        self.process = subprocess.Popen(['chromium', '--no-sandbox', '--no-first-run', '--disable-gpu',
                                         '--user-data-dir=' + self.profile, '--window-size=800,600',
                                         '--autoplay-policy=no-user-gesture-required', '--app=' + url],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def end(self):
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = lambda *args: QuietHandler(*args, directory=folder)  # noqa: E731
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


PAGE = '''<!DOCTYPE html><html><head><meta charset="utf-8"><title>Ruffle peer</title><style>html,body{margin:0;height:100%%;background:#000}
</style><script>window.RufflePlayer={config:{splashScreen:false,preloader:false,autoplay:"on",
unmuteOverlay:"hidden",letterbox:"off"}};</script><script src="ruffle/ruffle.js"></script></head><body>
<script>const p=window.RufflePlayer.newest().createPlayer();p.style.width="100%%";p.style.height="100%%";
document.body.appendChild(p);p.load("%s");</script></body></html>'''


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float('nan')


def ensure_chromium():
    """The peer is Debian's Chromium, installed here on first use (only this benchmark needs it)."""
    if shutil.which('chromium'):
        return
    sudo = [] if os.geteuid() == 0 else ['sudo']
    env = dict(os.environ, DEBIAN_FRONTEND='noninteractive')
    subprocess.run(sudo + ['apt-get', 'install', '-y', '--no-install-recommends', 'chromium'], check=True, env=env)


def main():
    ensure_chromium()
    work = tempfile.mkdtemp()
    try:
        site = os.path.join(work, 'site')
        os.makedirs(site)
        shutil.copytree(RUFFLE, os.path.join(site, 'ruffle'))
        red, blue, busy = (os.path.join(site, name) for name in ('red.swf', 'blue.swf', 'busy.swf'))
        movie(red, 'color=c=red')
        movie(blue, 'color=c=blue')
        movie(busy, 'testsrc2', size='640x360', seconds=30)
        for name in ('red', 'busy'):
            with open(os.path.join(site, name + '.html'), 'w') as f:
                f.write(PAGE % (name + '.swf'))
        server = serve(site)
        url = 'http://127.0.0.1:%d/' % server.server_address[1]
        results = {'editor start': [], 'editor next': [], 'full screen': [], 'chromium start': []}
        with e2e.PrivateDisplay('-screen', '0', '%dx%dx24' % (WIDTH, HEIGHT)):
            for _ in range(RUNS):
                editor = Editor(work, [red, blue])
                try:
                    results['editor start'].append(wait_for(RED, editor.started, MAIN))
                    window = e2e.wait_for_window('^Lumo ScreenSaver v1.0$')
                    left, top, _, _ = e2e.window_geometry(window[0])
                    # The second row of the playlist, where the main window lays it out.
                    e2e.xdotool('mousemove', '--sync', str(left + SECOND_ROW[0]), str(top + SECOND_ROW[1]))
                    clicked = time.monotonic()
                    e2e.xdotool('click', '1')
                    results['editor next'].append(wait_for(BLUE, clicked, MAIN))
                    e2e.xdotool('windowfocus', '--sync', window[0])
                    pressed = time.monotonic()
                    e2e.xdotool('key', 'ctrl+p')
                    results['full screen'].append(wait_for(BLUE, pressed, FULL_SCREEN, share=0.5))
                finally:
                    editor.end()
                browser = Chromium(work, url + 'red.html')
                try:
                    results['chromium start'].append(wait_for(RED, browser.started, '^Ruffle peer'))
                finally:
                    browser.end()
            editor = Editor(work, [busy])
            try:
                editor_cost = playing_cost(editor.process.pid)
            finally:
                editor.end()
            browser = Chromium(work, url + 'busy.html')
            try:
                chromium_cost = playing_cost(browser.process.pid)
            finally:
                browser.end()
        server.shutdown()
        start, peer = median(results['editor start']), median(results['chromium start'])
        print('preview latency under Xvfb, median of %d runs (every run in brackets)' % RUNS)
        for name, values in results.items():
            print('  %-15s %5.2f s   %s' % (name, median(values),
                                             ' '.join('-' if v is None else '%.2f' % v for v in values)))
        print('  editor start / chromium start: %.2f x' % (start / peer))
        print('playing the 640 x 360 movie: editor %.0f MiB PSS, %.0f %% CPU; chromium %.0f MiB PSS, %.0f %% CPU'
              % (editor_cost + chromium_cost))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
