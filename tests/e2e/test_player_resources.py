"""The player program's resources, read with tools that share no code with the project."""
import os
import subprocess
import tempfile
import unittest
from xml.etree import ElementTree

import pefile

import e2e

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
RUSSIAN = 0x0419


class PlayerResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.path = os.path.join(e2e.BIN, 'lumo-player.exe')
        cls.pe = pefile.PE(cls.path)

    def entries(self, type_id):
        for entry in self.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if entry.id == type_id:
                return entry.directory.entries
        return []

    def data(self, leaf):
        lang = leaf.directory.entries[0]
        return lang.id, self.pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)

    def test_is_a_gui_program_that_needs_no_dll_beside_it(self):
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 2)  # Windows GUI
        imports = {entry.dll.decode().lower() for entry in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertFalse({d for d in imports if 'libstdc++' in d or 'libgcc' in d or 'zlib' in d
                          or 'winpthread' in d}, imports)

    def test_main_icon_group_holds_three_32_bit_images_in_russian(self):
        groups = self.entries(RT_GROUP_ICON)
        self.assertEqual([str(g.name) for g in groups], ['MAINICON'])
        lang, group = self.data(groups[0])
        self.assertEqual(lang, RUSSIAN)
        count = int.from_bytes(group[4:6], 'little')
        images = [group[6 + 14 * i:20 + 14 * i] for i in range(count)]
        sizes = [(img[0], img[1], int.from_bytes(img[6:8], 'little'), int.from_bytes(img[12:14], 'little'))
                 for img in images]
        self.assertEqual(sizes, [(48, 48, 32, 1), (32, 32, 32, 2), (16, 16, 32, 3)])
        icons = self.entries(RT_ICON)
        self.assertEqual([(i.id, i.directory.entries[0].id) for i in icons],
                         [(1, RUSSIAN), (2, RUSSIAN), (3, RUSSIAN)])

    def test_icoutils_extracts_the_same_icon(self):
        listing = subprocess.run(['wrestool', '-l', self.path], capture_output=True, text=True, check=True).stdout
        self.assertIn("--type=14 --name='MAINICON' --language=1049", listing)
        with tempfile.TemporaryDirectory() as folder:
            ico = os.path.join(folder, 'main.ico')
            subprocess.run(['wrestool', '-x', '-t', '14', '-n', 'MAINICON', '-o', ico, self.path], check=True)
            sizes = subprocess.run(['icotool', '-l', ico], capture_output=True, text=True, check=True).stdout
        self.assertEqual([line.split()[2:5] for line in sizes.splitlines()],
                         [['--width=48', '--height=48', '--bit-depth=32'],
                          ['--width=32', '--height=32', '--bit-depth=32'],
                          ['--width=16', '--height=16', '--bit-depth=32']])

    def test_version_record(self):
        strings = {}
        translations = []
        for info in self.pe.FileInfo[0]:
            for table in getattr(info, 'StringTable', []):
                self.assertEqual(table.LangID, b'040804E5')
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
            for var in getattr(info, 'Var', []):
                translations.append(var.entry)
        self.assertEqual(strings, {
            'CompanyName': 'Corvane',
            'FileDescription': 'ScreenSaver created with Lumo ScreenSaver',
            'FileVersion': '1.0.0.0',
            'InternalName': 'Lumo ScreenSaver',
            'OriginalFilename': '',
            'ProductName': '',
            'ProductVersion': '1.0.0.0',
        })
        self.assertEqual(translations, [{b'Translation': '0x0408 0x04e5'}])
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0))

    def test_manifest_declares_what_a_current_windows_reads(self):
        manifests = self.entries(RT_MANIFEST)
        self.assertEqual([m.id for m in manifests], [1])
        _, text = self.data(manifests[0])
        root = ElementTree.fromstring(text)  # well-formed, or Windows refuses to start the program
        v1, v3 = '{urn:schemas-microsoft-com:asm.v1}', '{urn:schemas-microsoft-com:asm.v3}'
        controls = root.find(f'{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity')
        self.assertEqual((controls.get('name'), controls.get('version')), ('Microsoft.Windows.Common-Controls', '6.0.0.0'))
        level = root.find(f'{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel')
        self.assertEqual(level.get('level'), 'asInvoker')
        compat = '{urn:schemas-microsoft-com:compatibility.v1}'
        systems = {e.get('Id') for e in root.iter(f'{compat}supportedOS')}
        self.assertEqual(systems, {'{35138b9a-5d96-4fbd-8e2d-a2440225f93a}', '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',
                                   '{1f676c76-80e1-4239-95bb-83d0f6d0da78}', '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'})
        settings = {e.tag.split('}')[1]: e.text for e in root.find(f'{v3}application/{v3}windowsSettings')}
        self.assertEqual(settings['dpiAwareness'].split(',')[0].strip(), 'PerMonitorV2')
        self.assertEqual(settings['dpiAware'], 'true/pm')  # the fallback Windows 8.1 and early 10 read
        self.assertEqual(settings['longPathAware'], 'true')

    def test_carries_no_project_yet(self):
        names = [str(e.name) for entries in (self.entries(10),) for e in entries]
        self.assertNotIn('FILELIST', names)


if __name__ == '__main__':
    unittest.main(verbosity=2)
