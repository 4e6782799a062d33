#!/usr/bin/env python3
"""Checks that every folder of src/ includes only folders below it.

The layers, bottom to top; folders on one line sit side by side and do not
include each other. Prints every include that breaks the order and exits 1.
"""
import pathlib
import re
import sys

LAYERS = [
    ["common", "logo"],
    ["model"],
    ["controls"],
    ["settings", "encoder"],
    ["jobscript"],
    ["jobs"],
    ["app"],
    ["win32"],
]
LEVEL = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in LEVEL:
            faults.append(f"{path}: folder {folder!r} has no place in the layers")
            continue
        for used in INCLUDE.findall(path.read_text(encoding="latin-1")):
            if used == folder:
                continue
            if used not in LEVEL or LEVEL[used] >= LEVEL[folder]:
                faults.append(f"{path}: {folder}/ must not include {used}/")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
