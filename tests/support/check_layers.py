#!/usr/bin/env python3
"""Checks that the layers keep apart, as the build declares them.

- The core (model/, link/ outside their callbacks/ and d2xx/ folders) includes no
  panel header, no toolkit header and no board driver header.
- The board link (link/d2xx/) includes nothing of the panel, the toolkit or the
  application's callbacks.
- The panel layer (panel/runtime/) includes only itself, and names no part of
  the application.
- The files that the panel and the command-line tool share without a toolkit
  (the UI resource's reader, the panel-state file's format and reader, the
  application's resource and constants) include no toolkit header and nothing
  of ours but the core and each other.
- The command-line tool (zrctl/) includes no toolkit or driver header, and of
  ours only the core, the board link, those shared files and itself.
- No two source files include each other, directly or in a circle (a header and
  its .cpp count as one).
- The core, the board link, the shared files and the command-line tool are
  compiled with no Qt include path.

Usage: check_layers.py SOURCE_DIR COMPILE_COMMANDS_JSON
"""
import json
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)
APPLICATION_NAMES = ["zr-eval", "zr_eval", "ZR3100", "ZR3500", "Corvane", "New_Panel", "PANEL_", "MENU_",
                     "callback_table", "artwork", "main_panel", "regs.", "MainPanelHandle"]


# Modules (a header and its .cpp) that the panel and the command-line tool share
# without a toolkit.
TOOLKIT_FREE = {"panel/runtime/ui_application", "panel/runtime/ui_resource", "panel/runtime/panel_state",
                "panel/runtime/file_io",
                "panel/New_Panel", "panel/built_in_resource", "panel/setup_file"}


def toolkit_free(path):
    return os.path.splitext(path)[0] in TOOLKIT_FREE


def layer_of(path):
    parts = path.split("/")
    if parts[0] == "zrctl":
        return "cli"
    if parts[0] == "panel":
        return "runtime" if len(parts) > 2 and parts[1] == "runtime" else "app"
    if parts[0] in ("model", "link"):
        if len(parts) > 2 and parts[1] == "callbacks":
            return "app"
        if len(parts) > 2 and parts[1] == "d2xx":
            return "link"
        return "core"
    return None


def sources(root):
    for top in ("model", "link", "panel", "zrctl"):
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
            system = kind == "<"
            toolkit = system and target.startswith("Q")
            driver = system and target in ("ftdi.h", "libusb.h")
            ours = None if system else layer_of(target)
            if not system:
                graph.setdefault(module, set()).add(os.path.splitext(target)[0])
            if layer == "core" and (toolkit or driver or ours not in (None, "core")):
                problems.append(f"{path}: the core includes {target}")
            if layer == "link" and (toolkit or ours not in (None, "core", "link")):
                problems.append(f"{path}: the board link includes {target}")
            if layer == "runtime" and not toolkit_free(path) and (driver or ours not in (None, "runtime")):
                problems.append(f"{path}: the panel layer includes {target}")
            if toolkit_free(path) and (toolkit or driver or (ours not in (None, "core") and not toolkit_free(target))):
                problems.append(f"{path}: a file shared without a toolkit includes {target}")
            if layer == "cli" and (toolkit or driver or (ours not in (None, "core", "link", "cli")
                                                         and not toolkit_free(target))):
                problems.append(f"{path}: the command-line tool includes {target}")
        if layer == "runtime":
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
        return layer_of(path) in ("core", "link", "cli") or toolkit_free(path)

    for entry in commands:
        path = os.path.relpath(entry["file"], root)
        if without_toolkit(path) and re.search(r"[Qq]t6?[/ ]|qt6", entry.get("command", "")):
            problems.append(f"{path}: compiled with a Qt include path")

    for p in problems:
        print(p)
    checked = sum(1 for e in commands if without_toolkit(os.path.relpath(e["file"], root)))
    print(f"{len(problems)} problems; {len(graph)} modules; {checked} compilations without a toolkit checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
