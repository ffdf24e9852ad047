#!/usr/bin/env python3
"""Checks tovrik-find against an independent answer: every file of a
generated tree hashed, grouped by contents and size. Also checks usage
errors and Ctrl+C. Usage: check_tovrik_find.py WORKDIR COMMAND... (the
command that runs tovrik-find, e.g. the native binary or a Wine wrapper and
the .exe). With --windows, folders are passed as Wine's Z: paths."""

import csv
import io
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from duplicate_oracle import expected_groups  # noqa: E402

LABEL = re.compile(r"^No\.(\d+)  \(([\d,]+) byte\)$")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def make_tree(root, rng):
    """Hundreds of groups among unique files, nested folders and dot names."""
    sizes = [0, 1, 1023, 1024, 2048, 2049, 10240, 10241] + [rng.randrange(1, 200000) for _ in range(300)]
    for number, size in enumerate(sizes):
        contents = rng.randbytes(size)
        copies = rng.choice([1, 2, 2, 3, 5])
        for copy in range(copies):
            folder = os.path.join(root, "d%d" % rng.randrange(12), "e%d" % rng.randrange(3))
            write(os.path.join(folder, "f%d_%d.bin" % (number, copy)), contents)
        if size > 0 and rng.random() < 0.3:
            twin = bytearray(contents)
            twin[-1] ^= 0xFF  # same size, differs only in the last byte
            write(os.path.join(root, "near", "n%d.bin" % number), bytes(twin))
    write(os.path.join(root, ".hidden", "skipped.bin"), b"same")
    write(os.path.join(root, "d0", ".dotfile"), b"same")
    write(os.path.join(root, "d0", "visible1"), b"same")
    write(os.path.join(root, "d1", "visible2"), b"same")
    # For the CSV: a name that needs quoting (Windows names hold no double
    # quote), and one beyond ASCII.
    write(os.path.join(root, "quoted", "hello, twice"), b"quoted twin")
    write(os.path.join(root, "quoted", "\u8868\u793a.txt"), b"quoted twin")
    # Names code page 932 cannot hold are printed by their real names.
    write(os.path.join(root, "unicode", "caf\u00e9.txt"), b"real names")
    write(os.path.join(root, "unicode", "\u00c9lodie", "\U0001F600.txt"), b"real names")


def to_tool_path(path, windows):
    return "Z:" + path.replace("/", "\\") if windows else path


def from_tool_path(path, root, windows):
    if windows:
        path = path[2:].replace("\\", "/")
    return os.path.relpath(path, root)


def run(command, workdir, name, args):
    """Runs with output in files: Wine's background processes may hold pipes."""
    out_path = os.path.join(workdir, name + ".out")
    err_path = os.path.join(workdir, name + ".err")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        code = subprocess.call(command + args, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
    return code, open(out_path, "rb").read(), open(err_path, "rb").read().decode("latin-1")


def parse_groups(output, root, windows):
    """Groups of the default output, whose paths are UTF-8 (natively the
    file system's bytes, which are UTF-8 here)."""
    groups = []
    for line in output.decode("utf-8", "surrogateescape").splitlines():
        match = LABEL.match(line)
        if match:
            assert int(match.group(1)) == len(groups), "group numbers must rise from 0 without gaps: " + line
            groups.append((int(match.group(2).replace(",", "")), []))
        else:
            assert line.startswith("\t") and groups, "unexpected line: %r" % line
            groups[-1][1].append(from_tool_path(line[1:], root, windows))
    return groups


def check(condition, message):
    if not condition:
        print("FAIL: " + message)
        sys.exit(1)


def main():
    args = sys.argv[1:]
    windows = args[0] == "--windows"
    if windows:
        args = args[1:]
    workdir, command = os.path.abspath(args[0]), args[1:]
    root = os.path.join(workdir, "tree")
    # Made afresh, so that a tree left by an older version of this check
    # never stands in for the one described here.
    shutil.rmtree(root, ignore_errors=True)
    make_tree(root, random.Random(20091009))

    code, output, errors = run(command, workdir, "full", [to_tool_path(root, windows)])
    check(code == 0, "exit code %d, stderr %s" % (code, errors))
    groups = parse_groups(output, root, windows)
    found = {(size, frozenset(paths)) for size, paths in groups}
    expected = expected_groups(root)
    check(len(groups) == len(found), "a group is listed twice")
    check(found == expected, "groups differ from the hashes: %d missing, %d extra"
          % (len(expected - found), len(found - expected)))
    check(len(groups) >= 200, "the tree should hold hundreds of groups, has %d" % len(groups))
    summary = errors.strip().splitlines()[-1]
    files_in_groups = sum(len(paths) for _, paths in groups)
    check(re.match(r"^%d groups, %d files in groups, \d+ files catalogued, [\d.]+ s$" % (len(groups), files_in_groups),
                   summary), "summary line: " + summary)
    print("%d groups agree with the hashes" % len(groups))

    code, output, errors = run(command, workdir, "csv", ["--csv", to_tool_path(root, windows)])
    check(code == 0, "--csv: exit code %d, stderr %s" % (code, errors))
    check(not output.startswith(b"\xef\xbb\xbf"), "--csv output carries no byte-order mark")
    check(output.endswith(b"\r\n"), "--csv lines end in CR LF")
    rows = list(csv.reader(io.StringIO(output.decode("utf-8"), newline="")))
    check(all(len(row) == 4 for row in rows), "every CSV line has group,size,path,first")
    csv_groups = {}
    for number, size, path, first in rows:
        members = csv_groups.setdefault(int(number), (int(size), []))[1]
        check(first == ("0" if members else "1"), "only each group's first line has first=1")
        members.append(from_tool_path(path, root, windows))
    check(sorted(csv_groups) == list(range(len(groups))), "CSV group numbers are those of the labels")
    # Group numbers follow the order in which workers finish, which differs
    # between runs; each group's members keep their order.
    check({(size, tuple(paths)) for size, paths in csv_groups.values()} == {(size, tuple(paths)) for size, paths in groups},
          "the CSV lists the same groups, each in the same order")
    check(any("\u8868\u793a.txt" in path for _, paths in groups for path in paths), "the Japanese name is found")
    check(("unicode/caf\u00e9.txt", "unicode/\u00c9lodie/\U0001F600.txt") in
          {tuple(sorted(paths)) for _, paths in groups}, "names outside code page 932 are found by their real names")

    code, _, errors = run(command, workdir, "missing", [to_tool_path(os.path.join(workdir, "no-such-folder"), windows)])
    check(code != 0 and "cannot read folder" in errors, "a missing folder must fail clearly: %d %s" % (code, errors))
    code, _, _ = run(command, workdir, "usage", [])
    check(code != 0, "no argument must fail")
    code, output, _ = run(command, workdir, "help", ["--help"])
    check(code == 0 and b"Usage" in output, "--help must explain usage")

    if not windows:
        check_interrupt(command, workdir)
    print("PASS")


def check_interrupt(command, workdir):
    """Ctrl+C mid-run: the groups found so far are printed, exit code 130."""
    root = os.path.join(workdir, "slow")
    os.makedirs(root, exist_ok=True)
    write(os.path.join(root, "a", "small1"), b"tiny")
    write(os.path.join(root, "a", "small2"), b"tiny")
    for index in range(4):  # sparse: gigabytes to compare, no disk spent
        with open(os.path.join(root, "big%d" % index), "wb") as big:
            big.truncate(1 << 31)
    out_path = os.path.join(workdir, "interrupt.out")
    with open(out_path, "wb") as out, open(os.devnull, "wb") as err:
        process = subprocess.Popen(command + [root], stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        time.sleep(0.5)
        process.send_signal(signal.SIGINT)
        code = process.wait(timeout=60)
    check(code == 130, "Ctrl+C must end with 130, got %d" % code)
    groups = parse_groups(open(out_path, "rb").read(), root, False)
    check(all(len(paths) >= 2 for _, paths in groups), "every printed group has two members")
    check((4, ["a/small1", "a/small2"]) in [(size, sorted(paths)) for size, paths in groups],
          "the group completed before the stop is printed")


if __name__ == "__main__":
    main()
