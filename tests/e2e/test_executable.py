"""vantrix.exe as a file: a GUI program that needs no DLL beyond those of
Windows itself, with its icon and version resource."""
import os
import re
import struct
import subprocess
import unittest

import harness

OBJDUMP = "x86_64-w64-mingw32-objdump"
# DLLs that every Windows installation ships (msvcrt.dll is the system's C
# runtime, not the compiler's).
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "shell32.dll",
                "ole32.dll", "advapi32.dll", "msvcrt.dll"}
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def objdump(*args):
    return subprocess.run([OBJDUMP, *args], check=True, capture_output=True, text=True).stdout


class ExecutableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.exe = harness.built_program("app/vantrix.exe")
        cls.headers = objdump("-p", str(cls.exe))

    def test_imports_only_windows_own_dlls(self):
        dlls = sorted(re.findall(r"DLL Name: (\S+)", self.headers))
        print("\nDLLs imported by vantrix.exe:", " ".join(dlls))
        self.assertTrue(dlls, "no import table found")
        self.assertEqual([d for d in dlls if d.lower() not in WINDOWS_DLLS], [])

    def test_is_a_gui_program(self):
        self.assertRegex(self.headers, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def resources(self):
        """{type: [leaf bytes, ...]} read through objdump's resource listing."""
        sections = objdump("-h", str(self.exe))
        match = re.search(r"\.rsrc\s+[0-9a-f]+\s+([0-9a-f]+)\s+[0-9a-f]+\s+([0-9a-f]+)", sections)
        self.assertIsNotNone(match, "no .rsrc section")
        vma, file_offset = int(match.group(1), 16), int(match.group(2), 16)
        image_base = int(re.search(r"ImageBase\s+([0-9a-f]+)", self.headers).group(1), 16)
        data = self.exe.read_bytes()
        found, kind = {}, None
        for line in self.headers.split("The .rsrc Resource Directory section:")[1].splitlines():
            entry = re.match(r"\s*[0-9a-f]+\s{3}Entry: ID: 0x([0-9a-f]+)", line)
            if entry:
                kind = int(entry.group(1), 16)
            leaf = re.search(r"Leaf: Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+)", line)
            if leaf:
                start = int(leaf.group(1), 16) - (vma - image_base) + file_offset
                found.setdefault(kind, []).append(data[start:start + int(leaf.group(2), 16)])
        return found

    def test_has_one_icon_of_32_by_32_in_16_colours_and_a_version(self):
        resources = self.resources()
        self.assertEqual(len(resources.get(RT_GROUP_ICON, [])), 1, "one icon group")
        group = resources[RT_GROUP_ICON][0]
        _, _, count = struct.unpack_from("<HHH", group)
        self.assertEqual(count, 1, "one image in the icon")
        width, height, colours, _, _, bits = struct.unpack_from("<BBBBHH", group, 6)
        self.assertEqual((width, height, colours, bits), (32, 32, 16, 4))
        image = resources[RT_ICON][0]
        header = struct.unpack_from("<IiiHH", image)
        self.assertEqual(header, (40, 32, 64, 1, 4), "a 32 x 32, 4-bit bitmap with its mask")
        version = resources.get(RT_VERSION, [b""])[0]
        self.assertIn("VS_VERSION_INFO".encode("utf-16-le"), version)
        self.assertIn("Vantrix".encode("utf-16-le"), version)


if __name__ == "__main__":
    unittest.main()
