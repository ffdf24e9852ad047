#!/usr/bin/env python3
"""Writes the benchmark's corpora, each with the answer its generator knows.

Every corpus is a folder under the corpus root, with `<name>.answer.json`
beside it: the duplicate sets (relative paths) among the files Tovrik looks
at, i.e. every file with no path component starting with '.', empty files
included. The answer comes from the contents the generator wrote, not from
any tool. Corpora are deterministic (seeded) and reused while their stamp
matches.
"""
import hashlib
import json
import os
import random
import shutil
import sys

STAMP = "tovrik-bench-corpus v2"
KIB = 1024
MIB = 1024 * 1024


class Corpus:
    def __init__(self, root, name, seed):
        self.folder = os.path.join(root, name)
        self.answer_path = os.path.join(root, name + ".answer.json")
        self.random = random.Random(seed)
        self.by_digest = {}
        self.folders = ["."]

    def make_folders(self, count, depth=2):
        self.folders = []
        for i in range(count):
            parts = ["d%02d" % (i % 37)] + ["e%03d" % i][: depth - 1]
            self.folders.append(os.path.join(*parts))

    def place(self, stem):
        return os.path.join(self.random.choice(self.folders), stem)

    def write(self, relative, data):
        path = os.path.join(self.folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
        if not any(part.startswith(".") for part in relative.split(os.sep)):
            digest = hashlib.blake2b(data, digest_size=16).digest()
            self.by_digest.setdefault(digest, []).append(relative)

    def finish(self):
        groups = sorted(sorted(paths) for paths in self.by_digest.values() if len(paths) >= 2)
        with open(self.answer_path, "w") as out:
            json.dump({"stamp": STAMP, "groups": groups}, out)

    def bytes(self, size):
        return self.random.randbytes(size)

    def log_uniform(self, low, high):
        return int(round(low * (high / low) ** self.random.random()))


def distinct_bucket(corpus, count, size, prefix):
    """`count` files of one size that all differ (in their first bytes)."""
    for i in range(count):
        corpus.write(corpus.place("%s%05d.bin" % (prefix, i)), corpus.bytes(size))


def mixed_tree(root):
    c = Corpus(root, "mixed", 1)
    c.make_folders(400)
    n = 0
    # Unique files: random sizes, random contents.
    for i in range(11000):
        c.write(c.place("u%05d.dat" % i), c.bytes(c.log_uniform(10, 64 * KIB)))
    # Duplicate groups of 2 to 10 members.
    for g in range(1500):
        data = c.bytes(c.log_uniform(10, 128 * KIB))
        for m in range(c.random.choice([2, 2, 2, 2, 3, 3, 4, 5, 7, 10])):
            c.write(c.place("g%04d-%d.dat" % (g, m)), data)
    # Large duplicates of 20 to 40 MB.
    for g, (size_mb, members) in enumerate([(20, 2), (26, 3), (33, 2), (40, 2)]):
        data = c.bytes(size_mb * MIB + g * 4099)
        for m in range(members):
            c.write(c.place("large%d-%d.iso" % (g, m)), data)
    # 2,000 distinct files of one size.
    distinct_bucket(c, 2000, 4 * KIB, "same-size")
    # 500 files of 64 KiB equal but for their last 8 bytes; 10 of them twice.
    body = c.bytes(64 * KIB - 8)
    for i in range(500):
        tail = c.bytes(8)
        c.write(c.place("tail%03d.dat" % i), body + tail)
        if i < 10:
            c.write(c.place("tail%03d-copy.dat" % i), body + tail)
    # 200 files of 256 KiB sharing their first 224 KiB; 20 pairs among them.
    prefix = c.bytes(224 * KIB)
    for i in range(180):
        rest = c.bytes(32 * KIB)
        c.write(c.place("prefix%03d.dat" % i), prefix + rest)
        if i < 20:
            c.write(c.place("prefix%03d-copy.dat" % i), prefix + rest)
    # 100 files of 128 KiB whose ends agree and whose middles differ; 10 pairs.
    head, tail = c.bytes(32 * KIB), c.bytes(32 * KIB)
    for i in range(90):
        middle = c.bytes(64 * KIB)
        c.write(c.place("middle%03d.dat" % i), head + middle + tail)
        if i < 10:
            c.write(c.place("middle%03d-copy.dat" % i), head + middle + tail)
    # Empty files, and hidden files and folders that Tovrik skips.
    for i in range(20):
        c.write(c.place("empty%02d" % i), b"")
    for i in range(50):
        c.write(c.place(".hidden%02d" % i), c.bytes(100 + i))
        c.write(os.path.join(".cache", "h%02d" % i), c.bytes(3000))
        c.write(os.path.join("d00", ".hidden-folder", "copy%02d" % i), b"hidden copy %d" % i)
        c.write(c.place("visible-twin%02d" % i), b"hidden copy %d" % i)
    c.finish()


def bucket_series(root, count):
    c = Corpus(root, "bucket%d" % count, 10 + count)
    c.make_folders(20)
    distinct_bucket(c, count, 4 * KIB, "f")
    c.finish()


def small_tree(root, count):
    """`count` small files; one in ten is a copy of a recent one."""
    c = Corpus(root, "tree%dk" % (count // 1000), 20 + count)
    c.make_folders(max(1, count // 100))
    # Copies come from the last few originals, so that the groups look the
    # same whatever the tree's size and the work grows with the file count.
    recent = []
    for i in range(count):
        if recent and i % 10 == 9:
            data = c.random.choice(recent)
        else:
            data = c.bytes(c.log_uniform(10, 16 * KIB))
            recent = (recent + [data])[-20:]
        c.write(c.place("s%06d.txt" % i), data)
    c.finish()


def duplicates_tree(root, groups):
    """`groups` sets of three identical small files: two of each to recycle."""
    c = Corpus(root, "dups%dk" % (2 * groups // 1000), 30 + groups)
    c.make_folders(max(1, groups // 50))
    for g in range(groups):
        data = c.bytes(c.log_uniform(100, 8 * KIB))
        for m in range(3):
            c.write(c.place("g%05d-%d.dat" % (g, m)), data)
    c.finish()


def grouped_tree(root, count, name):
    """`count` files of 1 to 8 KiB in count/200 folders, 30 % of them in
    groups of two or three (about 2.6 members a group). Each file differs
    from every other in its first bytes, so the writing stays quick."""
    c = Corpus(root, name, 40 + count)
    c.make_folders(max(1, count // 200))
    written = 0
    number = 0
    while written < count:
        size = c.random.randint(KIB, 8 * KIB)
        data = c.bytes(16) + bytes(size - 16)
        copies = 1 if c.random.random() < 0.7 / (0.7 + 0.3 / 2.6) else (2 if c.random.random() < 0.4 else 3)
        for m in range(min(copies, count - written)):
            c.write(c.place("w%07d-%d.dat" % (number, m)), data)
            written += 1
        number += 1
    c.finish()


CORPORA = {
    "mixed": mixed_tree,
    "bucket1000": lambda root: bucket_series(root, 1000),
    "bucket2000": lambda root: bucket_series(root, 2000),
    "bucket4000": lambda root: bucket_series(root, 4000),
    "tree50k": lambda root: small_tree(root, 50000),
    "tree100k": lambda root: small_tree(root, 100000),
    "tree200k": lambda root: small_tree(root, 200000),
    "dups20k": lambda root: duplicates_tree(root, 10000),
    "shape200k": lambda root: grouped_tree(root, 200000, "shape200k"),
    # About 6 GB on disk: only on request (bench/window.sh --million).
    "shape1m": lambda root: grouped_tree(root, 1000000, "shape1m"),
}
OPT_IN = {"shape1m"}


def ensure(root, name):
    answer = os.path.join(root, name + ".answer.json")
    try:
        with open(answer) as existing:
            if json.load(existing).get("stamp") == STAMP:
                return
    except (OSError, ValueError):
        pass
    shutil.rmtree(os.path.join(root, name), ignore_errors=True)
    print("writing corpus %s ..." % name, file=sys.stderr, flush=True)
    CORPORA[name](root)


if __name__ == "__main__":
    root = sys.argv[1]
    os.makedirs(root, exist_ok=True)
    for name in sys.argv[2:] or [name for name in CORPORA if name not in OPT_IN]:
        ensure(root, name)
