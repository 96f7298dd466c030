#!/usr/bin/env python3
"""Imports, patches and saves that go wrong half way: a full disk, kill -9, two at once,
read-only and locked files, damaged indexes. Runs the built command-line tool and fault_driver
(the same import, patch and save, stopped or killed at a chosen progress call) on a library and game files made here,
and after every scenario checks that nothing is half written: every template whole or absent,
every game file as before or holding the whole new multi.

usage: reliability.py MULTIWARDSTONE_CLI FAULT_DRIVER SCHEMA_SQL
Exit status 0 when every scenario passes; otherwise each failure is named. RELIABILITY_KEEP=1
keeps each scenario's folder.
"""
import os
import re
import resource
import shutil
import signal
import sqlite3
import struct
import subprocess
import sys
import tempfile
import time
import zlib
from contextlib import closing

CLI, DRIVER, SCHEMA = sys.argv[1:4]

ENTRY = struct.Struct('<iii')  # multi.idx: Lookup, Length, Extra
RECORD = struct.Struct('<Hhhhi')  # multi.mul: item id, x, y, z, flag
MARKER = (1, 0, 0, 0, 0)
FREE = (-1, -1, -1)
LOCK_FILE = '.multiwardstone.lock'


class Failure(Exception):
    """A check that failed; the message says which."""


def expect(condition, message):
    if not condition:
        raise Failure(message)


def read(path):
    with open(path, 'rb') as raw:
        return raw.read()


# --- Sample data -------------------------------------------------------------------------------

def components(count, seed):
    """Components whose item ids lie clear of components.txt, so that every flag stays 1."""
    return [(0x1000 + (seed * 977 + i * 31) % 0x2000, (i * 7 + seed) % 201 - 100,
             (i * 13 + seed) % 201 - 100, i % 41 - 20, 1) for i in range(count)]


def template_text(parts):
    lines = ['6 version', '1 template id', '-1 item version', f'{len(parts)} num components']
    lines += [' '.join(map(str, part)) for part in parts]
    return ''.join(line + '\r\n' for line in lines)


def mul_records(parts):
    return b''.join(RECORD.pack(*part) for part in [MARKER] + parts)


# MultiCollection.uop: the header, one table block at 0x200, then the files.

M32 = 0xFFFFFFFF


def rotate(x, k):
    return ((x << k) | (x >> (32 - k))) & M32


def uop_hash(name):
    """lookup3's hashlittle2 of a file name: b as the high word, c as the low one."""
    s = [(0xDEADBEEF + len(name)) & M32] * 3  # a, b, c

    def add(chunk):  # up to 12 bytes, little-endian, into a, b and c
        for i, byte in enumerate(chunk):
            s[i // 4] = (s[i // 4] + (byte << 8 * (i % 4))) & M32

    while len(name) > 12:
        add(name[:12])
        name = name[12:]
        # mix: x -= z, x ^= rotate(z, k), z += y
        for x, z, y, k in ((0, 2, 1, 4), (1, 0, 2, 6), (2, 1, 0, 8), (0, 2, 1, 16),
                           (1, 0, 2, 19), (2, 1, 0, 4)):
            s[x] = (s[x] - s[z]) & M32 ^ rotate(s[z], k)
            s[z] = (s[z] + s[y]) & M32
    if name:
        add(name)
        # final: x ^= y, x -= rotate(y, k)
        for x, y, k in ((2, 1, 14), (0, 2, 11), (1, 0, 25), (2, 1, 16), (0, 2, 4), (1, 0, 14),
                        (2, 1, 24)):
            s[x] = (s[x] ^ s[y]) - rotate(s[y], k) & M32
    return s[1] << 32 | s[2]


def multi_file_name(multi_id):
    return b'build/multicollection/%06u.bin' % multi_id


def multi_contents(multi_id, parts):
    # The package's flags 0 and 1 are ours the other way round.
    tiles = b''.join(struct.pack('<HhhhHI', i, x, y, z, 1 - f, 0) for i, x, y, z, f in parts)
    return struct.pack('<II', multi_id, len(parts)) + tiles


def package_bytes(files):
    """files: (name, contents, compressed) in table order."""
    data_at = 0x200 + 12 + 34 * len(files)
    table, data = b'', b''
    for name, contents, compressed in files:
        stored = zlib.compress(contents) if compressed else contents
        table += struct.pack('<QIIIQIH', data_at + len(data), 0, len(stored), len(contents),
                             uop_hash(name), zlib.adler32(stored), int(compressed))
        data += stored
    header = struct.pack('<IIIQII', 0x0050594D, 5, 0xFD23EC43, 0x200, 1000, len(files))
    return header.ljust(0x200, b'\0') + struct.pack('<IQ', len(files), 0) + table + data


def package_files(raw):
    """{name hash: (entry fields but the offset, header, stored bytes)} of every file."""
    magic, _, _, table, _, count = struct.unpack_from('<IIIQII', raw)
    expect(magic == 0x0050594D, 'the package lost its magic')
    files = {}
    while table:
        entries, following = struct.unpack_from('<IQ', raw, table)
        for at in range(table + 12, table + 12 + 34 * entries, 34):
            if raw[at:at + 34] == bytes(34):
                continue  # an unused slot
            offset, header, size, full, name, adler, packing = \
                struct.unpack_from('<QIIIQIH', raw, at)
            files[name] = ((header, size, full, adler, packing), raw[offset:offset + header],
                           raw[offset + header:offset + header + size])
        table = following
    expect(len(files) == count, f'the package header counts {count} files, its tables {len(files)}')
    return files


# --- A library and game files of our own -------------------------------------------------------

# Entries in use with a number of records (marker included) that is no multiple of 4, so that
# their lengths tell 12-byte records from 16-byte ones; every other entry is free.
IN_USE = {1: 50, 2: 61, 4: 70, 5: 81}  # multi.idx entry -> components
ENTRIES = 16
# Multi 5 is free in multi.idx only: a patch of both must pass over it. multi.mul is the larger
# file, so that a size limit can let the new package through and stop the records.
IN_PACKAGE = {0: 5, 1: 6, 3: 7, 4: 9, 5: 10}  # multi id -> components


class World:
    """A folder with an empty library, multi.idx / multi.mul, MultiCollection.uop and the
    template files to import, each named after its description."""

    def __init__(self, name):
        self.dir = tempfile.mkdtemp(prefix=f'reliability-{name}-')
        self.db, self.idx, self.mul, self.uop = (self.path(n) for n in (
            'Wardstone.dat', 'multi.idx', 'multi.mul', 'MultiCollection.uop'))
        self.templates = {}  # description -> components of its file
        self.immutable = []
        with closing(sqlite3.connect(self.db)) as db, open(SCHEMA) as schema:
            db.executescript(schema.read())
        mul, idx = b'', b''
        for slot in range(1, ENTRIES + 1):
            if slot in IN_USE:
                records = mul_records(components(IN_USE[slot], slot))
                idx += ENTRY.pack(len(mul), len(records), 0)
                mul += records
            else:
                idx += ENTRY.pack(*FREE)
        files = [(multi_file_name(i), multi_contents(i, components(n, i + 1)), True)
                 for i, n in IN_PACKAGE.items()]
        files.append((b'build/multicollection/housing.bin', bytes(range(64)), False))
        for path, raw in ((self.idx, idx), (self.mul, mul), (self.uop, package_bytes(files))):
            with open(path, 'wb') as out:
                out.write(raw)

    def path(self, name):
        return os.path.join(self.dir, name)

    def source(self, description, count):
        """Writes description.txt, a template text file of count components."""
        self.templates[description] = components(count, len(self.templates) + 100)
        with open(self.path(description + '.txt'), 'w', newline='') as out:
            out.write(template_text(self.templates[description]))

    def filing(self, description):
        return ['--category', 'Houses', '--subsection', 'Stone', '--description', description]

    def cli_import(self, description):
        return [CLI, 'import', '--db', self.db, '--from', 'txt', self.path(description + '.txt'),
                *self.filing(description), '--create']

    def driver_import(self, description, fault):
        return [DRIVER, 'import', '--db', self.db, '--file', self.path(description + '.txt'),
                *self.filing(description), *fault]

    def game_files(self, package=True):
        return ['--idx', self.idx, '--mul', self.mul] + (['--uop', self.uop] if package else [])

    def cli_patch(self, template_id, *options, package=True):
        return [CLI, 'patch', str(template_id), '--db', self.db, *self.game_files(package),
                *options]

    def driver_patch(self, template_id, fault):
        return [DRIVER, 'patch', '--db', self.db, '--id', str(template_id), *self.game_files(),
                *fault]

    def store(self, description, count):
        """A new template imported through the command line: its id."""
        self.source(description, count)
        done = run(self.cli_import(description))
        expect(done.returncode == 0, f'importing {description}: {done.stderr}')
        return int(done.stdout)

    def make_read_only(self, path):
        """False when the file system cannot do it for root."""
        if os.geteuid() != 0:  # mode bits stop everyone but root
            os.chmod(path, 0o444)
            return True
        if not shutil.which('chattr') or subprocess.run(
                ['chattr', '+i', path], capture_output=True).returncode != 0:
            return False
        self.immutable.append(path)
        return True

    def make_writable(self):
        for path in self.immutable:
            subprocess.run(['chattr', '-i', path], check=True)
        self.immutable = []
        for name in os.listdir(self.dir):
            os.chmod(self.path(name), 0o644)

    def remove(self):
        self.make_writable()
        shutil.rmtree(self.dir)


# --- Running the programs ----------------------------------------------------------------------

def file_size_limit(limit):
    def apply():
        hard = resource.getrlimit(resource.RLIMIT_FSIZE)[1]
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, hard))
    return apply


def run(args, limit=None):
    return subprocess.run(args, capture_output=True, text=True, errors='replace', timeout=60,
                          preexec_fn=None if limit is None else file_size_limit(limit))


STARTED = []  # processes a failed scenario may have left running or stopped


def start(args):
    STARTED.append(subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    text=True, errors='replace'))
    return STARTED[-1]


def end_started():
    while STARTED:
        process = STARTED.pop()
        if process.poll() is None:
            process.kill()
            process.communicate()


def wait_until_stopped(process, what):
    """Waits for a driver to stop itself at its progress call."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        pid, status = os.waitpid(process.pid, os.WUNTRACED | os.WNOHANG)
        if pid and os.WIFSTOPPED(status):
            return
        if pid:
            process.returncode = os.waitstatus_to_exitcode(status)
            raise Failure(f'{what} ended with status {process.returncode} before its progress '
                          f'call: {process.communicate()[1]}')
        time.sleep(0.01)
    raise Failure(f'{what} never reached its progress call')


def finish(process):
    out, err = process.communicate(timeout=60)
    return subprocess.CompletedProcess(process.args, process.returncode, out, err)


def patched_entry(done):
    """The entry a patch printed: the driver prints the number, the command line a sentence."""
    return int(re.match(r'(?:entry )?(\d+)', done.stdout).group(1))


# --- The checks after every scenario -----------------------------------------------------------

class Snapshot:
    """What the library holds and the game files' bytes, at one moment."""

    def __init__(self, world):
        self.templates = library_templates(world)
        with closing(sqlite3.connect(world.db)) as db:
            self.filing = [db.execute(f'select * from {table}').fetchall()
                           for table in ('Category', 'SubSection')]
        self.files = {os.path.basename(p): read(p) for p in (world.idx, world.mul, world.uop)}
        self.names = set(os.listdir(world.dir))


def library_templates(world):
    """{id: description} of the library, after checking that every template is whole."""
    with closing(sqlite3.connect(world.db, timeout=10)) as db:
        integrity = db.execute('pragma integrity_check').fetchall()
        expect(integrity == [('ok',)], f'library integrity_check: {integrity}')
        stored = {}
        for tid, count, description in db.execute(
                'select TempIndexID, BlockCount, Description from TemplateIndex').fetchall():
            expect(description in world.templates,
                   f'template {tid} "{description}" was never imported')
            rows = db.execute('select ItemID, X, Y, Z, Flag from TemplateBlocks '
                              'where TempIndexID = ? order by TempBlockID', (tid,)).fetchall()
            expect(count == len(rows) and rows == world.templates[description],
                   f'template {tid} "{description}" is not whole: BlockCount {count}, '
                   f'{len(rows)} blocks, {len(world.templates[description])} components in '
                   f'its file')
            stored[tid] = description
        orphans = db.execute('select count(*) from TemplateBlocks where TempIndexID not in '
                             '(select TempIndexID from TemplateIndex)').fetchone()[0]
        expect(orphans == 0, f'{orphans} TemplateBlocks rows have no TemplateIndex row')
    return stored


def template_named(world, parts, patched):
    return next((d for d in patched if world.templates[d] == parts), None)


def new_mul_multis(world, before, after, patched):
    """[(entry, description)] of the multis that are new in multi.idx / multi.mul."""
    old_idx, new_idx = before.files['multi.idx'], after.files['multi.idx']
    old_mul, new_mul = before.files['multi.mul'], after.files['multi.mul']
    expect(len(old_idx) == len(new_idx),
           f'multi.idx changed size from {len(old_idx)} to {len(new_idx)}')
    new = []
    for at in range(0, len(old_idx), ENTRY.size):
        slot = at // ENTRY.size + 1
        old, now = ENTRY.unpack_from(old_idx, at), ENTRY.unpack_from(new_idx, at)
        if old == now:
            lookup, length, _ = old
            if lookup >= 0 and length > 0:
                expect(new_mul[lookup:lookup + length] == old_mul[lookup:lookup + length],
                       f'the bytes of multi.idx entry {slot} changed')
            continue
        expect(old[1] == -1, f'multi.idx entry {slot}, in use, changed from {old} to {now}')
        lookup, length, _ = now
        expect(lookup >= len(old_mul) // RECORD.size * RECORD.size
               and length % RECORD.size == 0 and lookup + length <= len(new_mul),
               f'multi.idx entry {slot} now points at {length} bytes from {lookup}: not '
               f'records appended to multi.mul')
        records = [RECORD.unpack_from(new_mul, lookup + i) for i in range(0, length, RECORD.size)]
        name = records[0] == MARKER and template_named(world, records[1:], patched)
        expect(name, f'multi.idx entry {slot} points at no whole patched template')
        new.append((slot, name))
    return new


def new_package_multis(world, before, after, patched):
    """[(multi id, description)] of the multis that are new in MultiCollection.uop."""
    old = package_files(before.files['MultiCollection.uop'])
    now = package_files(after.files['MultiCollection.uop'])
    for name, file in old.items():
        expect(now.get(name) == file, f'package file {name:#x} changed or went missing')
    new = []
    for name, ((_, _, full, adler, packing), _, stored) in now.items():
        if name in old:
            continue
        expect(zlib.adler32(stored) == adler, f'new package file {name:#x} fails its Adler-32')
        contents = zlib.decompress(stored) if packing == 1 else stored
        multi_id, count = struct.unpack_from('<II', contents)
        expect(name == uop_hash(multi_file_name(multi_id))
               and len(contents) == full == 8 + 14 * count,
               f'new package file {name:#x} is not multi {multi_id:X} as written')
        tiles = [struct.unpack_from('<HhhhH', contents, 8 + 14 * i) for i in range(count)]
        description = template_named(world, [t[:4] + (1 - t[4],) for t in tiles], patched)
        expect(description, f'new package multi {multi_id:X} is no whole patched template')
        new.append((multi_id, description))
    return new


def verify(world, before, patched=(), multis=(0, 0), exact=False):
    """The library whole, and the game files as before or with whole new multis of the patched
    templates: from multis[0] to multis[1] new ones in multi.idx and in the package. exact:
    every game file byte for byte as before. Returns the snapshot after and the new multis."""
    after = Snapshot(world)
    if exact:
        for name, raw in before.files.items():
            expect(after.files[name] == raw, f'{name} was changed')
    in_mul = new_mul_multis(world, before, after, patched)
    in_package = new_package_multis(world, before, after, patched)
    for where, new in (('multi.idx', in_mul), ('MultiCollection.uop', in_package)):
        expect(multis[0] <= len(new) <= multis[1],
               f'{len(new)} new multis in {where}, expected {multis[0]} to {multis[1]}: {new}')
    return after, in_mul, in_package


def expect_stored(before, after, added, what):
    """The library holds what it held before and the templates added, {id: description}."""
    expect(after.templates == {**before.templates, **added},
           f'{what}: the library holds {after.templates}, expected {added} more')
    if not added:
        expect(after.filing == before.filing, f'{what}: a category or subsection was stored')


def expect_failed(done, what, message=None):
    expect(done.returncode == 1, f'{what}: exit status {done.returncode}, expected 1: '
                                 f'{done.stderr}')
    expect(done.stderr.strip(), f'{what}: failed without a message')
    expect(not message or message in done.stderr, f'{what}: "{message}" not in: {done.stderr}')


def expect_succeeded(done, what):
    expect(done.returncode == 0, f'{what}: exit status {done.returncode}: {done.stderr}')


def expect_nothing_left(world, before, what):
    """No temporary file (`<file>.XXXXXX`, a journal) and no partial backup left behind."""
    for name in sorted(set(os.listdir(world.dir)) - before.names):
        backup = re.fullmatch(r'(.+)\.\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d(-\d+)?\.bak', name)
        if name == LOCK_FILE or backup and before.files.get(backup.group(1)) == read(
                world.path(name)):
            continue
        raise Failure(f'{what}: {name} was left behind')


# --- Scenarios ---------------------------------------------------------------------------------

def full_disk(world):
    """An import, an export and patches that write past a file-size limit fail whole."""
    tower = world.store('tower', 30)
    world.source('keep', 20000)
    before = Snapshot(world)
    library = os.path.getsize(world.db)
    for limit in (library, library + 64 * 1024, library + 512 * 1024):
        what = f'import past {limit} bytes'
        expect_failed(run(world.cli_import('keep'), limit), what)
        expect_stored(before, verify(world, before)[0], {}, what)
        expect_nothing_left(world, before, what)
    exported = world.path('tower.KivT')
    expect_failed(run([CLI, 'export', '--db', world.db, str(tower), exported], 256), 'export',
                  exported)
    expect_nothing_left(world, before, 'export')

    sizes = {name: len(raw) for name, raw in before.files.items()}
    expect(sizes['multi.mul'] > sizes['MultiCollection.uop'] + 1024,
           'multi.mul must be larger than the new package')
    patches = {  # where the write fails -> the limit, and whether the package is patched too
        'the backup of multi.mul': (sizes['multi.idx'] + 24, False),
        'the records in multi.mul': (sizes['multi.mul'] + 24, False),
        'the new package': (sizes['MultiCollection.uop'] + 24, True),
        'the records, the new package prepared': (sizes['multi.mul'] + 24, True),
    }
    for what, (limit, package) in patches.items():
        what = 'patch failing at ' + what
        expect_failed(run(world.cli_patch(tower, package=package), limit), what)
        verify(world, before, ['tower'])
        expect_nothing_left(world, before, what)


def killed(world):
    """kill -9 inside an import's transaction and at each progress call of a patch."""
    world.source('keep', 20000)
    before = Snapshot(world)
    done = run(world.driver_import('keep', ['--kill-at', '1']))
    expect(done.returncode == -signal.SIGKILL, f'import not killed in its transaction: {done}')
    again = run(world.cli_import('keep'))  # finds what the killed one left of its transaction
    expect_succeeded(again, 'import after the kill')
    expect_stored(before, verify(world, before)[0], {int(again.stdout): 'keep'}, 'import')

    tower = world.store('tower', 30)
    # At call 1 nothing is written; at call 2 the records are, not the entry; at call 3
    # multi.idx / multi.mul are patched and the package is not replaced yet.
    for call, new in ((1, (0, 0)), (2, (0, 0)), (3, (1, 0))):
        before = Snapshot(world)
        done = run(world.driver_patch(tower, ['--kill-at', str(call)]))
        expect(done.returncode == -signal.SIGKILL, f'patch not killed at call {call}: {done}')
        _, in_mul, in_package = verify(world, before, ['tower'], (0, 1))
        expect((len(in_mul), len(in_package)) == new,
               f'patch killed at call {call}: {len(in_mul)} new multis in multi.idx and '
               f'{len(in_package)} in the package, expected {new[0]} and {new[1]}')
    before = Snapshot(world)
    done = run(world.cli_patch(tower, '--no-backup'))  # the killed patches' locks are gone
    expect_succeeded(done, 'patch after the kills')
    verify(world, before, ['tower'], (1, 1))


def killed_save(world):
    """kill -9 while a template of 100,000 components is saved in place: it stays whole, the
    old one until a save ends, the new one after."""
    house = world.store('house', 100000)
    save = [DRIVER, 'save', '--db', world.db, '--id', str(house)]
    # Call 1 comes before the first rows are rewritten, call 8 after 1,792 of them, call 64
    # after 16,128 (the driver's calls come every 256 components).
    for call in (1, 8, 64):
        before = Snapshot(world)
        done = run(save + ['--kill-at', str(call)])
        expect(done.returncode == -signal.SIGKILL, f'save not killed at call {call}: {done}')
        expect_stored(before, verify(world, before, exact=True)[0], {}, f'save killed at {call}')
    before = Snapshot(world)
    expect_succeeded(run(save), 'save after the kills')  # finds what the killed ones left
    world.templates['house'] = [(i, x + 1, y, z, f) for i, x, y, z, f in world.templates['house']]
    expect_stored(before, verify(world, before, exact=True)[0], {}, 'the save')


def two_imports(world):
    """A second import waits for the first one's transaction to end."""
    world.source('keep', 20000)
    world.source('hall', 2000)
    before = Snapshot(world)
    first = start(world.driver_import('keep', ['--stop-at', '1']))
    wait_until_stopped(first, 'the first import')
    second = start(world.cli_import('hall'))
    time.sleep(1)
    os.kill(first.pid, signal.SIGCONT)
    first, second = finish(first), finish(second)
    expect_succeeded(first, 'the first import')
    expect_succeeded(second, 'the second import')
    expect_stored(before, verify(world, before)[0],
                  {int(first.stdout): 'keep', int(second.stdout): 'hall'}, 'both imports')


def two_patches(world, hold):
    """A second patch waits for the first one's lock, and gives up after 5 seconds of it."""
    tower, gate = world.store('tower', 30), world.store('gate', 45)
    before = Snapshot(world)
    first = start(world.driver_patch(tower, ['--stop-at', '1']))
    wait_until_stopped(first, 'the first patch')
    second = start(world.cli_patch(gate, '--no-backup'))
    if hold:
        second = finish(second)  # the first one still holds the lock
        expect_failed(second, 'the second patch', 'Another patch of these game files is running')
        verify(world, before, exact=True)
    else:
        time.sleep(1)
    os.kill(first.pid, signal.SIGCONT)
    first = finish(first)
    expect_succeeded(first, 'the first patch')
    if hold:
        verify(world, before, ['tower'], (1, 1))
        return
    second = finish(second)
    expect_succeeded(second, 'the second patch')
    _, in_mul, _ = verify(world, before, ['tower', 'gate'], (2, 2))
    expect(sorted(in_mul) == sorted([(patched_entry(first), 'tower'),
                                     (patched_entry(second), 'gate')]),
           f'the two patches must fill an entry each, as they printed: {in_mul}')


def two_patches_at_once(world):
    two_patches(world, hold=False)


def second_patch_gives_up(world):
    two_patches(world, hold=True)


def patches_through_links(world):
    """Six patches at once, half of them through a second folder of hard links to the same game
    files: each gets an entry of its own, and each entry holds the multi it printed."""
    linked = world.path('linked')
    os.mkdir(linked)
    for path in (world.idx, world.mul):
        os.link(path, os.path.join(linked, os.path.basename(path)))
    names = [f'house{n}' for n in range(6)]
    ids = {name: world.store(name, 20 + n) for n, name in enumerate(names)}
    before = Snapshot(world)
    patches = []
    for n, name in enumerate(names):
        args = world.cli_patch(ids[name], '--no-backup', package=False)
        if n % 2:
            args[args.index(world.idx)] = os.path.join(linked, 'multi.idx')
            args[args.index(world.mul)] = os.path.join(linked, 'multi.mul')
        patches.append((name, start(args)))
    done = [(name, finish(process)) for name, process in patches]
    for name, result in done:
        expect_succeeded(result, f'the patch of {name}')
    _, in_mul, _ = verify(world, before, names, (0, 6))
    expect(sorted(in_mul) == sorted((patched_entry(result), name) for name, result in done),
           f'six patches must fill an entry each, as they printed: {in_mul}')


def read_only_game_files(world):
    """A game file that may not be written stops the patch before anything is written."""
    tower = world.store('tower', 30)
    for path in (world.idx, world.mul, world.uop):
        before = Snapshot(world)
        if not world.make_read_only(path):
            return 'skipped: the file system refuses chattr +i'
        try:
            done = run(world.cli_patch(tower, '--no-backup'))
        finally:
            world.make_writable()
        expect_failed(done, f'patch with {os.path.basename(path)} read-only')
        verify(world, before, exact=True)


def locked_library(world):
    """An import waits out another writer's lock for up to 3 seconds, and no longer."""
    world.source('keep', 200)
    world.source('hall', 200)
    before = Snapshot(world)
    with closing(sqlite3.connect(world.db, isolation_level=None)) as holder:
        holder.execute('begin exclusive')
        done = run(world.cli_import('keep'))  # takes the 3 seconds
        holder.execute('rollback')
    expect_failed(done, 'import while the library stays locked', 'is busy')
    expect_stored(before, verify(world, before)[0], {}, 'import while the library stays locked')

    with closing(sqlite3.connect(world.db, isolation_level=None)) as holder:
        holder.execute('begin exclusive')
        waiting = start(world.cli_import('hall'))
        time.sleep(1)
        holder.execute('commit')
    done = finish(waiting)
    expect_succeeded(done, 'import after a short lock')
    expect_stored(before, verify(world, before)[0], {int(done.stdout): 'hall'},
                  'import after a short lock')


def damaged_index(world):
    """An entry in use that does not fit multi.mul stops the patch, which names the entry."""
    tower = world.store('tower', 30)
    good = read(world.idx)
    mul_size = os.path.getsize(world.mul)
    damages = {  # entry -> its damaged Lookup and Length, and the record size to patch with
        4: ((mul_size - 60, 120), []),  # past the end of multi.mul
        2: ((12 * 51, 12 * 61 + 6), []),  # half a record too long
        5: ((0, 12 * 10 + 6), ['--record-size', '12']),
    }
    for slot, (entry, options) in damages.items():
        at = (slot - 1) * ENTRY.size
        with open(world.idx, 'wb') as out:
            out.write(good[:at] + ENTRY.pack(*entry, 0) + good[at + ENTRY.size:])
        before = Snapshot(world)
        expect_failed(run(world.cli_patch(tower, '--no-backup', *options)),
                      f'patch with entry {slot} damaged', f'entry {slot} ')
        verify(world, before, exact=True)


SCENARIOS = [
    ('1 full disk', full_disk),
    ('2 kill -9', killed),
    ('2b kill -9 during a save', killed_save),
    ('3 two imports at once', two_imports),
    ('4a two patches at once', two_patches_at_once),
    ('4b a second patch gives up', second_patch_gives_up),
    ('4c patches at once through hard links', patches_through_links),
    ('5a read-only game files', read_only_game_files),
    ('5b locked library', locked_library),
    ('6 damaged multi.idx', damaged_index),
]


def isolate_settings():
    """Every program run here gets a home of its own, so that none reads or writes the settings
    or the library of the user who runs the test."""
    home = tempfile.mkdtemp(prefix='reliability-home-')
    for variable, folder in (('HOME', home), ('XDG_CONFIG_HOME', f'{home}/config'),
                             ('XDG_DATA_HOME', f'{home}/data')):
        os.environ[variable] = folder
    return home


def main():
    failed = 0
    started = time.monotonic()
    home = isolate_settings()
    for name, scenario in SCENARIOS:
        world = World(re.sub(r'\W+', '-', name))
        began = time.monotonic()
        try:
            note = scenario(world)
            print(f'ok    {name} ({time.monotonic() - began:.1f} s){": " + note if note else ""}')
        except Failure as failure:
            failed += 1
            print(f'FAIL  {name}: {failure}')
        except Exception as error:  # a crash of the script itself still names the scenario
            failed += 1
            print(f'FAIL  {name}: {type(error).__name__}: {error}')
        finally:
            end_started()
            if os.environ.get('RELIABILITY_KEEP'):
                print(f'      kept {world.dir}')
            else:
                world.remove()
        sys.stdout.flush()
    shutil.rmtree(home, ignore_errors=True)
    print(f'{len(SCENARIOS) - failed} of {len(SCENARIOS)} scenarios passed in '
          f'{time.monotonic() - started:.1f} s')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
