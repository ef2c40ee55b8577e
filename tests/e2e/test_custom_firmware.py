"""What a PSP with custom firmware takes: saves, releases laid out like the stick, plugins and disc images, each
where the firmware looks, plugin lists merged, and a warning for a disc image it will not start."""
import math
import os
import subprocess

from harness import SUCCESS, CaldriftTestCase, param_sfo

MIB = 1024 * 1024
BOM, ALTRO = b"\xef\xbb\xbf", b"ms0:/seplugins/altro.prx 1\r\n"  # a UTF-8 byte-order mark, a plugin line


DROPPED = ["ULUS10041", "CwCheat", "film.iso", "gioco.iso", "corto.iso"]
PLACES = {**{f"PSP/SAVEDATA/ULUS10041/{name}": f"ULUS10041/{name}" for name in ("PARAM.SFO", "ICON0.PNG", "DATA.BIN")},
          "SEPLUGINS/cwcheat/cwcheat.prx": "CwCheat/seplugins/cwcheat/cwcheat.prx", "ISO/VIDEO/film.iso": "film.iso",
          "ISO/gioco.iso": "gioco.iso", "ISO/corto.iso": "corto.iso"}


class DropForCustomFirmware(CaldriftTestCase):
    def make_iso(self, name, root_folder):
        content = self.case_dir / "disc" / name
        (content / root_folder).mkdir(parents=True)
        (content / root_folder / "DATA.BIN").write_bytes(os.urandom(3 * MIB))
        subprocess.run(["genisoimage", "-quiet", "-l", "-o", str(self.src / name), str(content)], check=True)
        return self.src / name

    def test_saves_releases_plugins_and_images_land_where_the_firmware_looks_and_a_cut_image_is_named(self):
        self.make_files({**{name: os.urandom(3000) for name in PLACES.values() if not name.endswith((".iso", ".img"))},
                         "ULUS10041/PARAM.SFO": param_sfo("MS"),
                         "CwCheat/seplugins/game.txt": BOM + ALTRO + b"ms0:/seplugins/cwcheat/cwcheat.prx 1\r\n"})
        stick_list, = self.make_files({"SEPLUGINS/GAME.TXT": BOM + ALTRO}, self.stick)  # as Notepad saves it
        game = self.make_iso("gioco.iso", "PSP_GAME")
        self.make_iso("film.iso", "UMD_VIDEO")
        whole = game.read_bytes()
        (self.src / "corto.iso").write_bytes(whole[:len(whole) // 2])
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in DROPPED])
        incomplete = f"{len(whole) // 2 // MIB} MB di {math.ceil(len(whole) / MIB)} MB"
        shot = lambda: self.screenshot("custom-firmware-closing-message")  # noqa: E731
        self.assertEqual(self.closing_text(while_open=shot),
                         f"{SUCCESS}\n\nLa PSP potrebbe non avviare:\ncorto.iso (file incompleto: {incomplete})")
        self.assert_stick_holds(PLACES, ["SEPLUGINS/GAME.TXT"])
        self.assertEqual(stick_list.read_bytes(), BOM + ALTRO + b"ms0:/seplugins/cwcheat/cwcheat.prx 1\r\n")
