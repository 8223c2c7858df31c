#!/usr/bin/env python3
"""Times a quiet registration and removal of N help files with the real
program under Wine, each run beside a start of a bare program that loads the
same DLLs (bare_start.exe), each started a moment after the one before
ended: the median of PAIRS pairs of each, their ratio
and the milliseconds per name over the bare start. Its world is a contents
file of about 100 KB (3 MB for 1,200 names) in which one name in ten is listed
already. Run in a 64-bit prefix (WINEPREFIX, WINELOADER set).

  registration_timing.py FOLDER [PAIRS]

FOLDER holds Vantrel4.exe and bare_start.exe."""
import os, shutil, statistics, subprocess, sys, time
from pathlib import Path

BUILD = Path(sys.argv[1])
PAIRS = int(sys.argv[2]) if len(sys.argv) > 2 else 7
WINE = os.environ["WINELOADER"]
C = Path(os.environ["WINEPREFIX"]) / "drive_c"
ROOT = C / "vantrel-bench"


def reg(*args):
    subprocess.run([WINE, "reg", *args, "/reg:32", "/f"], check=True, capture_output=True)


def world(names):
    shutil.rmtree(ROOT, ignore_errors=True)
    (ROOT / "IDE/Help").mkdir(parents=True)
    (ROOT / "Component").mkdir()
    lines = 60000 if len(names) > 1000 else 2000
    topics = "".join(f"{i} Topic number {i}=topic_{i}@Delphi.hlp>main\r\n" for i in range(lines))
    listed = "".join(f":Link {name}\r\n" for name in names[::10])
    (ROOT / "IDE/Help/Delphi4.cnt").write_bytes((":Base Delphi4.hlp\r\n" + topics + listed).encode())
    for name in names:
        (ROOT / "Component" / name).write_bytes(b"help")
    (ROOT / "Component/Vantrel.ini").write_bytes(
        ("[HelpFiles]\r\n" + "".join(f"F{i}={n}\r\n" for i, n in enumerate(names))).encode())
    shutil.copy(BUILD / "Vantrel4.exe", ROOT / "Component")
    shutil.copy(BUILD / "bare_start.exe", ROOT / "Component")
    reg("add", "HKLM\\SOFTWARE\\Borland\\Delphi\\4.0", "/v", "RootDir", "/d", "C:\\vantrel-bench\\IDE")


def timed(*args):
    # Each run starts on a quiet machine: Wine is still ending the one before
    # for a while after it exits, and a start in that time takes longer.
    time.sleep(0.25)
    began = time.perf_counter()
    code = subprocess.run([WINE, *args], cwd=ROOT / "Component", stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode
    elapsed = time.perf_counter() - began
    if code != 0:
        sys.exit(f"{args} ended with {code}")
    return elapsed


print(f"{'names':>6} {'bare ms':>8} {'register':>9} {'ratio':>6} {'ms/name':>8} "
      f"{'unregister':>11} {'ratio':>6} {'ms/name':>8}")
for count in (8, 50, 400, 1200):
    names = [f"Part{i:04d}.hlp" for i in range(count)]
    world(names)
    program = "C:\\vantrel-bench\\Component\\Vantrel4.exe"
    bare, register, unregister = [], [], []
    for _ in range(PAIRS):
        bare.append(timed("C:\\vantrel-bench\\Component\\bare_start.exe"))
        register.append(timed(program, "/register", "/quiet"))
        bare.append(timed("C:\\vantrel-bench\\Component\\bare_start.exe"))
        unregister.append(timed(program, "/unregister", "/quiet"))
    b, r, u = (statistics.median(times) * 1000 for times in (bare, register, unregister))
    print(f"{count:>6} {b:>8.0f} {r:>9.0f} {r / b:>6.2f} {(r - b) / count:>8.3f} "
          f"{u:>11.0f} {u / b:>6.2f} {(u - b) / count:>8.3f}", flush=True)
shutil.rmtree(ROOT, ignore_errors=True)
