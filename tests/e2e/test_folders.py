"""Folders dropped from the shell: media files land by type, one folder deep, each in a place of its own;
games whole, without following links."""
import os

from harness import SUCCESS, CaldriftTestCase, eboot

SOURCES = ["Dischi/Queen/Live/01 Apertura.mp3", "Dischi/Queen/Live/02 Finale.mp3",
           "Dischi/Muse/Live/01 Apertura.mp3", "Dischi/Muse/Live/02 Finale.mp3", "Dischi/Muse/Live/.nascosto.mp3",
           "Vacanze/mare.jpg", "Vacanze/Vacanze/mare.jpg", "Roma/foto.jpg", "Parigi/foto.jpg",
           "Giochi/Primo/EBOOT.PBP", "Giochi/Primo/DATA/livello.bin"]
DROPPED = ["Dischi/Queen", "Dischi/Muse", "Vacanze", "Roma/foto.jpg", "Parigi/foto.jpg", "Giochi"]
PLACES = {"MUSIC/Live/01 Apertura.mp3": "Dischi/Queen/Live/01 Apertura.mp3",
          "MUSIC/Live/02 Finale.mp3": "Dischi/Queen/Live/02 Finale.mp3",
          "MUSIC/Muse - Live/01 Apertura.mp3": "Dischi/Muse/Live/01 Apertura.mp3",
          "MUSIC/Muse - Live/02 Finale.mp3": "Dischi/Muse/Live/02 Finale.mp3",
          "PICTURE/Vacanze/mare.jpg": "Vacanze/mare.jpg",
          "PICTURE/Vacanze - Vacanze/mare.jpg": "Vacanze/Vacanze/mare.jpg",
          "PICTURE/foto.jpg": "Roma/foto.jpg", "PICTURE/foto (2).jpg": "Parigi/foto.jpg",
          "PSP/GAME/Primo/EBOOT.PBP": "Giochi/Primo/EBOOT.PBP",
          "PSP/GAME/Primo/DATA/livello.bin": "Giochi/Primo/DATA/livello.bin"}


class DropFoldersOfMedia(CaldriftTestCase):
    def test_sources_of_one_name_each_land_in_a_place_of_their_own_without_a_question(self):
        self.make_files({name: os.urandom(1500) + name.encode() for name in SOURCES} | {SOURCES[-2]: eboot(b"Primo")})
        os.symlink("..", self.src / "Giochi" / "Primo" / "DATA" / "up")  # links a game never follows
        os.symlink(".", self.src / "Giochi" / "Primo" / "loop")
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in DROPPED])
        self.assertIsNotNone(self.dialog("Trasferimento...", 60), "no closing message")
        self.assertEqual([w["text"] for w in self.windows("#32770") if w["visible"]], ["Trasferimento..."])
        self.screenshot("folders-closing-message")
        self.assertEqual(self.closing_text(), SUCCESS)
        self.assert_stick_holds(PLACES)  # no hidden file, nothing else
