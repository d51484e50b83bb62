#!/usr/bin/env python3
"""Checks the include lines of the program against its layers.

  scripts/check_layers.py [LAYERS_FILE]   (default: docs/layers.txt)

The layers file lists the source folders from the bottom layer up, one layer
a line: the folders first, then words about them; '#' starts a comment.
Folders on one line stand side by side. Every #include "..." of a source in
a listed folder must name a header of its own folder or of a lower layer;
no folders may include each other in a circle; and only the window layer's
folder includes X11, GL or GLUT headers. Prints each breach and exits with
status 1 when there is one.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LOCAL_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
DISPLAY_INCLUDE = re.compile(r'^\s*#\s*include\s*<(X11|GL)/')
DISPLAY_FOLDER = 'runtime/window'


def read_layers(path):
    """The folders of each layer, bottom first."""
    layers = []
    for line in open(path, encoding='utf-8'):
        folders = []
        for word in line.split('#', 1)[0].split():
            word = word.rstrip('/')
            if not os.path.isdir(os.path.join(ROOT, word)):
                break
            folders.append(word)
        if folders:
            layers.append(folders)
    return layers


def folder_of(path, level):
    """The listed folder that holds path (the longest), or None."""
    holders = [f for f in level if path.startswith(f + '/')]
    return max(holders, key=len) if holders else None


def check(layers_path):
    layers = read_layers(layers_path)
    level = {f: n for n, folders in enumerate(layers) for f in folders}
    breaches = []
    edges = {f: set() for f in level}
    for folder in level:
        for directory, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(names):
                if not name.endswith(('.cpp', '.h')):
                    continue
                path = os.path.relpath(os.path.join(directory, name), ROOT)
                if folder_of(path, level) != folder:
                    continue   # a listed subfolder checks its own files
                for number, line in enumerate(open(os.path.join(ROOT, path), encoding='utf-8'), 1):
                    if DISPLAY_INCLUDE.match(line) and folder != DISPLAY_FOLDER:
                        breaches.append(f'{path}:{number}: a display header outside {DISPLAY_FOLDER}: {line.strip()}')
                    included = LOCAL_INCLUDE.match(line)
                    target = folder_of(included.group(1), level) if included else None
                    if target is None or target == folder:
                        continue
                    edges[folder].add(target)
                    if level[target] > level[folder]:
                        breaches.append(f'{path}:{number}: includes {included.group(1)}, a layer above')
                    elif level[target] == level[folder]:
                        breaches.append(f'{path}:{number}: includes {included.group(1)}, a folder beside it')
    breaches += [f'folders in a circle: {" -> ".join(c)}' for c in circles(edges)]
    return breaches


def circles(edges):
    """One path for each circle of folders found by a depth-first search."""
    found, state, path = [], {}, []

    def visit(node):
        state[node] = 'open'
        path.append(node)
        for nxt in sorted(edges[node]):
            if state.get(nxt) == 'open':
                found.append(path[path.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt)
        path.pop()
        state[node] = 'done'

    for node in sorted(edges):
        if node not in state:
            visit(node)
    return found


if __name__ == '__main__':
    layers_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, 'docs', 'layers.txt')
    breaches = check(layers_path)
    for breach in breaches:
        print(breach)
    print(f'{len(breaches)} breaches of the layering in {os.path.relpath(layers_path, ROOT)}')
    sys.exit(1 if breaches else 0)
