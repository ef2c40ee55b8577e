"""The shipped program: one 32-bit GUI executable that needs only Windows' own DLLs."""
import subprocess
import unittest
import zipfile

from harness import ROOT

PRODUCT = ROOT / "build" / "win32" / "Caldrift.exe"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
               "comctl32.dll", "advapi32.dll", "msvcrt.dll", "oleaut32.dll", "uxtheme.dll"}


class ProductBuild(unittest.TestCase):
    def test_is_a_32_bit_gui_program(self):
        description = subprocess.run(["file", "-b", str(PRODUCT)], capture_output=True,
                                     text=True, check=True).stdout
        self.assertIn("PE32 executable", description)
        self.assertIn("(GUI)", description)
        self.assertIn("80386", description)

    def test_imports_only_system_dlls(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(PRODUCT)],
                              capture_output=True, text=True, check=True).stdout
        imported = {line.split("DLL Name:")[1].strip().lower()
                    for line in dump.splitlines() if "DLL Name:" in line}
        self.assertTrue(imported)
        self.assertLessEqual(imported, SYSTEM_DLLS)
        self.assertIn("shell32.dll", imported)

    def test_carries_icon_picture_manifest_and_version(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-x", str(PRODUCT)],
                              capture_output=True, text=True, check=True).stdout
        self.assertIn(".rsrc", dump)
        data = PRODUCT.read_bytes()
        self.assertIn(b"Microsoft.Windows.Common-Controls", data)
        self.assertIn(b"asInvoker", data)
        self.assertIn("Caldrift.exe".encode("utf-16-le"), data)


class Release(unittest.TestCase):
    def test_the_zip_holds_the_program_its_settings_and_the_read_me(self):
        out = subprocess.run([str(ROOT / "scripts" / "release.sh")], capture_output=True, text=True,
                             check=True).stdout.strip().splitlines()[-1]
        with zipfile.ZipFile(ROOT / out) as archive:
            names = sorted(archive.namelist())
            self.assertEqual(names, ["Caldrift-1.0.0/", "Caldrift-1.0.0/Caldrift.exe",
                                     "Caldrift-1.0.0/LEGGIMI - README.txt",
                                     "Caldrift-1.0.0/Setting.INI"])
            self.assertEqual(archive.read("Caldrift-1.0.0/Caldrift.exe"), PRODUCT.read_bytes())
            settings = archive.read("Caldrift-1.0.0/Setting.INI")
            self.assertEqual(settings.split(b"\r\n")[1:3], [b"Drive = AUTO", b"PSP Versione = 1.00"])
            self.assertEqual(settings.count(b"\r\n"), 7)
            readme = archive.read("Caldrift-1.0.0/LEGGIMI - README.txt").decode("utf-8")
            for words in ("Come si usa", "How to use it", "Setting.INI", "amministratore",
                          "administrator"):
                self.assertIn(words, readme)


if __name__ == "__main__":
    unittest.main()
