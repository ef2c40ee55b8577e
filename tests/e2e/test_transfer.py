"""Dropping files from a drag source onto the drop window, and what lands on the stick."""
import os

from harness import NOT_SENT, SUCCESS, CaldriftTestCase, wait_until

JAPANESE = "\u66f2\u306e\u540d\u524d.mp3"
NAMES = ["a.jpg", "PHOTO.JPG", "b.jpeg", "c.mp3", "clip.mp4", "x.aac", "blu.ptf", "game.iso", "notes.txt", JAPANESE]
PLACES = {"PICTURE/PHOTO.JPG": "PHOTO.JPG", "PICTURE/b.jpeg": "b.jpeg", "MUSIC/c.mp3": "c.mp3",
          "VIDEO/clip.mp4": "clip.mp4", "MUSIC/x.aac": "x.aac", "PSP/THEME/blu.ptf": "blu.ptf",
          "ISO/game.iso": "game.iso", "MUSIC/" + JAPANESE: JAPANESE,
          "PSP/GAME/MyGame/EBOOT.PBP": "MyGame/EBOOT.PBP", "PSP/GAME/MyGame/ICON0.PNG": "MyGame/ICON0.PNG",
          "PSP/GAME/MyGame/DATA/level.bin": "MyGame/DATA/level.bin"}


class DropOntoTheStick(CaldriftTestCase):
    def test_every_item_lands_where_it_belongs_and_the_message_tells_the_truth(self):
        items = self.make_files({name: os.urandom(2048) + name.encode() for name in NAMES})
        self.make_files({f"MyGame/{name}": os.urandom(1024) for name in ("EBOOT.PBP", "ICON0.PNG", ".hidden",
                                                                          "DATA/level.bin")})
        old_picture, = self.make_files({"PICTURE/a.jpg": b"the old picture"}, self.stick)
        self.start_caldrift(label="E:")

        self.assertIn("effect=1", self.drag_and_drop(items + [self.src / "MyGame"]))
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question, "the shell did not ask before replacing a.jpg")
        self.assertTrue(self.window("CaldriftPendingWindow")["visible"])
        self.assertEqual(self.pending_names(), NAMES + ["MyGame"])
        self.screenshot("transfer-replace-question")
        self.press(question, "No")

        self.assertIsNotNone(self.dialog("Trasferimento...", 60), "no closing message")
        self.screenshot("transfer-closing-message")
        self.assertEqual(self.closing_text(),
                         NOT_SENT + "\na.jpg (copia annullata)\nnotes.txt (tipo di file non gestito)"
                         "\n\nLa PSP potrebbe non riprodurre:\nclip.mp4 (formato video non riconosciuto)")
        self.assertEqual(old_picture.read_bytes(), b"the old picture")
        self.assert_stick_holds(PLACES, ["PICTURE/a.jpg"])  # no .hidden, no notes.txt
        self.assertTrue(wait_until(lambda: not self.window("CaldriftPendingWindow")["visible"], 3))


class DropDuringACopy(CaldriftTestCase):
    def test_a_drop_while_the_shell_asks_joins_the_running_transfer(self):
        picture, song = self.make_files({"a.jpg": b"the new picture", "b.mp3": b"a song"})
        self.make_files({"PICTURE/a.jpg": b"the old picture"}, self.stick)
        self.start_caldrift(label="E:")

        self.drag_and_drop([picture])
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question, "the copy did not stop to ask")
        self.assertIn("effect=1", self.drag_and_drop([song]))
        self.assertTrue(wait_until(lambda: self.pending_names() == ["a.jpg", "b.mp3"], 5), "b.mp3 was not queued")
        self.assertTrue(self.window("CaldriftPendingWindow")["visible"])
        self.press(question, "Yes")

        self.assertEqual(self.closing_text(30), SUCCESS)
        self.assertIsNone(self.dialog("Trasferimento...", 2), "a second run reported separately")
        self.assert_stick_holds({"PICTURE/a.jpg": "a.jpg", "MUSIC/b.mp3": "b.mp3"})


class DropBeforeTheStick(CaldriftTestCase):
    stick_layout = ()

    def test_refused_drop_waits_in_the_queue_for_the_next_one(self):
        first, second = self.make_files({"a.jpg": b"first", "b.mp3": b"second"})
        self.start_caldrift()
        self.assertEqual(self.label1(), "NO")
        self.drag_and_drop([first])
        refusal = self.dialog("Errore")
        self.assertIsNotNone(refusal)
        self.assertEqual(self.dialog_text(refusal), "Selezionare il drive della PSP")
        self.assertFalse(self.window("CaldriftPendingWindow")["visible"])
        self.press(refusal, "OK")

        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([second])
        self.assertEqual(self.closing_text(30), SUCCESS)
        self.assert_stick_holds({"PICTURE/a.jpg": "a.jpg", "MUSIC/b.mp3": "b.mp3"})
        self.assertLess(*((self.stick / p).stat().st_ctime_ns for p in ("PICTURE/a.jpg", "MUSIC/b.mp3")))


class ExitDuringACopy(CaldriftTestCase):
    def test_the_program_ends_when_the_shell_returns_with_nothing_else_copied_or_said(self):
        picture, song = self.make_files({"a.jpg": b"the new picture", "b.mp3": b"a song"})
        self.make_files({"PICTURE/a.jpg": b"the old picture"}, self.stick)
        process = self.start_caldrift(label="E:")
        self.drag_and_drop([picture, song])
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question, "the copy did not stop to ask")

        menu = self.open_tray_menu()
        self.click((menu["rect"][0] + menu["rect"][2]) // 2, menu["rect"][3] - 8)  # Exit
        self.assertTrue(wait_until(lambda: not self.tray_shows_icons(), 5), "the tray icon stayed")
        self.assertIsNone(process.poll(), "ended before the shell returned")
        self.press(question, "Yes")

        self.assertTrue(wait_until(lambda: process.poll() is not None, 10), "Caldrift did not end")
        self.assertEqual(process.returncode, 0)
        self.assertEqual((self.stick / "PICTURE" / "a.jpg").read_bytes(), b"the new picture")
        self.assertFalse((self.stick / "MUSIC").exists(), "the next entry was copied")


class GameWithLinksToItself(CaldriftTestCase):
    def test_is_copied_once_without_following_the_links(self):
        self.make_files({"Gioco/EBOOT.PBP": b"eboot", "Gioco/DATA/a.bin": b"data"})
        os.symlink("..", self.src / "Gioco" / "DATA" / "up")
        os.symlink(".", self.src / "Gioco" / "loop")
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / "Gioco"])
        self.assertEqual(self.closing_text(60), SUCCESS)
        self.assert_stick_holds({"PSP/GAME/Gioco/EBOOT.PBP": "Gioco/EBOOT.PBP",
                                 "PSP/GAME/Gioco/DATA/a.bin": "Gioco/DATA/a.bin"})


class GameInOneOperation(CaldriftTestCase):
    def test_a_game_asks_once_before_replacing_and_lands_whole(self):
        names = ["Gioco/EBOOT.PBP", "Gioco/PARAM.SFO", "Gioco/DATA/livello.bin", "Gioco/DATA/musica.at3"]
        self.make_files({name: os.urandom(3000) for name in names})
        self.make_files({"PSP/GAME/Gioco/EBOOT.PBP": b"old", "PSP/GAME/Gioco/DATA/livello.bin": b"old"}, self.stick)
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / "Gioco"])
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question)
        self.screenshot("transfer-game-replace-question")
        self.press(question, "Yes to all")  # one answer for the whole game
        self.assertEqual(self.closing_text(30), SUCCESS)
        self.assert_stick_holds({f"PSP/GAME/{name}": name for name in names})
