"""Finding the PSP's stick by itself, and the pending-transfers window."""
import time
import unittest

from harness import SCREEN, CaldriftTestCase, twips, wait_until


class RemovableStick(CaldriftTestCase):
    def test_found_within_a_second_and_followed_when_its_folder_goes(self):
        self.start_caldrift()
        started = time.monotonic()
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 1.0, 0.05) or
                        self.label1() == "E:")
        self.assertLess(time.monotonic() - started, 1.5)

        (self.stick / "PSP").rename(self.stick / "PSP.away")
        self.assertTrue(wait_until(lambda: self.label1() == "NO", 5), "stick loss not seen")
        (self.stick / "PSP.away").rename(self.stick / "PSP")
        self.assertTrue(wait_until(lambda: self.label1() == "E:", 5), "stick not found again")

    def test_pending_window_waits_hidden_on_top_of_the_drop_window(self):
        self.start_caldrift()
        drop = self.drop_window()
        pending = wait_until(lambda: self.window("CaldriftPendingWindow"), 5)
        self.assertIsNotNone(pending)
        self.assertFalse(pending["visible"])
        self.assertEqual(pending["text"], "File Trasfer")
        drop_height = drop["rect"][3] - drop["rect"][1]
        top_twips = SCREEN[1] * 15 - drop_height * 15 - 3870 - 455
        self.assertEqual(pending["rect"], [twips(SCREEN[0] * 15 - 2790), twips(top_twips),
                                           twips(SCREEN[0] * 15 - 2790) + twips(2790),
                                           twips(top_twips) + twips(3870)])
        self.assertEqual(pending["rect"][3], drop["rect"][1])  # it rests on the drop window
        texts = [c["text"] for c in pending["children"]]
        self.assertIn("Trasferimenti in Attesa...", texts)
        self.assertIn("ListBox", [c["class"] for c in pending["children"]])


class FixedDiskWithPspFolders(CaldriftTestCase):
    stick_kind = "fixed"

    def test_is_not_taken_for_the_stick(self):
        self.start_caldrift()
        time.sleep(2)
        self.assertEqual(self.label1(), "NO")


if __name__ == "__main__":
    unittest.main()
