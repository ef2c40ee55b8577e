"""Dropping files from a drag source onto the drop window, and what lands on the stick."""
import os
import time
import unittest

from harness import DropTestCase, wait_until

JAPANESE = "\u66f2\u306e\u540d\u524d.mp3"


class DropOntoTheStick(DropTestCase):
    def make_sources(self):
        src = self.case_dir / "src"
        src.mkdir()
        names = ["a.jpg", "PHOTO.JPG", "b.jpeg", "c.mp3", "clip.mp4", "x.aac", "blu.ptf",
                 "game.iso", "notes.txt", JAPANESE]
        for name in names:
            (src / name).write_bytes(os.urandom(2048) + name.encode())
        game = src / "MyGame"
        (game / "DATA").mkdir(parents=True)
        for name in ("EBOOT.PBP", "ICON0.PNG", ".hidden", "DATA/level.bin"):
            (game / name).write_bytes(os.urandom(1024))
        return src, [src / n for n in names] + [game]

    def test_every_item_lands_where_it_belongs_and_the_message_tells_the_truth(self):
        src, items = self.make_sources()
        old_picture = self.stick / "PICTURE" / "a.jpg"
        old_picture.parent.mkdir()
        old_picture.write_bytes(b"the old picture")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))

        self.assertIn("effect=1", self.drag_and_drop(items))
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question, "the shell did not ask before replacing a.jpg")
        pending = self.window("CaldriftPendingWindow")
        self.assertTrue(pending["visible"])
        listed = next(c for c in pending["children"] if c["class"] == "ListBox")["items"]
        self.assertEqual(listed, ["a.jpg", "PHOTO.JPG", "b.jpeg", "c.mp3", "clip.mp4", "x.aac",
                                  "blu.ptf", "game.iso", "notes.txt", JAPANESE, "MyGame"])
        self.screenshot("transfer-replace-question")
        self.press(question, "No")

        closing = self.dialog("Trasferimento...", 60)
        self.assertIsNotNone(closing, "no closing message")
        self.screenshot("transfer-closing-message")
        self.assertEqual(self.dialog_text(closing),
                         "Alcuni elementi non sono stati trasferiti:\n"
                         "a.jpg (copia annullata)\n"
                         "notes.txt (tipo di file non gestito)")
        self.press(closing, "OK")

        self.assertEqual(old_picture.read_bytes(), b"the old picture")
        expected = {"PICTURE/PHOTO.JPG": "PHOTO.JPG", "PICTURE/b.jpeg": "b.jpeg",
                    "MUSIC/c.mp3": "c.mp3", "VIDEO/clip.mp4": "clip.mp4", "MUSIC/x.aac": "x.aac",
                    "PSP/THEME/blu.ptf": "blu.ptf", "ISO/game.iso": "game.iso",
                    "MUSIC/" + JAPANESE: JAPANESE, "PSP/GAME/MyGame/EBOOT.PBP": "MyGame/EBOOT.PBP",
                    "PSP/GAME/MyGame/ICON0.PNG": "MyGame/ICON0.PNG",
                    "PSP/GAME/MyGame/DATA/level.bin": "MyGame/DATA/level.bin"}
        for on_stick, source in expected.items():
            self.assertEqual((self.stick / on_stick).read_bytes(), (src / source).read_bytes(), on_stick)
        self.assertFalse((self.stick / "PSP/GAME/MyGame/.hidden").exists())
        self.assertFalse(any(p.name == "notes.txt" for p in self.stick.rglob("*")))
        self.assertTrue(wait_until(lambda: not self.window("CaldriftPendingWindow")["visible"], 3))


class DropDuringACopy(DropTestCase):
    def test_a_drop_while_the_shell_asks_joins_the_running_transfer(self):
        src = self.case_dir / "src"
        src.mkdir()
        (src / "a.jpg").write_bytes(b"the new picture")
        (src / "b.mp3").write_bytes(b"a song")
        (self.stick / "PICTURE").mkdir()
        (self.stick / "PICTURE" / "a.jpg").write_bytes(b"the old picture")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))

        self.drag_and_drop([src / "a.jpg"])
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question, "the copy did not stop to ask")
        self.assertIn("effect=1", self.drag_and_drop([src / "b.mp3"]))
        pending = self.window("CaldriftPendingWindow")
        self.assertTrue(wait_until(lambda: next(
            c for c in self.window("CaldriftPendingWindow")["children"]
            if c["class"] == "ListBox")["items"] == ["a.jpg", "b.mp3"], 5), "b.mp3 was not queued")
        self.assertTrue(pending["visible"])
        self.press(question, "Yes")

        closing = self.dialog("Trasferimento...", 30)
        self.assertIsNotNone(closing)
        self.assertEqual(self.dialog_text(closing), "File/s Trasferito/i Con Successo !!!")
        self.press(closing, "OK")
        self.assertIsNone(self.dialog("Trasferimento...", 2), "a second run reported separately")
        self.assertEqual((self.stick / "PICTURE" / "a.jpg").read_bytes(), b"the new picture")
        self.assertEqual((self.stick / "MUSIC" / "b.mp3").read_bytes(), b"a song")


class DropBeforeTheStick(DropTestCase):
    stick_layout = ()

    def test_refused_drop_waits_in_the_queue_for_the_next_one(self):
        src = self.case_dir / "src"
        src.mkdir()
        (src / "a.jpg").write_bytes(b"first")
        (src / "b.mp3").write_bytes(b"second")
        self.start_caldrift()
        self.assertEqual(self.label1(), "NO")
        self.drag_and_drop([src / "a.jpg"])
        refusal = self.dialog("Errore")
        self.assertIsNotNone(refusal)
        self.assertEqual(self.dialog_text(refusal), "Selezionare il drive della PSP")
        self.assertFalse(self.window("CaldriftPendingWindow")["visible"])
        self.press(refusal, "OK")

        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([src / "b.mp3"])
        closing = self.dialog("Trasferimento...")
        self.assertEqual(self.dialog_text(closing), "File/s Trasferito/i Con Successo !!!")
        self.press(closing, "OK")
        first, second = self.stick / "PICTURE" / "a.jpg", self.stick / "MUSIC" / "b.mp3"
        self.assertEqual(first.read_bytes(), b"first")
        self.assertEqual(second.read_bytes(), b"second")
        self.assertLess(first.stat().st_ctime_ns, second.stat().st_ctime_ns)


if __name__ == "__main__":
    unittest.main()
