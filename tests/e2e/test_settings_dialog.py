"""The settings dialog, opened from the tray icon's menu."""
import os
import subprocess
from urllib.parse import unquote

from harness import (APPLY, AUTO_DETECTION, CANCEL, DRIVE_LIST, FIRMWARE, MAIL, OK, SCREEN, START_WITH_WINDOWS, TAB,
                     TRANSPARENCY, WEB_SITE, CaldriftTestCase, run_value, settings_text, twips, wait_until,
                     windows_path)

VERSIONS = ("1.00 1.50 1.51 2.00 2.01 2.50 2.60 2.70 2.71 2.80 2.81 2.82 3.00 3.01 3.02 3.03 3.10 3.11 3.40 3.50 "
            "3.51 3.52 3.70 3.71 3.72 3.73 3.80 3.90").split()
SAVED = dict(drive="AUTO", firmware="2.80", startup="0", transparency="70")


class SettingsDialog(CaldriftTestCase):
    settings = SAVED

    def assert_controls(self, expected):
        for control_id, fields in expected.items():
            control = self.control(control_id)
            self.assertEqual({field: control[field] for field in fields}, fields, f"control {control_id}")

    def saved_file(self):
        return (self.app_dir / "Setting.INI").read_bytes()

    def test_opens_once_centred_on_the_saved_values_with_mail_and_web_links_and_ok_saves_what_cancel_discards(self):
        record = self.case_dir / "opened.txt"
        tools = self.case_dir / "desktop"  # Wine hands mail and web addresses to the desktop's tools
        tools.mkdir()
        for tool in ("xdg-email", "xdg-open"):
            (tools / tool).write_text(f'#!/bin/sh\necho "$@" >> "{record}"\n')
            (tools / tool).chmod(0o755)
        self.addCleanup(os.environ.__setitem__, "PATH", os.environ["PATH"])
        os.environ["PATH"] = f"{tools}:{os.environ['PATH']}"
        self.start_caldrift()
        dialog = self.open_settings()
        self.screenshot("settings-tab1")
        self.assertEqual(dialog["client"], [twips(6150), twips(2970)])  # its title is checked as it opens
        left, top, right, bottom = dialog["rect"]
        self.assertEqual([left, top], [(SCREEN[0] - right + left) // 2, (SCREEN[1] - bottom + top) // 2])
        self.assertEqual(dialog["alpha"], 225)
        self.assert_controls({
            TAB: {"cursel": 0},
            FIRMWARE: {"items": VERSIONS, "text": "2.80"}, AUTO_DETECTION: {"checked": 1, "visible": True},
            DRIVE_LIST: {"enabled": False}, START_WITH_WINDOWS: {"checked": 0, "visible": False},
            TRANSPARENCY: {"pos": 70, "range": [0, 100]}, APPLY: {"enabled": False}})

        self.choose_tab(1)
        self.screenshot("settings-tab2")
        self.assert_controls({START_WITH_WINDOWS: {"visible": True, "text": "Carica Caldrift all'avvio di Windows"},
                              AUTO_DETECTION: {"visible": False}})
        self.choose_tab(2)
        self.screenshot("settings-tab3")
        texts = [c["text"] for c in self.settings_dialog()["children"] if c["visible"]]
        self.assertLessEqual({"Caldrift Final 1.0", "Crated by Norvask"}, set(texts))
        self.click_control(MAIL)
        self.assertTrue(wait_until(record.exists, 10), "no mail program was started")
        self.click_control(WEB_SITE)
        self.assertTrue(wait_until(lambda: len(record.read_text().splitlines()) == 2, 10))
        self.assertEqual(unquote(record.read_text(encoding="utf-8")).splitlines(), [
            "mailto:caldrift@example.org?subject=Informazioni su Caldrift Final 1.0", "https://caldrift.example.org/"])
        self.open_settings()
        self.assertEqual([d["hwnd"] for d in self.windows("CaldriftSettingsDialog")], [dialog["hwnd"]])
        for button, key, saved in ((CANCEL, "End", "70"), (OK, "Home", "0")):
            self.assertEqual(self.control(TRANSPARENCY)["pos"], 70)
            self.choose_tab(1)
            self.settle_slider(key)
            self.assertTrue(self.control(APPLY)["enabled"])
            self.click_control(button)
            self.assertTrue(wait_until(lambda: self.settings_dialog() is None, 3), f"{button} left the dialog open")
            self.assertEqual(self.saved_file(), settings_text(**dict(SAVED, transparency=saved)))
            self.open_settings()
        self.assertEqual([self.control(TRANSPARENCY)["pos"], self.drop_window()["alpha"]], [0, 225])

    def test_apply_saves_applies_and_disables_itself_and_ok_in_a_read_only_folder_tells_the_user(self):
        self.start_caldrift()
        self.open_settings()
        for enabled in (True, False, True):
            self.click_control(AUTO_DETECTION, dx=6)
            self.assertTrue(wait_until(lambda: self.control(DRIVE_LIST)["enabled"] == enabled, 2),
                            f"the drive list not {'enabled' if enabled else 'grey'}")
            self.assertTrue(self.control(APPLY)["enabled"])

        self.click_control(DRIVE_LIST)  # opens the list
        self.xdotool("key", "c")
        self.assertTrue(wait_until(lambda: self.control(DRIVE_LIST)["text"].startswith("c:"), 3))
        dropped_list = lambda: [w for w in self.windows("ComboLBox", all_windows=True) if w["visible"]]  # noqa: E731
        if dropped_list():
            self.click_control(DRIVE_LIST)  # closes it on the chosen drive
        self.assertFalse(dropped_list(), "the drive list stayed open")
        self.click_control(FIRMWARE, dx=20)
        self.xdotool("key", "End", *["BackSpace"] * 4, "2", "period", "7", "1")
        self.assertTrue(wait_until(lambda: self.control(FIRMWARE)["text"] == "2.71", 3))
        self.choose_tab(1)
        self.click_control(START_WITH_WINDOWS, dx=6)
        self.settle_slider("Home", *["Next"] * 4)
        self.assertEqual(self.control(TRANSPARENCY)["pos"], 40)
        self.assertTrue(wait_until(lambda: self.settings_dialog()["alpha"] == 195, 2))
        self.assertEqual(self.drop_window()["alpha"], 225)  # not applied yet

        self.click_control(APPLY)
        self.assertTrue(wait_until(lambda: not self.control(APPLY)["enabled"], 3))
        applied = settings_text(drive="c:", firmware="2.71", startup="1", transparency="40")
        self.assertEqual(self.saved_file(), applied)
        self.assertTrue(wait_until(lambda: self.drop_window()["alpha"] == 195, 3))
        self.assertEqual(self.label1(), "C:")
        self.assertEqual(self.child(self.drop_window(), 2)["text"], "PSP Versione = 2.71")
        self.assertEqual(run_value("HKCU"), '"' + windows_path(self.app_dir / "Caldrift.exe") + '"')
        self.assertTrue(self.settings_dialog()["visible"])

        folder = str(self.app_dir)  # now read-only: OK tells the user and keeps the dialog open
        if subprocess.run(["mount", "--bind", folder, folder], capture_output=True).returncode:
            self.skipTest("this machine cannot make a folder read-only")
        self.addCleanup(subprocess.run, ["umount", folder])
        subprocess.run(["mount", "-o", "remount,ro,bind", folder], check=True)
        self.settle_slider("Home")
        self.click_control(OK)
        box = self.dialog("Errore", 5)
        self.assertIsNotNone(box, "no error message")
        self.screenshot("settings-save-failed")
        # The second line gives the system's reason.
        self.assertRegex(self.dialog_text(box), r"^Impossibile salvare le impostazioni in Setting\.INI\r?\nMotivo: \S")
        self.press(box, OK)
        self.assertTrue(wait_until(lambda: not any(w["visible"] for w in self.windows("#32770")), 3))
        self.assertTrue(self.settings_dialog()["visible"])
        self.assertEqual(self.control(TRANSPARENCY)["pos"], 0)
        self.assertTrue(self.control(APPLY)["enabled"])
        self.assertEqual(self.saved_file(), applied)
