#!/usr/bin/env python3
"""Prints how long Caldrift takes under Wine to copy one 512 MiB file and a
homebrew folder of 1,000 small files onto the stick, beside `cp` of the same
data on the same disk. Not a test: figures only.

usage: bench/copy_speed.py   (build first: scripts/test.sh or the win64 preset)
"""
import os
import shutil
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import Display, DropTestCase  # noqa: E402


def cp_seconds(source, target):
    shutil.rmtree(target, ignore_errors=True)
    started = time.monotonic()
    subprocess.run(["cp", "-r", str(source), str(target)], check=True)
    subprocess.run(["sync"])
    return time.monotonic() - started


class CopySpeed(DropTestCase):
    def timed_drop(self, item):
        started = time.monotonic()
        self.drag_and_drop([item])
        closing = self.dialog("Trasferimento...", 600)
        elapsed = time.monotonic() - started
        self.press(closing, "OK")
        return elapsed

    def test_figures(self):
        src = self.case_dir / "src"
        src.mkdir()
        big = src / "big.mp4"
        with open(big, "wb") as out:
            for _ in range(512):
                out.write(os.urandom(1 << 20))
        game = src / "Game"
        game.mkdir()
        (game / "EBOOT.PBP").write_bytes(os.urandom(4096))
        for i in range(999):
            (game / f"f{i:04}.bin").write_bytes(os.urandom(4096))
        self.start_caldrift()
        rows = [("one 512 MiB file", self.timed_drop(big), cp_seconds(big, self.case_dir / "cp-big")),
                ("homebrew of 1,000 files", self.timed_drop(game),
                 cp_seconds(game, self.case_dir / "cp-game"))]
        print("\nCopy time under Wine, Caldrift (drop to closing message) against cp:")
        for name, ours, theirs in rows:
            print(f"  {name:24s} Caldrift {ours:7.2f} s   cp {theirs:6.2f} s   ratio {ours / theirs:6.1f}x")


if __name__ == "__main__":
    try:
        unittest.main(argv=[sys.argv[0], "-q"])
    finally:
        Display.stop()
