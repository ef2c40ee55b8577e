"""Finding the PSP's stick by itself."""

from harness import PREFIX, CaldriftTestCase, wait_until, wine_reg

DRIVES = r"HKLM\Software\Wine\Drives"


class ForeignDrives(CaldriftTestCase):
    """A fixed D:, a CD drive F: and a network drive H:, each holding PSP\\SAVEDATA; E: removable and empty."""
    stick_layout = ()

    def setUp(self):
        super().setUp()
        for letter, kind in (("d", None), ("f", "cdrom"), ("h", "network")):
            folder = self.case_dir / f"drive-{letter}"
            (folder / "PSP" / "SAVEDATA").mkdir(parents=True)
            link = PREFIX / "dosdevices" / f"{letter}:"
            link.unlink(missing_ok=True)
            link.symlink_to(folder)
            self.addCleanup(link.unlink, missing_ok=True)
            if kind:
                wine_reg("add", DRIVES, "/v", f"{letter}:", "/t", "REG_SZ", "/d", kind, "/f")
                self.addCleanup(wine_reg, "delete", DRIVES, "/v", f"{letter}:", "/f", check=False)
        self.restart_wine()  # Wine reads its drives when its server starts

    def test_are_never_looked_into_and_a_stick_on_e_is_seen_within_3_s_and_followed_when_its_folder_goes(self):
        self.assertEqual(self.drive_lookups(self.start_caldrift(), 3), {"e"})
        self.assertEqual(self.label1(), "NO")
        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 3), "the stick was not seen within 3 s")
        (self.stick / "PSP").rename(self.stick / "PSP.away")
        self.assertTrue(wait_until(lambda: self.label1() == "NO", 5), "stick loss not seen")
        (self.stick / "PSP.away").rename(self.stick / "PSP")
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5), "stick not found again")


class AnnouncedStick(CaldriftTestCase):
    """E: removable and empty; a stick plugged on F: while Wine runs, as Windows announces it."""
    stick_layout = ()

    def test_is_shown_within_1_5_s_and_its_removal_too(self):
        folder = self.case_dir / "drive-f"
        (folder / "PSP" / "SAVEDATA").mkdir(parents=True)
        self.start_caldrift(label="NO")
        self.addCleanup(self.plug_stick, "f")
        self.plug_stick("f", folder)
        self.assertTrue(wait_until(lambda: self.label1() == "F:", 1.5), "the announced stick was not shown")
        self.plug_stick("f")
        self.assertTrue(wait_until(lambda: self.label1() == "NO", 1.5), "the announced removal was not shown")
