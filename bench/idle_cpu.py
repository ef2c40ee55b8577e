#!/usr/bin/env python3
"""Prints the CPU time Caldrift uses while it waits in the tray under Wine,
scanning for a stick and watching one, beside a program that only has a
1-second timer. Not a test: figures only.

usage: bench/idle_cpu.py [seconds]   (default 60; build with scripts/test.sh first)
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
BUILD = ROOT / "build" / "win64"
WORK = ROOT / "build" / "bench"
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def wineserver_pid():
    out = subprocess.run(["pgrep", "-f", "wineserver"], capture_output=True, text=True).stdout
    for pid in out.split():
        if os.environ["WINEPREFIX"] in Path(f"/proc/{pid}/environ").read_bytes().decode(errors="ignore"):
            return int(pid)
    return None


def measure(exe, seconds, cwd):
    process = subprocess.Popen(["wine", str(exe)], cwd=cwd, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(8)  # start-up and the first show/hide are not idle time
    server = wineserver_pid()
    own0, server0 = cpu_seconds(process.pid), cpu_seconds(server) if server else 0
    time.sleep(seconds)
    own = cpu_seconds(process.pid) - own0
    serv = (cpu_seconds(server) - server0) if server else 0
    process.terminate()
    process.wait(10)
    subprocess.run(["wineserver", "-k"])
    return own, serv


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60
    WORK.mkdir(parents=True, exist_ok=True)
    display = subprocess.run([str(ROOT / "scripts" / "xvfb-start.sh"), str(WORK / "xvfb.pid")],
                             capture_output=True, text=True, check=True).stdout.strip()
    os.environ.update(DISPLAY=display, WINEPREFIX=str(WORK / "prefix"), WINEDEBUG="-all")
    try:
        app = WORK / "app"
        app.mkdir(exist_ok=True)
        shutil.copy(BUILD / "Caldrift.exe", app)
        stick = WORK / "stick"
        results = {}
        for case, with_stick in (("scanning, no stick", False), ("watching a stick", True)):
            shutil.rmtree(stick, ignore_errors=True)
            stick.mkdir(parents=True)
            if with_stick:
                (stick / "PSP" / "SAVEDATA").mkdir(parents=True)
            subprocess.run([str(ROOT / "scripts" / "wine-prefix.sh"), os.environ["WINEPREFIX"],
                            str(stick), "removable"], check=True)
            results[case] = measure(app / "Caldrift.exe", seconds, app)
        results["idle program, 1 s timer"] = measure(BUILD / "tools" / "idle_timer.exe", seconds, app)
        base = sum(results["idle program, 1 s timer"]) or 1 / TICKS
        print(f"CPU time over {seconds:.0f} s idle under Wine (process + wineserver):")
        for case, (own, serv) in results.items():
            total = own + serv
            print(f"  {case:28s} {own:7.2f} s + {serv:6.2f} s = {total:7.2f} s"
                  f"  ({100 * total / seconds:5.1f}% of one core, {total / base:6.1f}x the yardstick)")
    finally:
        subprocess.run(["kill", (WORK / "xvfb.pid").read_text().strip()])


if __name__ == "__main__":
    main()
