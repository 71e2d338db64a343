"""The folders of src/ as the build declares them: each folder's CMakeLists.txt holds one
drill_folder(NAME USES ... LOGIC ... SCREENS ... TOOLS ... APP ... OWN ...) call, and
src/CMakeLists.txt lists the folders in DRILL_FOLDERS. Read by the layer and map checks, so
that neither can drift from the build."""
import os
import re

KEYWORDS = ("USES", "LOGIC", "SCREENS", "TOOLS", "APP", "OWN")
CALL = re.compile(r"drill_folder\((.*?)\)", re.S)


def _words(text):
    return " ".join(line.split("#", 1)[0] for line in text.splitlines()).split()


def read_folder(src, name):
    """{keyword: [words]} of the folder's drill_folder call, or None when it has none."""
    path = os.path.join(src, name, "CMakeLists.txt")
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        match = CALL.search("\n".join(line.split("#", 1)[0] for line in f.read().splitlines()))
    if not match:
        return None
    words = _words(match.group(1))
    declared = {"NAME": words[:1]}
    keyword = None
    for word in words[1:]:
        if word in KEYWORDS:
            keyword = word
            declared.setdefault(keyword, [])
        elif keyword:
            declared[keyword].append(word)
    return declared


def listed_folders(src):
    """The folders src/CMakeLists.txt builds, in its order."""
    with open(os.path.join(src, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"set\(DRILL_FOLDERS(.*?)\)", f.read(), re.S)
    return _words(match.group(1)) if match else []


def folders_on_disk(src):
    return sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)) and not d.startswith("."))


def layer_map(src):
    """{folder: set of the folders it may include}, for every folder that declares itself."""
    allowed = {}
    for name in folders_on_disk(src):
        declared = read_folder(src, name)
        if declared is not None:
            allowed[name] = set(declared.get("USES", []))
    return allowed
