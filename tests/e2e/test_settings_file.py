"""Setting.INI beside the program is applied at every start."""
import subprocess
import time
import unittest

from harness import CaldriftTestCase, wait_until, windows_path, wine_env

RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"


def settings_text(drive="AUTO", firmware="1.00", startup="0", transparency="100"):
    lines = ["[PSP Setting]", f"Drive = {drive}", f"PSP Versione = {firmware}", "",
             "[APP Setting]", f"Startup = {startup}", f"Trasparenza = {transparency}"]
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


class SettingsAtStart(CaldriftTestCase):
    def write_settings(self, **values):
        (self.app_dir / "Setting.INI").write_bytes(settings_text(**values))

    def run_value(self):
        out = subprocess.run(["wine", "reg", "query", RUN_KEY, "/v", "Caldrift"], env=wine_env(),
                             capture_output=True, text=True, errors="replace").stdout
        for line in out.splitlines():
            if line.strip().startswith("Caldrift"):
                parts = line.strip().split(None, 2)
                return parts[2] if len(parts) > 2 else ""
        return None

    def test_fixed_drive_is_shown_and_nothing_is_scanned(self):
        self.write_settings(drive="g:", firmware="2.71")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "G:", 5))
        time.sleep(1.5)  # the PSP on E: would be found within a second by a scan
        window = self.drop_window()
        self.assertEqual(self.child(window, 1)["text"], "G:")
        self.assertEqual(self.child(window, 2)["text"], "PSP Versione = 2.71")

    def test_missing_file_means_automatic_detection_and_writes_no_file(self):
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.assertEqual(self.child(self.drop_window(), 2)["text"], "PSP Versione = 1.00")
        self.assertFalse((self.app_dir / "Setting.INI").exists())

    def test_start_with_windows_writes_the_quoted_program_path_then_empties_it(self):
        self.write_settings(startup="1")
        self.start_caldrift()
        expected = '"' + windows_path(self.app_dir / "Caldrift.exe") + '"'
        self.assertEqual(wait_until(lambda: self.run_value() == expected and expected, 5), expected)
        self.stop_all()

        self.write_settings(startup="0")
        self.start_caldrift()
        self.assertEqual(wait_until(lambda: self.run_value() == "" and "empty", 5), "empty")

    def test_transparency_forty_gives_the_drop_window_opacity_195(self):
        self.write_settings(transparency="40")
        self.start_caldrift()
        layered = self.drop_window()["layered"]
        self.assertTrue(layered["ok"])
        self.assertEqual(layered["alpha"], 195)
        self.assertEqual(layered["flags"], 2)

    def test_garbage_transparency_leaves_the_drop_window_opaque_and_unlayered(self):
        (self.app_dir / "Setting.INI").write_bytes(settings_text(transparency="\x00\xff")[:-2])
        self.start_caldrift()
        window = self.drop_window()
        self.assertFalse(window["exstyle"] & 0x80000)
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))


if __name__ == "__main__":
    unittest.main()
