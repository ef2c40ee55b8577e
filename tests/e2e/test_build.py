"""The shipped program: one 32-bit GUI executable that needs only Windows' own DLLs."""
import subprocess
import unittest
import zipfile

from harness import ROOT, settings_text

PRODUCT = ROOT / "build" / "win32" / "Caldrift.exe"
# DLLs Windows always takes from System32 (known DLLs, and comctl32 through the manifest):
# any other import could be found beside Caldrift.exe first.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
               "comctl32.dll", "advapi32.dll", "msvcrt.dll", "oleaut32.dll"}


class ProductBuild(unittest.TestCase):
    def test_is_a_32_bit_gui_program_importing_only_system32_dlls_with_icon_manifest_and_version(self):
        headers = subprocess.run(["i686-w64-mingw32-objdump", "-x", str(PRODUCT)], capture_output=True, text=True,
                                 check=True).stdout
        for words in ("file format pei-i386", "(PE32)", "(Windows GUI)"):
            self.assertIn(words, headers)
        imported = {line.split("DLL Name:")[1].strip().lower() for line in headers.splitlines() if "DLL Name:" in line}
        self.assertIn("shell32.dll", imported)
        self.assertLessEqual(imported, SYSTEM_DLLS)
        self.assertIn(".rsrc", headers)
        data = PRODUCT.read_bytes()
        for piece in (b"Microsoft.Windows.Common-Controls", b"asInvoker", "Caldrift.exe".encode("utf-16-le")):
            self.assertIn(piece, data)


class Release(unittest.TestCase):
    def test_the_zip_holds_the_program_its_shipped_settings_and_the_read_me(self):
        out = subprocess.run([str(ROOT / "scripts" / "release.sh")], capture_output=True, text=True,
                             check=True).stdout.strip().splitlines()[-1]
        folder = "Caldrift-1.0.0/"
        with zipfile.ZipFile(ROOT / out) as archive:
            self.assertEqual(sorted(archive.namelist()), [folder + name for name in (
                "", "Caldrift.exe", "LEGGIMI - README.txt", "Setting.INI")])
            self.assertEqual(archive.read(folder + "Caldrift.exe"), PRODUCT.read_bytes())
            self.assertEqual(archive.read(folder + "Setting.INI"), settings_text())
            readme = archive.read(folder + "LEGGIMI - README.txt").decode("utf-8")
            for words in ("Come si usa", "How to use it", "Setting.INI", "amministratore", "administrator"):
                self.assertIn(words, readme)
