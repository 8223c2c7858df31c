#!/usr/bin/env python3
"""The release package: exactly its files, matching checksums, hardened
programs that need nothing but Windows' own DLLs, and the package's version in
every program's VERSIONINFO, as the resource data holds it and as Windows
itself (under Wine) reads it. And a signature that verifies and comes off
again without a trace."""
import argparse
import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

ARGS = None
WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
PROGRAMS = ["x64/Vantrel3.exe", "x64/Vantrel4.exe", "x86/Vantrel3.exe", "x86/Vantrel4.exe"]
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
                "crtdll.dll"}
OBJDUMP = {"x64": "x86_64-w64-mingw32-objdump", "x86": "i686-w64-mingw32-objdump"}
# What the PE analyzers ask of every program, and of each kind.
HARDENING = {"x64": {"DYNAMIC_BASE", "NX_COMPAT", "HIGH_ENTROPY_VA"},
             "x86": {"DYNAMIC_BASE", "NX_COMPAT", "NO_SEH"}}
SOURCE = Path(__file__).resolve().parents[2]
# The oldest Windows each kind of program starts on: the NT version, whether
# 95/98/ME are in, and the subsystem version the header must say.
FLOORS = {"x86": {"nt": 4.0, "9x": {"95", "stub"}, "subsystem": (4, 0)},
          "x64": {"nt": 5.2, "9x": None, "subsystem": (5, 2)}}


def allowed_imports():
    """The allow-list: (dll, function) -> (NT floor, 95/98/ME floor)."""
    allowed = {}
    for line in (Path(__file__).with_name("imports.tsv")).read_text().splitlines():
        if line and not line.startswith("#"):
            dll, function, nt, old, reference = line.split("\t")
            assert reference.strip(), f"{function} has no reference"
            allowed[dll, function] = (float(nt), old)
    return allowed


def imports_of(dump):
    """(dll, function) pairs from objdump -p."""
    found, dll = set(), None
    for line in dump.splitlines():
        if "DLL Name:" in line:
            dll = line.split("DLL Name:")[1].strip().lower()
        elif dll and re.match(r"^\t[0-9a-f]+\t +\d+ +[A-Za-z_]", line):
            found.add((dll, line.split()[-1]))
    return found


# What an Intel 486DX does not have, by objdump's mnemonic or operand: the
# Pentium Pro's conditional moves and FPU compares, the Pentium's cmpxchg8b,
# rdtsc and rdpmc, fast system calls, the hint space 0f 18-1f (the multi-byte
# nop that pads loops, prefetches, endbr32), MMX and SSE with their fences,
# and later additions. cpuid is the 486's own when the function first tests
# the ID flag (EFLAGS bit 21, 0x200000), without which it is not called.
BEYOND_486 = re.compile(
    r"^(cmov\w*|fcmov\w*|f(u)?comip?|cmpxchg8b|rdtscp?|rdpmc|sysenter|sysexit|syscall|"
    r"nop[lw]|prefetch\w*|endbr32|[lsm]fence|clflush\w*|movnti|emms|femms|popcnt|lzcnt|tzcnt|"
    r"movbe|crc32\w*|rdrand|rdseed|fisttp\w*|ud1)\b|%x?mm\d|%ymm")


def instructions_beyond_486(objdump, program):
    """'function: instruction' for every instruction a 486 lacks, from a
    disassembly of every code section. Data in a code section is read as
    instructions and refused too, except the exception tables that GNU ld puts
    into .text for PE: the bytes from their symbol, .gcc_except_table, to the
    next function's are data, not code."""
    dump = subprocess.run([objdump, "-d", "--no-show-raw-insn", str(program)], check=True,
                          capture_output=True, text=True).stdout
    found, function, body = [], "?", []

    def close():
        if function == ".gcc_except_table":
            return
        id_test = any("$0x200000" in line for line in body)
        for instruction in body:
            mnemonic = instruction.split("#")[0].strip()
            if BEYOND_486.search(mnemonic) or (mnemonic.startswith("cpuid") and not id_test):
                found.append(f"{function}: {mnemonic}")

    for line in dump.splitlines():
        label = re.match(r"^[0-9a-f]+ <(.+)>:$", line)
        if label:
            close()
            function, body = label.group(1), []
        elif re.match(r"^\s+[0-9a-f]+:\t", line):
            body.append(line.split("\t", 1)[1])
    close()
    return found


def fixed_file_version(exe):
    """FILEVERSION of the VS_FIXEDFILEINFO in the resource data."""
    at = exe.index(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", exe, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def product_version(exe):
    key = "ProductVersion\0".encode("utf-16-le")
    at = exe.index(key) + len(key)
    at += at % 4  # the value starts on a 32-bit boundary
    end = exe.index(b"\0\0", at)
    end += (end - at) % 2
    return exe[at:end].decode("utf-16-le")


class PackageTest(unittest.TestCase):
    def setUp(self):
        self.package = zipfile.ZipFile(ARGS.zip)
        self.addCleanup(self.package.close)

    def test_holds_exactly_its_files_with_matching_checksums(self):
        self.assertEqual(Path(ARGS.zip).name, f"Vantrel-{ARGS.version}.zip")
        self.assertEqual(sorted(self.package.namelist()),
                         sorted(PROGRAMS + ["Vantrel.ini", "ReadMe.txt", "SHA256SUMS"]))
        sums = {}
        for line in self.package.read("SHA256SUMS").decode("ascii").splitlines():
            digest, name = line.split(None, 1)
            sums[name.lstrip("*")] = digest
        self.assertEqual(sums, {name: hashlib.sha256(self.package.read(name)).hexdigest()
                                for name in PROGRAMS})
        readme = self.package.read("ReadMe.txt")
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"), "ReadMe.txt wants CR LF")
        self.assertIn(f"Vantrel {ARGS.version}".encode(), readme)
        self.assertIn(b"[HelpFiles]", self.package.read("Vantrel.ini"))

    def test_programs_are_hardened_import_only_windows_dlls_and_carry_the_version(self):
        with tempfile.TemporaryDirectory() as folder:
            for name in PROGRAMS:
                with self.subTest(name):
                    exe = self.package.read(name)
                    path = Path(folder) / name.replace("/", "-")
                    path.write_bytes(exe)
                    dump = subprocess.run([OBJDUMP[name[:3]], "-p", str(path)], check=True,
                                          capture_output=True, text=True).stdout
                    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}
                    self.assertTrue(dlls, "no imports found")
                    self.assertLessEqual(dlls, WINDOWS_DLLS)
                    # Every import is listed, and is there on the program's oldest Windows.
                    floor, allowed = FLOORS[name[:3]], allowed_imports()
                    imports = imports_of(dump)
                    self.assertGreater(len(imports), 50, "imports not read")
                    self.assertEqual(sorted(imports - allowed.keys()), [], "not in imports.tsv")
                    above = sorted(f"{dll} {function}" for (dll, function) in imports
                                   if allowed[dll, function][0] > floor["nt"] or
                                   (floor["9x"] and allowed[dll, function][1] not in floor["9x"]))
                    self.assertEqual(above, [], "newer than the program's oldest Windows")
                    subsystem = tuple(int(re.search(rf"{part}SubsystemVersion\s+(\d+)", dump)[1])
                                      for part in ("Major", "Minor"))
                    self.assertEqual(subsystem, floor["subsystem"])
                    flags = set(dump.split("DllCharacteristics", 1)[1].split("\n\n", 1)[0].split())
                    self.assertLessEqual(HARDENING[name[:3]], flags)
                    sections = subprocess.run([OBJDUMP[name[:3]], "-h", str(path)], check=True,
                                              capture_output=True, text=True).stdout
                    for flags_line in re.findall(r"^\s+(CONTENTS.*)$", sections, re.M):
                        if "CODE" in flags_line:
                            self.assertIn("READONLY", flags_line, "a writable code section")
                    self.assertIn(b"*** stack smashing detected ***", exe, "no stack protector")
                    self.assertEqual(fixed_file_version(exe), ARGS.version + ".0")
                    self.assertEqual(product_version(exe), ARGS.version)
                    windows_path = "Z:" + str(path).replace("/", "\\")  # Wine's Z: is /
                    probe = subprocess.run([WINE, ARGS.probe, "version", windows_path],
                                           capture_output=True, text=True, timeout=60)
                    facts = dict(line.split("=", 1) for line in probe.stdout.splitlines()
                                 if "=" in line)
                    self.assertEqual(facts.get("file_version"), ARGS.version + ".0", probe.stdout)
                    self.assertEqual(facts.get("product_version"), ARGS.version, probe.stdout)

    def test_x86_programs_have_no_instruction_beyond_the_486(self):
        objdump = OBJDUMP["x86"]
        for name in ("Vantrel3.exe", "Vantrel4.exe"):
            with self.subTest(name):
                # The build's copy names the functions; its code is the shipped one's.
                built = SOURCE / "build" / "x86" / name
                with tempfile.TemporaryDirectory() as folder:
                    shipped = Path(folder) / name
                    shipped.write_bytes(self.package.read("x86/" + name))
                    code = [subprocess.run([objdump, "-s", "-j", ".text", str(exe)], check=True,
                                           capture_output=True, text=True).stdout.split("\n", 3)[3]
                            for exe in (shipped, built)]
                self.assertEqual(code[0], code[1], "the build's code is not the shipped code")
                self.assertEqual(instructions_beyond_486(objdump, built), [])
        # A Pentium Pro function linked in is caught and named.
        with tempfile.TemporaryDirectory() as folder:
            folder = Path(folder)
            (folder / "pick.c").write_text("int pick(int a, int b, int c) { return a < b ? b : c; }\n")
            (folder / "main.c").write_text("int pick(int, int, int);\n"
                                           "int main(int argc, char **argv) { return pick(argc, 2, 3); }\n")
            gcc = ["i686-w64-mingw32-gcc-win32", "-O2", "-c"]
            subprocess.run([*gcc, "-march=i686", "pick.c"], cwd=folder, check=True)
            subprocess.run([*gcc, "-march=i486", "main.c"], cwd=folder, check=True)
            subprocess.run(["i686-w64-mingw32-gcc-win32", f"-B{SOURCE}/runtime/x86/", "-march=i486",
                            "-static", "-o", "pick.exe", "main.o", "pick.o"], cwd=folder, check=True)
            found = instructions_beyond_486(objdump, folder / "pick.exe")
            self.assertTrue(found, "the i686 function was not caught")
            self.assertEqual({f.split(":")[0] for f in found}, {"_pick"}, found)

    def test_signature_verifies_and_comes_off_byte_for_byte(self):
        with tempfile.TemporaryDirectory() as folder:
            folder = Path(folder)
            def openssl(*args):
                subprocess.run(["openssl", *args], cwd=folder, check=True, capture_output=True)
            # A throwaway CA, and a code-signing certificate it issued.
            openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Vantrel Test CA", "-keyout", "ca.key", "-out", "ca.pem",
                    "-addext", "basicConstraints=critical,CA:TRUE",
                    "-addext", "keyUsage=critical,keyCertSign")
            openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=Vantrel Test Vendor",
                    "-keyout", "vendor.key", "-out", "vendor.csr")
            (folder / "ext").write_text("extendedKeyUsage=codeSigning\nkeyUsage=digitalSignature\n")
            openssl("x509", "-req", "-in", "vendor.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                    "-CAcreateserial", "-days", "2", "-extfile", "ext", "-out", "vendor.pem")
            (folder / "password").write_text("secret\n")
            openssl("pkcs12", "-export", "-inkey", "vendor.key", "-in", "vendor.pem",
                    "-certfile", "ca.pem", "-passout", "file:password", "-out", "vendor.pfx")
            unsigned = self.package.read("x64/Vantrel4.exe")
            program = folder / "Vantrel4.exe"
            program.write_bytes(unsigned)

            subprocess.run([str(SOURCE / "scripts" / "sign"), str(program)], check=True,
                           capture_output=True, env={**os.environ,
                                                     "VANTREL_SIGN_PKCS12": str(folder / "vendor.pfx"),
                                                     "VANTREL_SIGN_PASSWORD_FILE": str(folder / "password"),
                                                     "VANTREL_SIGN_CAFILE": str(folder / "ca.pem")})
            self.assertNotEqual(program.read_bytes(), unsigned)
            verify = subprocess.run(["osslsigncode", "verify", "-CAfile", str(folder / "ca.pem"),
                                     "-in", str(program)], capture_output=True, text=True)
            self.assertEqual(verify.returncode, 0, verify.stdout + verify.stderr)
            subprocess.run(["osslsigncode", "remove-signature", "-in", str(program),
                            "-out", str(folder / "unsigned.exe")], check=True, capture_output=True)
            self.assertEqual((folder / "unsigned.exe").read_bytes(), unsigned)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
