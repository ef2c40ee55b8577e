"""Disc images go on compressed where they would not fit, and all of them once the menu asks: what lands is a CSO
that a reader written from the format alone gives back as the ISO, byte for byte."""
import random
import re
import struct
import subprocess
import zlib

from harness import SUCCESS, CaldriftTestCase, param_sfo, wait_until


def inflated(cso):
    """The image a CSO holds: each block inflated as raw deflate, or as is where its index entry says so."""
    magic, header, total, block, version, shift = struct.unpack_from("<4sIQIBB", cso)
    assert (magic, header, block, version) == (b"CISO", 24, 2048, 1), (magic, header, block, version)
    blocks = -(-total // block)
    index = struct.unpack_from(f"<{blocks + 1}I", cso, 24)
    assert (index[-1] & 0x7FFFFFFF) << shift == len(cso)
    image = []
    for at, end in zip(index, index[1:]):
        start, stop = (at & 0x7FFFFFFF) << shift, (end & 0x7FFFFFFF) << shift
        part = cso[start:start + block] if at & 0x80000000 else zlib.decompressobj(-15).decompress(cso[start:stop])
        assert len(part) == block
        image.append(part)
    return b"".join(image)[:total]


class Compression(CaldriftTestCase):
    def psp_disc(self, name, megabytes):
        """A PSP disc image made by genisoimage: PSP_GAME with a table of scores, a little noise in each line."""
        folder = self.case_dir / f"disc-{name}"
        (folder / "PSP_GAME" / "USRDIR").mkdir(parents=True)
        (folder / "PSP_GAME" / "PARAM.SFO").write_bytes(param_sfo("UG"))
        rows, line, size = random.Random(name), 0, megabytes << 20
        with open(folder / "PSP_GAME" / "USRDIR" / "SCORES.TXT", "w") as table:
            while table.tell() < size:
                table.write(f"{line:08d}\tlivello {rows.randrange(100):3d}\tpunti {rows.randrange(10 ** 6):7d}\n")
                line += 1
        iso = self.src / f"{name}.iso"
        subprocess.run(["genisoimage", "-quiet", "-o", str(iso), str(folder)], check=True)
        return iso

    def assert_compressed(self, iso, text):
        megabytes = -(-iso.stat().st_size // (1 << 20))
        self.assertRegex(text, "^" + re.escape(f"{SUCCESS}\n\nImmagini compresse per la PSP:\n{iso.name}: ") +
                         r"\d+" + re.escape(f" MB invece di {megabytes} MB") + "$")
        cso = (self.stick / "ISO" / iso.with_suffix(".cso").name).read_bytes()
        self.assertLess(len(cso), iso.stat().st_size // 2)
        self.assertEqual(inflated(cso), iso.read_bytes())
        self.assertFalse((self.stick / "ISO" / iso.name).exists())


class StickTooSmall(Compression):
    def setUp(self):
        super().setUp()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=24m", "tmpfs", str(self.stick)]).returncode:
            self.skipTest("this machine cannot mount a small file system")
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.stick)])
        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)

    def test_an_image_larger_than_the_free_room_lands_as_a_cso_with_no_word_about_space(self):
        iso = self.psp_disc("gioco", 40)
        self.start_caldrift(label="E:")
        self.drag_and_drop([iso])
        progress = self.dialog("Compressione per la PSP", 30)
        self.assertIsNotNone(progress, "no progress window while it compressed")
        self.screenshot("compressing")
        self.assert_compressed(iso, self.closing_text(120))


class AskedFromTheMenu(Compression):
    def test_checked_every_image_goes_compressed_and_the_check_survives_a_restart(self):
        first, second = self.psp_disc("primo", 4), self.psp_disc("secondo", 4)
        self.start_caldrift(label="E:")
        self.choose_item(self.open_tray_menu(), 3)
        self.assertTrue(wait_until(lambda: b"Comprimi = 1\r\n" in (self.app_dir / "Setting.INI").read_bytes(), 5))
        self.drag_and_drop([first])
        self.assert_compressed(first, self.closing_text())

        self.restart_wine()
        self.start_caldrift(label="E:")
        self.open_tray_menu()
        self.screenshot("compress-checked-menu")
        self.click(640, 700)  # elsewhere: the menu closes
        self.assertTrue(wait_until(lambda: not self.menu(), 5))
        self.drag_and_drop([second])
        self.assert_compressed(second, self.closing_text())
