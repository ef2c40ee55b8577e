"""Runs the real Caldrift.exe under Wine on a virtual X screen: each test gets its own program
folder, source folder and stick folder (drive E:); the probe tool reports Caldrift's windows."""
import atexit
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# win32: the shipped 32-bit program in a 32-bit prefix; win64 where no 32-bit code runs.
ARCH = os.environ.get("CALDRIFT_WINE_ARCH") or subprocess.run(
    [str(ROOT / "scripts" / "wine-arch.sh")], capture_output=True, text=True, check=True).stdout.strip()
BUILD = Path(os.environ.get("CALDRIFT_WIN_BUILD") or ROOT / "build" / ARCH)
WORK = Path(os.environ.get("CALDRIFT_E2E_DIR", ROOT / "build" / "e2e"))
PREFIX = Path(os.environ.get("CALDRIFT_WINE_PREFIX") or WORK / f"prefix{ARCH[3:]}")
WINE = str(ROOT / "scripts" / "wine-run.sh")
REG_VIEW = ["/reg:64"] if ARCH == "win64" else []  # a 64-bit program writes the 64-bit view
SCREENSHOTS = WORK / "screenshots"
SCREEN = (1280, 1024)
TRAY_ICON = (11, 32)
# The Run keys: machine-wide (a program under Program Files), and the user's (any other).
RUN_KEYS = {root: root + r"\Software\Microsoft\Windows\CurrentVersion\Run" for root in ("HKLM", "HKCU")}
TRANSFER = "Trasferimento..."
SUCCESS = "File/s Trasferito/i Con Successo !!!"
NOT_SENT = "Alcuni elementi non sono stati trasferiti:"
STICK_GONE = "PSP scollegata: gli elementi rimasti sono ancora in coda."
# Wine's shell answers every failed copy as a cancelled one (1223 and the aborted
# flag), where Windows gives the error; either is the truth as far as Caldrift knows.
NOT_COPIED = r" \(copia (non riuscita|annullata)\)"
WS_CAPTION, WS_SYSMENU = 0x00C00000, 0x00080000
# The buttons of a message box and of the shell's question, by id: their words follow Wine's language.
OK, CANCEL, YES, NO, YES_TO_ALL = 1, 2, 6, 7, 0x3207


def settings_controls():
    """The settings dialog's control ids as its header numbers them, kDriveList as DRIVE_LIST."""
    header = (ROOT / "src" / "settings" / "settings_dialog_win32.h").read_text()
    ids = re.search(r"enum ControlId : int \{(.*?)\};", header, re.S).group(1)
    return {re.sub(r"(?<=.)([A-Z])", r"_\1", name).upper(): int(number)
            for name, number in re.findall(r"\bk(\w+) = (\d+)", ids)}


TAB, DRIVE_LIST, AUTO_DETECTION, FIRMWARE, START_WITH_WINDOWS, TRANSPARENCY, MAIL, WEB_SITE, APPLY = map(
    settings_controls().__getitem__, "TAB DRIVE_LIST AUTO_DETECTION FIRMWARE START_WITH_WINDOWS TRANSPARENCY MAIL "
    "WEB_SITE APPLY".split())


def twips(value):
    return (value * 96 + 720) // 1440


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def display():
    """CALDRIFT_DISPLAY, or an Xvfb of our own on a free display, ended when Python ends."""
    if not os.environ.get("CALDRIFT_DISPLAY"):
        pid_file = WORK / "xvfb.pid"
        WORK.mkdir(parents=True, exist_ok=True)
        os.environ["CALDRIFT_DISPLAY"] = subprocess.run([str(ROOT / "scripts" / "xvfb-start.sh"), str(pid_file)],
                                                        capture_output=True, text=True, check=True).stdout.strip()
        atexit.register(lambda: os.kill(int(pid_file.read_text()), signal.SIGTERM))
    return os.environ["CALDRIFT_DISPLAY"]


# Wine speaks Italian, the product's main language, unless a test asks for English (C.UTF-8).
LANGUAGE = {"LANG": "it_IT.UTF-8"}


def wine_env():
    return dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH=ARCH, WINEDEBUG="-all", DISPLAY=display(),
                WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL=LANGUAGE["LANG"], **LANGUAGE)


def wine_reg(*args, check=True):
    return subprocess.run([WINE, "reg", *args, *REG_VIEW], env=wine_env(), capture_output=True,
                          text=True, errors="replace", check=check).stdout


def run_value(root="HKCU"):
    """The text of the Caldrift value of the Run key, None when there is no such text."""
    out = wine_reg("query", RUN_KEYS[root], "/v", "Caldrift", check=False)
    found = re.search(r"^\s*Caldrift\s+REG_SZ[ \t]*(.*?)\s*$", out, re.M)
    return found and found.group(1)


def wait_until(condition, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


def settings_text(drive="AUTO", firmware="1.00", startup="0", transparency="100", compress="0"):
    """Setting.INI as the program writes it."""
    return (f"[PSP Setting]\r\nDrive = {drive}\r\nPSP Versione = {firmware}\r\n\r\n"
            f"[APP Setting]\r\nStartup = {startup}\r\nTrasparenza = {transparency}\r\n"
            f"Comprimi = {compress}\r\n").encode("cp1252")


def make_video(path, size, *options):
    """A fifth of a second of test picture and tone, encoded by ffmpeg with the options."""
    subprocess.run(["ffmpeg", "-f", "lavfi", "-i", f"testsrc=size={size}:rate=25:duration=0.2", "-f", "lavfi",
                    "-i", "sine=duration=0.2", "-shortest", "-y", "-loglevel", "error", *options, str(path)],
                   check=True)
    return path


def param_sfo(category):
    """A PARAM.SFO whose one entry, CATEGORY, is UTF-8 text with its NUL."""
    index = struct.pack("<IIIIHHIII", 0x101, 36, 48, 1, 0, 0x0204, len(category) + 1, 4, 0)
    return b"\0PSF" + index + b"CATEGORY\0\0\0\0" + category.encode() + b"\0\0"


def eboot(game):
    """An EBOOT.PBP framing a game's PARAM.SFO, the game's bytes its last part."""
    sfo = param_sfo("MG")
    return b"\0PBP" + struct.pack("<9I", 0x10000, 40, *[40 + len(sfo)] * 7) + sfo + game


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class CaldriftTestCase(unittest.TestCase):
    """Base of every end-to-end test: a fresh program folder, stick and source folder."""

    stick_kind = "removable"
    stick_layout = ("PSP/SAVEDATA",)
    settings = None  # the Setting.INI values written beside the program, if any
    SOURCE_AT = (300, 300)  # where the drag source's window sits

    def setUp(self):
        self.case_dir = WORK / "cases" / self.id().split(".", 1)[-1]
        shutil.rmtree(self.case_dir, ignore_errors=True)
        self.app_dir, self.stick, self.src = (self.case_dir / name for name in ("app", "stick", "src"))
        for folder in (SCREENSHOTS, self.app_dir, self.src, self.stick, *(self.stick / f for f in self.stick_layout)):
            folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(BUILD / "Caldrift.exe", self.app_dir / "Caldrift.exe")
        if self.settings is not None:
            self.write_settings(**self.settings)
        subprocess.run([str(ROOT / "scripts" / "wine-prefix.sh"), str(PREFIX), str(self.stick),
                        self.stick_kind], check=True, env=wine_env())
        self.probe()  # brings Wine's desktop up before the program starts
        self.processes = []
        self.addCleanup(self.stop_all)

    def write_settings(self, **values):
        (self.app_dir / "Setting.INI").write_bytes(settings_text(**values))

    def make_files(self, files, folder=None):
        """Writes {relative name: bytes} under folder (the source folder by default)."""
        folder = folder or self.src
        for name, data in files.items():
            (folder / name).parent.mkdir(parents=True, exist_ok=True)
            (folder / name).write_bytes(data)
        return [folder / name for name in files]

    # --- processes -------------------------------------------------------
    def start_wine(self, exe, *args, stdin=None, stdout=subprocess.DEVNULL, cwd=None):
        self.processes.append(subprocess.Popen([WINE, str(exe), *map(str, args)], env=wine_env(), stdin=stdin,
                                               stdout=stdout, stderr=subprocess.DEVNULL, cwd=cwd))
        return self.processes[-1]

    def start_caldrift(self, wait_visible=True, label=None):
        """With wait_visible, clicks the splash away and waits for the drop window, with label until it shows it."""
        process = self.start_wine(self.app_dir / "Caldrift.exe", cwd=self.app_dir)
        if wait_visible:
            splash = self.wait_for_window("CaldriftSplash", timeout=20)
            if splash:
                self.xdotool("mousemove", *self.free_frame_spot(splash), "click", 1)
            window = wait_until(self.drop_window, 20)
            self.assertTrue(window, "no drop window appeared")
            self.drop_rect = window["rect"]
        if label:
            self.assertTrue(wait_until(lambda: self.label1() == label, 5), f"the drop window never showed {label}")
        return process

    def stop_all(self):
        for process in self.processes:
            process.terminate()  # nothing when it has ended
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        self.processes.clear()
        subprocess.run(["wineserver", "-k"], env=wine_env(), stderr=subprocess.DEVNULL)

    # Wine sends no WM_DEVICECHANGE when a dosdevices link comes or goes. Its mount manager
    # defines a drive while Wine runs, as its own drive settings do (IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE
    # on \\.\MountPointManager: the letter in lower case, DRIVE_REMOVABLE, the Unix folder as mount
    # point; DRIVE_NO_ROOT_DIR without one removes it), and GetDriveTypeW answers at once.
    # SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, ...) with a DEV_BROADCAST_VOLUME reaches
    # the top-level windows of other processes with the structure carried across;
    # BroadcastSystemMessageW does not reach them.
    def plug_stick(self, letter, folder=None):
        """Plugs folder in as a removable drive, or with no folder takes it out, as Windows does it."""
        args = [letter] + ([folder] if folder else [])
        self.assertEqual(self.start_wine(BUILD / "tools" / "plugstick.exe", *args).wait(20), 0)

    def restart_wine(self):
        self.stop_all()
        self.probe()  # Wine's desktop up again for the next start

    # --- looking at windows ----------------------------------------------
    def probe(self, *args):
        for attempt in range(3):  # a Wine start now and then ends before the program runs
            # A file, not a pipe: a Wine server or desktop that the probe happens to
            # start inherits its output and would hold a pipe open long after it ends.
            with tempfile.TemporaryFile() as out:
                try:
                    subprocess.run([WINE, str(BUILD / "tools" / "probe.exe"), *args],
                                   env=wine_env(), stdout=out, stderr=subprocess.DEVNULL, timeout=20)
                except subprocess.TimeoutExpired:
                    continue
                out.seek(0)
                answer = out.read()
                if answer:
                    return json.loads(answer.decode("utf-8"))
        raise AssertionError("the probe did not answer")

    def windows(self, class_name=None, all_windows=False):
        return [w for w in self.probe(*["--all"] * all_windows)["windows"] if class_name in (None, w["class"])]

    def window(self, class_name):
        return next(iter(self.windows(class_name)), None)

    def drop_window(self):
        return self.window("CaldriftDropWindow")

    def settings_dialog(self):
        return self.window("CaldriftSettingsDialog")

    def child(self, window, control_id):
        return next(c for c in window["children"] if c["id"] == control_id)

    def control(self, control_id):
        return self.child(self.settings_dialog(), control_id)

    def label1(self):
        window = self.drop_window()
        return self.child(window, 1)["text"] if window else None

    def pending_names(self):
        return next(c for c in self.window("CaldriftPendingWindow")["children"] if c["class"] == "ListBox")["items"]

    def free_frame_spot(self, splash):
        """A point on the splash's frame that no label or picture covers."""
        covered = [c["rect"] for c in splash["children"] if c["id"] != 1]
        left, top, right, bottom = self.child(splash, 1)["rect"]
        for y in range(top + 6, bottom - 6, 4):
            for x in range(left + 6, right - 6, 4):
                if not any(l <= x < r and t <= y < b for l, t, r, b in covered):
                    return x, y
        raise AssertionError("the frame is covered all over")

    def screenshot(self, name):
        path = SCREENSHOTS / f"{name}.png"
        subprocess.run(["import", "-display", display(), "-window", "root", str(path)], stderr=subprocess.DEVNULL)
        return path

    def wait_for_window(self, class_name, timeout=10):
        return wait_until(lambda: (w := self.window(class_name)) and w["visible"] and w or None, timeout, 0.2)

    def x_drop_window_visible(self):
        """Whether X shows a Caldrift window of the drop window's size (fast enough to race a 1 s timer)."""
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "caldrift.exe"],
                             capture_output=True, text=True, env=wine_env()).stdout.split()
        geometry = "%dx%d" % size(self.drop_rect)
        return any(geometry in subprocess.run(["xdotool", "getwindowgeometry", i], capture_output=True, text=True,
                                              env=wine_env()).stdout for i in ids)

    def drive_lookups(self, process, seconds):
        """The drive letters whose folders the program looks into for that many seconds."""
        log = self.case_dir / "lookups.txt"
        tracer = subprocess.Popen(["strace", "-f", "-p", str(process.pid), "-e", "trace=%file", "-o", str(log)],
                                  stderr=subprocess.DEVNULL)
        time.sleep(seconds)
        tracer.terminate()
        tracer.wait(5)
        return set(re.findall(r"/dosdevices/([a-z]):/", log.read_text(errors="replace")))

    def tray_shows_icons(self):
        """Wine's own tray window is up while some program has an icon in it."""
        return any(w["visible"] for w in self.windows("__winex11_standalone_tray", all_windows=True))

    def menu(self):
        return next((w for w in self.windows("#32768") if w["visible"]), None)

    def shown_dialog(self, matches, timeout=30):
        """The first visible dialog that matches, waited for."""
        return wait_until(lambda: next((w for w in self.windows("#32770") if w["visible"] and matches(w)), None),
                          timeout, 0.3)

    def dialog(self, title, timeout=30):
        return self.shown_dialog(lambda w: w["text"] == title, timeout)

    def shell_question(self):
        """The shell's question before it replaces a file: a dialog with a Yes button, which must come."""
        question = self.shown_dialog(lambda w: any(c["id"] == YES for c in w["children"]))
        self.assertIsNotNone(question, "the shell did not ask before replacing a file")
        return question

    def dialog_text(self, dialog):
        texts = [c["text"] for c in dialog["children"] if c["class"].lower() == "static" and c["text"]]
        return max(texts, key=len) if texts else ""

    # --- the user's hands ------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=wine_env(), check=True)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def press(self, dialog, button_id):
        button = self.child(dialog, button_id)
        self.click(*centre(button["rect"]))
        wait_until(lambda: not any(w["hwnd"] == dialog["hwnd"] and w["visible"]
                                   for w in self.windows("#32770")), 10, 0.3)

    def choose_exit(self, menu):
        """Chooses Exit, the menu's last item."""
        self.click(centre(menu["rect"])[0], menu["rect"][3] - 8)

    def exit_from(self, menu, process):
        """Chooses Exit: the program ends and its tray icon goes."""
        self.choose_exit(menu)
        self.assert_ended_as_exit(process)

    def assert_ended_as_exit(self, process):
        self.assertTrue(wait_until(lambda: process.poll() is not None, 10), "Caldrift did not end")
        self.assertEqual(process.returncode, 0)
        self.assertTrue(wait_until(lambda: not self.tray_shows_icons(), 5), "tray icon left behind")

    def open_tray_menu(self):
        self.assertTrue(wait_until(self.tray_shows_icons, 5), "no icon in the tray")
        for attempt in range(2):  # a first click may only wake Wine's tray window up
            self.click(*TRAY_ICON, button=3)
            menu = wait_until(self.menu, 3)
            if menu:
                return menu
        self.fail("the tray icon gave no menu")

    def choose_item(self, menu, number):
        """Chooses the menu's item of that number, among the four above its separator."""
        left, top, right, bottom = menu["rect"]
        self.click((left + right) // 2, top + 3 + (2 * number - 1) * (bottom - top - 6) // 9)

    def choose_settings(self, menu):
        """Chooses the menu's first item: the settings dialog opens."""
        self.click(centre(menu["rect"])[0], menu["rect"][1] + 10)
        dialog = self.wait_for_window("CaldriftSettingsDialog")
        self.assertTrue(dialog, "the first item opened no settings dialog")
        self.assertEqual(dialog["text"], "Opzioni")
        return dialog

    def open_settings(self):
        return self.choose_settings(self.open_tray_menu())

    def click_control(self, control_id, dx=None):
        left, top, right, bottom = self.control(control_id)["rect"]
        self.click(left + (dx if dx is not None else (right - left) // 2), (top + bottom) // 2)
        time.sleep(0.3)

    def choose_tab(self, index):
        left, top, right, _ = self.control(TAB)["rect"]
        self.click(left + (right - left) * (2 * index + 1) // 6, top + 8)
        self.assertTrue(wait_until(lambda: self.control(TAB)["cursel"] == index, 3))

    def settle_slider(self, *keys):
        self.click_control(TRANSPARENCY, dx=2)
        self.xdotool("key", *keys)
        time.sleep(0.3)

    def glide(self, start, end, steps=5):
        for step in range(1, steps + 1):
            self.xdotool("mousemove", *(a + (b - a) * step // steps for a, b in zip(start, end)))
            time.sleep(0.1)

    def drag_and_drop(self, paths, while_over=None):
        """Press over the source, drag, wait for the drop window, release over it (after while_over)."""
        wait_until(lambda: not self.x_drop_window_visible(), 5, 0.05)
        listing = self.case_dir / "drop-list.bin"  # as CF_HDROP holds it: a DROPFILES header and wide paths
        names = "".join(windows_path(p) + "\0" for p in paths) + "\0"
        listing.write_bytes(struct.pack("<IiiII", 20, 0, 0, 0, 1) + names.encode("utf-16-le"))
        args = [*self.SOURCE_AT, windows_path(listing)]
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
        self.glide((x, y), (x + 100, y + 50))
        self.assertTrue(wait_until(self.x_drop_window_visible, 5, 0.05),
                        "the drop window did not come up during the drag")
        self.glide((x, y), centre(self.drop_rect))
        if while_over:
            while_over()
        self.xdotool("mouseup", 1)
        result = source.stdout.readline().decode().strip()
        source.wait(10)
        source.stdout.close()
        return result

    # --- what the user is told, and what landed --------------------------
    def closing_text(self, timeout=120, title=TRANSFER, while_open=None):
        """The text of the closing message, which is then dismissed with OK (after while_open)."""
        closing = self.dialog(title, timeout)
        self.assertIsNotNone(closing, "no closing message")
        if while_open:
            while_open()
        text = self.dialog_text(closing)
        self.press(closing, OK)
        return text

    def assert_reported(self, text, *items, stick_gone=False):
        """The closing message names the items in order: a bare name as a copy that failed, else the line given."""
        lines = [re.escape(NOT_SENT)] + [re.escape(item) + ("" if " (" in item else NOT_COPIED) for item in items]
        self.assertRegex(text, "^" + "\n".join(lines + [re.escape(STICK_GONE)] * stick_gone) + "$")

    def assert_stick_holds(self, copies, others=()):
        """The stick holds the files {place: source name}, each a byte-identical copy, and others, and no more."""
        files = sorted(str(p.relative_to(self.stick)) for p in self.stick.rglob("*") if p.is_file())
        self.assertEqual(files, sorted([*copies, *others]))
        for on_stick, name in copies.items():
            self.assertEqual((self.stick / on_stick).read_bytes(), (self.src / name).read_bytes(), on_stick)
