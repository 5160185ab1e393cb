#!/usr/bin/env python3
"""Releases a built package to the update endpoint's folder.

    publish.py --packages DIR PACKAGE CHANGES

PACKAGE is a built orvalux-<major>.<minor>.<build>.msi; it is copied into DIR as
Orvalux-<version>.msi, the name update_server.py serves. CHANGES is a text file with one
change a line; each becomes a row "<version> <change>" at the top of DIR/changes.txt, so
the change table lists the newest version first. A version already in DIR is refused, and
so is one older than the newest released: an installed program is never offered a
downgrade.
"""
import argparse
import re
import shutil
import sys
from pathlib import Path

BUILT_NAME = re.compile(r"^orvalux-(\d+)\.(\d+)\.(\d+)\.msi$", re.IGNORECASE)
SERVED_NAME = re.compile(r"^.+-(\d+)\.(\d+)\.(\d+)(?:\.\d+)?\.[A-Za-z0-9]+$")


def publish(folder, package, changes):
    """Lays out `package` and its `changes` in `folder`; returns the served file."""
    folder, package = Path(folder), Path(package)
    match = BUILT_NAME.match(package.name)
    if not match:
        raise ValueError(f"{package.name}: not a built package (orvalux-MAJOR.MINOR.BUILD.msi)")
    version = tuple(int(part) for part in match.groups())
    text = ".".join(map(str, version))
    rows = [line.strip() for line in Path(changes).read_text(encoding="utf-8").splitlines() if line.strip()]
    if not rows:
        raise ValueError(f"{changes}: no changes listed")
    folder.mkdir(parents=True, exist_ok=True)
    released = [tuple(int(part) for part in m.groups())
                for m in (SERVED_NAME.match(path.name) for path in folder.iterdir()) if m]
    if version in released:
        raise ValueError(f"{text} is released already")
    if released and version < max(released):
        raise ValueError(f"{text} is older than the newest release {'.'.join(map(str, max(released)))}")
    served = folder / f"Orvalux-{text}.msi"
    shutil.copyfile(package, served)
    change_file = folder / "changes.txt"
    earlier = change_file.read_text(encoding="utf-8") if change_file.is_file() else ""
    change_file.write_text("".join(f"{text} {row}\n" for row in rows) + earlier, encoding="utf-8")
    return served


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--packages", required=True, help="the update endpoint's folder of releases")
    parser.add_argument("package", help="the built orvalux-<version>.msi")
    parser.add_argument("changes", help="text file, one change a line")
    args = parser.parse_args(argv)
    try:
        print(publish(args.packages, args.package, args.changes))
    except (OSError, ValueError) as error:
        sys.exit(f"publish: {error}")


if __name__ == "__main__":
    main()
