#!/usr/bin/env python3
"""Fails when the folders of src/, the build, the README's Code section and the folders'
DESIGN.md files do not tell the same story.

usage: check-map.py SOURCE_DIR

- src/CMakeLists.txt builds every folder of src/ (DRILL_FOLDERS), and no folder that is gone;
- each folder declares itself (drill_folder with its own name) and lists each of its .cpp files
  once, and no file that is gone;
- the README's Code section has one line "- `src/FOLDER`: ..." for every folder, and none for
  a folder that is gone;
- each folder's DESIGN.md says what it owns and has a line "May use: ..." naming the folders
  its USES name ("nothing" for none, "every folder" for "*").
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from folder_map import KEYWORDS, folders_on_disk, listed_folders, read_folder  # noqa: E402


def readme_folders(source):
    with open(os.path.join(source, "README.md"), encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"^## Code\n(.*?)(?=^## )", text, re.S | re.M)
    section = match.group(1) if match else ""
    return re.findall(r"^- `src/([a-z_]+)`", section, re.M)


def may_use(design):
    match = re.search(r"^May use: (.*)$", design, re.M)
    if not match:
        return None
    said = match.group(1).strip().rstrip(".")
    if said == "nothing":
        return set()
    if said == "every folder":
        return {"*"}
    return {word.strip(" `") for word in said.split(",")}


def main():
    source = os.path.abspath(sys.argv[1])
    src = os.path.join(source, "src")
    faults = []
    disk = folders_on_disk(src)
    built = listed_folders(src)
    for name in sorted(set(disk) - set(built)):
        faults.append(f"src/{name}: not in DRILL_FOLDERS of src/CMakeLists.txt")
    for name in sorted(set(built) - set(disk)):
        faults.append(f"src/CMakeLists.txt: DRILL_FOLDERS names {name}, which is gone")
    in_readme = readme_folders(source)
    for name in disk:
        if in_readme.count(name) != 1:
            faults.append(f"README.md: the Code section has {in_readme.count(name)} lines for src/{name}, not one")
    for name in sorted(set(in_readme) - set(disk)):
        faults.append(f"README.md: the Code section names src/{name}, which is gone")
    for name in disk:
        declared = read_folder(src, name)
        if declared is None or declared["NAME"] != [name]:
            faults.append(f"src/{name}/CMakeLists.txt: no drill_folder({name} ...)")
            continue
        listed = [f for keyword in KEYWORDS[1:] for f in declared.get(keyword, [])]
        files = sorted(f for f in os.listdir(os.path.join(src, name)) if f.endswith(".cpp"))
        for f in files:
            if listed.count(f) != 1:
                faults.append(f"src/{name}/{f}: listed {listed.count(f)} times in its folder's CMakeLists.txt")
        for f in sorted(set(listed) - set(files)):
            faults.append(f"src/{name}/CMakeLists.txt: lists {f}, which is gone")
        design = os.path.join(src, name, "DESIGN.md")
        if not os.path.exists(design):
            faults.append(f"src/{name}: no DESIGN.md")
            continue
        with open(design, encoding="utf-8") as f:
            said = may_use(f.read())
        uses = set(declared.get("USES", []))
        if said is None:
            faults.append(f"src/{name}/DESIGN.md: no line 'May use: ...'")
        elif said != uses:
            faults.append(f"src/{name}/DESIGN.md: says it may use {', '.join(sorted(said)) or 'nothing'}; "
                          f"the build says {', '.join(sorted(uses)) or 'nothing'}")
    for fault in faults:
        print("FAIL: " + fault)
    if not faults:
        print(f"{len(disk)} folders: the build, the README and each DESIGN.md agree")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
