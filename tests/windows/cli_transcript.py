#!/usr/bin/env python3
"""Runs one session of the command-line tool in a folder of its own and prints what it did:
each command's exit status, standard output and standard error, and the files it wrote.

    cli_transcript.py SCHEMA PROGRAM [PREFIX...]

PROGRAM is the tool, PREFIX what runs it (`wine` for the Windows build). The Windows check runs it
once with the Linux build and once with the Windows build under Wine and compares the two."""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile

TEMPLATE = ("6 version\r\n1 template id\r\n-1 item version\r\n3 num components\r\n"
            "1187 0 0 0 1\r\n1653 -1 2 5 0\r\n1189 4 -3 0 1\r\n")


def game_files(folder):
    """A multi.idx of 64 entries, the first in use (one 12-byte marker record), and its mul."""
    with open(os.path.join(folder, "multi.idx"), "wb") as idx:
        idx.write(struct.pack("<iii", 0, 12, 0) + struct.pack("<iii", -1, -1, 0) * 63)
    with open(os.path.join(folder, "multi.mul"), "wb") as mul:
        mul.write(struct.pack("<HhhhI", 1, 0, 0, 0, 0))


def main():
    schema, program, prefix = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory() as top:
        # Folders named with letters beyond ASCII: paths are UTF-8 inside, UTF-16 at Windows.
        folder = os.path.join(top, "Bibliothèque")
        os.makedirs(os.path.join(folder, "Spiel Ü"))
        subprocess.run(["sqlite3", os.path.join(folder, "Wardstone.dat"), f".read {schema}"],
                       check=True)
        with open(os.path.join(folder, "tower.txt"), "wb") as text:
            text.write(TEMPLATE.encode())
        game_files(os.path.join(folder, "Spiel Ü"))
        env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   XDG_DATA_HOME=os.path.join(folder, "data"))
        db = ["--db", "Wardstone.dat"]
        idx, mul = os.path.join("Spiel Ü", "multi.idx"), os.path.join("Spiel Ü", "multi.mul")
        game = ["--idx", idx, "--mul", mul, "--no-backup"]
        commands = [
            ["import", "--from", "txt", "tower.txt", "--category", "Towers", "--subsection",
             "Stone", "--description", "Small Tower", "--create"] + db,
            ["import", "--from", "txt", "-", "--category", "Türme", "--subsection", "Stein",
             "--description", "From standard input", "--create"] + db,
            ["list"] + db,
            ["delete", "2", "--yes"] + db,
            ["show", "1"] + db,
            ["export", "1", "tower.KivT"] + db,
            ["patch", "1"] + game + ["--scripts", "55", "--name", "Small Tower", "--buy", "500",
                                     "--sell", "250"] + db,
            ["extract", "--idx", idx, "--mul", mul, "1", "-"],
            ["show", "7"] + db,
        ]
        for command in commands:
            given = TEMPLATE.encode() if "-" in command[:5] else None
            run = subprocess.run(prefix + [program] + command, cwd=folder, env=env,
                                 input=given, capture_output=True)
            print("$", " ".join(command))
            print("status", run.returncode)
            print("stdout:")
            sys.stdout.write(run.stdout.decode("utf-8", "replace"))
            print("stderr:")
            sys.stdout.write(run.stderr.decode("utf-8", "replace"))
        for name in ("tower.KivT", idx, mul):
            with open(os.path.join(folder, name), "rb") as f:
                print(name, hashlib.sha256(f.read()).hexdigest())


if __name__ == "__main__":
    main()
