"""The settings dialog, opened from the tray icon's menu."""
import os
import subprocess
import time
import unittest

from harness import (BUILD, SCREEN, TAB, CaldriftTestCase, SettingsDialogHelpers, run_value, settings_text,
                     twips, wait_until, windows_path, wine_env)

DRIVE1, CHECK4, COMBO1, NOTE, CHECK1, SLIDER1 = 12, 13, 15, 16, 17, 19
IMAGE2, IMAGE3, OK, CANCEL, APPLY = 23, 24, 1, 2, 25
VERSIONS = ["1.00", "1.50", "1.51", "2.00", "2.01", "2.50", "2.60", "2.70", "2.71", "2.80",
            "2.81", "2.82", "3.00", "3.01", "3.02", "3.03", "3.10", "3.11", "3.40", "3.50",
            "3.51", "3.52", "3.70", "3.71", "3.72", "3.73", "3.80", "3.90"]


class SettingsDialog(SettingsDialogHelpers, CaldriftTestCase):
    saved = dict(drive="AUTO", firmware="2.80", startup="0", transparency="70")

    def setUp(self):
        super().setUp()
        (self.app_dir / "Setting.INI").write_bytes(settings_text(**self.saved))

    def test_layout_and_saved_values_at_opening(self):
        self.start_caldrift()
        dialog = self.open_settings()
        self.screenshot("settings-tab1")
        self.assertEqual(dialog["text"], "Opzioni")
        self.assertEqual(dialog["client"], [twips(6150), twips(2970)])
        width, height = dialog["rect"][2] - dialog["rect"][0], dialog["rect"][3] - dialog["rect"][1]
        self.assertEqual(dialog["rect"][:2], [(SCREEN[0] - width) // 2, (SCREEN[1] - height) // 2])
        tab = self.control(TAB)
        self.assertEqual(tab["tabs"], ["Settaggi PSP", "Settaggi Applicazione", "Informazioni su..."])
        self.assertEqual(tab["cursel"], 0)
        self.assertEqual(self.control(COMBO1)["items"], VERSIONS)
        self.assertEqual(self.control(COMBO1)["text"], "2.80")
        self.assertEqual(self.control(CHECK4)["checked"], 1)
        self.assertFalse(self.control(DRIVE1)["enabled"])
        self.assertEqual(self.control(CHECK1)["checked"], 0)
        self.assertEqual(self.control(SLIDER1)["pos"], 70)
        self.assertEqual(self.control(SLIDER1)["range"], [0, 100])
        self.assertFalse(self.control(APPLY)["enabled"])
        self.assertEqual(dialog["layered"]["alpha"], 225)
        note = self.control(NOTE)["text"]
        self.assertEqual(len(note), 114)
        self.assertTrue(note.endswith(" " * 20 + "ES    3.40 OE    ==>   3.40"))
        self.assertFalse(self.control(CHECK1)["visible"])

        self.choose_tab(1)
        self.screenshot("settings-tab2")
        self.assertTrue(self.control(CHECK1)["visible"])
        self.assertEqual(self.control(CHECK1)["text"], "Carica Caldrift all'avvio di Windows")
        self.assertFalse(self.control(CHECK4)["visible"])
        self.choose_tab(2)
        self.screenshot("settings-tab3")
        texts = [c["text"] for c in self.settings_dialog()["children"] if c["visible"]]
        self.assertIn("Caldrift Final 1.0", texts)
        self.assertIn("Crated by Norvask", texts)
        tools = [t for w in self.windows("tooltips_class32") for t in w.get("tools") or []]
        self.assertIn("Mandami Una Mail", tools)
        self.assertIn("Link Al Sito CALDRIFT.EXAMPLE.ORG", tools)

    def test_apply_saves_applies_and_disables_itself(self):
        self.start_caldrift()
        self.open_settings()
        self.click_control(CHECK4, dx=6)
        self.assertTrue(wait_until(lambda: self.control(DRIVE1)["enabled"], 2), "Drive1 stayed grey")
        self.assertTrue(self.control(APPLY)["enabled"])
        self.click_control(CHECK4, dx=6)
        self.assertTrue(wait_until(lambda: not self.control(DRIVE1)["enabled"], 2))
        self.click_control(CHECK4, dx=6)
        self.assertTrue(wait_until(lambda: self.control(DRIVE1)["enabled"], 2))

        self.click_control(DRIVE1)  # opens the list
        self.xdotool("key", "c")
        self.assertTrue(wait_until(lambda: self.control(DRIVE1)["text"].startswith("c:"), 3))
        if self.dropped_list():
            self.click_control(DRIVE1)  # closes it on the chosen drive
        self.assertFalse(self.dropped_list(), "the drive list stayed open")
        self.click_control(COMBO1, dx=20)
        self.xdotool("key", "End", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                     "2", "period", "7", "1")
        self.assertTrue(wait_until(lambda: self.control(COMBO1)["text"] == "2.71", 3))
        self.choose_tab(1)
        self.click_control(CHECK1, dx=6)
        self.settle_slider("Home", "Next", "Next", "Next", "Next")
        self.assertEqual(self.control(SLIDER1)["pos"], 40)
        self.assertTrue(wait_until(lambda: self.settings_dialog()["layered"]["alpha"] == 195, 2))
        self.assertEqual(self.drop_window()["layered"]["alpha"], 225)  # not applied yet

        self.click_control(APPLY)
        self.assertTrue(wait_until(lambda: not self.control(APPLY)["enabled"], 3))
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(),
                         settings_text(drive="c:", firmware="2.71", startup="1", transparency="40"))
        self.assertTrue(wait_until(lambda: self.drop_window()["layered"]["alpha"] == 195, 3))
        self.assertEqual(self.label1(), "C:")
        self.assertEqual(self.child(self.drop_window(), 2)["text"], "PSP Versione = 2.71")
        self.assertEqual(run_value(), '"' + windows_path(self.app_dir / "Caldrift.exe") + '"')
        self.assertTrue(self.settings_dialog()["visible"])

    def test_cancel_discards_and_ok_saves_without_applying(self):
        self.start_caldrift()
        before = (self.app_dir / "Setting.INI").read_bytes()
        self.open_settings()
        self.choose_tab(1)
        self.settle_slider("End")
        self.assertTrue(self.control(APPLY)["enabled"])
        self.click_control(CANCEL)
        self.assertTrue(wait_until(lambda: self.settings_dialog() is None, 3), "Annulla left the dialog open")
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(), before)

        self.open_settings()
        self.assertEqual(self.control(SLIDER1)["pos"], 70)
        self.choose_tab(1)
        self.settle_slider("Home")
        self.click_control(OK)
        self.assertTrue(wait_until(lambda: self.settings_dialog() is None, 3), "OK left the dialog open")
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(),
                         settings_text(drive="AUTO", firmware="2.80", startup="0", transparency="0"))
        self.assertEqual(self.drop_window()["layered"]["alpha"], 225)

    def test_a_second_opening_brings_the_same_dialog_forward(self):
        self.start_caldrift()
        first = self.open_settings()["hwnd"]
        self.open_settings()
        dialogs = self.windows("CaldriftSettingsDialog")
        self.assertEqual([d["hwnd"] for d in dialogs], [first])


class AuthorLinks(SettingsDialogHelpers, CaldriftTestCase):
    """The pictures of the third tab open the mail program and the browser."""

    def setUp(self):
        super().setUp()
        self.record = self.case_dir / "opened.txt"
        os.environ["CALDRIFT_RECORD"] = windows_path(self.record)
        self.addCleanup(os.environ.pop, "CALDRIFT_RECORD", None)
        command = f'"{windows_path(BUILD / "tools" / "recordargs.exe")}" "%1"'
        for scheme in ("mailto", "https"):
            key = rf"HKLM\Software\Classes\{scheme}"
            subprocess.run(["wine", "reg", "add", key, "/v", "URL Protocol", "/d", "", "/f"],
                           env=wine_env(), capture_output=True, check=True)
            subprocess.run(["wine", "reg", "add", key + r"\shell\open\command", "/ve", "/d", command,
                            "/f"], env=wine_env(), capture_output=True, check=True)
            self.addCleanup(subprocess.run, ["wine", "reg", "delete", key, "/f"], env=wine_env(),
                            capture_output=True)

    def test_the_mail_and_web_pictures_open_their_links(self):
        self.start_caldrift()
        self.open_settings()
        self.choose_tab(2)
        self.click_control(IMAGE2)
        self.assertTrue(wait_until(self.record.exists, 10), "no mail program was started")
        self.click_control(IMAGE3)
        self.assertTrue(wait_until(lambda: len(self.record.read_text().splitlines()) == 2, 10))
        mail, web = self.record.read_text(encoding="utf-8").splitlines()
        self.assertIn("mailto:caldrift@example.org?subject=Informazioni su Caldrift Final 1.0", mail)
        self.assertIn("https://caldrift.example.org/", web)
        self.assertTrue(self.settings_dialog()["visible"])


class ReadOnlyProgramFolder(SettingsDialog):
    def make_read_only(self):
        folder = str(self.app_dir)
        mounted = subprocess.run(["mount", "--bind", folder, folder], capture_output=True).returncode == 0
        if mounted and subprocess.run(["mount", "-o", "remount,ro,bind", folder],
                                      capture_output=True).returncode == 0:
            self.addCleanup(subprocess.run, ["umount", folder])
            return
        if mounted:
            subprocess.run(["umount", folder])
        if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode == 0:
            self.addCleanup(subprocess.run, ["chattr", "-i", folder])
            return
        self.skipTest("this machine cannot make a folder read-only")

    def test_ok_tells_the_user_and_keeps_the_dialog_open(self):
        self.start_caldrift()
        before = (self.app_dir / "Setting.INI").read_bytes()
        self.make_read_only()
        self.open_settings()
        self.choose_tab(1)
        self.settle_slider("Home")
        self.click_control(OK)
        box = wait_until(lambda: next((w for w in self.windows("#32770")
                                       if w["visible"] and w["text"] == "Errore"), None), 5)
        self.assertIsNotNone(box, "no error message")
        self.screenshot("settings-save-failed")
        texts = [c["text"] for c in box["children"]]
        self.assertIn("Impossibile salvare le impostazioni in Setting.INI", texts)
        ok = next(c for c in box["children"] if c["class"] == "Button")
        left, top, right, bottom = ok["rect"]
        self.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        self.assertTrue(wait_until(lambda: not any(w["visible"] for w in self.windows("#32770")), 3))
        self.assertTrue(self.settings_dialog()["visible"])
        self.assertEqual(self.control(SLIDER1)["pos"], 0)
        self.assertTrue(self.control(APPLY)["enabled"])
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(), before)

    # The other cases of the base class run once, above.
    test_layout_and_saved_values_at_opening = None
    test_apply_saves_applies_and_disables_itself = None
    test_cancel_discards_and_ok_saves_without_applying = None
    test_a_second_opening_brings_the_same_dialog_forward = None


if __name__ == "__main__":
    unittest.main()
