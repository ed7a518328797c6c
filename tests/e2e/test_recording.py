"""Videos of Flash movies for a Windows without the Flash control: lumo-record on real movies, and
lumo-tool create packing them beside the movies, with progress and Ctrl+C."""
import json
import os
import shutil
import signal
import subprocess
import time
import unittest

import e2e
import product

RECORD = os.path.join(e2e.BIN, 'lumo-record')
TOOL = os.path.join(e2e.BIN, 'lumo-tool')
HAS_PLAYER = os.path.exists(os.path.join(e2e.BIN, '..', 'share', 'lumo-screensaver', 'files.sfp'))


def make_movie(path, seconds=2, sound=True, size='320x240'):
    """A Flash movie made by ffmpeg: a moving test card (Sorenson video), with a tone (MP3) or not."""
    args = ['ffmpeg', '-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=%s:rate=24' % size]
    if sound:
        args += ['-f', 'lavfi', '-i', 'sine=frequency=440:sample_rate=44100', '-c:a', 'libmp3lame', '-ar', '44100']
    subprocess.run(args + ['-t', str(seconds), '-c:v', 'flv1', path], check=True, timeout=e2e.TIMEOUT)


def probe(path):
    result = subprocess.run(['ffprobe', '-v', 'error', '-show_streams', '-show_format', '-of', 'json', path],
                            capture_output=True, text=True, check=True, timeout=e2e.TIMEOUT)
    return json.loads(result.stdout)


def frame(path, at):
    """The video's picture at `at` seconds, as raw RGB bytes."""
    return subprocess.run(['ffmpeg', '-v', 'error', '-ss', str(at), '-i', path, '-frames:v', '1', '-f', 'rawvideo',
                           '-pix_fmt', 'rgb24', '-'], capture_output=True, check=True, timeout=e2e.TIMEOUT).stdout


def lit_share(rgb):
    return sum(1 for i in range(0, len(rgb), 3) if max(rgb[i:i + 3]) > 40) / (len(rgb) / 3)


def changed_share(a, b):
    pixels = len(a) // 3
    return sum(1 for i in range(0, len(a), 3) if sum(abs(a[i + k] - b[i + k]) for k in range(3)) > 60) / pixels


class Recording(unittest.TestCase):
    def setUp(self):
        self.folder = e2e.scratch_dir('record-')

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def record(self, movie, video, width=320, height=240, fps=24, seconds=2):
        return subprocess.run([RECORD, '--width', str(width), '--height', str(height), '--fps', str(fps),
                               '--seconds', str(seconds), movie, video], capture_output=True, text=True,
                              timeout=e2e.TIMEOUT)

    def test_a_movie_becomes_motion_jpeg_with_pcm_sound_in_avi_and_moves(self):
        make_movie(self.path('card.swf'))
        result = self.record(self.path('card.swf'), self.path('card.avi'))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('recorded 2.00', result.stdout)
        streams = {s['codec_type']: s for s in probe(self.path('card.avi'))['streams']}
        video, audio = streams['video'], streams['audio']
        self.assertEqual((video['codec_name'], video['width'], video['height'], video['r_frame_rate']),
                         ('mjpeg', 320, 240, '24/1'))
        self.assertEqual((audio['codec_name'], audio['sample_rate'], audio['channels']), ('pcm_s16le', '22050', 2))
        self.assertAlmostEqual(float(probe(self.path('card.avi'))['format']['duration']), 2, delta=0.15)
        start, later = frame(self.path('card.avi'), 0.2), frame(self.path('card.avi'), 1.5)
        self.assertGreater(lit_share(start), 0.5, 'the test card shows')
        self.assertGreater(changed_share(start, later), 0.01, 'the movie moves in its video')
        self.assertEqual(sorted(os.listdir(self.folder)), ['card.avi', 'card.swf'], 'no in-between file is left')

    def test_a_silent_movie_has_no_sound_track_and_a_movie_ruffle_cannot_show_has_no_video(self):
        make_movie(self.path('quiet.swf'), sound=False)
        result = self.record(self.path('quiet.swf'), self.path('quiet.avi'), width=160, height=120, fps=12)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([s['codec_type'] for s in probe(self.path('quiet.avi'))['streams']], ['video'])

        # A movie that shows nothing but its black stage: the screensaver shows its stand-in instead.
        empty = product.swf(320, 240)
        black = empty[:-4] + bytes([0x43, 0x02, 0, 0, 0]) + empty[-4:]  # SetBackgroundColor 000000 first
        with open(self.path('broken.swf'), 'wb') as f:
            f.write(black[:4] + len(black).to_bytes(4, 'little') + black[8:])
        result = self.record(self.path('broken.swf'), self.path('broken.avi'))
        self.assertEqual(result.returncode, 1)
        self.assertEqual(len([line for line in result.stderr.splitlines() if line.startswith('lumo-record: ')]), 1,
                         result.stderr)
        self.assertFalse(os.path.exists(self.path('broken.avi')))

        for args, words in ((['--width', '321', '--height', '240', '--fps', '24', '--seconds', '2'], 'even numbers'),
                            (['--width', '320', '--height', '240', '--fps', '24', '--seconds', '0'], 'even numbers')):
            result = subprocess.run([RECORD, *args, self.path('quiet.swf'), self.path('x.avi')], capture_output=True,
                                    text=True, timeout=e2e.TIMEOUT)
            self.assertEqual(result.returncode, 1)
            self.assertIn(words, result.stderr)

    @unittest.skipUnless(HAS_PLAYER, 'this build has no player program (no cross build)')
    def test_create_packs_a_video_beside_each_flash_movie_and_ctrl_c_stops_it(self):
        make_movie(self.path('card.swf'))
        with open(self.path('still.swf'), 'wb') as f:
            f.write(product.swf(200, 100))  # one frame: recorded for --video-seconds
        with open(self.path('photo.png'), 'wb') as f:
            f.write(product.png(16, 16, (255, 0, 0)))
        out = self.path('Saver.exe')
        result = subprocess.run([TOOL, 'create', '-o', out, '--video-seconds', '3', self.path('card.swf'),
                                 self.path('still.swf'), self.path('photo.png')], capture_output=True, text=True,
                                timeout=e2e.TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('recording a video of %s (1 of 2)' % self.path('card.swf'), result.stderr)
        self.assertIn('recording a video of %s (2 of 2)' % self.path('still.swf'), result.stderr)
        subprocess.run([TOOL, 'pe', 'extract', out, '--type', '10', '--name', 'FILELIST', self.path('f.lis')],
                       check=True)
        subprocess.run([TOOL, 'archive', 'unpack', self.path('f.lis'), self.path('project')], check=True)
        self.assertEqual(sorted(os.listdir(self.path('project'))),
                         ['card.avi', 'card.swf', 'param.lis', 'photo.png', 'playl.lis', 'still.avi',
                          'still.swf'])
        with open(self.path('project', 'playl.lis'), 'rb') as f:
            self.assertEqual(f.read(), b'card.swf\r\nstill.swf\r\nphoto.png\r\n')
        card = probe(self.path('project', 'card.avi'))
        self.assertAlmostEqual(float(card['format']['duration']), 2, delta=0.15, msg='one loop of the timeline')
        still = probe(self.path('project', 'still.avi'))
        self.assertAlmostEqual(float(still['format']['duration']), 3, delta=0.15, msg='the length asked for')
        self.assertEqual((still['streams'][0]['width'], still['streams'][0]['height']), (200, 100))

        # Ctrl+C while a movie records: nothing is written and nothing of the recording runs on.
        temp, runtime = self.path('tmp'), self.path('run')
        os.makedirs(temp)
        os.makedirs(runtime, mode=0o700)
        run = subprocess.Popen([TOOL, 'create', '-o', self.path('Cancelled.exe'), '--video-seconds', '120',
                                self.path('still.swf')], stderr=subprocess.PIPE, text=True,
                               env=dict(os.environ, TMPDIR=temp, XDG_RUNTIME_DIR=runtime))
        line = run.stderr.readline()
        self.assertIn('recording a video of', line)
        time.sleep(2)
        run.send_signal(signal.SIGINT)
        _, err = run.communicate(timeout=30)
        self.assertEqual(run.returncode, 1)
        self.assertIn('Cancelled', err)
        self.assertFalse(os.path.exists(self.path('Cancelled.exe')))
        self.assertEqual(os.listdir(temp), [])
        left = subprocess.run(['pgrep', '-f', 'lumo-record.*' + self.path('still.swf')], capture_output=True)
        self.assertEqual(left.stdout, b'', 'the recorder stopped with the build')


if __name__ == '__main__':
    unittest.main()
