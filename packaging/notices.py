#!/usr/bin/env python3
"""Writes the licence notices of what is linked into the programs of a Windows build tree.

The programs are linked again with a link map (to a scratch file, not over the real ones):
every archive member the map says was pulled in, every object of the project's own archives
with the headers its compiler listed, is traced back to the Debian package that installed it,
and that package's copyright file (/usr/share/doc/<package>/copyright) goes into the notices.

Usage: notices.py BUILD_DIR OUTPUT TARGET...   (TARGET: a CMake target's name, e.g. brenvik)
"""
import hashlib
import os
import re
import shlex
import subprocess
import sys
import tempfile

# Members pulled from an archive: "path/libfoo.a(member.o)" at the start of a line.
MEMBER = re.compile(r"^(\S+\.a)\(([^)]+)\)")
# Objects named whole on the link line or in the map: start files such as crt2.o.
LOADED = re.compile(r"^LOAD (\S+\.o)$")


def link_map(build_dir, target, scratch):
    """Links the target again with a map; returns (the link's folder, the map's text)."""
    for root, dirs, _ in os.walk(build_dir):
        if f"{target}.dir" in dirs and os.path.basename(root) == "CMakeFiles":
            link_dir = os.path.dirname(root)
            link_txt = os.path.join(root, f"{target}.dir", "link.txt")
            break
    else:
        sys.exit(f"notices: no target {target} in {build_dir}")
    command = shlex.split(open(link_txt).read().strip().splitlines()[-1])
    out = command.index("-o")
    command[out + 1] = os.path.join(scratch, target + ".bin")
    command = [c for c in command if not c.startswith("-Wl,--out-implib")]
    map_file = os.path.join(scratch, target + ".map")
    command.append("-Wl,-Map=" + map_file)
    subprocess.run(command, cwd=link_dir, check=True)
    return link_dir, open(map_file, errors="replace").read()


def linked_files(build_dir, target, scratch):
    """The host files that went into the target: archives, start objects, headers."""
    link_dir, text = link_map(build_dir, target, scratch)
    files = set()
    build_root = os.path.realpath(build_dir)
    for line in text.splitlines():
        m = MEMBER.match(line) or LOADED.match(line)
        if not m:
            continue
        path = os.path.realpath(os.path.join(link_dir, m.group(1)))
        if not path.startswith(build_root + os.sep):
            files.add(path)
            continue
        if len(m.groups()) < 2:
            continue
        # One of the project's own objects: the compiler's dependency file names its headers.
        for root, _, names in os.walk(os.path.dirname(path)):
            if m.group(2) + ".d" in names:
                files.update(headers(os.path.join(root, m.group(2) + ".d")))
    return files


def headers(depfile):
    text = open(depfile, errors="replace").read().replace("\\\n", " ")
    names = text.split(":", 1)[1].split() if ":" in text else []
    return {os.path.realpath(n) for n in names if n.startswith("/usr/")}


def owners(files):
    """The Debian packages that installed the files."""
    packages = set()
    found = subprocess.run(["dpkg", "-S", *sorted(files)], capture_output=True, text=True)
    for line in found.stdout.splitlines():
        names, _, path = line.partition(": ")
        if path.strip() in files:
            packages.update(n.strip().split(":")[0] for n in names.split(","))
    return packages


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    build_dir, output, targets = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory() as scratch:
        files = set()
        for target in targets:
            files |= linked_files(build_dir, target, scratch)
    packages = sorted(owners(files))
    if not packages:
        sys.exit("notices: no linked file belongs to a Debian package")
    texts = {}
    for package in packages:
        path = f"/usr/share/doc/{package}/copyright"
        if not os.path.exists(path):
            continue
        text = open(path, encoding="utf-8", errors="replace").read()
        digest = hashlib.sha256(text.encode()).hexdigest()
        texts.setdefault(digest, ([], text))[0].append(package)
    with open(output, "w", encoding="utf-8", newline="\r\n") as out:
        out.write("Licence notices of the parts linked into brenvik.exe and brenvik.com\n\n")
        out.write("Both programs are linked statically. They contain parts of the following\n")
        out.write("Debian packages of the build machine, whose copyright files follow in full:\n\n")
        for names, _ in texts.values():
            out.write("  " + ", ".join(names) + "\n")
        for names, text in texts.values():
            out.write("\n" + "=" * 78 + "\n" + ", ".join(names) + "\n" + "=" * 78 + "\n\n")
            out.write(text)
    for names, _ in texts.values():
        print("notices: " + ", ".join(names))


if __name__ == "__main__":
    main()
