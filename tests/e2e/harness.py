"""Runs the real Caldrift.exe under Wine on a virtual X screen.

Each test gets its own program folder (a copy of Caldrift.exe) and its own
stick folder mapped as drive E:. The probe tool reports Caldrift's windows.
"""
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("CALDRIFT_WIN_BUILD", ROOT / "build" / "win64"))
WORK = Path(os.environ.get("CALDRIFT_E2E_DIR", ROOT / "build" / "e2e"))
PREFIX = WORK / "prefix"
SCREENSHOTS = WORK / "screenshots"
SCREEN = (1280, 1024)
DPI = 96


def twips(value):
    return (value * DPI + 720) // 1440


class Display:
    """An Xvfb of our own on a free display number."""

    process = None
    name = None

    @classmethod
    def start(cls):
        if cls.process or cls.name:
            return
        if os.environ.get("CALDRIFT_DISPLAY"):
            cls.name = os.environ["CALDRIFT_DISPLAY"]
            return
        for number in range(91, 120):
            if not Path(f"/tmp/.X11-unix/X{number}").exists() and not Path(f"/tmp/.X{number}-lock").exists():
                break
        cls.name = f":{number}"
        cls.process = subprocess.Popen(
            ["Xvfb", cls.name, "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if Path(f"/tmp/.X11-unix/X{number}").exists():
                return
            time.sleep(0.05)
        raise RuntimeError("Xvfb did not start")

    @classmethod
    def stop(cls):
        if cls.process:
            cls.process.terminate()
            cls.process.wait(10)
            cls.process = None


def wine_env():
    env = dict(os.environ)
    env.update(WINEPREFIX=str(PREFIX), WINEDEBUG="-all", DISPLAY=Display.name,
               WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def wait_until(condition, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


class CaldriftTestCase(unittest.TestCase):
    """Base of every end-to-end test: a fresh program folder and stick."""

    stick_kind = "removable"
    stick_layout = ("PSP/SAVEDATA",)

    @classmethod
    def setUpClass(cls):
        Display.start()
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)

    def setUp(self):
        self.case_dir = WORK / "cases" / self.id().split(".", 1)[-1]
        shutil.rmtree(self.case_dir, ignore_errors=True)
        self.app_dir = self.case_dir / "app"
        self.stick = self.case_dir / "stick"
        self.app_dir.mkdir(parents=True)
        shutil.copy(BUILD / "Caldrift.exe", self.app_dir / "Caldrift.exe")
        for folder in self.stick_layout:
            (self.stick / folder).mkdir(parents=True, exist_ok=True)
        self.stick.mkdir(parents=True, exist_ok=True)
        subprocess.run([str(ROOT / "scripts" / "wine-prefix.sh"), str(PREFIX), str(self.stick),
                        self.stick_kind], check=True, env=wine_env())
        self.probe()  # brings Wine's desktop up before the program starts
        self.processes = []
        self.addCleanup(self.stop_all)

    # --- processes -------------------------------------------------------
    def start_wine(self, exe, *args, **kwargs):
        process = subprocess.Popen(["wine", str(exe), *map(str, args)], env=wine_env(),
                                   stdin=kwargs.get("stdin"),
                                   stdout=kwargs.get("stdout", subprocess.DEVNULL),
                                   stderr=subprocess.DEVNULL, cwd=kwargs.get("cwd"))
        self.processes.append(process)
        return process

    def start_caldrift(self, wait_visible=True):
        """Starts the program; with wait_visible, clicks the splash away and waits for the drop window."""
        process = self.start_wine(self.app_dir / "Caldrift.exe", cwd=self.app_dir)
        if wait_visible:
            splash = self.wait_for_window("CaldriftSplash", timeout=20)
            if splash:
                self.xdotool("mousemove", *self.free_frame_spot(splash), "click", 1)
            self.assertTrue(wait_until(lambda: self.drop_window(), 20), "no drop window appeared")
        return process

    def stop_all(self):
        for process in self.processes:
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        subprocess.run(["wineserver", "-k"], env=wine_env(), stderr=subprocess.DEVNULL)

    # --- looking at windows ----------------------------------------------
    def probe(self, *args):
        for attempt in range(3):
            # A file, not a pipe: a Wine server or desktop that the probe happens to
            # start inherits its output and would hold a pipe open long after it ends.
            with tempfile.TemporaryFile() as out:
                try:
                    subprocess.run(["wine", str(BUILD / "tools" / "probe.exe"), *args],
                                   env=wine_env(), stdout=out, stderr=subprocess.DEVNULL, timeout=20)
                except subprocess.TimeoutExpired:
                    continue
                out.seek(0)
                return json.loads(out.read().decode("utf-8"))
        raise AssertionError("the probe did not answer")

    def windows(self, class_name=None):
        found = self.probe()["windows"]
        return [w for w in found if class_name is None or w["class"] == class_name]

    def window(self, class_name):
        found = self.windows(class_name)
        return found[0] if found else None

    def drop_window(self):
        return self.window("CaldriftDropWindow")

    def splash(self):
        return self.window("CaldriftSplash")

    def free_frame_spot(self, splash):
        """A point on the splash's frame that no label or picture covers."""
        frame = self.child(splash, 1)
        covered = [c["rect"] for c in splash["children"] if c["id"] != 1]
        left, top, right, bottom = frame["rect"]
        for y in range(top + 6, bottom - 6, 4):
            for x in range(left + 6, right - 6, 4):
                if not any(l <= x < r and t <= y < b for l, t, r, b in covered):
                    return x, y
        raise AssertionError("the frame is covered all over")

    def child(self, window, control_id):
        return next(c for c in window["children"] if c["id"] == control_id)

    def label1(self):
        window = self.drop_window()
        return self.child(window, 1)["text"] if window else None

    def screenshot(self, name):
        path = SCREENSHOTS / f"{name}.png"
        subprocess.run(["import", "-display", Display.name, "-window", "root", str(path)],
                       check=False, stderr=subprocess.DEVNULL)
        return path

    # --- the user's hands ------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=wine_env(), check=True)

    def x_window_visible(self, size):
        """Whether X shows one of Caldrift's windows of that size (fast enough to race a 1 s timer)."""
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "caldrift.exe"],
                             capture_output=True, text=True, env=wine_env()).stdout.split()
        for window_id in ids:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", window_id],
                                      capture_output=True, text=True, env=wine_env()).stdout
            if f"{size[0]}x{size[1]}" in geometry:
                return True
        return False

    def tray_shows_icons(self):
        """Wine's own tray window is up while some program has an icon in it."""
        return any(w["class"] == "__winex11_standalone_tray" and w["visible"]
                   for w in self.probe("--all")["windows"])

    def wait_for_window(self, class_name, visible=True, timeout=10):
        def check():
            w = self.window(class_name)
            return w if w and w["visible"] == visible else None
        return wait_until(check, timeout, 0.2)


RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"


def settings_text(drive="AUTO", firmware="1.00", startup="0", transparency="100"):
    """Setting.INI as the program writes it."""
    lines = ["[PSP Setting]", f"Drive = {drive}", f"PSP Versione = {firmware}", "",
             "[APP Setting]", f"Startup = {startup}", f"Trasparenza = {transparency}"]
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def run_value():
    """The data of the Caldrift value of the Run key, None when there is none."""
    out = subprocess.run(["wine", "reg", "query", RUN_KEY, "/v", "Caldrift"], env=wine_env(),
                         capture_output=True, text=True, errors="replace").stdout
    for line in out.splitlines():
        if line.strip().startswith("Caldrift"):
            parts = line.strip().split(None, 2)
            return parts[2] if len(parts) > 2 else ""
    return None


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


TRAY_ICON = (11, 32)
TAB, SLIDER1_ID = 10, 19


class SettingsDialogHelpers:
    """The settings dialog ("Opzioni") as the user reaches it: from the tray icon's menu."""

    def settings_dialog(self):
        return self.window("CaldriftSettingsDialog")

    def control(self, control_id):
        return self.child(self.settings_dialog(), control_id)

    def click_control(self, control_id, dx=None, dy=None):
        left, top, right, bottom = self.control(control_id)["rect"]
        x = left + (dx if dx is not None else (right - left) // 2)
        y = top + (dy if dy is not None else (bottom - top) // 2)
        self.xdotool("mousemove", x, y, "click", 1)
        time.sleep(0.3)

    def tray_menu(self):
        return next((w for w in self.windows("#32768") if w["visible"]), None)

    def open_settings(self):
        self.assertTrue(wait_until(self.tray_shows_icons, 5), "no icon in the tray")
        menu = None
        for attempt in range(2):  # a first click may only wake Wine's tray window up
            self.xdotool("mousemove", *TRAY_ICON, "click", 3)
            menu = wait_until(self.tray_menu, 3)
            if menu:
                break
        self.assertIsNotNone(menu, "the tray icon gave no menu")
        left, top, right, _ = menu["rect"]
        self.xdotool("mousemove", (left + right) // 2, top + 10, "click", 1)
        dialog = wait_until(lambda: (d := self.settings_dialog()) and d["visible"] and d, 10)
        self.assertTrue(dialog, "no settings dialog")
        return dialog

    def choose_tab(self, index):
        left, top, right, _ = self.control(TAB)["rect"]
        self.xdotool("mousemove", left + (right - left) * (2 * index + 1) // 6, top + 8, "click", 1)
        self.assertTrue(wait_until(lambda: self.control(TAB)["cursel"] == index, 3))

    def dropped_list(self):
        return [w for w in self.probe("--all")["windows"] if w["class"] == "ComboLBox" and w["visible"]]

    def settle_slider(self, *keys):
        self.click_control(SLIDER1_ID, dx=2)
        self.xdotool("key", *keys)
        time.sleep(0.3)


class DropTestCase(CaldriftTestCase):
    """Drops made by the user's whole gesture from a drag source under the same Wine."""

    SOURCE_AT = (300, 300)

    def x_drop_window_visible(self):
        return self.x_window_visible(self.drop_size)

    def start_caldrift(self, wait_visible=True):
        process = super().start_caldrift(wait_visible)
        left, top, right, bottom = self.drop_window()["rect"]
        self.drop_rect = (left, top, right, bottom)
        self.drop_size = (right - left, bottom - top)
        wait_until(lambda: not self.x_drop_window_visible(), 5, 0.05)
        return process

    def drag_and_drop(self, paths, text_only=False, while_over=None):
        """Press over the source, drag, wait for the drop window, release over it;
        while_over runs with the button still held over the drop window."""
        args = ["--x", self.SOURCE_AT[0], "--y", self.SOURCE_AT[1]]
        if text_only:
            args.append("--text-only")
        if len(paths) > 50:
            listing = self.case_dir / "drop-list.txt"
            listing.write_text("\n".join(windows_path(p) for p in paths), encoding="utf-8")
            args.append("@" + windows_path(listing))
        else:
            args += [windows_path(p) for p in paths]
        for attempt in range(2):  # a Wine start now and then ends before the program runs
            source = self.start_wine(BUILD / "tools" / "dragsource.exe", *args, stdout=subprocess.PIPE)
            ready = source.stdout.readline().strip()
            if ready:
                break
        self.assertEqual(ready, b"ready")
        x, y = self.SOURCE_AT[0] + 80, self.SOURCE_AT[1] + 60
        self.xdotool("mousemove", x, y)
        time.sleep(0.3)
        self.xdotool("mousedown", 1)
        for step in range(1, 6):
            self.xdotool("mousemove", x + step * 20, y + step * 10)
            time.sleep(0.1)
        self.assertTrue(wait_until(self.x_drop_window_visible, 5, 0.05),
                        "the drop window did not come up during the drag")
        left, top, right, bottom = self.drop_rect
        target = ((left + right) // 2, (top + bottom) // 2)
        for step in range(1, 6):
            self.xdotool("mousemove", x + (target[0] - x) * step // 5, y + (target[1] - y) * step // 5)
            time.sleep(0.1)
        if while_over:
            while_over()
        self.xdotool("mouseup", 1)
        result = source.stdout.readline().decode().strip()
        source.wait(10)
        return result

    def dialog(self, title, timeout=30):
        def find():
            return next((w for w in self.windows("#32770") if w["visible"] and w["text"] == title), None)
        return wait_until(find, timeout, 0.3)

    def dialog_text(self, dialog):
        texts = [c["text"] for c in dialog["children"] if c["class"].lower() == "static" and c["text"]]
        return max(texts, key=len) if texts else ""

    def press(self, dialog, button_text):
        button = next(c for c in dialog["children"]
                      if c["class"].lower() == "button" and c["text"].replace("&", "") == button_text)
        left, top, right, bottom = button["rect"]
        self.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        wait_until(lambda: not any(w["hwnd"] == dialog["hwnd"] and w["visible"]
                                   for w in self.windows("#32770")), 10, 0.3)
