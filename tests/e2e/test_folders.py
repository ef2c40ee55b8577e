"""Folders dropped from the shell: media files land by type under their folder's name, games whole,
and every item not copied is named with its reason."""
import os

from harness import NOT_SENT, CaldriftTestCase

SOURCES = ["Album/01.mp3", "Album/02.mp3", "Album/cover.jpg", "Album/note.txt", "Album/.nascosto.mp3",
           "Album/CD2/03.mp3", "Giochi/Primo/EBOOT.PBP", "Giochi/Primo/DATA/livello.bin",
           "Giochi/Secondo/eboot.pbp", "Giochi/Secondo/ICON0.PNG", "brano.m4a", "disco.zso", "foto.tif",
           "canzone.flac", "LEGGIMI", "EBOOT.PBP"]
DROPPED = ["Album", "Giochi", "brano.m4a", "disco.zso", "foto.tif", "canzone.flac", "LEGGIMI", "EBOOT.PBP"]
PLACES = {"MUSIC/Album/01.mp3": "Album/01.mp3", "MUSIC/Album/02.mp3": "Album/02.mp3",
          "PICTURE/Album/cover.jpg": "Album/cover.jpg", "MUSIC/CD2/03.mp3": "Album/CD2/03.mp3",
          "PSP/GAME/Primo/EBOOT.PBP": "Giochi/Primo/EBOOT.PBP",
          "PSP/GAME/Primo/DATA/livello.bin": "Giochi/Primo/DATA/livello.bin",
          "PSP/GAME/Secondo/eboot.pbp": "Giochi/Secondo/eboot.pbp",
          "PSP/GAME/Secondo/ICON0.PNG": "Giochi/Secondo/ICON0.PNG",
          "MUSIC/brano.m4a": "brano.m4a", "ISO/disco.zso": "disco.zso", "PICTURE/foto.tif": "foto.tif"}


class DropFoldersOfMedia(CaldriftTestCase):
    def test_every_item_lands_by_its_type_or_is_named_with_its_reason(self):
        self.make_files({name: os.urandom(1500) + name.encode() for name in SOURCES})
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in DROPPED])
        self.assertIsNotNone(self.dialog("Trasferimento...", 60), "no closing message")
        self.screenshot("folders-closing-message")
        self.assertEqual(self.closing_text(), "\n".join([
            NOT_SENT, "Album\\note.txt (tipo di file non gestito)", "canzone.flac (tipo di file non gestito)",
            "LEGGIMI (tipo di file non gestito)", "EBOOT.PBP (trascinare la cartella del gioco, non il file)"]))
        self.assert_stick_holds(PLACES)  # no hidden file, nothing else
