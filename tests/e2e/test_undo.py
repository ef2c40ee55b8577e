"""Taking the last transfer back from the tray menu, after Caldrift was killed and started again: what the drag
added goes, what it replaced comes back from the PC's backup, and a track changed since stays and is named."""
import os

from harness import SUCCESS, YES, CaldriftTestCase, param_sfo

UNDO = "Annulla l'ultimo trasferimento"
LIST = b"ms0:/seplugins/altro.prx 1\r\n"


class UndoTheLastTransfer(CaldriftTestCase):
    def stick_now(self):
        return {str(p.relative_to(self.stick)): p.is_file() and p.read_bytes() for p in self.stick.rglob("*")}

    def test_the_undo_leaves_the_stick_as_before_the_drag_but_for_a_track_changed_since(self):
        self.make_files({"ULUS10041/PARAM.SFO": param_sfo("MS"), "ULUS10041/DATA.BIN": os.urandom(4000),
                         "Album/01.mp3": os.urandom(3000), "Album/02.mp3": os.urandom(3000),
                         "foto.jpg": os.urandom(2000), "CwCheat/seplugins/cwcheat/cwcheat.prx": os.urandom(1000),
                         "CwCheat/seplugins/game.txt": b"ms0:/seplugins/cwcheat/cwcheat.prx 1\r\n"})
        self.make_files({"PSP/SAVEDATA/ULUS10041/PARAM.SFO": param_sfo("MS") + b"old",
                         "PSP/SAVEDATA/ULUS10041/DATA.BIN": b"my progress", "SEPLUGINS/GAME.TXT": LIST}, self.stick)
        (self.src / "Album/02.mp3").chmod(0o444)  # read-only, as the shell keeps it on the stick
        before = self.stick_now()
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in ("ULUS10041", "Album", "foto.jpg", "CwCheat")])
        self.press(self.shell_question(), YES)
        while question := self.shown_dialog(lambda w: any(c["id"] == YES for c in w["children"]), 3):
            self.press(question, YES)  # one question a replaced file
        self.assertEqual(self.closing_text(), SUCCESS)
        self.assertEqual((self.stick / "PSP/SAVEDATA/ULUS10041/DATA.BIN").read_bytes(),
                         (self.src / "ULUS10041/DATA.BIN").read_bytes())
        self.assertNotEqual((self.stick / "SEPLUGINS/GAME.TXT").read_bytes(), LIST)
        (self.stick / "MUSIC/Album/01.mp3").write_bytes(b"a better take")

        self.restart_wine()  # Caldrift killed, and started again
        self.start_caldrift(label="E:")
        menu = self.open_tray_menu()
        self.screenshot("undo-menu")
        self.choose_item(menu, 2)
        question = self.dialog(UNDO, 10)
        self.assertIsNotNone(question, "the second item asked nothing")
        self.screenshot("undo-question")
        self.assertEqual(self.dialog_text(question), "Togliere dalla PSP ciò che l'ultimo trasferimento ha copiato "
                                                     "e rimettere ciò che ha sostituito?")
        self.press(question, YES)
        self.assertEqual(self.closing_text(30, while_open=lambda: self.screenshot("undo-closing-message")),
                         "Trasferimento annullato.\n"
                         "MUSIC\\Album\\01.mp3 (modificato dopo il trasferimento: lasciato)")
        self.assertEqual(self.stick_now(), before | {"MUSIC": False, "MUSIC/Album": False,
                                                     "MUSIC/Album/01.mp3": b"a better take"})
