"""What goes wrong in a user's hands: each case ends with nothing lost and
the user told the truth about what happened."""
import os
import re
import subprocess
import time
import unittest

from harness import BUILD, PREFIX, DropTestCase, wait_until

STICK_GONE = "PSP scollegata: gli elementi rimasti sono ancora in coda."
HEADER = "Alcuni elementi non sono stati trasferiti:"
# Wine's shell answers every failed copy as a cancelled one (1223 and the
# aborted flag), where Windows gives the error; under Wine either reason is
# the truth as far as Caldrift can know it.
NOT_COPIED = r" \(copia (non riuscita|annullata)\)"


class FaultTestCase(DropTestCase):
    def sources(self, **files):
        src = self.case_dir / "src"
        src.mkdir(exist_ok=True)
        for name, data in files.items():
            (src / name.replace("_", ".")).write_bytes(data)
        return src

    def closing_text(self, timeout=120):
        closing = self.dialog("Trasferimento...", timeout)
        self.assertIsNotNone(closing, "no closing message")
        text = self.dialog_text(closing)
        self.press(closing, "OK")
        return text

    def pending_names(self):
        pending = self.window("CaldriftPendingWindow")
        return next(c for c in pending["children"] if c["class"] == "ListBox")["items"]

    def assert_reported(self, text, *names, stick_gone=False):
        lines = [re.escape(HEADER)] + [re.escape(name) + NOT_COPIED for name in names]
        if stick_gone:
            lines.append(re.escape(STICK_GONE))
        self.assertRegex(text, "^" + "\n".join(lines) + "$")

    def dismiss_shell_errors(self):
        for _ in range(3):  # the shell may say so first, in its own words
            box = self.dialog("Errore", 3) or self.dialog("Error", 1)
            if box is None:
                return
            self.press(box, "OK")

    def assert_copied(self, on_stick, source):
        self.assertTrue((self.stick / on_stick).exists(), f"{on_stick} is not on the stick")
        self.assertEqual((self.stick / on_stick).read_bytes(), source.read_bytes(), on_stick)


class StickPulledOut(FaultTestCase):
    def test_stick_removed_during_a_large_copy_keeps_the_rest_queued(self):
        src = self.sources(big_mp4=os.urandom(1 << 20) * 256, song_mp3=b"song", photo_jpg=b"photo")
        old = self.stick / "VIDEO" / "big.mp4"
        old.parent.mkdir()
        old.write_bytes(b"the old film")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([src / "big.mp4", src / "song.mp3", src / "photo.jpg"])
        question = self.dialog("Confirm file overwrite")  # the shell is in the middle of it
        self.assertIsNotNone(question)
        link = PREFIX / "dosdevices" / "e:"
        link.unlink()
        self.press(question, "Yes")
        self.dismiss_shell_errors()
        text = self.closing_text()
        self.assertEqual(self.pending_names(), ["song.mp3", "photo.jpg"])
        if (self.stick / "VIDEO" / "big.mp4").read_bytes() == (src / "big.mp4").read_bytes():
            self.assertEqual(text, HEADER + "\n" + STICK_GONE)
        else:
            self.assert_reported(text, "big.mp4", stick_gone=True)
            self.assertEqual(old.read_bytes(), b"the old film")

        link.symlink_to(self.stick)  # plugged in again: the next drop takes the rest with it
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 10))
        (src / "later.mp3").write_bytes(b"later")
        self.drag_and_drop([src / "later.mp3"])
        self.assertEqual(self.closing_text(), "File/s Trasferito/i Con Successo !!!")
        for on_stick, name in (("MUSIC/song.mp3", "song.mp3"), ("PICTURE/photo.jpg", "photo.jpg"),
                               ("MUSIC/later.mp3", "later.mp3")):
            self.assert_copied(on_stick, src / name)


class StickFull(FaultTestCase):
    stick_layout = ()

    def setUp(self):
        super().setUp()
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", str(self.stick)],
                                 capture_output=True)
        if mounted.returncode != 0:
            self.skipTest("this machine cannot mount a small file system")
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.stick)])
        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)

    def test_a_copy_that_does_not_fit_is_reported_and_the_next_one_still_lands(self):
        src = self.sources(movie_mp4=os.urandom(6 << 20), small_mp3=b"small song")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([src / "movie.mp4", src / "small.mp3"])
        self.dismiss_shell_errors()
        self.assert_reported(self.closing_text(), "movie.mp4")
        self.assertFalse((self.stick / "VIDEO" / "movie.mp4").exists(), "half a film left on the stick")
        self.assert_copied("MUSIC/small.mp3", src / "small.mp3")
        self.assertEqual((src / "movie.mp4").stat().st_size, 6 << 20)


class SourcesThatGoWrong(FaultTestCase):
    def test_a_source_deleted_before_its_turn_is_reported(self):
        src = self.sources(a_jpg=b"new picture", b_mp3=b"song")
        (self.stick / "PICTURE").mkdir()
        (self.stick / "PICTURE" / "a.jpg").write_bytes(b"old picture")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([src / "a.jpg", src / "b.mp3"])
        question = self.dialog("Confirm file overwrite")
        self.assertIsNotNone(question)
        (src / "b.mp3").unlink()
        self.press(question, "Yes")
        self.dismiss_shell_errors()
        self.assert_reported(self.closing_text(), "b.mp3")
        self.assert_copied("PICTURE/a.jpg", src / "a.jpg")
        self.assertFalse((self.stick / "MUSIC" / "b.mp3").exists())

    def test_a_source_in_use_by_another_program_is_reported(self):
        src = self.sources(busy_mp3=b"in use", free_mp3=b"free")
        holder = self.start_wine(BUILD / "tools" / "holdfile.exe", "Z:" + str(src / "busy.mp3").replace("/", "\\"),
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([src / "busy.mp3", src / "free.mp3"])
        self.dismiss_shell_errors()
        text = self.closing_text()
        holder.stdin.close()
        self.assert_reported(text, "busy.mp3")
        self.assertFalse((self.stick / "MUSIC" / "busy.mp3").exists())
        self.assertEqual((src / "busy.mp3").read_bytes(), b"in use")
        self.assert_copied("MUSIC/free.mp3", src / "free.mp3")

    def test_a_path_longer_than_260_characters_is_copied_or_reported(self):
        deep = self.case_dir / "src"
        for i in range(6):
            deep = deep / (f"cartella-{i}-" + "x" * 40)
        deep.mkdir(parents=True)
        song = deep / "canzone.mp3"
        song.write_bytes(b"a long way down")
        self.assertGreater(len("Z:" + str(song)), 260)
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop([song])
        self.dismiss_shell_errors()
        text = self.closing_text()
        if text == "File/s Trasferito/i Con Successo !!!":
            self.assert_copied("MUSIC/canzone.mp3", song)
        else:
            self.assert_reported(text, "canzone.mp3")


class ManyFiles(FaultTestCase):
    def test_five_thousand_files_in_one_drop_all_land(self):
        src = self.case_dir / "src"
        src.mkdir()
        paths = []
        for i in range(5000):
            path = src / f"brano-{i:04}.mp3"
            path.write_bytes(b"%d" % i)
            paths.append(path)
        self.start_caldrift()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5))
        self.drag_and_drop(paths)
        self.assertEqual(self.closing_text(600), "File/s Trasferito/i Con Successo !!!")
        landed = sorted(p.name for p in (self.stick / "MUSIC").iterdir())
        self.assertEqual(landed, [p.name for p in paths])
        self.assertEqual((self.stick / "MUSIC" / "brano-4999.mp3").read_bytes(), b"4999")
        self.assertTrue(wait_until(lambda: not self.window("CaldriftPendingWindow")["visible"], 5))


if __name__ == "__main__":
    unittest.main()
