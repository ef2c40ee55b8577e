"""The whole user story, step by step, with a screenshot of each step in
build/acceptance/screenshots: start and splash, the tray icon, a drag from
another program onto the drop window, the copies on the stick, the settings
changed and applied, Exit."""
import os
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from harness import (ROOT, TRAY_ICON, DropTestCase, SettingsDialogHelpers,  # noqa: E402
                     settings_text, wait_until)

SHOTS = ROOT / "build" / "acceptance" / "screenshots"
CHECK1, SLIDER1, APPLY, OK = 17, 19, 25, 1


class UserStory(SettingsDialogHelpers, DropTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        shutil.rmtree(SHOTS, ignore_errors=True)
        SHOTS.mkdir(parents=True)

    def step(self, number, name):
        path = self.screenshot(f"acceptance-{number:02}-{name}")
        shutil.move(path, SHOTS / f"{number:02}-{name}.png")

    def test_from_start_to_exit(self):
        (self.app_dir / "Setting.INI").write_bytes(settings_text())
        src = self.case_dir / "Immagini e musica"
        (src / "Il Mio Gioco").mkdir(parents=True)
        files = {"vacanze.JPG": os.urandom(50_000), "canzone.mp3": os.urandom(80_000),
                 "film.mp4": os.urandom(300_000)}
        for name, data in files.items():
            (src / name).write_bytes(data)
        (src / "Il Mio Gioco" / "EBOOT.PBP").write_bytes(os.urandom(20_000))

        caldrift = self.start_wine(self.app_dir / "Caldrift.exe", cwd=self.app_dir)
        self.assertTrue(self.wait_for_window("CaldriftSplash", timeout=20), "no splash")
        self.step(1, "splash")
        self.assertTrue(wait_until(lambda: (w := self.drop_window()) and w["visible"], 6),
                        "the splash did not hand over to the drop window")
        self.assertIsNone(self.window("CaldriftSplash"))
        self.step(2, "drop-window-at-start")
        window = self.drop_window()
        left, top, right, bottom = window["rect"]
        self.drop_rect, self.drop_size = (left, top, right, bottom), (right - left, bottom - top)
        self.assertTrue(wait_until(lambda: not self.drop_window()["visible"], 3))
        self.assertTrue(wait_until(self.tray_shows_icons, 5), "no tray icon")
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5), "the stick was not found")
        self.step(3, "waiting-in-the-tray")

        items = [src / name for name in files] + [src / "Il Mio Gioco"]
        result = self.drag_and_drop(items, while_over=lambda: self.step(4, "dragging-over-the-drop-window"))
        self.assertIn("effect=1", result)
        closing = self.dialog("Trasferimento...", 60)
        self.assertIsNotNone(closing)
        self.step(5, "copied")
        self.assertEqual(self.dialog_text(closing), "File/s Trasferito/i Con Successo !!!")
        self.press(closing, "OK")
        for on_stick, name in (("PICTURE/vacanze.JPG", "vacanze.JPG"), ("MUSIC/canzone.mp3", "canzone.mp3"),
                               ("VIDEO/film.mp4", "film.mp4"),
                               ("PSP/GAME/Il Mio Gioco/EBOOT.PBP", "Il Mio Gioco/EBOOT.PBP")):
            self.assertEqual((self.stick / on_stick).read_bytes(), (src / name).read_bytes(), on_stick)

        self.open_settings()
        self.step(6, "settings")
        self.choose_tab(1)
        self.click_control(CHECK1, dx=6)
        self.settle_slider("Home", "Next", "Next", "Next", "Next")
        self.step(7, "settings-changed")
        self.click_control(APPLY)
        self.assertTrue(wait_until(lambda: not self.control(APPLY)["enabled"], 3))
        self.assertTrue(wait_until(lambda: self.drop_window()["layered"]["alpha"] == 195, 3))
        self.assertEqual((self.app_dir / "Setting.INI").read_bytes(),
                         settings_text(startup="1", transparency="40"))
        self.click_control(OK)
        self.assertTrue(wait_until(lambda: self.settings_dialog() is None, 3))
        self.step(8, "settings-applied")

        self.xdotool("mousemove", *TRAY_ICON, "click", 3)
        menu = wait_until(self.tray_menu, 5)
        self.assertIsNotNone(menu)
        self.step(9, "tray-menu")
        m_left, _, m_right, m_bottom = menu["rect"]
        self.xdotool("mousemove", (m_left + m_right) // 2, m_bottom - 8, "click", 1)
        self.assertTrue(wait_until(lambda: caldrift.poll() is not None, 10), "Exit did not end Caldrift")
        self.assertEqual(caldrift.returncode, 0)
        self.assertTrue(wait_until(lambda: not self.tray_shows_icons(), 5))
        self.step(10, "after-exit")


if __name__ == "__main__":
    unittest.main()
