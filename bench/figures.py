#!/usr/bin/env python3
"""Prints Caldrift's figures side by side, in one run under Wine:

- CPU time while it waits in the tray (scanning for a stick, then watching
  one) against an idle Win32 program with a 1 s timer, and against the floor
  its timers impose (the same timer set with empty handlers), over the same Wine;
- peak memory of each, and of Caldrift while it copies;
- copy time from the drop to the closing message, each against the system's
  own copy with the same outcome: one 512 MiB file against `cp` then `sync`
  of that file (Caldrift flushes what it copies), and a homebrew of 2,000
  files of 8 kB against Wine's `xcopy` of the same folder;
- the size of the 32-bit Caldrift.exe and the DLLs it imports.

Not a test: figures only. usage: bench/figures.py [idle seconds]  (default 60;
build first with scripts/test.sh)
"""
import os
import platform
import shutil
import subprocess
import sys
import time
import unittest
from datetime import date
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from harness import ARCH, BUILD, WINE, CaldriftTestCase, wine_env, windows_path  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
PRODUCT = ROOT / "build" / "win32" / "Caldrift.exe"
RESULTS = {}


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def peak_mib(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    return 0.0


def wineserver_pid():
    prefix = wine_env()["WINEPREFIX"]
    for pid in subprocess.run(["pgrep", "-x", "wineserver(32|64)?"], capture_output=True,
                              text=True).stdout.split():
        if prefix in Path(f"/proc/{pid}/environ").read_bytes().decode(errors="ignore"):
            return int(pid)
    return None


def cp_sync_seconds(source, target):
    target.unlink(missing_ok=True)
    started = time.monotonic()
    subprocess.run(["cp", str(source), str(target)], check=True)
    subprocess.run(["sync", str(target)], check=True)
    return time.monotonic() - started


def xcopy_seconds(source, target):
    shutil.rmtree(target, ignore_errors=True)
    started = time.monotonic()
    subprocess.run([WINE, "xcopy", windows_path(source), windows_path(target), "/E", "/I", "/Q", "/Y"],
                   env=wine_env(), stdout=subprocess.DEVNULL, check=True)
    elapsed = time.monotonic() - started
    assert len(list(target.rglob("*"))) == len(list(source.rglob("*"))), "xcopy left files behind"
    return elapsed


class Figures(CaldriftTestCase):
    """Runs under the end-to-end harness: its own program folder, stick and screen."""

    seconds = 60

    def idle(self, process):
        time.sleep(6)  # the splash and the first show and hide are not idle time
        server = wineserver_pid()
        own0, server0 = cpu_seconds(process.pid), cpu_seconds(server) if server else 0
        time.sleep(self.seconds)
        own = cpu_seconds(process.pid) - own0
        served = cpu_seconds(server) - server0 if server else 0
        return own + served, peak_mib(process.pid)

    def timed_drop(self, item):
        released = []  # the moment the button is let go over the drop window
        self.drag_and_drop([item], while_over=lambda: released.append(time.monotonic()))
        started = released[0]
        closing = self.dialog("Trasferimento...", 900)
        elapsed = time.monotonic() - started
        self.press(closing, "OK")
        return elapsed

    def test_idle_in_the_tray(self):
        saved = self.stick / "PSP"
        saved.rename(self.case_dir / "PSP.away")
        process = self.start_caldrift()
        RESULTS["scanning, no stick"] = self.idle(process)
        (self.case_dir / "PSP.away").rename(saved)
        time.sleep(2)
        RESULTS["watching a stick"] = self.idle(process)
        yardstick = self.start_wine(BUILD / "tools" / "idle_timer.exe")
        RESULTS["idle program, 1 s timer"] = self.idle(yardstick)
        floor = self.start_wine(BUILD / "tools" / "idle_timer.exe", "caldrift")
        RESULTS["Caldrift's timers, no work"] = self.idle(floor)

    def test_copies(self):
        src = self.src
        big = src / "big.mp4"
        with open(big, "wb") as out:
            for _ in range(512):
                out.write(os.urandom(1 << 20))
        game = src / "Game"
        game.mkdir()
        (game / "EBOOT.PBP").write_bytes(os.urandom(8192))
        for i in range(1999):
            (game / f"f{i:04}.bin").write_bytes(os.urandom(8192))
        process = self.start_caldrift()
        RESULTS["copy"] = [
            ("one 512 MiB file", self.timed_drop(big), "cp + sync",
             cp_sync_seconds(big, self.case_dir / "cp-big")),
            ("homebrew of 2,000 files", self.timed_drop(game), "xcopy",
             xcopy_seconds(game, self.case_dir / "xcopy-game"))]
        RESULTS["copy memory"] = peak_mib(process.pid)


def imported_dlls(exe):
    out = subprocess.run(["objdump", "-p", str(exe)], capture_output=True, text=True).stdout
    return sorted({line.split(":", 1)[1].strip().lower() for line in out.splitlines()
                   if "DLL Name:" in line})


def report(seconds):
    cpu = open("/proc/cpuinfo").read().split("model name")[1].split(":", 1)[1].splitlines()[0].strip()
    print(f"Caldrift figures, {date.today()}, {cpu}, {os.cpu_count()} cores, "
          f"{platform.system()} {platform.release()}, "
          f"{subprocess.run([WINE, '--version'], env=wine_env(), capture_output=True, text=True).stdout.strip()}")
    print(f"Measured {BUILD / 'Caldrift.exe'}: " + ("the 32-bit Caldrift.exe under 32-bit Wine" if ARCH == "win32" else
          "this machine runs no 32-bit code, so the 64-bit build of the same sources under 64-bit Wine"))
    base = RESULTS["idle program, 1 s timer"][0] or 1 / TICKS
    floor = RESULTS["Caldrift's timers, no work"][0] or 1 / TICKS
    print(f"\nIdle in the tray, CPU over {seconds:.0f} s (process + wineserver), peak memory:")
    for case in ("scanning, no stick", "watching a stick", "idle program, 1 s timer",
                 "Caldrift's timers, no work"):
        total, memory = RESULTS[case]
        print(f"  {case:26s} {total:6.2f} s  {100 * total / seconds:5.2f}% of a core"
              f"  {total / base:6.1f}x the idle program  {total / floor:5.2f}x the timer floor"
              f"  peak {memory:6.1f} MiB")
    print("\nCopy, from the drop to the closing message, against the system's own copy:")
    for name, ours, yardstick, theirs in RESULTS["copy"]:
        print(f"  {name:26s} Caldrift {ours:7.2f} s  {yardstick:9s} {theirs:6.2f} s  {ours / theirs:5.2f}x")
    print(f"  peak memory of Caldrift while copying: {RESULTS['copy memory']:.1f} MiB")
    print(f"\nCaldrift.exe (32-bit): {PRODUCT.stat().st_size:,} bytes; imports "
          + ", ".join(imported_dlls(PRODUCT)))


def main():
    Figures.seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60
    suite = unittest.TestLoader().loadTestsFromTestCase(Figures)
    outcome = unittest.TextTestRunner(verbosity=0, stream=open(os.devnull, "w")).run(suite)
    if not outcome.wasSuccessful():
        for _, trace in outcome.failures + outcome.errors:
            print(trace, file=sys.stderr)
        sys.exit(1)
    report(Figures.seconds)


if __name__ == "__main__":
    main()
