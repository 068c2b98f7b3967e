#!/usr/bin/env python3
"""Fails when a source file includes a project header from a folder its
target may not use. Each folder is one target; folders depend downward only:

    engine <- cad/dxf <- cad/geometry <- cad <- run <- cli, ui
    paint (cad, run and Qt Gui) <- cli/pictures, ui;  library (engine) <- cli, ui
    cli/pictures (the command line's picture module) may use cli's headers;
    cli itself loads it at run time and includes none of paint

tests/, bench/, fuzz/ and examples/ may use every target."""
import pathlib
import re
import sys

CAD = {"engine", "cad/dxf", "cad/geometry", "cad"}
ALLOWED = {
    "engine": {"engine"},
    "cad/dxf": {"engine", "cad/dxf"},
    "cad/geometry": {"engine", "cad/dxf", "cad/geometry"},
    "cad": CAD,
    "run": CAD | {"run"},
    "paint": CAD | {"run", "paint"},
    "library": {"engine", "library"},
    "cli": CAD | {"run", "library", "cli"},
    "cli/pictures": CAD | {"run", "paint", "library", "cli", "cli/pictures"},
    "ui": CAD | {"run", "paint", "library", "ui"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    faults = []
    for folder in sorted(ALLOWED, key=len, reverse=True):
        for source in sorted((root / folder).glob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match or "/" not in match.group(1):
                    continue  # a header beside the source, or not a project one
                used = match.group(1).rsplit("/", 1)[0]
                if used not in ALLOWED and used.split("/")[0] not in ALLOWED:
                    continue
                if used not in ALLOWED[folder]:
                    faults.append(f"{source.relative_to(root)}:{number}: {folder} may not include {match.group(1)}")
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"layering: {len(faults)} include(s) climb or cross", file=sys.stderr)
        return 1
    print("layering: every include goes downward")
    return 0


if __name__ == "__main__":
    sys.exit(main())
