"""What a PSP with custom firmware takes: saves, plugins and disc images, each where the firmware looks, and a
warning for a disc image it will not start."""
import math
import os
import shutil
import struct
import subprocess

from harness import SUCCESS, CaldriftTestCase

MIB = 1024 * 1024


def param_sfo(category):
    """A PARAM.SFO whose one entry, CATEGORY, is UTF-8 text with its NUL."""
    index = struct.pack("<IIIIHHIII", 0x101, 36, 48, 1, 0, 0x0204, len(category) + 1, 4, 0)
    return b"\0PSF" + index + b"CATEGORY\0\0\0\0" + category.encode() + b"\0\0"


class DropForCustomFirmware(CaldriftTestCase):
    def make_iso(self, name, root_folder):
        content = self.case_dir / "disc" / name
        (content / root_folder).mkdir(parents=True)
        (content / root_folder / "DATA.BIN").write_bytes(os.urandom(3 * MIB))
        subprocess.run(["genisoimage", "-quiet", "-l", "-o", str(self.src / name), str(content)], check=True)
        return self.src / name

    def test_saves_plugins_and_images_land_where_the_firmware_looks_and_a_cut_image_is_named(self):
        self.make_files({"ULUS10041/PARAM.SFO": param_sfo("MS"), "ULUS10041/ICON0.PNG": os.urandom(900),
                         "ULUS10041/DATA.BIN": os.urandom(5000), "PS1/SLUS00594/SCEVMC0.VMP": os.urandom(4000),
                         "cwcheat.prx": os.urandom(3000)})
        game = self.make_iso("gioco.iso", "PSP_GAME")
        self.make_iso("film.iso", "UMD_VIDEO")
        shutil.copy(game, self.src / "disco.img")
        whole = game.read_bytes()
        (self.src / "corto.iso").write_bytes(whole[:len(whole) // 2])
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in ("ULUS10041", "PS1", "cwcheat.prx", "disco.img", "film.iso",
                                                         "gioco.iso", "corto.iso")])
        self.assertIsNotNone(self.dialog("Trasferimento...", 60), "no closing message")
        self.screenshot("custom-firmware-closing-message")
        incomplete = f"{len(whole) // 2 // MIB} MB di {math.ceil(len(whole) / MIB)} MB"
        self.assertEqual(self.closing_text(), SUCCESS + f"\n\nLa PSP potrebbe non avviare:\ncorto.iso (file "
                                                        f"incompleto: {incomplete})")
        self.assert_stick_holds({**{f"PSP/SAVEDATA/ULUS10041/{name}": f"ULUS10041/{name}"
                                    for name in ("PARAM.SFO", "ICON0.PNG", "DATA.BIN")},
                                 "PSP/SAVEDATA/SLUS00594/SCEVMC0.VMP": "PS1/SLUS00594/SCEVMC0.VMP",
                                 "SEPLUGINS/cwcheat.prx": "cwcheat.prx", "ISO/disco.img": "disco.img",
                                 "ISO/VIDEO/film.iso": "film.iso", "ISO/gioco.iso": "gioco.iso",
                                 "ISO/corto.iso": "corto.iso"})
