"""The help document the editor carries: a real CHM that a CHM reader (chmlib) opens, with its pages."""
import os
import subprocess
import tempfile
import unittest


class HelpDocument(unittest.TestCase):
    def test_chmlib_reads_every_page(self):
        chm = os.environ['LUMO_HELP_CHM']
        with tempfile.TemporaryDirectory() as out:
            subprocess.run(['extract_chmLib', chm, out], check=True, capture_output=True)
            for page, title in (('index.html', 'Lumo ScreenSaver'), ('playlist.html', 'The playlist'),
                                ('creator.html', 'Creating a screensaver')):
                with open(os.path.join(out, page), encoding='utf-8') as f:
                    self.assertIn(f'<title>{title}</title>', f.read(), page)


if __name__ == '__main__':
    unittest.main(verbosity=2)
