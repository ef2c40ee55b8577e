"""What goes wrong in a user's hands: each case ends with nothing lost and
the user told the truth about what happened."""
import os
import subprocess

from harness import BUILD, OK, PREFIX, SUCCESS, TRANSFER, YES, CaldriftTestCase, wait_until, windows_path


class FaultTestCase(CaldriftTestCase):
    def dismiss_shell_errors(self):
        for _ in range(3):  # the shell may say so first, in its own words
            box = self.shown_dialog(lambda w: w["text"] != TRANSFER, 3)
            if box is None:
                return
            self.press(box, OK)


class StickPulledOut(FaultTestCase):
    def test_stick_removed_during_a_copy_keeps_it_and_the_rest_queued(self):
        big, song, photo = self.make_files({"big.iso": os.urandom(1 << 20) * 16, "song.mp3": b"song",
                                            "photo.jpg": b"photo"})
        old, = self.make_files({"ISO/big.iso": b"the old disc"}, self.stick)
        self.start_caldrift(label="E:")
        self.drag_and_drop([big, song, photo])
        question = self.shell_question()  # the shell is in the middle of it
        link = PREFIX / "dosdevices" / "e:"
        link.unlink()
        self.press(question, YES)
        self.dismiss_shell_errors()
        # The shell finds no E: once the question is answered.
        self.assert_reported(self.closing_text(), stick_gone=True)
        self.assertEqual(self.pending_names(), ["big.iso", "song.mp3", "photo.jpg"])
        self.assertEqual(old.read_bytes(), b"the old disc")

        link.symlink_to(self.stick)  # plugged in again: the next drop takes the rest with it
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 10))
        self.drag_and_drop(self.make_files({"later.mp3": b"later"}))
        self.press(self.shell_question(), YES)
        self.assertEqual(self.closing_text(), SUCCESS + "\n\nLa PSP potrebbe non avviare:\nbig.iso (non è un disco PSP)")
        self.assert_stick_holds({"ISO/big.iso": "big.iso", "MUSIC/song.mp3": "song.mp3",
                                 "PICTURE/photo.jpg": "photo.jpg", "MUSIC/later.mp3": "later.mp3"})


class StickFull(FaultTestCase):
    stick_layout = ()

    def setUp(self):
        super().setUp()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", str(self.stick)]).returncode:
            self.skipTest("this machine cannot mount a small file system")
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.stick)])
        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)

    def test_what_does_not_fit_is_refused_before_a_byte_and_the_rest_lands(self):
        """No shell dialog to answer: the closing message comes by itself."""
        self.make_files({"grande.iso": os.urandom(6 << 20), "Gioco/EBOOT.PBP": os.urandom(1 << 20),
                         "Gioco/DATA/livello.bin": os.urandom(4 << 20), "foto.jpg": b"small picture"})
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in ("grande.iso", "Gioco", "foto.jpg")])
        self.assert_reported(self.closing_text(60), "grande.iso (spazio insufficiente sulla PSP)",
                             "Gioco (spazio insufficiente sulla PSP)")
        self.assert_stick_holds({"PICTURE/foto.jpg": "foto.jpg"})


class SourcesThatGoWrong(FaultTestCase):
    def test_sources_in_use_a_path_too_long_and_a_file_over_4_gb_are_named_and_nothing_of_them_copied(self):
        deep = "/".join(f"cartella-{i}-" + "x" * 40 for i in range(6)) + "/canzone.mp3"
        busy, free, song, game, held = self.make_files({"busy.mp3": b"in use", "free.mp3": b"free", deep: b"a long way down",
                                                        "Gioco/EBOOT.PBP": b"game", "Gioco/DATA/dati.bin": b"held"})
        old, = self.make_files({"PSP/GAME/Vecchio/EBOOT.PBP": b"old game"}, self.stick)
        with open(self.src / "film.mp4", "wb") as sparse:
            sparse.truncate(1 << 32)
        holder = self.start_wine(BUILD / "tools" / "holdfile.exe", windows_path(busy), windows_path(held),
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        self.start_caldrift(label="E:")
        self.drag_and_drop([busy, free, song, self.src / "film.mp4", game.parent])
        self.dismiss_shell_errors()
        self.assert_reported(self.closing_text(), "busy.mp3", "canzone.mp3 (percorso troppo lungo)",
                             "film.mp4 (oltre 4 GB: la PSP non legge file così grandi)", "Gioco")
        self.assert_stick_holds({"MUSIC/free.mp3": "free.mp3"}, ["PSP/GAME/Vecchio/EBOOT.PBP"])
        self.assertFalse((self.stick / "PSP" / "GAME" / "Gioco").exists())
        self.assertEqual(old.read_bytes(), b"old game")
        holder.stdin.close()
        holder.stdout.close()
        self.assertEqual(busy.read_bytes(), b"in use")


class ManyFiles(FaultTestCase):
    def test_five_thousand_files_in_one_drop_all_land(self):
        paths = self.make_files({f"brano-{i:04}.mp3": b"%d" % i for i in range(5000)})
        self.start_caldrift(label="E:")
        self.drag_and_drop(paths)
        self.assertEqual(self.closing_text(600), SUCCESS)
        self.assert_stick_holds({f"MUSIC/{p.name}": p.name for p in paths})
