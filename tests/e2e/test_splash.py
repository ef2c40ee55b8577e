"""The splash: the program's first window, and its hand-over to the drop window."""
import subprocess
import time
from collections import Counter

from harness import SCREEN, WS_CAPTION, WS_SYSMENU, CaldriftTestCase, centre, display, size, twips, wait_until

WS_DLGFRAME = 0x00400000
WS_MINMAXBOXES = 0x00030000
FRAME, LOGO, COMPANY, TITLE, VERSION, WARNING = range(1, 7)
BLACK = (0, 0, 0)  # the system's label text colour, before the first tick


class Splash(CaldriftTestCase):
    def start_splash(self):
        self.start_caldrift(wait_visible=False)
        splash = self.wait_for_window("CaldriftSplash", timeout=20)
        self.seen_at = time.monotonic()
        self.assertIsNotNone(splash, "no splash appeared")
        return splash

    def shown(self):
        """Which of the splash and the drop window exist, in one look: a probe takes a while."""
        return {w["class"] for w in self.windows()} & {"CaldriftSplash", "CaldriftDropWindow"}

    def assert_hand_over(self, since, within, message):
        """The drop window exists and the splash is gone within that many seconds of since."""
        self.assertTrue(wait_until(lambda: self.shown() == {"CaldriftDropWindow"}, 2 * within, 0.05), message)
        self.assertLess(time.monotonic() - since, within)

    def text_colour(self, rect):
        """The commonest colour in the box after its background."""
        left, top, right, bottom = rect
        raw = subprocess.run(["import", "-display", display(), "-window", "root", "-crop",
                              f"{right - left}x{bottom - top}+{left}+{top}", "-depth", "8", "rgb:-"],
                             capture_output=True, check=True).stdout
        counts = Counter(raw[i:i + 3] for i in range(0, len(raw), 3)).most_common(2)
        return tuple(counts[1][0]) if len(counts) > 1 else None

    def test_flickers_its_title_ignores_clicks_off_the_frame_shows_its_texts_and_hands_over_after_3_s(self):
        splash = self.start_splash()
        for control_id in (TITLE, LOGO, COMPANY, WARNING):
            self.click(*centre(self.child(splash, control_id)["rect"]))
        self.click(self.child(splash, FRAME)["rect"][0] - 4, centre(splash["rect"])[1])  # between border and frame
        seen = {self.text_colour(self.child(splash, TITLE)["rect"]) for _ in range(8)}
        seen.discard(BLACK)
        self.assertGreaterEqual(len(seen), 3, f"no flicker: {seen}")
        self.assertTrue(all(blue <= 15 for _, _, blue in seen), seen)
        self.assertEqual(self.shown(), {"CaldriftSplash"}, "a click off the frame, or the clock, ended it early")
        self.screenshot("splash")

        left, top = splash["rect"][:2]
        width, height = size(splash["rect"])
        self.assertEqual([left, top], [(SCREEN[0] - width) // 2, (SCREEN[1] - height) // 2])
        self.assertEqual(splash["client"], [twips(7380), twips(4245)])
        self.assertEqual(splash["style"] & (WS_CAPTION | WS_SYSMENU | WS_MINMAXBOXES), WS_DLGFRAME)

        texts = {COMPANY: "Norvask Presenta :", TITLE: "CALDRIFT", VERSION: "Ver. Final 1.0"}
        self.assertEqual({c: self.child(splash, c)["text"] for c in texts}, texts)
        logo, warning = self.child(splash, LOGO), self.child(splash, WARNING)
        self.assertEqual(size(logo["rect"]), (160, 146))
        lines = warning["text"].split("\r\n")
        self.assertEqual([len(lines), lines[0][:45], lines[-1]],
                         [5, "Avviso : Non mi assumo nessuna responsabilità", "le vostre."])
        self.assertEqual(self.text_colour(warning["rect"]), (255, 0, 0))
        self.assert_hand_over(self.seen_at, 4.5, "no hand-over")
        self.assertGreater(time.monotonic() - self.seen_at, 1.8)

    def test_enter_escape_or_a_click_on_the_frame_end_it_at_once_but_keys_without_a_character_do_not(self):
        for ending, keys_before in (("Return", ()), ("Escape", ("Left", "F5", "shift", "Down")), ("click", ())):
            with self.subTest(ending):
                splash = self.start_splash()
                self.xdotool("mousemove", *centre(splash["rect"]), *(["key", *keys_before] if keys_before else []))
                if keys_before:
                    time.sleep(0.4)
                    self.assertEqual(self.shown(), {"CaldriftSplash"}, "a key without a character ended the splash")
                ended_at = time.monotonic()
                self.assertLess(ended_at - self.seen_at, 2.0 if keys_before else 1.5, "too slow to tell from the timer")
                if ending == "click":
                    self.click(*self.free_frame_spot(splash))
                else:
                    self.xdotool("key", ending)
                self.assert_hand_over(ended_at, 1.2, f"{ending} did not end the splash")
            self.restart_wine()
