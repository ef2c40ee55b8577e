"""Setting.INI beside the program is applied at every start."""
import time
import unittest

from harness import CaldriftTestCase, run_value, settings_text, wait_until, windows_path

class SettingsAtStart(CaldriftTestCase):
    def write_settings(self, **values):
        (self.app_dir / "Setting.INI").write_bytes(settings_text(**values))

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
        self.assertEqual(wait_until(lambda: run_value() == expected and expected, 5), expected)
        self.stop_all()

        self.write_settings(startup="0")
        self.start_caldrift()
        self.assertEqual(wait_until(lambda: run_value() == "" and "empty", 5), "empty")

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

    def test_damaged_files_start_on_the_shipped_values_and_are_left_as_they_are(self):
        shipped_lines = settings_text().split(b"\r\n")
        cases = {
            "binary": bytes(b for b in range(256) if b != ord("=")) * 40,
            "five lines": b"\r\n".join(shipped_lines[:5]) + b"\r\n",
            "one huge line": b"[PSP Setting]\r\nDrive = AUTO\r\nPSP Versione = " + b"9" * (1 << 20)
                             + b"\r\n\r\n[APP Setting]\r\nStartup = 0\r\nTrasparenza = 40\r\n",
        }
        for name, content in cases.items():
            with self.subTest(name):
                (self.app_dir / "Setting.INI").write_bytes(content)
                process = self.start_caldrift()
                self.assertTrue(wait_until(lambda: self.label1() == "E:", 5), "no automatic detection")
                window = self.drop_window()
                expected = 195 if name == "one huge line" else 255  # 255: opaque, as shipped
                self.assertEqual(window["layered"]["alpha"], expected)
                self.assertIsNone(process.poll())
                self.assertEqual((self.app_dir / "Setting.INI").read_bytes(), content)
            self.stop_all()  # outside the case, so a failed case does not leave Caldrift running
            self.processes.clear()


class FixedDriveWithoutPsp(CaldriftTestCase):
    stick_layout = ()  # E: holds no PSP folders, so no scan would ever name it

    def test_drive_e_from_the_file_is_shown_as_it_is_written(self):
        (self.app_dir / "Setting.INI").write_bytes(settings_text(drive="e:"))
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        time.sleep(1.5)
        self.assertEqual(self.label1(), "E:")


if __name__ == "__main__":
    unittest.main()
