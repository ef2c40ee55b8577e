"""Setting.INI beside the program is applied at every start."""
import shutil

from harness import PREFIX, RUN_KEYS, CaldriftTestCase, run_value, settings_text, wait_until, windows_path, wine_reg

FILES = (  # name, Setting.INI, the drop window's opacity (255: opaque, as shipped)
    ("transparency 40", settings_text(transparency="40"), 195),
    ("binary", bytes(b for b in range(256) if b != ord("=")) * 40, 255),
    ("one huge line", b"[PSP Setting]\r\nDrive = AUTO\r\nPSP Versione = " + b"9" * (1 << 20)
     + b"\r\n\r\n[APP Setting]\r\nStartup = 0\r\nTrasparenza = 40\r\n", 195))


class SettingsAtStart(CaldriftTestCase):
    def test_a_drive_in_the_file_is_shown_as_written_and_nothing_is_scanned(self):
        for drive, firmware, psp_on_e in (("g:", "2.71", True), ("e:", "1.00", False)):
            with self.subTest(drive):
                if not psp_on_e:  # then no scan would ever name E:
                    shutil.rmtree(self.stick / "PSP")
                self.write_settings(drive=drive, firmware=firmware)
                # A scan would look into D: to O:.
                self.assertLessEqual(self.drive_lookups(self.start_caldrift(label=drive.upper()), 1.5), {drive[0]})
                self.assertEqual([self.child(self.drop_window(), i)["text"] for i in (1, 2)],
                                 [drive.upper(), f"PSP Versione = {firmware}"])
            self.restart_wine()

    def test_missing_file_means_automatic_detection_and_writes_no_file(self):
        self.start_caldrift(label="E:")
        self.assertEqual(self.child(self.drop_window(), 2)["text"], "PSP Versione = 1.00")
        self.assertFalse((self.app_dir / "Setting.INI").exists())

    def test_transparency_sets_the_opacity_and_damaged_files_start_on_the_shipped_values_untouched(self):
        for name, content, alpha in FILES:
            with self.subTest(name):
                (self.app_dir / "Setting.INI").write_bytes(content)
                process = self.start_caldrift(label="E:")
                layered = self.drop_window()["layered"]
                self.assertEqual(layered and [layered["ok"], layered["alpha"], layered["flags"]],
                                 alpha and [True, alpha, 2])
                self.assertIsNone(process.poll())
                self.assertEqual((self.app_dir / "Setting.INI").read_bytes(), content)
            self.restart_wine()  # outside the case, so a failed case does not leave Caldrift running


class StartWithWindows(CaldriftTestCase):
    def tearDown(self):
        for key in RUN_KEYS.values():
            wine_reg("delete", key, "/v", "Caldrift", "/f", check=False)

    def test_machine_wide_only_under_program_files_and_startup_0_removes_both_values(self):
        installed = PREFIX / "drive_c" / "Program Files" / "Caldrift"
        installed.mkdir(parents=True, exist_ok=True)
        self.addCleanup(shutil.rmtree, installed, True)
        shutil.copy(self.app_dir / "Caldrift.exe", installed)
        (installed / "Setting.INI").write_bytes(settings_text(startup="1"))
        self.start_wine(installed / "Caldrift.exe", cwd=installed)
        machine = '"C:\\Program Files\\Caldrift\\Caldrift.exe"'
        self.assertEqual(wait_until(lambda: run_value("HKLM"), 20), machine)
        self.assertIsNone(run_value("HKCU"))
        self.restart_wine()

        for startup, user in (("1", '"' + windows_path(self.app_dir / "Caldrift.exe") + '"'), ("0", None)):
            self.write_settings(startup=startup)  # from a folder any user can write: the user's value
            self.start_caldrift()
            self.assertTrue(wait_until(lambda: run_value("HKCU") == user, 5), f"user's value {run_value()!r}")
            self.assertEqual(run_value("HKLM"), machine if user else None)
            self.restart_wine()
