"""The shipped program: one 32-bit GUI executable that needs only Windows' own DLLs."""
import subprocess
import unittest

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


if __name__ == "__main__":
    unittest.main()
