"""The splash: the program's first window, and its hand-over to the drop window."""
import subprocess
import time
import unittest
from collections import Counter

from harness import SCREEN, CaldriftTestCase, Display, twips, wait_until

WS_CAPTION = 0x00C00000
WS_DLGFRAME = 0x00400000
WS_SYSMENU = 0x00080000
WS_MINMAXBOXES = 0x00030000
SS_TYPEMASK = 0x1F
SS_RIGHT = 0x2
SS_NOTIFY = 0x100
FRAME, LOGO, COMPANY, TITLE, VERSION, WARNING = range(1, 7)
BLACK = (0, 0, 0)  # the system's label text colour, before the first tick


def title_colours(count):
    """The program's title colours: xorshift32 (13, 17, 5) from its fixed seed,
    r = state / 2^32, r x 999999 rounded half to even, read as 0x00BBGGRR."""
    state, colours = 2463534242, []
    for _ in range(count):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        value = round(state / 2**32 * 999999)  # Python rounds halves to even
        colours.append((value & 0xFF, (value >> 8) & 0xFF, value >> 16))
    return colours


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class Splash(CaldriftTestCase):
    def start_splash(self):
        self.start_caldrift(wait_visible=False)
        splash = self.wait_for_window("CaldriftSplash", timeout=20)
        self.seen_at = time.monotonic()
        self.assertIsNotNone(splash, "no splash appeared")
        return splash

    def still_up(self):
        return self.splash() is not None and self.drop_window() is None

    def wait_for_hand_over(self, timeout):
        """The drop window exists and the splash is gone."""
        return wait_until(lambda: self.drop_window() and self.splash() is None, timeout, 0.05)

    def pixels(self, rect):
        left, top, right, bottom = rect
        raw = subprocess.run(["import", "-display", Display.name, "-window", "root", "-crop",
                              f"{right - left}x{bottom - top}+{left}+{top}", "-depth", "8", "rgb:-"],
                             capture_output=True, check=True).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]

    def text_colour(self, rect):
        """The commonest colour in the box after its background."""
        counts = Counter(self.pixels(rect)).most_common(2)
        return counts[1][0] if len(counts) > 1 else None

    def test_is_centred_without_title_bar_and_lays_out_its_controls(self):
        splash = self.start_splash()
        self.screenshot("splash")
        left, top, right, bottom = splash["rect"]
        width, height = right - left, bottom - top
        self.assertEqual([left, top], [(SCREEN[0] - width) // 2, (SCREEN[1] - height) // 2])
        self.assertEqual(splash["client"], [twips(7380), twips(4245)])
        self.assertEqual(splash["style"] & (WS_CAPTION | WS_SYSMENU | WS_MINMAXBOXES), WS_DLGFRAME)
        self.assertEqual(splash["text"], "")

        client_left = left + (width - splash["client"][0]) // 2
        client_top = top + (height - splash["client"][1]) // 2
        frame = self.child(splash, FRAME)
        self.assertEqual(frame["rect"], [client_left + twips(150), client_top + twips(60),
                                         client_left + twips(150) + twips(7080),
                                         client_top + twips(60) + twips(4050)])
        inside = {LOGO: (120, 360), COMPANY: (2640, 480), TITLE: (2760, 1080),
                  VERSION: (5280, 2160), WARNING: (120, 2880)}
        for control, (x, y) in inside.items():
            rect = self.child(splash, control)["rect"]
            self.assertEqual(rect[:2], [frame["rect"][0] + twips(x), frame["rect"][1] + twips(y)])
            self.assertTrue(self.child(splash, control)["style"] & SS_NOTIFY)

        logo = self.child(splash, LOGO)["rect"]
        self.assertEqual([logo[2] - logo[0], logo[3] - logo[1]], [160, 146])
        self.assertEqual(self.child(splash, COMPANY)["text"], "Norvask Presenta :")
        title = self.child(splash, TITLE)
        self.assertEqual(title["text"], "CALDRIFT")
        self.assertLessEqual(title["rect"][2] - title["rect"][0], twips(4200))
        version = self.child(splash, VERSION)
        self.assertEqual(version["text"], "Ver. Final 1.0")
        self.assertEqual(version["style"] & SS_TYPEMASK, SS_RIGHT)
        self.assertEqual(version["rect"][2] - version["rect"][0], twips(1455))
        warning = self.child(splash, WARNING)
        self.assertEqual(len(warning["text"]), 438)
        self.assertTrue(warning["text"].startswith("Avviso : Non mi assumo nessuna responsabilità"))
        self.assertEqual(warning["style"] & SS_TYPEMASK, 0)  # left-aligned and word-wrapped
        self.assertEqual(self.text_colour(warning["rect"]), (255, 0, 0))

    def test_without_input_hands_over_to_the_drop_window_after_three_seconds(self):
        self.start_splash()
        self.assertIsNone(self.drop_window(), "the drop window started before the splash ended")
        self.assertTrue(self.wait_for_hand_over(8), "no hand-over")
        self.assertGreater(time.monotonic() - self.seen_at, 1.8)
        self.assertLess(time.monotonic() - self.seen_at, 4.5)

    def test_enter_ends_it_at_once(self):
        splash = self.start_splash()
        self.xdotool("mousemove", *centre(splash["rect"]))
        pressed_at = time.monotonic()
        self.xdotool("key", "Return")
        self.assertTrue(self.wait_for_hand_over(2), "Enter did not end the splash")
        self.assertLess(pressed_at - self.seen_at, 1.5)
        self.assertLess(time.monotonic() - pressed_at, 1.2)

    def test_keys_without_a_character_do_nothing_and_escape_ends_it(self):
        splash = self.start_splash()
        self.xdotool("mousemove", *centre(splash["rect"]))
        self.xdotool("key", "Left", "F5", "shift", "Down")
        time.sleep(0.4)
        self.assertTrue(self.still_up(), "a key without a character ended the splash")
        pressed_at = time.monotonic()
        self.assertLess(pressed_at - self.seen_at, 2.0, "too slow to tell a key from the timer")
        self.xdotool("key", "Escape")
        self.assertTrue(self.wait_for_hand_over(2), "Esc did not end the splash")
        self.assertLess(time.monotonic() - pressed_at, 1.2)

    def test_a_click_on_the_frame_ends_it(self):
        splash = self.start_splash()
        clicked_at = time.monotonic()
        self.xdotool("mousemove", *self.free_frame_spot(splash), "click", 1)
        self.assertTrue(self.wait_for_hand_over(2), "the click did not end the splash")
        self.assertLess(clicked_at - self.seen_at, 1.5)
        self.assertLess(time.monotonic() - clicked_at, 1.2)

    def test_clicks_on_labels_the_logo_and_the_margin_do_nothing(self):
        splash = self.start_splash()
        spots = [centre(self.child(splash, c)["rect"]) for c in (TITLE, LOGO, COMPANY, WARNING)]
        frame_left = self.child(splash, FRAME)["rect"][0]
        spots.append((frame_left - 4, centre(splash["rect"])[1]))  # between border and frame
        for spot in spots:
            self.xdotool("mousemove", *spot, "click", 1)
        time.sleep(0.3)
        self.assertTrue(self.still_up(), "a click off the frame ended the splash")
        self.assertLess(time.monotonic() - self.seen_at, 2.2, "too slow to tell a click from the timer")

    def test_every_start_flickers_the_title_through_the_same_colours(self):
        sequence = title_colours(60)
        for start in range(2):
            title = self.child(self.start_splash(), TITLE)["rect"]
            seen = []
            for _ in range(8):
                seen.append(self.text_colour(title))
                time.sleep(0.1)
            places = [-1 if colour == BLACK else sequence.index(colour) if colour in sequence else None
                      for colour in seen]
            self.assertNotIn(None, places, f"start {start + 1}: colours off the sequence: {seen}")
            self.assertEqual(places, sorted(places), f"start {start + 1}: out of order: {seen}")
            self.assertGreaterEqual(len(set(places) - {-1}), 2, f"start {start + 1}: no flicker")
            self.stop_all()


if __name__ == "__main__":
    unittest.main()
