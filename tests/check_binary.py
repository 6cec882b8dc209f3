#!/usr/bin/env python3
"""What Windows enforces on a 32-bit DLL and Wine does not, checked on the file.

    check_binary.py DLL --nm NM --allow NAME[,NAME...] --compile-commands FILE
                    --sources DIR[,DIR...] --flag FLAG [--plant]

Checks that:
  1. no SafeSEH table of the load configuration leaves out the guard's
     exception handler (Windows would refuse to run it);
  2. the "no SEH" characteristic is clear (Windows would run no handler);
  3. the DLL imports only from the DLLs allowed;
  4. every source of the DLL under the folders named was compiled with the
     flag (the code is built for callers that align the stack to 4 bytes).

With --plant it plants each check's fault in a copy of the DLL (or of the
compile commands), and passes only when the check of that fault, and only
that one, fails on it.
"""
import argparse
import json
import os
import struct
import subprocess
import sys
import tempfile

HANDLER = "_boundary_guardHandler"
NO_SEH = 0x0400
LOAD_CONFIG = 10
IMPORTS = 1


class Image:
    """A PE32 file: its headers, sections and data directories."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = bytearray(f.read())
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: not a PE file")
        sections, optional_size = struct.unpack_from("<2xH12xH", self.data, pe + 4)
        self.optional = pe + 24
        if struct.unpack_from("<H", self.data, self.optional)[0] != 0x10B:
            raise ValueError(f"{path}: not a 32-bit image")
        self.image_base = struct.unpack_from("<I", self.data, self.optional + 28)[0]
        self.characteristics_at = self.optional + 70
        self.directories = self.optional + 96
        table = self.optional + optional_size
        self.sections = []
        for i in range(sections):
            virtual_size, rva, raw_size, raw = struct.unpack_from("<8xIIII", self.data, table + 40 * i)
            self.sections.append((rva, max(virtual_size, raw_size), raw, raw_size))

    def dll_characteristics(self):
        return struct.unpack_from("<H", self.data, self.characteristics_at)[0]

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset(self, rva):
        for start, size, raw, _ in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def dword(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        at = self.offset(rva)
        return bytes(self.data[at:self.data.index(b"\0", at)]).decode("ascii", "replace")

    def imports(self):
        rva, size = self.directory(IMPORTS)
        names = []
        while size:
            name = self.dword(rva + 12)
            if name == 0:
                break
            names.append((self.text(name), name))
            rva += 20
        return names

    def safe_seh_handlers(self):
        """The RVAs of the SafeSEH table, or None without one."""
        rva, size = self.directory(LOAD_CONFIG)
        if rva == 0 or size == 0:
            return None
        length = self.dword(rva)
        if length < 0x48:
            return None
        table, count = self.dword(rva + 0x40), self.dword(rva + 0x44)
        if table == 0:
            return None
        table -= self.image_base
        return [self.dword(table + 4 * i) for i in range(count)]


def handler_rva(nm, dll, image):
    out = subprocess.run([nm, dll], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[2] == HANDLER:
            return int(fields[0], 16) - image.image_base
    raise SystemExit(f"check_binary: {dll} has no symbol {HANDLER}")


def check(dll, handler, allowed, commands, sources, flag):
    """The failures, as (check number, text)."""
    image = Image(dll)
    failures = []
    handlers = image.safe_seh_handlers()
    if handlers is not None and handler not in handlers:
        failures.append((1, f"a SafeSEH table of {len(handlers)} handler(s) leaves out {HANDLER}"))
    if image.dll_characteristics() & NO_SEH:
        failures.append((2, "the \"no SEH\" characteristic is set"))
    for name, _ in image.imports():
        if name.lower() not in allowed:
            failures.append((3, f"imports from {name}"))
    with open(commands) as f:
        entries = json.load(f)
    compiled = 0
    for entry in entries:
        path = os.path.normpath(os.path.join(entry.get("directory", ""), entry["file"]))
        if not any(path.startswith(folder + os.sep) for folder in sources):
            continue
        compiled += 1
        command = entry.get("command") or " ".join(entry.get("arguments", []))
        if flag not in command.split():
            failures.append((4, f"{os.path.relpath(path)} compiled without {flag}"))
    if compiled == 0:
        failures.append((4, "no source of the DLL in the compile commands"))
    return failures


def plant(dll, handler, allowed, commands, sources, flag, scratch):
    """Each check's fault planted in a copy; True when each is caught alone."""
    def planted_dll(name, change):
        copy = Image(dll)
        change(copy)
        path = os.path.join(scratch, name)
        with open(path, "wb") as f:
            f.write(copy.data)
        return path

    def safe_seh_table(copy):
        # A load configuration with a SafeSEH table of one other handler, in
        # the slack at the end of a section's raw data.
        for index, (start, size, raw, raw_size) in enumerate(copy.sections):
            used = struct.unpack_from("<I", copy.data, section_header(copy, index) + 8)[0]
            at = (used + 15) & ~15
            if raw_size >= at + 0x50:
                config = start + at
                struct.pack_into("<I", copy.data, raw + at, 0x48)
                struct.pack_into("<II", copy.data, raw + at + 0x40, copy.image_base + config + 0x48, 1)
                struct.pack_into("<I", copy.data, raw + at + 0x48, handler + 16)
                struct.pack_into("<II", copy.data, copy.directories + 8 * LOAD_CONFIG, config, 0x48)
                return
        raise SystemExit("check_binary: no room in any section for a planted load configuration")

    def no_seh(copy):
        struct.pack_into("<H", copy.data, copy.characteristics_at, copy.dll_characteristics() | NO_SEH)

    def foreign_import(copy):
        name, rva = copy.imports()[-1]
        at = copy.offset(rva)
        foreign = ("X" * len(name))[:len(name) - 4] + ".dll"
        copy.data[at:at + len(name)] = foreign.encode("ascii")

    def flagless_commands():
        with open(commands) as f:
            entries = json.load(f)
        for entry in entries:
            path = os.path.normpath(os.path.join(entry.get("directory", ""), entry["file"]))
            if any(path.startswith(folder + os.sep) for folder in sources):
                if "command" in entry:
                    entry["command"] = " ".join(word for word in entry["command"].split() if word != flag)
                else:
                    entry["arguments"] = [word for word in entry["arguments"] if word != flag]
                break
        path = os.path.join(scratch, "compile_commands.json")
        with open(path, "w") as f:
            json.dump(entries, f)
        return path

    plants = [
        (1, "a SafeSEH table without the guard's handler", planted_dll("safeseh.dll", safe_seh_table), commands),
        (2, "the \"no SEH\" characteristic", planted_dll("noseh.dll", no_seh), commands),
        (3, "an import from another DLL", planted_dll("import.dll", foreign_import), commands),
        (4, "a source compiled without the flag", dll, flagless_commands()),
    ]
    caught = True
    for number, what, planted, planted_commands in plants:
        failures = check(planted, handler, allowed, planted_commands, sources, flag)
        numbers = sorted({n for n, _ in failures})
        if numbers == [number]:
            print(f"planted {what}: caught ({failures[0][1]})")
        else:
            print(f"FAIL planted {what}: checks that failed: {numbers or 'none'}")
            caught = False
    return caught


def section_header(image, index):
    pe = struct.unpack_from("<I", image.data, 0x3C)[0]
    optional_size = struct.unpack_from("<H", image.data, pe + 20)[0]
    return pe + 24 + optional_size + 40 * index


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dll")
    parser.add_argument("--nm", required=True)
    parser.add_argument("--allow", required=True)
    parser.add_argument("--compile-commands", required=True)
    parser.add_argument("--sources", required=True)
    parser.add_argument("--flag", required=True)
    parser.add_argument("--plant", action="store_true")
    args = parser.parse_args()
    allowed = {name.lower() for name in args.allow.split(",")}
    sources = [os.path.normpath(folder) for folder in args.sources.split(",")]
    handler = handler_rva(args.nm, args.dll, Image(args.dll))
    if args.plant:
        with tempfile.TemporaryDirectory() as scratch:
            ok = plant(args.dll, handler, allowed, args.compile_commands, sources, args.flag, scratch)
        print("every planted fault caught" if ok else "a planted fault went unnoticed")
        return 0 if ok else 1
    failures = check(args.dll, handler, allowed, args.compile_commands, sources, args.flag)
    for _, text in failures:
        print(f"FAIL {os.path.basename(args.dll)}: {text}")
    if not failures:
        print(f"{os.path.basename(args.dll)}: SafeSEH, the SEH characteristic, imports and stack alignment as required")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
