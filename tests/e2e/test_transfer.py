"""Dropping files and folders from a drag source onto the drop window, and what lands on the stick: media by type,
a folder's one deep, each source in a place of its own; games whole, without following links."""
import os

from harness import NO, NOT_SENT, SUCCESS, YES, YES_TO_ALL, CaldriftTestCase, eboot, make_video, wait_until

JAPANESE = "\u66f2\u306e\u540d\u524d.mp3"
NAMES = ["a.jpg", "c.mp3", "vecchio.avi", "notes.txt", JAPANESE]
PLACES = {"MUSIC/c.mp3": "c.mp3", "VIDEO/vecchio.avi": "vecchio.avi", "MUSIC/" + JAPANESE: JAPANESE,
          "PSP/GAME/MyGame/EBOOT.PBP": "MyGame/EBOOT.PBP", "PSP/GAME/MyGame/DATA/level.bin": "MyGame/DATA/level.bin"}
FOLDER_PLACES = {"MUSIC/Live/1.mp3": "Queen/Live/1.mp3", "MUSIC/Muse - Live/1.mp3": "Muse/Live/1.mp3",
                 "PICTURE/foto.jpg": "Roma/foto.jpg", "PICTURE/foto (2).jpg": "Parigi/foto.jpg",
                 "MUSIC/\u00c9t\u00e9/traccia.mp3": "\u00c9t\u00e9/traccia.mp3",  # one name to FAT
                 "MUSIC/Estate - \u00c9T\u00c9/traccia.mp3": "Estate/\u00c9T\u00c9/traccia.mp3"}
FOLDERS = ["Queen", "Muse", "Roma/foto.jpg", "Parigi/foto.jpg", "\u00c9t\u00e9", "Estate/\u00c9T\u00c9"]
PLACES |= FOLDER_PLACES


class DropOntoTheStick(CaldriftTestCase):
    def test_every_item_lands_where_it_belongs_and_the_message_tells_the_truth(self):
        items = self.make_files({name: os.urandom(2048) + name.encode() for name in NAMES})
        self.make_files({"MyGame/EBOOT.PBP": eboot(os.urandom(1024)), "MyGame/.hidden": os.urandom(1024),
                         "MyGame/DATA/level.bin": os.urandom(1024), "Muse/Live/.nascosto.mp3": b"hidden"}
                        | {name: os.urandom(1500) + name.encode() for name in FOLDER_PLACES.values()})
        os.symlink("..", self.src / "MyGame" / "DATA" / "up")  # links a game never follows
        os.symlink(".", self.src / "MyGame" / "loop")
        make_video(self.src / "vecchio.avi", "640x360", "-c:v", "mpeg4", "-vtag", "XVID", "-c:a", "pcm_s16le")
        old_picture, = self.make_files({"PICTURE/a.jpg": b"the old picture"}, self.stick)
        self.start_caldrift(label="E:")

        dropped = items + [self.src / name for name in ("MyGame", "sparito.mp3", *FOLDERS)] + [self.src.anchor]
        self.assertIn("effect=1", self.drag_and_drop(dropped))
        question = self.shell_question()
        self.assertTrue(self.window("CaldriftPendingWindow")["visible"])
        self.assertEqual(self.pending_names(), NAMES + ["MyGame", *(name.split("/")[-1] for name in FOLDERS)])
        self.screenshot("transfer-replace-question")
        self.press(question, NO)

        self.assertEqual(self.closing_text(while_open=lambda: self.screenshot("transfer-closing-message")), "\n".join([
            NOT_SENT, "sparito.mp3 (non trovato)", "Z:\\ (trascinare file o cartelle, non un'unità intera)",
            "a.jpg (già sulla PSP, non sostituito)", "notes.txt (tipo di file non gestito)", "",
            "La PSP potrebbe non riprodurre:", "vecchio.avi (Xvid, 640\u00d7360)"]))
        self.assertEqual(old_picture.read_bytes(), b"the old picture")
        self.assert_stick_holds(PLACES, ["PICTURE/a.jpg"])  # no hidden file, no notes.txt
        self.assertTrue(wait_until(lambda: not self.window("CaldriftPendingWindow")["visible"], 3))


class DropDuringACopy(CaldriftTestCase):
    def test_a_game_asks_once_and_a_drop_meanwhile_joins_the_running_transfer(self):
        names = ["Gioco/EBOOT.PBP", "Gioco/PARAM.SFO", "Gioco/DATA/livello.bin", "b.mp3"]
        self.make_files({name: eboot(os.urandom(3000)) for name in names})
        self.make_files({"PSP/GAME/Gioco/EBOOT.PBP": b"old", "PSP/GAME/Gioco/DATA/livello.bin": b"old"}, self.stick)
        self.start_caldrift(label="E:")

        self.drag_and_drop([self.src / "Gioco"])
        question = self.shell_question()
        self.assertIn("effect=1", self.drag_and_drop([self.src / "b.mp3"]))
        self.assertTrue(wait_until(lambda: self.pending_names() == ["Gioco", "b.mp3"], 5), "b.mp3 was not queued")
        self.screenshot("transfer-game-replace-question")
        self.press(question, YES_TO_ALL)  # one answer for the whole game

        self.assertEqual(self.closing_text(30), SUCCESS)
        self.assertIsNone(self.dialog("Trasferimento...", 2), "a second run reported separately")
        self.assert_stick_holds({"PSP/GAME/" + name: name for name in names[:3]} | {"MUSIC/b.mp3": "b.mp3"})


class ExitDuringACopy(CaldriftTestCase):
    def test_the_program_ends_when_the_shell_returns_with_nothing_else_copied_or_said(self):
        picture, song = self.make_files({"a.jpg": b"the new picture", "b.mp3": b"a song"})
        self.make_files({"PICTURE/a.jpg": b"the old picture"}, self.stick)
        process = self.start_caldrift(label="E:")
        self.drag_and_drop([picture, song])
        question = self.shell_question()

        self.choose_exit(self.open_tray_menu())
        self.assertTrue(wait_until(lambda: not self.tray_shows_icons(), 5), "the tray icon stayed")
        self.assertIsNone(process.poll(), "ended before the shell returned")
        self.press(question, YES)

        self.assertTrue(wait_until(lambda: process.poll() is not None, 10), "Caldrift did not end")
        self.assertEqual(process.returncode, 0)
        self.assertEqual((self.stick / "PICTURE" / "a.jpg").read_bytes(), b"the new picture")
        self.assertFalse((self.stick / "MUSIC").exists(), "the next entry was copied")
