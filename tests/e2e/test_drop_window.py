"""The drop window, its tray icon and menu, show-while-dragging, and an installer's request to close."""
import time

from harness import SCREEN, WS_CAPTION, WS_SYSMENU, CaldriftTestCase, centre, size, twips, wait_until

WS_EX_TOOLWINDOW = 0x80
TRAY_EMPTY_SPOT = (140, 32)  # inside Wine's tray window, away from the icons


class DropWindow(CaldriftTestCase):
    def hidden_then_up_while_the_left_button_is_held(self):
        self.assertTrue(wait_until(lambda: not self.x_drop_window_visible(), 3), "the window stayed up")
        self.xdotool("mousemove", *TRAY_EMPTY_SPOT, "mousedown", 1)
        self.assertTrue(wait_until(self.x_drop_window_visible, 4, 0.02), "window did not come up")

    def test_finds_the_stick_sits_bottom_right_shows_while_dragging_gives_the_menu_and_ends_when_an_installer_asks(self):
        process = self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 1.0, 0.05), "the stick not found within a second")
        window = self.drop_window()
        self.screenshot("drop-window-start")
        width, height = size(self.drop_rect)
        self.assertEqual(window["rect"][:2], [SCREEN[0] - width, SCREEN[1] - height - twips(455)])
        self.assertEqual(window["style"] & (WS_CAPTION | WS_SYSMENU), 0)
        self.assertTrue(window["exstyle"] & WS_EX_TOOLWINDOW)
        # No Setting.INI: the shipped values, and none is written.
        self.assertEqual(self.child(window, 2)["text"], "PSP Versione = 1.00")
        self.assertEqual(window["alpha"], 255)
        self.assertFalse((self.app_dir / "Setting.INI").exists())
        pending = wait_until(lambda: self.window("CaldriftPendingWindow"), 5)
        self.assertEqual([pending["visible"], pending["text"], pending["rect"][2:]],
                         [False, "File Trasfer", [SCREEN[0], self.drop_rect[1]]])
        self.assertIn("Trasferimenti in Attesa...", [c["text"] for c in pending["children"]])

        self.hidden_then_up_while_the_left_button_is_held()
        time.sleep(1.5)
        self.assertTrue(self.x_drop_window_visible(), "window went away while the button was held")
        self.screenshot("drop-window-while-dragging")
        self.xdotool("mouseup", 1)
        self.assertTrue(wait_until(lambda: not self.x_drop_window_visible(), 1.8, 0.05))
        self.assertEqual(self.start_wine(self.app_dir / "Caldrift.exe", cwd=self.app_dir).wait(20), 0)
        self.assertEqual(len(self.windows("CaldriftDropWindow")), 1, "a second start left a second instance")

        self.hidden_then_up_while_the_left_button_is_held()
        # Left held over the window keeps it up; adding the right button is no right click.
        self.xdotool("mouseup", 1, "mousemove", centre(self.drop_rect)[0], self.drop_rect[1] + 60, "mousedown", 1,
                     "mousedown", 3)
        time.sleep(0.5)
        self.xdotool("mouseup", 3)
        self.assertIsNone(wait_until(self.menu, 1.5), "menu opened for both buttons")
        for attempt in range(2):  # on a loaded machine the window may hide between the release and the click
            self.xdotool("mouseup", 1, "click", 3)
            menu = wait_until(self.menu, 5)
            if menu:
                break
            self.hidden_then_up_while_the_left_button_is_held()
            self.xdotool("mousemove", centre(self.drop_rect)[0], self.drop_rect[1] + 60)
        self.assertIsNotNone(menu, "no popup menu")
        self.screenshot("drop-window-menu")
        self.choose_settings(menu)
        self.probe("--close-app")  # an installer's request to close, through the Restart Manager
        self.assert_ended_as_exit(process)
