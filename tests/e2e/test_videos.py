"""Videos dropped together: all land in VIDEO byte-identical; the closing message names the ones the PSP may not play."""
import os

from harness import SUCCESS, CaldriftTestCase, make_video

VIDEOS = [  # name, size, encoder options, what the message says (None: plays)
    ("ok.mp4", "480x272", ["-c:v", "libx264", "-profile:v", "main", "-level", "3.0", "-pix_fmt", "yuv420p",
                           "-c:a", "aac"], None),
    ("hd.mp4", "1280x720", ["-c:v", "libx264", "-profile:v", "high", "-pix_fmt", "yuv420p", "-c:a", "aac"],
     "H.264 High, 1280\u00d7720"),
    ("vecchio.avi", "640x360", ["-c:v", "mpeg4", "-vtag", "XVID", "-c:a", "pcm_s16le"], "Xvid, 640\u00d7360"),
]


class VideosDroppedTogether(CaldriftTestCase):

    def test_all_land_and_only_those_that_will_not_play_are_named(self):
        for name, size, options, _ in VIDEOS:
            make_video(self.src / name, size, *options)
        self.make_files({"strano.mp4": os.urandom(4096)})
        names = [name for name, *_ in VIDEOS] + ["strano.mp4"]
        self.start_caldrift(label="E:")
        self.drag_and_drop([self.src / name for name in names])
        warnings = [f"{name} ({reason})" for name, _, _, reason in VIDEOS if reason]
        self.assertEqual(self.closing_text(120), "\n".join(
            [SUCCESS, "", "La PSP potrebbe non riprodurre:", *warnings, "strano.mp4 (formato video non riconosciuto)"]))
        self.assert_stick_holds({f"VIDEO/{name}": name for name in names})
