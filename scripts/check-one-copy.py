#!/usr/bin/env python3
"""Fails when a function or a variable of the program's shared libraries is defined again in the
executable or the tools module: a second copy would have its own static state, and a cast of a
class from one copy to the other would silently fail.

usage: check-one-copy.py NM --shared LIB... --users BINARY... [--reference ELF_LIB...]

NM is the nm of the binaries' platform (nm, x86_64-w64-mingw32-nm). Only strong definitions
count: inline functions and templates (weak definitions) are made wherever they are used. A
Windows binary does not tell them apart (both are plain code there): the functions to look for
are then taken from the same libraries built for Linux (--reference), which do, the names being
the same on both.
"""
import subprocess
import sys

STRONG = set("TDBRG")  # text, data, bss, read-only data, small data: global definitions


def defined(nm, binary, dynamic):
    """The strong global symbols a binary defines, with how many it defines in all."""
    command = [nm, "--defined-only", "--extern-only"] + (["--dynamic"] if dynamic else []) + [binary]
    found = subprocess.run(command, capture_output=True, text=True)
    if found.returncode != 0:
        sys.exit(f"one copy: {nm} could not read {binary}: {found.stderr.strip()}")
    symbols = set()
    imported = set()
    for line in found.stdout.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[-1].startswith("__imp_"):
            imported.add(parts[-1][len("__imp_"):])
        # C++ names only: the linker's and the C runtime's own symbols are in every binary.
        elif len(parts) >= 3 and parts[-2] in STRONG and parts[-1].startswith("_Z"):
            symbols.add(parts[-1])
    # A Windows binary calls what it imports through a stub of the same name, beside the
    # import's slot "__imp_NAME": the stub is no copy.
    return symbols - imported


def readable(symbol, nm):
    demangle = "c++filt" if nm == "nm" else nm.replace("-nm", "-c++filt")
    shown = subprocess.run([demangle, symbol], capture_output=True, text=True).stdout.strip()
    return shown or symbol


def main(argv):
    if len(argv) < 5 or "--shared" not in argv or "--users" not in argv:
        sys.exit(__doc__)
    nm = argv[1]
    shared = argv[argv.index("--shared") + 1:argv.index("--users")]
    reference = argv[argv.index("--reference") + 1:] if "--reference" in argv else []
    users = argv[argv.index("--users") + 1:argv.index("--reference") if reference else len(argv)]
    wanted = set().union(*(defined("nm", library, True) for library in reference)) if reference else None
    # ELF shared objects keep their exported symbols in the dynamic table; PE files have one.
    elf = open(users[0], "rb").read(4) == b"\x7fELF"
    owners = {}
    for library in shared:
        for symbol in defined(nm, library, elf):
            if wanted is None or symbol in wanted:
                owners.setdefault(symbol, []).append(library)
    problems = [(s, libs) for s, libs in owners.items() if len(libs) > 1]
    for user in users:
        for symbol in defined(nm, user, False) & owners.keys():
            problems.append((symbol, owners[symbol] + [user]))
    for symbol, where in sorted(problems)[:40]:
        print(f"defined twice: {readable(symbol, nm)} in {', '.join(where)}")
    if problems:
        print(f"one copy: {len(problems)} functions or variables are defined in more than one binary")
        return 1
    print(f"one copy: {len(owners)} functions and variables of {len(shared)} libraries, each defined once "
          f"(checked against {len(users)} binaries)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
