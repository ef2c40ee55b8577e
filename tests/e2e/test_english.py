"""The main story under an English Windows at 150 % scaling (144 dpi): a drop before the stick is known
waits for its message to close."""
from harness import LANGUAGE, OK, SCREEN, CaldriftTestCase, size, wait_until, wine_reg

DESKTOP = r"HKCU\Control Panel\Desktop"


class EnglishAt144Dpi(CaldriftTestCase):
    stick_layout = ()

    def setUp(self):
        LANGUAGE["LANG"] = "C.UTF-8"
        self.addCleanup(LANGUAGE.update, LANG="it_IT.UTF-8")
        super().setUp()
        wine_reg("add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
        self.addCleanup(wine_reg, "add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96", "/f")
        self.restart_wine()  # Wine reads the scaling when it starts

    def test_the_drop_window_sits_in_the_corner_speaks_english_and_a_drop_during_a_message_waits(self):
        picture, song = self.make_files({"a.jpg": b"a picture", "b.mp3": b"a song"})
        self.start_caldrift()
        width, height = size(self.drop_rect)
        self.assertLess(max(abs(width - 450), abs(height - 450)), 15, self.drop_rect)
        self.assertEqual(self.drop_rect[2], SCREEN[0])
        self.assertAlmostEqual(self.drop_rect[3], SCREEN[1] - 455 * 144 / 1440, delta=1)  # the margin, in twips

        self.drag_and_drop([picture], while_over=lambda: self.screenshot("english-144-drop-window"))
        refusal = self.dialog("Error")
        self.assertIsNotNone(refusal, "no message before the stick is known")
        self.assertEqual(self.dialog_text(refusal), "Select the PSP's drive")
        self.assertFalse(self.window("CaldriftPendingWindow")["visible"])

        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([song])  # while the message is open: it waits for it to close
        self.assertIsNone(self.dialog("Transfer...", 3), "a run started inside the message")
        self.assert_stick_holds({})
        self.press(refusal, OK)
        shot = lambda: self.screenshot("english-144-closing-message")  # noqa: E731
        self.assertEqual(self.closing_text(title="Transfer...", while_open=shot), "File(s) copied successfully!")
        self.assert_stick_holds({"PICTURE/a.jpg": "a.jpg", "MUSIC/b.mp3": "b.mp3"})  # the first drop waited
        self.assertLess(*((self.stick / p).stat().st_ctime_ns for p in ("PICTURE/a.jpg", "MUSIC/b.mp3")))
