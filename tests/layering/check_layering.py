#!/usr/bin/env python3
"""Checks that the code under src/ depends on itself one way only, as README.md's dependency rules
say: every `#include "folder/..."` of a file must lead to a unit that its own unit may use.

    check_layering.py SRC_FOLDER     names every include the rules do not allow; status 1 if any
    check_layering.py --self-test    runs the check on a small tree with one backward include
                                     and fails unless the check catches it
"""
import os
import re
import sys
import tempfile

CORE = {'common', 'formats', 'store', 'patcher', 'scripts', 'render'}

# What each unit may include besides the standard library, Qt and its own files.
ALLOWED = {
    'common': set(),
    'formats': {'common'},
    'store': {'formats', 'common'},
    'patcher': {'store', 'formats', 'common'},
    'scripts': {'formats', 'common'},  # the script generator; the dialogs are script-dialogs
    'render': {'formats', 'common'},
    'app': CORE,
    'client': {'common'},
    'ui': {'common'},
    'settings-store': {'common'},
    'settings': {'ui', 'app', 'settings-store'} | CORE,
    'script-dialogs': {'ui', 'app'} | CORE,
    'library': {'ui', 'settings', 'settings-store', 'script-dialogs', 'app', 'client'} | CORE,
    'main': {'library', 'ui', 'app', 'client', 'settings-store', 'common'},
    'cli': {'app', 'settings-store'} | CORE,
}

# Files that count on their own, apart from the Qt code in their folder.
OWN_UNITS = [
    (re.compile(r'^scripts/MakeScripts\.'), 'scripts'),
    (re.compile(r'^scripts/'), 'script-dialogs'),
    (re.compile(r'^settings/(SettingsStore|LibraryLocation)\.'), 'settings-store'),
    (re.compile(r'^main\.cpp$'), 'main'),
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z0-9_]+/[^"]+)"')


def unit_of(path):
    for pattern, unit in OWN_UNITS:
        if pattern.match(path):
            return unit
    return path.split('/', 1)[0]


def violations(src):
    found = []
    for folder, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.relpath(os.path.join(folder, name), src).replace(os.sep, '/')
            unit = unit_of(path)
            with open(os.path.join(folder, name), encoding='utf-8', errors='replace') as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = unit_of(match.group(1))
                    if target != unit and target not in ALLOWED.get(unit, set()):
                        found.append(f'{path}:{number}: {unit} may not include '
                                     f'"{match.group(1)}" ({target})')
    return sorted(found)


def self_test():
    with tempfile.TemporaryDirectory() as src:
        for path, text in {'common/Paths.h': '#include "common/RunError.h"\n',
                           'formats/Reader.cpp': '#include "common/Paths.h"\n',
                           'store/Store.cpp': '#include "formats/Reader.h"\n',
                           'formats/Backwards.cpp': '#include <string>\n'
                                                    '#include "store/Store.h"\n'}.items():
            os.makedirs(os.path.join(src, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(src, path), 'w') as file:
                file.write(text)
        found = violations(src)
        expected = ['formats/Backwards.cpp:2: formats may not include "store/Store.h" (store)']
        if found != expected:
            print(f'the check found {found}, expected {expected}')
            return 1
        print('the check catches the backward include')
        return 0


def main():
    if sys.argv[1:] == ['--self-test']:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    found = violations(sys.argv[1])
    for line in found:
        print(line)
    print(f'{len(found)} include(s) against the dependency rules')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
