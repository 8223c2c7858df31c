#!/usr/bin/env python3
"""End-to-end tests of one Vantrel program under Wine.

Runs the real program in the Wine virtual desktop on $DISPLAY (the Wine
prefix in $WINEPREFIX must be set up for a virtual desktop, as scripts/test
does), with an IDE installation prepared in the 32-bit registry view and the
program placed in a component folder, started from that folder. Keys are
pressed with xdotool; what is on screen is read by the probe from inside the
same desktop.
"""
import argparse
import os
import re
import resource
import select
import shutil
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

ARGS = None
WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
DRIVE_C = Path(os.environ.get("WINEPREFIX", "")) / "drive_c"

TEST_ROOT = "vantrel-e2e"
IDE_DIR = "C:\\vantrel-e2e\\Delphi"
COMPONENT_DIR = "C:\\vantrel-e2e\\Components"
OTHER_DIR = "C:\\vantrel-e2e\\Other Components"
HELP_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\Help"
DIALOG_CAPTION = "Register Delphi Component Help Files"
SUCCESS = "Component help files have been successfully registered."
REMOVED = "Component help files have been removed."
LOG = "C:\\vantrel-e2e\\setup.log"
PROFILES = {
    3: {"title": "Register Delphi Component Help Files",
        "label": "The following component help files will be registered and merged into the "
                 "Delphi 3 help system.",
        "key": "HKLM\\SOFTWARE\\Borland\\Delphi\\3.0", "contents": "Delphi3.cnt",
        "backup": "Delphi3.~cn",
        "removal": "The following component help files will be removed from the Delphi 3 help "
                   "system."},
    4: {"title": "Register D4 Component Help Files",
        "label": "The following component help files will be registered and merged into the "
                 "Delphi 4 help system.",
        "key": "HKLM\\SOFTWARE\\Borland\\Delphi\\4.0", "contents": "Delphi4.cnt",
        "backup": "Delphi4.~cn",
        "removal": "The following component help files will be removed from the Delphi 4 help "
                   "system."},
}
BASE = b":Base Delphi.hlp>main\r\n:Title Delphi Help\r\n:Link Old.hlp\r\n1 Getting started\r\n"
ENTRIES = ["Grid.hlp", "Grid.cnt", "Old.hlp", "readme.txt"]


def unix_path(windows_path):
    assert windows_path.startswith("C:\\")
    return DRIVE_C / windows_path[3:].replace("\\", "/")


# Wine takes the ANSI code page from the locale: this one gives code page 932.
# scripts/test compiles it into a folder of its own (VANTREL_LOCPATH).
JAPANESE = {"LC_ALL": "ja_JP.UTF-8",
            **({"LOCPATH": os.environ["VANTREL_LOCPATH"]} if "VANTREL_LOCPATH" in os.environ else {})}

# Every Wine process the tests start, by test: under an emulator each start
# costs a second or more, so their number is what a suite's time is made of.
WINE_STARTS = {}
CURRENT_TEST = ["(set-up)"]


def launch(args, locale=None, **options):
    """Starts a program under Wine (and counts it); with locale=JAPANESE its
    8-bit text is code page 932."""
    WINE_STARTS[CURRENT_TEST[0]] = WINE_STARTS.get(CURRENT_TEST[0], 0) + 1
    return subprocess.Popen([WINE, *args], env={**os.environ, **(locale or {})}, **options)


def wine(*args, cwd=None, timeout=60, locale=None):
    """Runs a program under Wine to its end."""
    with launch(args, locale=locale, cwd=cwd, stdout=subprocess.PIPE,
                stderr=subprocess.PIPE) as process:
        try:
            stdout, stderr = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            raise AssertionError(f"{args[0]} did not end within {timeout} s")
    encoding = "cp932" if locale else "latin-1"
    return subprocess.CompletedProcess(args, process.returncode, stdout.decode(encoding),
                                       stderr.decode(encoding, "replace"))


def read_line(stream, timeout, waiting_for):
    """One line from a child's pipe, or an AssertionError that names what was
    awaited once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            raise AssertionError(f"no answer within {timeout} s while waiting for {waiting_for}")
        byte = os.read(stream.fileno(), 1)
        if not byte:
            raise AssertionError(f"the process ended while waiting for {waiting_for}")
        line += byte
    return line.rstrip(b"\r\n")


class Probe:
    """The test's own helper inside the desktop, started once and then sent a
    command a line: a look at the windows, or several registry operations at
    once, without a process start each."""

    def __init__(self, locale=None):
        self.encoding = "cp932" if locale else "latin-1"
        self.process = launch([ARGS.probe, "serve"], locale=locale, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def ask(self, *args, timeout=30):
        """Sends one command; returns its exit status and its key=value lines."""
        self.process.stdin.write(("\t".join(args) + "\n").encode(self.encoding))
        self.process.stdin.flush()
        facts, status = {}, None
        while True:
            line = read_line(self.process.stdout, timeout, f"the probe's answer to {args}")
            line = line.decode(self.encoding)
            if line == ".":
                return status, facts
            key, _, value = line.partition("=")
            if key == "status":
                status = int(value)
            elif _:
                facts[key] = value

    def close(self):
        self.process.stdin.close()
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


PROBES = {}


def the_probe(locale=None):
    key = tuple(sorted((locale or {}).items()))
    if key not in PROBES:
        PROBES[key] = Probe(locale)
    return PROBES[key]


def registry(*ops, locale=None):
    """Registry operations (see the probe's "reg"), in one call; returns what they printed."""
    status, facts = the_probe(locale).ask("reg", *ops)
    if status != 0:
        raise AssertionError(f"registry operations {ops} failed: {facts}")
    return facts


def reg_values(key, names, locale=None):
    """The REG_SZ values in the 32-bit view, None where there is none."""
    facts = registry(*[op for name in names for op in ("get", key, name)], locale=locale)
    return [facts.get(f"get{i}") for i in range(len(names))]


def key_exists(key):
    return registry("haskey", key)["key0"] == "yes"


def focus_desktop():
    """Gives the virtual desktop's X window the keyboard focus. Once per
    program: focusing it again between key presses makes Wine drop keys."""
    subprocess.run(["xdotool", "search", "--name", "Wine desktop", "windowfocus", "--sync"],
                   check=True, timeout=30)


def press(key, until):
    """A real key press, to whatever has the focus inside the desktop; then
    waits for its effect with `until` (a window that appears or goes, the focus
    that moves, the program that ends) and returns what that returns. A key
    sent before the last one took effect can be lost."""
    subprocess.run(["xdotool", "key", key], check=True, timeout=30)
    return until()


def click(x, y):
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True,
                   timeout=30)


def probe(command, timeout_ms=20000, focus=None):
    """Waits for the dialog (with the focus in `focus`, if given) or a message
    box of the program under test, and returns what the probe saw."""
    status, facts = the_probe().ask(command, str(timeout_ms), *([focus] if focus else []),
                                    timeout=timeout_ms / 1000 + 30)
    if status != 0:
        raise AssertionError(f"probe {command} found nothing: {facts}")
    return facts


def is_32_bit(program):
    """Whether the program is an x86 one, by the machine field of its PE header."""
    image = Path(program).read_bytes()
    header = int.from_bytes(image[0x3C:0x40], "little")
    return int.from_bytes(image[header + 4:header + 6], "little") == 0x14C


def rect(text):
    return tuple(int(n) for n in text.split(","))


class ProgramFixture(unittest.TestCase):
    """A fresh component folder, IDE and registry for each test. The registry
    is reset, and the IDE's key written, in one call when the program first starts."""

    def setUp(self):
        CURRENT_TEST[0] = self.id().split(".", 1)[1]
        self.version = ARGS.version
        self.profile = PROFILES[self.version]
        self.program_name = f"Vantrel{self.version}.exe"
        shutil.rmtree(DRIVE_C / TEST_ROOT, ignore_errors=True)
        self.pending = ["delkey", "HKLM\\SOFTWARE\\Borland", "delkey", HELP_KEY,
                        "delkey", "HKLM\\SOFTWARE\\Vantrel"]
        self.contents = unix_path(IDE_DIR) / "Help" / self.profile["contents"]
        self.backup = unix_path(IDE_DIR) / "Help" / self.profile["backup"]
        self.component = unix_path(COMPONENT_DIR)
        self.component.mkdir(parents=True)
        shutil.copy(ARGS.program, self.component / self.program_name)
        self.process = None

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(DRIVE_C / TEST_ROOT, ignore_errors=True)
        CURRENT_TEST[0] = "(set-up)"

    def set_up_registry(self, *ops):
        """Registry writes, made with the next start or registry read."""
        self.pending += ops

    def flush_registry(self):
        if self.pending:
            registry(*self.pending)
            self.pending = []

    def values(self, names, key=HELP_KEY, locale=None):
        self.flush_registry()
        return reg_values(key, names, locale)

    def value(self, name, key=HELP_KEY, locale=None):
        return self.values([name], key, locale)[0]

    def key_exists(self, key):
        self.flush_registry()
        return key_exists(key)

    def set_dpi(self, dpi):
        # At once: a test that changes it puts it back in a clean-up.
        self.set_up_registry("setdword", "HKCU\\Control Panel\\Desktop", "LogPixels", str(dpi))
        self.flush_registry()

    def install_ide(self, contents=BASE, profile=None):
        profile = profile or self.profile
        self.contents.parent.mkdir(parents=True, exist_ok=True)
        if contents is not None:
            (self.contents.parent / profile["contents"]).write_bytes(contents)
        self.set_up_registry("set", profile["key"], "RootDir", IDE_DIR)

    def write_list(self, entries, folder=None):
        lines = "".join(f"File{i}={entry}\r\n" for i, entry in enumerate(entries))
        ((folder or self.component) / "Vantrel.ini").write_bytes(
            ("[HelpFiles]\r\n" + lines).encode("latin-1"))

    def start(self, *switches, cwd=None, wait_for="dialog"):
        self.flush_registry()
        self.process = launch([COMPONENT_DIR + "\\" + self.program_name, *switches],
                              cwd=cwd or self.component, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        facts = probe(wait_for)
        focus_desktop()
        return facts

    def run_to_end(self, *switches, cwd=None, folder=COMPONENT_DIR, program=None, locale=None):
        """Runs the program in `folder` with switches, unattended; returns its exit code."""
        self.flush_registry()
        return wine(folder + "\\" + (program or self.program_name), *switches,
                    cwd=cwd or unix_path(folder), timeout=120, locale=locale).returncode

    def other_component(self):
        """A second component folder, OTHER_DIR, with the program, the list and the files."""
        other = unix_path(OTHER_DIR)
        other.mkdir()
        shutil.copy(ARGS.program, other / self.program_name)
        self.write_list(ENTRIES, folder=other)
        self.provide_help_files(folder=other)
        return other

    def other_ide(self):
        """The other IDE version: its number, profile, program name and contents file."""
        version = 7 - self.version
        return (version, PROFILES[version], f"Vantrel{version}.exe",
                self.contents.with_name(PROFILES[version]["contents"]))

    def log_lines(self, encoding="latin-1"):
        return unix_path(LOG).read_bytes().decode(encoding).split("\r\n")[:-1]

    def provide_help_files(self, names=("Grid.hlp", "Grid.cnt", "readme.txt"), folder=None):
        for name in names:
            ((folder or self.component) / name).write_bytes(b"help")

    def exit_code(self):
        return self.process.wait(timeout=30)

    def assert_nothing_changed(self):
        self.assertEqual(self.values(ENTRIES), [None] * len(ENTRIES))
        self.assertFalse(self.backup.exists())
        self.assertEqual(self.contents.read_bytes(), BASE)

    def screenshot(self, facts, name):
        left, top, width, height = rect(facts["window"])
        shots = Path(ARGS.screenshots)
        shots.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}",
                        str(shots / name)], check=True, timeout=60)


class ProgramTest(ProgramFixture):
    """The dialog, started without arguments."""

    def test_window_facts_then_escape(self):
        self.install_ide()
        self.write_list(ENTRIES + ["Mixed Case.Hlp"])
        facts = self.start()
        self.screenshot(facts, f"Vantrel{self.version}.png")

        self.assertEqual(facts["caption"], DIALOG_CAPTION)
        self.assertEqual(facts["owner_class"], "TApplication")
        self.assertEqual(facts["owner_caption"], self.profile["title"])
        self.assertEqual(facts["owner_visible"], "yes")
        self.assertEqual(rect(facts["owner_window"])[2:], (0, 0))
        self.assertEqual(facts["Label1.text"], self.profile["label"])
        self.assertEqual((facts["minimize_box"], facts["maximize_box"], facts["sizable"],
                          facts["dialog_frame"]), ("no", "no", "no", "yes"))
        # At 96 DPI the layout is the table's, in pixels.
        self.assertEqual(rect(facts["client"])[2:], (263, 204))
        expected = {"Panel1": ((8, 8, 245, 157), "dialog"),
                    "ImgHelp": ((8, 12, 50, 50), "TPanel"),
                    "Label1": ((68, 12, 166, 39), "TPanel"),
                    "LstFiles": ((68, 60, 169, 89), "TPanel"),
                    "BtnRegister": ((94, 172, 75, 25), "dialog"),
                    "BtnCancel": ((178, 172, 75, 25), "dialog")}
        for name, (position, parent) in expected.items():
            self.assertEqual(rect(facts[name + ".rect"]), position, name)
            self.assertEqual(facts[name + ".parent"], parent, name)
        self.assertEqual(facts["BtnRegister.text"], "Register")
        self.assertEqual(facts["BtnCancel.text"], "Cancel")
        self.assertEqual(facts["default_id"], "1")
        # Centred on the screen.
        left, top, width, height = rect(facts["window"])
        screen_width, screen_height = rect(facts["screen"] + ",0,0")[:2]
        self.assertLessEqual(abs(2 * left + width - screen_width), 1)
        self.assertLessEqual(abs(2 * top + height - screen_height), 1)
        # The list as listed, focused, with 13-pixel items.
        items = [facts[f"item{i}"] for i in range(int(facts["items"]))]
        self.assertEqual(items, ENTRIES + ["Mixed Case.Hlp"])
        self.assertEqual(facts["item_height"], "13")
        self.assertEqual(facts["focus"], "LstFiles")

        self.assertEqual(press("Escape", self.exit_code), 0)
        self.assert_nothing_changed()

    def test_layout_scales_with_the_system_dpi(self):
        self.set_dpi(144)
        self.addCleanup(self.set_dpi, 96)
        self.install_ide()
        self.write_list(ENTRIES)
        facts = self.start()

        def scaled(*pixels):  # MulDiv(pixels, 144, 96), rounding halves away from zero
            return tuple(int(p * 144 / 96 + 0.5) for p in pixels)
        self.assertEqual(rect(facts["client"])[2:], scaled(263, 204))
        self.assertEqual(rect(facts["Panel1.rect"]), scaled(8, 8, 245, 157))
        self.assertEqual(rect(facts["ImgHelp.rect"]), scaled(8, 12, 50, 50))
        self.assertEqual(rect(facts["LstFiles.rect"]), scaled(68, 60, 169, 89))
        self.assertEqual(rect(facts["BtnCancel.rect"]), scaled(178, 172, 75, 25))
        self.assertEqual(facts["item_height"], str(scaled(13)[0]))
        self.screenshot(facts, f"Vantrel{self.version}-144dpi.png")
        self.assertEqual(press("Escape", self.exit_code), 0)

    def test_enter_registers_and_enter_dismisses_the_message(self):
        self.install_ide()
        self.write_list(ENTRIES)
        self.start()
        message = press("Return", lambda: probe("message"))
        self.assertEqual(message["text"], SUCCESS)
        self.assertEqual(message["dialog_enabled"], "no", "the message box must be modal")
        self.assertEqual(message["owner_class"], "TFrmVantrel")
        self.assertEqual(press("Return", self.exit_code), 0)

        self.assertEqual(self.values(ENTRIES), [COMPONENT_DIR + "\\"] * len(ENTRIES))
        self.assertEqual(self.contents.read_bytes(),
                         BASE + b":Link Grid.hlp\r\n:Include Grid.cnt\r\n")
        self.assertEqual(self.backup.read_bytes(), BASE)

    def test_close_box_changes_nothing(self):
        self.install_ide()
        self.write_list(ENTRIES)
        facts = self.start()
        click(*rect(facts["close_box"]))
        self.assertEqual(self.exit_code(), 0)
        self.assert_nothing_changed()

    def test_tab_to_cancel_then_enter_cancels(self):
        self.install_ide()
        self.write_list(ENTRIES)
        self.assertEqual(self.start()["focus"], "LstFiles")
        press("Tab", lambda: probe("dialog", focus="BtnRegister"))
        press("Tab", lambda: probe("dialog", focus="BtnCancel"))
        self.assertEqual(press("Return", self.exit_code), 0)  # on Cancel, Enter presses Cancel
        self.assert_nothing_changed()

    def test_missing_contents_file_reports_and_stays_open(self):
        self.install_ide(contents=None)
        self.write_list(ENTRIES)
        self.start()
        message = press("Return", lambda: probe("message"))
        self.assertIn(IDE_DIR + "\\Help\\" + self.profile["contents"], message["text"])
        self.assertEqual(message["caption"], "Error")
        self.assertEqual(message["owner_class"], "TFrmVantrel")
        # Still open, and usable from the keyboard.
        press("Return", lambda: probe("dialog", focus="LstFiles"))
        self.assertIsNone(self.process.poll())
        self.assertEqual(press("Escape", self.exit_code), 0)
        self.assertFalse(self.contents.exists())
        self.assertFalse(self.backup.exists())

    def test_missing_ide_reports_and_creates_nothing(self):
        self.write_list(ENTRIES)
        self.start()
        message = press("Return", lambda: probe("message"))
        self.assertIn(self.profile["key"].replace("HKLM", "HKEY_LOCAL_MACHINE"), message["text"])
        press("Return", lambda: probe("dialog", focus="LstFiles"))
        self.assertEqual(press("Escape", self.exit_code), 0)
        self.assertFalse(self.key_exists(self.profile["key"]))
        self.assertIsNone(self.value("Grid.hlp"))

    def test_list_comes_from_the_working_folder_and_the_location_is_the_programs(self):
        self.install_ide()
        self.write_list(ENTRIES)  # beside the program, but the program starts elsewhere
        elsewhere = unix_path(IDE_DIR)
        facts = self.start(cwd=elsewhere)
        self.assertEqual(facts["items"], "0")
        self.assertEqual(press("Escape", self.exit_code), 0)
        self.assert_nothing_changed()

        # That other folder's own list is read; the location is still the program's folder.
        self.write_list(["Elsewhere.hlp"], folder=elsewhere)
        self.assertEqual(self.start(cwd=elsewhere)["item0"], "Elsewhere.hlp")
        self.assertEqual(press("Return", lambda: probe("message"))["text"], SUCCESS)
        self.assertEqual(press("Return", self.exit_code), 0)
        self.assertEqual(self.value("Elsewhere.hlp"), COMPONENT_DIR + "\\")


class CommandLineTest(ProgramFixture):
    """The switches for installers, through the real program."""

    MERGED = BASE + b":Link Grid.hlp\r\n:Include Grid.cnt\r\n"

    def register_quietly(self, folder=COMPONENT_DIR):
        self.install_ide()
        self.write_list(ENTRIES)
        self.provide_help_files()
        # A bare file name is the working folder's, not the Windows folder's.
        self.assertEqual(self.run_to_end("/quiet", "/log=" + LOG, "/list=Vantrel.ini",
                                         folder=folder, cwd=self.component), 0)
        self.assertEqual(self.contents.read_bytes(), self.MERGED)

    def test_quiet_round_trip_shows_nothing_and_removes_only_its_own(self):
        watcher = launch([ARGS.probe, "watch", "60000"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)
        self.addCleanup(watcher.stdout.close)
        self.addCleanup(watcher.kill)
        self.assertEqual(read_line(watcher.stdout, 60, "the watcher"), b"watching")
        # Started by its short (8.3) path, as some installers do: the long folder is
        # recorded, so that the removal below, started by the long path, finds it its own.
        short = the_probe().ask("shortpath", COMPONENT_DIR)[1]["path"]
        self.assertNotEqual(short.lower(), COMPONENT_DIR.lower())
        self.register_quietly(folder=short)
        self.assertEqual(self.values(ENTRIES), [COMPONENT_DIR + "\\"] * len(ENTRIES))
        lines = self.log_lines()
        self.assertRegex(lines[0], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d " + self.program_name +
                         r" \d+\.\d+\.\d+: register, in C:\\vantrel-e2e\\Components$")
        self.assertIn("line appended: :Link Grid.hlp", lines)
        self.assertEqual(lines[-1], "done")
        first_run = lines

        # Another installation has since claimed readme.txt: its value stays.
        self.set_up_registry("set", HELP_KEY, "readme.txt", "C:\\Other\\")
        self.assertEqual(self.run_to_end("-UNREGISTER", "/Quiet", "/log=" + LOG), 0)
        # Old.hlp's line was there before and its file is not in the folder: kept.
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(self.backup.read_bytes(), self.MERGED)
        self.assertEqual(self.values(ENTRIES), [None, None, None, "C:\\Other\\"])
        lines = self.log_lines()
        self.assertEqual(lines[:len(first_run)], first_run, "the second run cut the log")
        self.assertRegex(lines[len(first_run)], r": unregister, in ")
        self.assertIn("line removed: :Link Grid.hlp", lines)
        self.assertIn("line removed: :Include Grid.cnt", lines)
        self.assertIn('line kept: ":Link Old.hlp" was there before this folder\'s registration',
                      lines)
        self.assertEqual(lines[-1], "done")

        # A second removal finds nothing and does not write the file.
        written = self.contents.stat().st_mtime_ns
        self.assertEqual(self.run_to_end("/unregister", "/quiet"), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(self.contents.stat().st_mtime_ns, written)
        self.assertEqual(self.value("readme.txt"), "C:\\Other\\")

        watcher.kill()
        self.assertNotIn(b"seen=", watcher.stdout.read(), "a quiet run showed a window")

    def test_quiet_round_trip_under_every_windows_version(self):
        """Wine tells the program alone the Windows version asked for; on 95, 98 and ME
        it takes the fallbacks of its oldest systems (8-bit file names, the log
        written at its end, the contents file deleted, then renamed). Each run
        that changes the contents file deletes the viewer's compiled copy."""
        versions = (("win95", "win98", "nt40", "win2k", "winxp", "win7", "win10")
                    if is_32_bit(ARGS.program)
                    else ("winxp64", "win7", "win10"))
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + self.program_name
        self.addCleanup(registry, "delkey", key)
        self.install_ide()
        self.write_list(ENTRIES)
        self.provide_help_files()
        compiled, annotations = (self.contents.with_suffix(suffix) for suffix in (".GID", ".ANN"))
        annotations.write_bytes(b"the user's")

        def run(*switches):
            unix_path(LOG).unlink(missing_ok=True)
            compiled.write_bytes(b"compiled")
            # Hidden, system and read-only, as the help viewer leaves it.
            self.assertEqual(the_probe().ask("attributes", IDE_DIR + "\\Help\\" + compiled.name,
                                             "7")[0], 0)
            self.assertEqual(self.run_to_end(*switches, "/quiet", "/log=" + LOG), 0,
                             self.log_lines())
            self.assertFalse(compiled.exists())
            self.assertIn("compiled contents deleted: " + IDE_DIR + "\\Help\\" + compiled.name,
                          self.log_lines())
            self.assertEqual(self.log_lines()[-1], "done")

        for version in versions:
            with self.subTest(version):
                self.set_up_registry("set", key, "Version", version)
                run("/register")
                self.assertEqual(self.contents.read_bytes(), self.MERGED)
                self.assertEqual(self.values(ENTRIES), [COMPONENT_DIR + "\\"] * len(ENTRIES))
                run("/unregister")
                self.assertEqual(self.contents.read_bytes(), BASE)
                self.assertEqual(self.values(ENTRIES), [None] * len(ENTRIES))
        self.assertEqual(annotations.read_bytes(), b"the user's")

    def test_runs_started_at_once_take_turns(self):
        """Eight quiet registrations at once, as a bundle installer starts them;
        then four removals beside four repeated registrations and a new one."""
        self.install_ide()
        folders = [f"C:\\{TEST_ROOT}\\Part{i}" for i in range(9)]
        for i, folder in enumerate(folders):
            unix_path(folder).mkdir()
            shutil.copy(ARGS.program, unix_path(folder) / self.program_name)
            self.write_list([f"Part{i}.hlp", f"Part{i}.cnt"], folder=unix_path(folder))
            self.provide_help_files([f"Part{i}.hlp", f"Part{i}.cnt"], folder=unix_path(folder))
        self.flush_registry()

        def at_once(runs):
            started = [launch([folder + "\\" + self.program_name, *switches, "/quiet"],
                              cwd=unix_path(folder), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL) for folder, switches in runs]
            for process in started:
                self.addCleanup(process.kill)
            return [process.wait(timeout=600) for process in started]

        def lines_of(parts):
            return sorted(line for i in parts
                          for line in (f":Link Part{i}.hlp", f":Include Part{i}.cnt"))

        self.assertEqual(at_once([(folder, []) for folder in folders[:8]]), [0] * 8)
        added = self.contents.read_bytes()[len(BASE):].decode("latin-1").split("\r\n")
        self.assertEqual(sorted(added[:-1]), lines_of(range(8)))
        self.assertEqual(at_once([(folder, ["/unregister"]) for folder in folders[:4]] +
                                 [(folder, []) for folder in folders[4:]]), [0] * 9)
        added = self.contents.read_bytes()[len(BASE):].decode("latin-1").split("\r\n")
        self.assertEqual(sorted(added[:-1]), lines_of(range(4, 9)))
        names = [f"Part{i}.{kind}" for i in range(9) for kind in ("hlp", "cnt")]
        self.assertEqual(self.values(names),
                         [None] * 8 + [folder + "\\" for folder in folders[4:] for _ in "hc"])

    def test_check_says_what_stands_in_the_way_and_changes_nothing(self):
        self.install_ide()
        (self.contents.parent / "Old.hlp").write_bytes(b"help")  # Delphi's own, beside it
        self.write_list(ENTRIES[:2] + ENTRIES[3:])
        self.provide_help_files()
        self.assertEqual(self.run_to_end("/quiet"), 0)
        self.assertEqual(self.run_to_end("/check", "/quiet", "/log=" + LOG), 0, self.log_lines())
        self.assertIn("ok: Grid.hlp", self.log_lines())

        (self.component / "Grid.hlp").unlink()
        record = registry("dump", "HKLM\\SOFTWARE\\Vantrel\\Registrations")["dump0"]
        before = (self.contents.read_bytes(), self.values(ENTRIES), record)
        self.assertEqual(self.run_to_end("-CHECK", "/quiet", "/log=" + LOG), 4)
        self.assertIn(f"not ok: Grid.hlp: {COMPONENT_DIR}\\Grid.hlp is not there",
                      self.log_lines())
        self.assertEqual(self.log_lines()[-2:],
                         ["check: 1 of 3 help files not ok, 2 things in the way", "done"])
        box = self.start("/check", wait_for="message")
        self.assertEqual(box["caption"], "Warning")
        self.assertIn("not ok: Grid.hlp", box["text"])
        self.assertEqual(press("Return", self.exit_code), 4)
        record = registry("dump", "HKLM\\SOFTWARE\\Vantrel\\Registrations")["dump0"]
        self.assertEqual((self.contents.read_bytes(), self.values(ENTRIES), record), before,
                         "the check changes nothing")

    def test_registration_killed_part_way_is_completed_then_undone(self):
        """A registration of a long list, killed once it has appended half of
        its lines, is completed by the next run; the removal then gives back
        the contents file byte for byte (its last line had no line end)."""
        if is_32_bit(ARGS.program):
            self.skipTest("qemu, which runs the 32-bit programs here, keeps no file-size limit")
        names = [f"Part{i:04d}.hlp" for i in range(3000)]
        before = BASE[:-2]
        self.install_ide(contents=before)
        self.write_list(names)
        self.provide_help_files(names)
        self.flush_registry()
        merged = before + b"\r\n" + b"".join(b":Link %s\r\n" % n.encode() for n in names)
        # The system's file-size limit ends the run at the start of a line
        # halfway: no byte of that line is written (a kill between two writes).
        limit = len(before) + 2 + sum(len(b":Link %s\r\n" % n.encode()) for n in names[::2])
        run = launch([COMPONENT_DIR + "\\" + self.program_name, "/quiet"], cwd=self.component,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                     preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))
        self.addCleanup(run.kill)
        self.assertEqual(run.wait(timeout=120), -signal.SIGXFSZ)
        self.assertEqual(self.contents.stat().st_size, limit)

        self.assertEqual(self.run_to_end("/quiet"), 0)
        self.assertEqual(self.contents.read_bytes(), merged)
        self.assertEqual(self.run_to_end("/unregister", "/quiet"), 0)
        self.assertEqual(self.contents.read_bytes(), before)
        self.assertEqual(self.values(names), [None] * len(names))
        self.assertFalse(self.key_exists("HKLM\\SOFTWARE\\Vantrel"), "the record is gone")

    def test_quiet_failures_exit_1_and_change_nothing(self):
        self.write_list(ENTRIES)
        self.assertEqual(self.run_to_end("/quiet", "/log=" + LOG), 1)  # no IDE
        self.assertTrue(self.log_lines()[-1].startswith("failed: "), self.log_lines())
        self.assertIn(self.profile["key"].replace("HKLM", "HKEY_LOCAL_MACHINE"), self.log_lines()[-1])
        self.assertFalse(self.key_exists(self.profile["key"]))

        self.install_ide()
        elsewhere = unix_path(IDE_DIR)  # no list file there
        self.assertEqual(self.run_to_end("/quiet", "/log=" + LOG, cwd=elsewhere), 1)
        self.assertIn("Vantrel.ini was not found", self.log_lines()[-1])
        # A misspelt section: a list that names nothing is a mistake, for either action.
        (self.component / "Vantrel.ini").write_bytes(b"[HelpFile]\r\nFile0=Grid.hlp\r\n")
        for action in ("/register", "/unregister"):
            self.assertEqual(self.run_to_end(action, "/quiet", "/log=" + LOG), 1)
            self.assertIn(".\\Vantrel.ini names no help files", self.log_lines()[-1])
            self.assertIn("[HelpFiles]", self.log_lines()[-1])
        self.assertEqual(sum(line.startswith("failed: ") for line in self.log_lines()), 4,
                         "one failure line per run")
        self.assertEqual(self.run_to_end("/quiet", "/log=C:\\vantrel-e2e\\no\\such.log"), 1)
        self.assert_nothing_changed()

    def test_bad_command_lines_exit_2_and_change_nothing(self):
        self.install_ide()
        self.write_list(ENTRIES)
        for switches in (["/bogus", "/quiet"], ["/register", "/unregister", "-quiet"],
                         ["/quiet", "/log"], ["stray", "/QUIET"], ["/quiet", "/quiet"]):
            self.assertEqual(self.run_to_end(*switches), 2, switches)
        # Without /quiet the usage is shown (the probe reads its first line); /? is no error.
        self.assertEqual(self.run_to_end("/?", "/quiet"), 0)  # a box would never end it
        for switches, first_line, code in ((["/list"], '"/list" needs a path', 2),
                                           (["/?"], "Usage: ", 0)):
            box = self.start(*switches, wait_for="message")
            self.assertTrue(box["text"].startswith(first_line), box["text"])
            self.assertEqual(box["caption"], self.profile["title"])
            self.assertEqual(press("Return", self.exit_code), code, switches)
        self.assert_nothing_changed()

    def test_program_folder_outside_the_character_set_is_refused(self):
        # Cyrillic under a Western code page: GetModuleFileNameA would give "?"s.
        self.install_ide()
        folder = DRIVE_C / TEST_ROOT / "\u041a\u043e\u043c\u043f\u043e\u043d\u0435\u043d\u0442\u044b"
        folder.mkdir()
        shutil.copy(ARGS.program, folder / self.program_name)
        self.write_list(ENTRIES, folder=folder)
        self.flush_registry()
        result = wine(self.program_name, "/quiet", "/log=" + LOG, cwd=folder)
        self.assertEqual(result.returncode, 1)
        self.assertIn("character set", self.log_lines()[-1])
        self.assertIn("C:\\vantrel-e2e\\??????????", self.log_lines()[-1], "never a look-alike")
        self.assert_nothing_changed()

        # Started by its short name, which the code page holds: that name is recorded.
        # (Wine starts a 32-bit program in a 64-bit prefix by its long name, whatever
        # name it is given: the 64-bit program shows it.)
        if is_32_bit(ARGS.program) and os.environ.get("WINEARCH") == "win64":
            return
        names = the_probe().ask("shortnames", "C:\\" + TEST_ROOT)[1]
        short = next(names[f"short{i}"] for i in range(len(names) // 2) if "?" in names[f"name{i}"])
        short_folder = f"C:\\{TEST_ROOT}\\{short}"
        self.assertEqual(wine(short_folder + "\\" + self.program_name, "/quiet", "/log=" + LOG,
                              cwd=folder).returncode, 0, self.log_lines())
        self.assertEqual(self.value("Grid.hlp"), short_folder + "\\")
        self.assertTrue(any(line.startswith(f"folder recorded by its short name {short_folder}: ")
                            for line in self.log_lines()), self.log_lines())

    def test_two_ides_two_folders_come_back_to_where_they_began(self):
        """Folder X registers for the other IDE, folder Y for this one, the same
        names; Y is removed and deleted, then X."""
        other_version, other, other_name, other_contents = self.other_ide()
        self.install_ide()
        self.install_ide(profile=other)
        self.write_list(ENTRIES)
        self.provide_help_files()
        shutil.copy(Path(ARGS.program).with_name(other_name), self.component / other_name)
        y = self.other_component()
        self.assertEqual(self.run_to_end("/quiet", program=other_name), 0)
        self.assertEqual(self.run_to_end("/quiet", folder=OTHER_DIR), 0)
        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG,
                                         folder=OTHER_DIR), 0)
        self.assertEqual(self.value("Grid.hlp"), COMPONENT_DIR + "\\", "back to X")
        self.assertIn(f'value restored: "Grid.hlp" = {COMPONENT_DIR}\\, which still holds the file',
                      self.log_lines())
        shutil.rmtree(y)
        self.assertEqual(self.run_to_end("/unregister", "/quiet", program=other_name), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(other_contents.read_bytes(), BASE)
        self.assertEqual(self.values(ENTRIES), [None] * len(ENTRIES))
        self.assertFalse(self.key_exists("HKLM\\SOFTWARE\\Vantrel"), "the record is gone")

    def test_upgrade_from_a_version_that_kept_no_record_is_removed_whole(self):
        """Version 1 of the component was registered by a program that kept no
        record; version 2's installer registers again, its uninstaller removes."""
        self.install_ide(contents=self.MERGED)
        self.write_list(ENTRIES)
        self.provide_help_files()
        for name in ("Grid.hlp", "Grid.cnt"):
            self.set_up_registry("set", HELP_KEY, name, COMPONENT_DIR + "\\")
        self.assertEqual(self.run_to_end("/quiet"), 0)
        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 0)
        self.assertIn("line removed: :Link Grid.hlp", self.log_lines())
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(self.values(ENTRIES), [None] * len(ENTRIES))

    def test_removal_dialog_by_keyboard(self):
        self.register_quietly()
        facts = self.start("/unregister", "/log=" + LOG)
        self.assertEqual(facts["Label1.text"], self.profile["removal"])
        self.assertEqual(facts["BtnRegister.text"], "Remove")
        self.assertEqual(press("Escape", self.exit_code), 3, "closed without a run")
        self.assertEqual(self.log_lines()[-1], "cancelled")
        self.assertEqual(self.contents.read_bytes(), self.MERGED)

        # A run that failed, then the dialog closed: the installer learns of the failure.
        holder = self.hold_contents_file()
        self.start("/unregister")
        self.assertEqual(press("Return", lambda: probe("message"))["caption"], "Error")
        press("Return", lambda: probe("dialog", focus="LstFiles"))
        self.assertEqual(press("Escape", self.exit_code), 1)
        holder.kill()
        holder.wait()

        self.start("/unregister")
        message = press("Return", lambda: probe("message"))
        self.assertEqual((message["text"], message["caption"]), (REMOVED, "Information"))
        self.assertEqual(press("Return", self.exit_code), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertIsNone(self.value("Grid.hlp"))

    def hold_contents_file(self):
        """Another program that keeps the contents file open, sharing it for reading only."""
        holder = launch([ARGS.probe, "holdfile", IDE_DIR + "\\Help\\" + self.profile["contents"]],
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(holder.stdout.close)
        self.addCleanup(holder.kill)
        self.assertEqual(read_line(holder.stdout, 60, "the file holder"), b"held")
        return holder

    def test_removal_while_another_program_holds_the_contents_file(self):
        self.register_quietly()
        holder = self.hold_contents_file()
        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 1)
        self.assertTrue(self.log_lines()[-1].startswith("failed: "), self.log_lines())
        self.assertEqual(self.contents.read_bytes(), self.MERGED)
        self.assertEqual(sorted(p.name for p in self.contents.parent.iterdir()),
                         sorted([self.profile["contents"], self.profile["backup"]]))
        self.assertEqual(self.value("Grid.hlp"), COMPONENT_DIR + "\\")
        holder.kill()
        holder.wait()
        self.assertEqual(self.run_to_end("/unregister", "/quiet"), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)

    def test_removal_leaves_another_folders_registration_whole(self):
        # Both folders list the same files; the one registered last owns them.
        self.register_quietly()
        self.other_component()
        self.assertEqual(self.run_to_end("/quiet", folder=OTHER_DIR), 0)
        self.assertEqual(self.value("Grid.hlp"), OTHER_DIR + "\\")

        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 0)
        self.assertEqual(self.contents.read_bytes(), self.MERGED)
        # Neither folder holds Old.hlp: the other's registration of it holds nothing.
        self.assertEqual(self.values(ENTRIES), [OTHER_DIR + "\\"] * 2 + [None, OTHER_DIR + "\\"])
        self.assertIn('line kept: ":Link Grid.hlp" is still registered from ' + OTHER_DIR + "\\",
                      self.log_lines())
        self.assertIn(f"registered from {OTHER_DIR}\\, which no longer holds Old.hlp: taken out "
                      "of the record", self.log_lines())

        self.assertEqual(self.run_to_end("/unregister", "/quiet", folder=OTHER_DIR), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(self.values(ENTRIES), [None] * 4)

    def test_removal_keeps_the_locations_the_other_ide_still_uses(self):
        # One folder registers with both IDEs, whose help locations are shared.
        other_version, other, other_name, other_contents = self.other_ide()
        shutil.copy(Path(ARGS.program).with_name(other_name), self.component / other_name)
        self.install_ide(profile=other)
        self.register_quietly()
        self.assertEqual(self.run_to_end("/quiet", program=other_name), 0)
        self.assertEqual(other_contents.read_bytes(), self.MERGED)

        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 0)
        self.assertEqual(self.contents.read_bytes(), BASE)
        self.assertEqual(other_contents.read_bytes(), self.MERGED)
        self.assertEqual(self.value("Grid.hlp"), COMPONENT_DIR + "\\")
        self.assertIn(f'value kept: "Grid.cnt" = {COMPONENT_DIR}\\ is still registered from this '
                      f'folder for Delphi {other_version}', self.log_lines())

        self.assertEqual(self.run_to_end("/unregister", "/quiet", program=other_name), 0)
        self.assertEqual(other_contents.read_bytes(), BASE)
        # Old.hlp had no location before this folder came: it has none again.
        self.assertEqual(self.values(ENTRIES), [None] * len(ENTRIES))

    def test_removal_that_may_not_change_the_help_locations_fails_first(self):
        self.register_quietly()
        key = HELP_KEY.split("\\", 1)[1]
        self.flush_registry()
        status, denied = the_probe().ask("denykey", key)
        self.assertEqual(status, 0, denied)
        self.addCleanup(the_probe().ask, "setkeysddl", key, denied["sddl"])
        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 1)
        self.assertRegex(self.log_lines()[-1], r"^failed: Cannot open the registry key "
                         r"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help: .")
        self.assertEqual(self.contents.read_bytes(), self.MERGED)
        self.assertEqual(self.value("Grid.hlp"), COMPONENT_DIR + "\\")

    def test_japanese_code_page_names_and_folder(self):
        """Code page 932: ヂ.hlp is not ア.hlp, and 表lib.hlp does not name lib.hlp;
        a folder named in Japanese (ending in 表, whose second byte is 5C) is recorded
        as it is and found again by the removal."""
        folder = COMPONENT_DIR[:COMPONENT_DIR.rindex("\\") + 1] + "\u90e8\u54c1\u8868"
        component = unix_path(folder)
        component.mkdir()
        shutil.copy(ARGS.program, component / self.program_name)
        entries = ["\u30c2.hlp", "lib.hlp"]
        before = BASE + ":Link \u30a2.hlp\r\n:Link \u8868lib.hlp\r\n".encode("cp932")
        self.install_ide(contents=before)
        (component / "Vantrel.ini").write_bytes("[HelpFiles]\r\nA=\u30c2.hlp\r\nB=lib.hlp\r\n"
                                                .encode("cp932"))
        self.provide_help_files(entries, folder=component)

        self.assertEqual(self.run_to_end("/quiet", "/log=" + LOG, folder=folder,
                                         locale=JAPANESE), 0, self.log_lines("cp932"))
        self.assertEqual(self.contents.read_bytes(),
                         before + ":Link \u30c2.hlp\r\n:Link lib.hlp\r\n".encode("cp932"))
        self.assertEqual(self.values(entries, locale=JAPANESE), [folder + "\\"] * len(entries))
        registered = self.contents.read_bytes()

        # Under a Western code page the record of \u30c2.hlp has no name: it is left alone.
        self.write_list(ENTRIES)
        self.provide_help_files()
        unix_path(LOG).unlink()
        self.assertEqual(self.run_to_end("/quiet", "/log=" + LOG), 0, self.log_lines())
        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG), 0,
                         self.log_lines())
        self.assertEqual(self.log_lines().count('left alone: the record of "?.hlp", written under '
                                                "a code page with characters that this system's "
                                                "lacks"), 2)
        self.assertEqual(self.contents.read_bytes(), registered)

        self.assertEqual(self.run_to_end("/unregister", "/quiet", "/log=" + LOG, folder=folder,
                                         locale=JAPANESE), 0)
        self.assertEqual(self.contents.read_bytes(), before, self.log_lines("cp932"))
        self.assertEqual(self.values(entries, locale=JAPANESE), [None] * len(entries))

    def test_32_bit_program_shares_the_help_locations_under_wow64(self):
        if not ARGS.wow64_program:
            self.skipTest("the 64-bit program's suite runs it, with the 32-bit program beside")
        # The 32-bit program that ships, beside the 64-bit one: each finds the
        # other's registration its own and removes it.
        x86_name = f"Vantrel{self.version}-x86.exe"
        shutil.copy(ARGS.wow64_program, self.component / x86_name)
        self.install_ide()
        self.write_list(ENTRIES)
        self.provide_help_files()
        for registers, removes in ((x86_name, self.program_name), (self.program_name, x86_name)):
            self.assertEqual(self.run_to_end("/quiet", program=registers), 0)
            self.assertEqual(self.contents.read_bytes(), self.MERGED)
            self.assertEqual(self.values(ENTRIES), [COMPONENT_DIR + "\\"] * 4)
            self.assertEqual(self.run_to_end("/unregister", "/quiet", program=removes), 0)
            self.assertEqual(self.contents.read_bytes(), BASE, registers)
            self.assertEqual(self.values(ENTRIES), [None] * 4, registers)


# What the 32-bit programs run, under the emulator: the checks whose outcome
# can differ for them. Everything else is the same code as the 64-bit
# programs', which run every case. Under WoW64 (a 64-bit prefix, where only
# the program is emulated): a round trip by each front door, which also reads
# the 32-bit registry view; the start-up on each Windows version, with the
# 95/98 file paths; the code-page paths. A 32-bit prefix keeps what a 32-bit
# Windows alone shows: one registry view.
SUITES = {
    "all": None,
    "x86-wow64": ["ProgramTest.test_enter_registers_and_enter_dismisses_the_message",
                  "CommandLineTest.test_quiet_round_trip_shows_nothing_and_removes_only_its_own",
                  "CommandLineTest.test_quiet_round_trip_under_every_windows_version",
                  "CommandLineTest.test_japanese_code_page_names_and_folder",
                  "CommandLineTest.test_program_folder_outside_the_character_set_is_refused"],
    "x86": ["CommandLineTest.test_quiet_round_trip_shows_nothing_and_removes_only_its_own",
            "ProgramTest.test_enter_registers_and_enter_dismisses_the_message"],
}


def report_wine_starts():
    total = sum(WINE_STARTS.values())
    lines = [f"{count:4d}  {test}" for test, count in sorted(WINE_STARTS.items())]
    sys.stderr.write("Wine processes started:\n" + "\n".join(lines) + f"\n{total:4d}  in all\n")


def main():
    global ARGS
    if not os.environ.get("WINEPREFIX"):
        sys.exit("WINEPREFIX is not set: these tests run only in a throwaway Wine prefix "
                 "(scripts/test makes one), never in your own.")
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--version", type=int, choices=(3, 4), required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--wow64-program", help="the 32-bit program, to run in this 64-bit prefix")
    parser.add_argument("--suite", choices=SUITES, default="all")
    ARGS, rest = parser.parse_known_args()
    os.environ["VANTREL_PROGRAM"] = f"Vantrel{ARGS.version}.exe"  # the probe looks at no other
    names = SUITES[ARGS.suite] if not rest else []
    try:
        program = unittest.main(argv=[sys.argv[0], "-v", *rest, *(names or [])], exit=False)
    finally:
        for started in PROBES.values():
            started.close()
        report_wine_starts()
    sys.exit(not program.result.wasSuccessful())


if __name__ == "__main__":
    main()
