"""The whole user story, step by step, with a screenshot of each step in
build/acceptance/screenshots: start and splash, the tray icon, a drag from
another program onto the drop window, the copies on the stick, the settings
changed and applied, Exit."""
import os
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from harness import APPLY, OK, ROOT, START_WITH_WINDOWS, SUCCESS, CaldriftTestCase, eboot, make_video, wait_until  # noqa: E402

SHOTS = ROOT / "build" / "acceptance" / "screenshots"


class UserStory(CaldriftTestCase):
    settings = {}  # the shipped Setting.INI

    def step(self, number, name):
        shutil.move(self.screenshot(f"acceptance-{number:02}-{name}"), SHOTS / f"{number:02}-{name}.png")

    def test_from_start_to_exit(self):
        shutil.rmtree(SHOTS, ignore_errors=True)
        SHOTS.mkdir(parents=True)
        self.src = self.case_dir / "Immagini e musica"
        files = {"vacanze.JPG": os.urandom(50_000), "canzone.mp3": os.urandom(80_000), "film.mp4": None,
                 "Il Mio Gioco/EBOOT.PBP": eboot(os.urandom(20_000))}
        self.make_files({name: data for name, data in files.items() if data})
        make_video(self.src / "film.mp4", "480x272", "-c:v", "libx264", "-profile:v", "main", "-level", "3.0",
                   "-pix_fmt", "yuv420p", "-c:a", "aac")

        caldrift = self.start_wine(self.app_dir / "Caldrift.exe", cwd=self.app_dir)
        self.assertTrue(self.wait_for_window("CaldriftSplash", timeout=20), "no splash")
        self.step(1, "splash")
        window = self.wait_for_window("CaldriftDropWindow", 6)
        self.assertTrue(window and not self.window("CaldriftSplash"), "the splash did not hand over")
        self.step(2, "drop-window-at-start")
        self.drop_rect = window["rect"]
        self.assertTrue(wait_until(lambda: not self.drop_window()["visible"], 3))
        self.assertTrue(wait_until(self.tray_shows_icons, 5), "no tray icon")
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5), "the stick was not found")
        self.step(3, "waiting-in-the-tray")

        items = [self.src / name for name in list(files)[:3]] + [self.src / "Il Mio Gioco"]
        self.assertIn("effect=1", self.drag_and_drop(items, lambda: self.step(4, "dragging-over-the-drop-window")))
        self.assertEqual(self.closing_text(while_open=lambda: self.step(5, "copied")), SUCCESS)
        self.assert_stick_holds({"PICTURE/vacanze.JPG": "vacanze.JPG", "MUSIC/canzone.mp3": "canzone.mp3",
                                 "VIDEO/film.mp4": "film.mp4",
                                 "PSP/GAME/Il Mio Gioco/EBOOT.PBP": "Il Mio Gioco/EBOOT.PBP"})

        self.open_settings()
        self.step(6, "settings")
        self.choose_tab(1)
        self.click_control(START_WITH_WINDOWS, dx=6)
        self.settle_slider("Home", *["Next"] * 4)
        self.step(7, "settings-changed")
        self.click_control(APPLY)
        self.assertTrue(wait_until(lambda: self.drop_window()["alpha"] == 195, 3), "not applied")
        self.click_control(OK)
        self.assertTrue(wait_until(lambda: self.settings_dialog() is None, 3))
        self.step(8, "settings-applied")

        menu = self.open_tray_menu()
        self.step(9, "tray-menu")
        self.exit_from(menu, caldrift)
        self.step(10, "after-exit")
