#!/usr/bin/env python3
"""Patches one template into the same game files from several processes at once, half of them
through a second folder of hard links to the same files, and checks that every patch that
reported an entry got one of its own and that the index holds each of them.

    parallel_patches.py SCHEMA PROGRAM [PREFIX...]"""
import os
import re
import struct
import subprocess
import sys
import tempfile

PATCHES = 4
TEMPLATE = ("6 version\r\n1 template id\r\n-1 item version\r\n2 num components\r\n"
            "1187 0 0 0 1\r\n1189 1 0 0 1\r\n")


def main():
    schema, program, prefix = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory() as folder:
        def run(args, cwd=folder):
            return subprocess.Popen(prefix + [program] + args, cwd=cwd, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
        subprocess.run(["sqlite3", os.path.join(folder, "Wardstone.dat"), f".read {schema}"],
                       check=True)
        with open(os.path.join(folder, "t.txt"), "wb") as text:
            text.write(TEMPLATE.encode())
        a, b = os.path.join(folder, "A"), os.path.join(folder, "B")
        os.mkdir(a)
        os.mkdir(b)
        with open(os.path.join(a, "multi.idx"), "wb") as idx:
            idx.write(struct.pack("<iii", 0, 12, 0) + struct.pack("<iii", -1, -1, 0) * 63)
        with open(os.path.join(a, "multi.mul"), "wb") as mul:
            mul.write(bytes(12))
        for name in ("multi.idx", "multi.mul"):
            os.link(os.path.join(a, name), os.path.join(b, name))
        db = ["--db", os.path.join(folder, "Wardstone.dat")]
        imported = run(["import", "--from", "txt", "t.txt", "--category", "C", "--subsection",
                        "S", "--description", "D", "--create"] + db)
        if imported.wait() != 0:
            sys.exit("import failed: " + imported.stderr.read().decode())
        patches = [run(["patch", "1", "--idx", f"{x}/multi.idx", "--mul", f"{x}/multi.mul",
                        "--no-backup"] + db)
                   for x in ("A", "B") * (PATCHES // 2)]
        entries = []
        for patch in patches:
            out, err = patch.communicate()
            found = re.match(rb"entry (\d+),", out)
            if patch.returncode == 0 and found:
                entries.append(int(found.group(1)))
            elif b"Another patch of these game files is running" not in err:
                sys.exit(f"a patch failed: {patch.returncode} {err.decode()}")
        with open(os.path.join(a, "multi.idx"), "rb") as idx:
            data = idx.read()
        used = [n + 1 for n in range(len(data) // 12)
                if struct.unpack_from("<iii", data, n * 12)[1] > 0]
        if len(set(entries)) != len(entries) or sorted(entries) != used[1:]:
            sys.exit(f"patches reported entries {entries}, the index uses {used}")
        print(f"{len(entries)} of {PATCHES} patches at once, each its own entry: {sorted(entries)}")


if __name__ == "__main__":
    main()
