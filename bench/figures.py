#!/usr/bin/env python3
"""Prints Caldrift's figures side by side, in one run under Wine:

- while it waits in the tray (scanning for a stick, then watching one): the
  wakeups of its threads (their context switches, from /proc) and the CPU
  time of the program and the Wine server, against an idle Win32 program
  with a single 1 s timer over the same Wine; peak memory;
- how soon it notices a stick that appears and goes;
- copy time from the drop to the closing message of one 512 MiB file against
  `cp` then `sync` of that file (Caldrift flushes what it copies), and the copy
  phase of a homebrew of 2,000 files of 8 kB (first file on the stick to the
  last) against the same shell operation run by a bare program;
- a 400 MB PSP disc image compressed onto a stick too small for it: the time
  from the drop to the closing message, less that of one small file's drop,
  against one core doing the same zlib work (bench/cso_yardstick.cpp, built
  as Caldrift is and run under the same Wine, and as a 64-bit Linux program), the CSO's size against the size that work gives,
  and the program's memory above its idle size while it compresses;
- the size of the 32-bit Caldrift.exe and the DLLs it imports.

Not a test: figures only. usage: bench/figures.py [idle seconds]  (default 60;
build first with scripts/test.sh)
"""
import os
import platform
import subprocess
import sys
import threading
import time
import unittest
from datetime import date
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from harness import ARCH, BUILD, OK, TRANSFER, WINE, wait_until, wine_env, windows_path  # noqa: E402
from test_compression import Compression  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
PRODUCT = ROOT / "build" / "win32" / "Caldrift.exe"
RESULTS = {}


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def memory_mib(pid, field="VmHWM"):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1]) / 1024
    return 0.0


def peak_mib(pid):
    return memory_mib(pid)


class MemoryWatch(threading.Thread):
    """The largest resident size of a process, sampled every 50 ms until stopped."""

    def __init__(self, pid):
        super().__init__(daemon=True)
        self.pid, self.largest, self.stopping = pid, 0.0, threading.Event()

    def run(self):
        while not self.stopping.wait(0.05):
            self.largest = max(self.largest, memory_mib(self.pid, "VmRSS"))


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


def wakeups(pid):
    total = 0
    for status in Path(f"/proc/{pid}/task").glob("*/status"):
        for line in status.read_text().splitlines():
            if line.startswith(("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")):
                total += int(line.split()[1])
    return total


def copy_phase_seconds(folder):
    """First file written to last, from the files' change times."""
    times = [p.stat().st_ctime_ns for p in folder.rglob("*") if p.is_file()]
    return (max(times) - min(times)) / 1e9


class Figures(Compression):
    """Runs under the end-to-end harness: its own program folder, stick and screen."""

    seconds = 60

    def idle(self, process):
        time.sleep(6)  # the splash and the first show and hide are not idle time
        server = wineserver_pid()
        woke, own, served = wakeups(process.pid), cpu_seconds(process.pid), cpu_seconds(server) if server else 0
        time.sleep(self.seconds)
        woke, own = wakeups(process.pid) - woke, cpu_seconds(process.pid) - own
        served = cpu_seconds(server) - served if server else 0
        return woke, own + served, peak_mib(process.pid)

    def noticed_within(self, rename, caption):
        """Seconds from a change on the stick to the drop window's label showing it."""
        started = time.monotonic()
        rename()
        self.assertTrue(wait_until(lambda: self.label1() == caption, 10, 0.02))
        return time.monotonic() - started

    def closing_shown(self):
        """Asked of the X server, not of a Wine program, so that waiting costs Caldrift no CPU."""
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TRANSFER}$"],
                              env=wine_env(), capture_output=True).returncode == 0

    def timed_drop(self, item):
        released = []  # the moment the button is let go over the drop window
        self.drag_and_drop([item], while_over=lambda: released.append(time.monotonic()))
        started = released[0]
        self.assertTrue(wait_until(self.closing_shown, 900, 0.05))
        elapsed = time.monotonic() - started
        self.press(self.dialog(TRANSFER, 30), OK)
        return elapsed

    def test_idle_in_the_tray(self):
        saved, away = self.stick / "PSP", self.case_dir / "PSP.away"
        saved.rename(away)
        process = self.start_caldrift()
        RESULTS["Caldrift scanning, no stick"] = self.idle(process)
        away.rename(saved)
        time.sleep(2)
        RESULTS["Caldrift watching a stick"] = self.idle(process)
        RESULTS["noticed"] = [(self.noticed_within(lambda: saved.rename(away), "NO"),
                               self.noticed_within(lambda: away.rename(saved), "E:")) for _ in range(3)]
        RESULTS["idle program, 1 s timer"] = self.idle(self.start_wine(BUILD / "tools" / "idle_timer.exe"))

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
        RESULTS["copy"] = ("one 512 MiB file", self.timed_drop(big), "cp + sync",
                           cp_sync_seconds(big, self.case_dir / "cp-big"))
        self.timed_drop(game)
        listing = self.case_dir / "bare-copy.bin"  # the sources, then the destinations
        files = sorted(game.iterdir())
        listing.write_text("".join(windows_path(p) + "\0" for p in files) + "\0" +
                           "".join(windows_path(self.stick / "bare" / p.name) + "\0" for p in files) + "\0",
                           encoding="utf-16-le")
        bare = subprocess.run([WINE, str(BUILD / "tools" / "shellcopy.exe"), windows_path(listing)],
                              env=wine_env(), timeout=600)
        self.assertEqual(bare.returncode, 0)
        RESULTS["game"] = (copy_phase_seconds(self.stick / "PSP" / "GAME" / "Game"),
                           copy_phase_seconds(self.stick / "bare"))
        RESULTS["copy memory"] = peak_mib(process.pid)

    def test_compression(self):
        iso = self.psp_disc("grande", 400)
        small, = self.make_files({"foto.jpg": b"a small picture"})
        # One core doing the same work with the same zlib, built as Caldrift is, under the same Wine;
        # and the same work with the system's zlib in a 64-bit Linux program.
        source, triple = ROOT / "bench" / "cso_yardstick.cpp", "i686" if ARCH == "win32" else "x86_64"
        windows, linux = self.case_dir / "cso_yardstick.exe", self.case_dir / "cso_yardstick"
        subprocess.run([f"{triple}-w64-mingw32-g++-posix", "-O2", "-static", "-o", str(windows), str(source), "-lz"],
                       check=True)
        subprocess.run(["g++", "-O2", "-o", str(linux), str(source), "-lz"], check=True)
        native_seconds, native_size = subprocess.run([WINE, str(windows), windows_path(iso)], env=wine_env(),
                                                     capture_output=True, text=True, check=True).stdout.split()
        linux_seconds = float(subprocess.run([str(linux), str(iso)], capture_output=True, text=True,
                                             check=True).stdout.split()[0])
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=300m", "tmpfs", str(self.stick)], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.stick)])
        (self.stick / "PSP" / "SAVEDATA").mkdir(parents=True)
        process = self.start_caldrift(label="E:")
        small_drop = self.timed_drop(small)
        idle = memory_mib(process.pid, "VmRSS")
        watch = MemoryWatch(process.pid)
        watch.start()
        cpu = cpu_seconds(process.pid)
        drop = self.timed_drop(iso)
        cpu = cpu_seconds(process.pid) - cpu
        watch.stopping.set()
        watch.join()
        RESULTS["compression"] = (drop - small_drop, float(native_seconds),
                                  (self.stick / "ISO" / "grande.cso").stat().st_size, int(native_size),
                                  watch.largest - idle, iso.stat().st_size, linux_seconds, cpu)


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
    base = RESULTS["idle program, 1 s timer"]
    print(f"\nWaiting in the tray, over {seconds:.0f} s: wakeups (context switches of its threads), "
          "CPU (process + wineserver), peak memory:")
    for case in ("Caldrift scanning, no stick", "Caldrift watching a stick", "idle program, 1 s timer"):
        woke, cpu, memory = RESULTS[case]
        print(f"  {case:28s} {woke:7d} wakeups {woke / max(base[0], 1):5.2f}x   {cpu:6.2f} s CPU "
              f"{cpu / max(base[1], 1 / TICKS):5.2f}x   peak {memory:6.1f} MiB")
    gone, found = (max(times) for times in zip(*RESULTS["noticed"]))
    print(f"\nA stick noticed (slowest of 3, the probe's polling included): gone within {gone:.2f} s, "
          f"found within {found:.2f} s")
    name, ours, yardstick, theirs = RESULTS["copy"]
    print(f"\nCopy of {name}, drop to closing message: Caldrift {ours:.2f} s, {yardstick} {theirs:.2f} s, "
          f"{ours / theirs:.2f}x")
    ours, bare = RESULTS["game"]
    print(f"Copy phase of a homebrew of 2,000 files, first file to last: Caldrift {ours:.2f} s, the same shell "
          f"operation from a bare program {bare:.2f} s, {ours / bare:.2f}x")
    print(f"Peak memory of Caldrift while copying: {RESULTS['copy memory']:.1f} MiB")
    ours, native, size, native_size, memory, image, linux, cpu = RESULTS["compression"]
    print(f"\nA {image / 1e6:.0f} MB PSP disc compressed onto a stick too small for it, drop to closing message "
          f"less a small file's: Caldrift {ours:.2f} s; one core doing the same zlib work, built as Caldrift is, "
          f"{native:.2f} s, {ours / native:.2f}x (a 64-bit Linux build with the system's zlib {linux:.2f} s, "
          f"{ours / linux:.2f}x); the CSO {size:,} bytes, zlib block by block {native_size:,} bytes, "
          f"{size / native_size:.4f}x; memory above idle while it compresses {memory:.1f} MiB; "
          f"its CPU time meanwhile {cpu:.2f} s, {cpu / (ours + 1e-9):.2f} cores")
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
