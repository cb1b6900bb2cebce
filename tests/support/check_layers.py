#!/usr/bin/env python3
"""Checks that the layers keep apart: each top-level folder is one library, and
a file's folder alone says what it may include.

- model       the synthesizer model: only itself.
- wire        the words and bursts: the model and itself.
- d2xx        the D2XX calls: only itself (and libftdi, libusb).
- ui_files    the panel layer's toolkit-free files: the model and itself.
- ui_runtime  the panel layer over Qt: ui_files and itself; it names no part of
              the application.
- resource    the application's UI resource and setup files: the model, ui_files
              and itself.
- scpi        SCPI for instruments: only itself.
- zrctl       the command-line tool: all of the above but ui_runtime and app.
- app         zr-eval: anything but zrctl.

Only ui_runtime and app include Qt headers, and only d2xx includes ftdi.h or
libusb.h. No two modules include each other, directly or in a circle (a header
and its .cpp count as one). Every library but ui_runtime and app is compiled
with no Qt include path.

Usage: check_layers.py SOURCE_DIR COMPILE_COMMANDS_JSON
"""
import json
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)
APPLICATION_NAMES = ["zr-eval", "zr_eval", "ZR3100", "ZR3500", "Corvane", "New_Panel", "PANEL_", "MENU_",
                     "callback_table", "artwork", "main_panel", "regs.", "MainPanelHandle"]

# What each library may include of ours, besides itself.
MAY_INCLUDE = {
    "model": set(),
    "wire": {"model"},
    "d2xx": set(),
    "ui_files": {"model"},
    "ui_runtime": {"ui_files"},
    "resource": {"model", "ui_files"},
    "scpi": set(),
    "zrctl": {"model", "wire", "d2xx", "ui_files", "resource", "scpi"},
    "app": {"model", "wire", "d2xx", "ui_files", "ui_runtime", "resource"},
}
WITH_TOOLKIT = {"ui_runtime", "app"}
DRIVER_HEADERS = ("ftdi.h", "libusb.h", "libusb-1.0/libusb.h")


def layer_of(path):
    top = path.split("/")[0]
    return top if top in MAY_INCLUDE else None


def sources(root):
    for top in MAY_INCLUDE:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), root)


def main():
    root, compile_commands = sys.argv[1], sys.argv[2]
    problems = []
    graph = {}
    for path in sorted(sources(root)):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        layer = layer_of(path)
        module = os.path.splitext(path)[0]
        for kind, target in INCLUDE.findall(text):
            if kind == "<":
                if target.startswith("Q") and layer not in WITH_TOOLKIT:
                    problems.append(f"{path}: {layer} includes the toolkit's {target}")
                if target in DRIVER_HEADERS and layer != "d2xx":
                    problems.append(f"{path}: {layer} includes the driver's {target}")
                continue
            graph.setdefault(module, set()).add(os.path.splitext(target)[0])
            ours = layer_of(target)
            if ours is None:
                problems.append(f"{path}: includes {target}, which is in no library")
            elif ours not in (None, layer) and ours not in MAY_INCLUDE[layer]:
                problems.append(f"{path}: {layer} includes {target} of {ours}")
        if layer == "ui_runtime":
            for name in APPLICATION_NAMES:
                if name in text:
                    problems.append(f"{path}: the panel layer names the application ({name})")

    # Cycles between modules, by depth-first search.
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if nxt == node:
                continue
            if state.get(nxt) == "open":
                cycle = trail[trail.index(nxt):] + [nxt] if nxt in trail else [node, nxt]
                problems.append("modules include each other: " + " -> ".join(cycle))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])

    with open(compile_commands, encoding="utf-8") as f:
        commands = json.load(f)

    def without_toolkit(path):
        layer = layer_of(path)
        return layer is not None and layer not in WITH_TOOLKIT

    build_root = os.path.dirname(os.path.abspath(compile_commands))

    def source_of(entry):
        # A library's batch of files compiled as one is named by the build, in the
        # library's build folder, which mirrors the library's own.
        path = os.path.relpath(entry["file"], root)
        if os.path.basename(path).startswith("unity_"):
            return os.path.join(os.path.relpath(entry["directory"], build_root), os.path.basename(path))
        return path

    for entry in commands:
        path = source_of(entry)
        if without_toolkit(path) and re.search(r"[Qq]t6?[/ ]|qt6", entry.get("command", "")):
            problems.append(f"{path}: compiled with a Qt include path")

    for p in problems:
        print(p)
    checked = sum(1 for e in commands if without_toolkit(source_of(e)))
    print(f"{len(problems)} problems; {len(graph)} modules; {checked} compilations without a toolkit checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
