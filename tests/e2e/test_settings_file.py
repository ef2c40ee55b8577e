"""Setting.INI beside the program is applied at every start."""
import shutil

from harness import OK, PREFIX, RUN_KEYS, CaldriftTestCase, run_value, settings_text, wait_until, wine_reg


class SettingsAtStart(CaldriftTestCase):
    def test_a_drive_in_the_file_is_shown_as_written_nothing_is_scanned_and_ok_writes_it_back(self):
        shutil.rmtree(self.stick / "PSP")  # then no scan would ever name E:
        saved = dict(drive="e:", firmware="2.71", transparency="40")
        self.write_settings(**saved)
        # A scan would look into D: to O:.
        self.assertLessEqual(self.drive_lookups(self.start_caldrift(label="E:"), 1.5), {"e"})
        window = self.drop_window()
        self.assertEqual([self.child(window, 2)["text"], window["alpha"]], ["PSP Versione = 2.71", 195])
        self.open_settings()
        (self.app_dir / "Setting.INI").write_bytes(b"")  # OK writes what the dialog holds, untouched
        self.click_control(OK)
        self.assertTrue(wait_until(lambda: not self.settings_dialog(), 5), "the dialog stayed open")
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(), settings_text(**saved))


class StartWithWindows(CaldriftTestCase):
    def tearDown(self):
        for key in RUN_KEYS.values():
            wine_reg("delete", key, "/v", "Caldrift", "/f", check=False)

    def test_machine_wide_only_under_program_files_and_startup_0_removes_the_value(self):
        """A program elsewhere writes the user's value: the settings dialog's Apply shows it."""
        installed = PREFIX / "drive_c" / "Program Files" / "Caldrift"
        installed.mkdir(parents=True, exist_ok=True)
        self.addCleanup(shutil.rmtree, installed, True)
        shutil.copy(self.app_dir / "Caldrift.exe", installed)
        for startup, machine in (("1", '"C:\\Program Files\\Caldrift\\Caldrift.exe"'), ("0", None)):
            (installed / "Setting.INI").write_bytes(settings_text(startup=startup))
            self.start_wine(installed / "Caldrift.exe", cwd=installed)
            self.assertTrue(wait_until(lambda: run_value("HKLM") == machine, 20), run_value("HKLM"))
            self.assertIsNone(run_value("HKCU"))
            self.restart_wine()
