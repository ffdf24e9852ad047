#!/usr/bin/env python3
"""Runs tovrik-find and the peer duplicate finders on the benchmark corpora,
checks that they agree, and prints a table of medians.

Usage: run_bench.py TOVRIK_FIND CORPUS_ROOT --measure LAUNCHER [--quick] [--runs N] [--cold-runs N]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PEERS = ["jdupes", "fdupes", "rdfind", "rmlint", "duff"]
DROP_CACHES = "/proc/sys/vm/drop_caches"


# --- how each tool is run and how its answer is read -------------------------

def tool_command(tool, tovrik, folder, scratch):
    if tool == "tovrik-find":
        return [tovrik, folder]
    if tool == "jdupes":
        return ["jdupes", "-r", "-q", folder]
    if tool == "fdupes":
        return ["fdupes", "-r", "-q", folder]
    if tool == "rdfind":
        return ["rdfind", "-dryrun", "true", "-outputname", os.path.join(scratch, "rdfind.txt"), folder]
    if tool == "rmlint":
        return ["rmlint", "-T", "df", "-o", "fdupes", folder]
    if tool == "duff":
        return ["duff", "-r", "-q", "-f", "#", folder]
    raise ValueError(tool)


def blank_line_groups(lines):
    groups, current = [], []
    for line in lines:
        if line.strip() == "":
            if current:
                groups.append(current)
            current = []
        else:
            current.append(line)
    if current:
        groups.append(current)
    return groups


def parse_output(tool, stdout_text, scratch):
    lines = stdout_text.splitlines()
    if tool == "tovrik-find":
        groups = []
        for line in lines:
            if line.startswith("No."):
                groups.append([])
            elif line.startswith("\t"):
                groups[-1].append(line[1:])
        return groups
    if tool in ("jdupes", "fdupes", "rmlint"):
        return blank_line_groups(lines)
    if tool == "duff":
        return blank_line_groups("" if line == "#" else line for line in lines)
    if tool == "rdfind":
        by_id = {}
        with open(os.path.join(scratch, "rdfind.txt")) as results:
            for line in results:
                if line.startswith("#"):
                    continue
                fields = line.rstrip("\n").split(" ", 7)
                by_id.setdefault(abs(int(fields[1])), []).append(fields[7])
        return list(by_id.values())
    raise ValueError(tool)


def normalise(groups, folder, keep_empty):
    """Relative paths; hidden paths and (unless kept) empty files left out,
    since the tools disagree on those by design."""
    result = set()
    for group in groups:
        members = set()
        for path in group:
            relative = os.path.relpath(path, folder)
            if any(part.startswith(".") for part in relative.split(os.sep)):
                continue
            if not keep_empty and os.path.getsize(path) == 0:
                continue
            members.add(relative)
        if len(members) >= 2:
            result.add(frozenset(members))
    return result


# --- measurement -------------------------------------------------------------

def drop_caches():
    try:
        subprocess.run(["sync"], check=True)
        with open(DROP_CACHES, "w") as control:
            control.write("3\n")
        return True
    except OSError:
        return False


def can_drop_caches():
    return os.access(DROP_CACHES, os.W_OK) and drop_caches()


def measure(command, cwd, launcher, keep_output=True):
    """Wall and CPU seconds, peak resident MiB, bytes read through read
    calls and from storage, and the standard output, as the small launcher
    measures them."""
    output = os.path.join(cwd, "stdout.txt") if keep_output else "/dev/null"
    done = subprocess.run([launcher, output] + command, cwd=cwd, capture_output=True, text=True, check=True)
    wall, cpu, rss_kib, rchar, disk, code = done.stdout.split()
    text = ""
    if keep_output:
        with open(output, encoding="utf-8", errors="surrogateescape") as out:
            text = out.read()
    return {"wall": float(wall), "cpu": float(cpu), "rss": int(rss_kib) / 1024.0, "rchar": int(rchar),
            "disk": int(disk), "stdout": text, "code": int(code)}


def floor_command(corpus_root, name, scratch):
    """cat over exactly the files in duplicate groups, as one list."""
    with open(os.path.join(corpus_root, name + ".answer.json")) as answer:
        groups = json.load(answer)["groups"]
    listing = os.path.join(scratch, name + ".floor")
    with open(listing, "wb") as out:
        for group in groups:
            for relative in group:
                out.write(os.path.join(corpus_root, name, relative).encode() + b"\0")
    return ["xargs", "-0", "-a", listing, "cat"]


# --- one corpus --------------------------------------------------------------

def run_corpus(name, tools, args, cold, scratch):
    folder = os.path.join(args.corpus_root, name)
    with open(os.path.join(args.corpus_root, name + ".answer.json")) as answer:
        expected = {frozenset(group) for group in json.load(answer)["groups"]}
    expected_no_empty = {g for g in expected if os.path.getsize(os.path.join(folder, next(iter(g)))) > 0}
    runs = args.cold_runs if cold else args.runs
    floor = floor_command(args.corpus_root, name, scratch)
    if not cold:
        subprocess.run(["find", folder, "-type", "f", "-exec", "cat", "{}", "+"], stdout=subprocess.DEVNULL)
    samples = {tool: [] for tool in tools + ["floor (cat)"]}
    verdicts = {}
    for _ in range(runs):
        for tool in tools + ["floor (cat)"]:
            if cold:
                drop_caches()
            command = floor if tool == "floor (cat)" else tool_command(tool, args.tovrik, folder, scratch)
            sample = measure(command, scratch, args.measure, keep_output=tool != "floor (cat)")
            samples[tool].append(sample)
            if tool == "floor (cat)" or tool in verdicts:
                continue
            found = parse_output(tool, sample["stdout"], scratch)
            if tool == "tovrik-find":
                verdicts[tool] = "exact" if normalise(found, folder, True) == expected else "DIFFERS"
            else:
                verdicts[tool] = "same" if normalise(found, folder, False) == expected_no_empty else "DIFFERS"
    return summarise(name, "cold" if cold else "warm", samples, verdicts)


def summarise(name, mode, samples, verdicts):
    rows = {}
    for tool, runs in samples.items():
        if not runs:
            continue
        rows[tool] = {key: statistics.median(run[key] for run in runs) for key in ("wall", "cpu", "rss", "rchar", "disk")}
        rows[tool]["verdict"] = verdicts.get(tool, "")
    peers = [t for t in rows if t in PEERS]
    fastest = min(peers, key=lambda t: rows[t]["wall"]) if peers else None
    return {"corpus": name, "mode": mode, "rows": rows, "fastest": fastest}


def print_table(result, out=sys.stdout):
    rows, fastest = result["rows"], result["fastest"]
    floor = rows.get("floor (cat)", {}).get("wall")
    print("\n%s, %s cache (medians)" % (result["corpus"], result["mode"]), file=out)
    print("%-12s %9s %9s %9s %10s %10s %11s %9s  %s" % ("tool", "wall s", "cpu s", "peak MiB", "read MB",
                                                          "disk MB", "/fastest", "/floor", "sets"), file=out)
    for tool, row in rows.items():
        vs_fastest = "%.2f" % (row["wall"] / rows[fastest]["wall"]) if fastest else "-"
        vs_floor = "%.2f" % (row["wall"] / floor) if floor else "-"
        print("%-12s %9.3f %9.3f %9.1f %10.1f %10.1f %11s %9s  %s" % (
            tool, row["wall"], row["cpu"], row["rss"], row["rchar"] / 1e6, row["disk"] / 1e6,
            vs_fastest, vs_floor, row["verdict"]), file=out)
    if fastest:
        print("fastest peer: %s" % fastest, file=out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tovrik")
    parser.add_argument("corpus_root")
    parser.add_argument("--measure", required=True, help="the measuring launcher built from measure.cpp")
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--runs", type=int, default=None)
    parser.add_argument("--cold-runs", type=int, default=None)
    parser.add_argument("--json", default=None, help="also write the results here")
    args = parser.parse_args()
    args.runs = args.runs or (3 if args.quick else 5)
    args.cold_runs = args.cold_runs if args.cold_runs is not None else (1 if args.quick else 3)

    peers = [p for p in PEERS if shutil.which(p)]
    missing = [p for p in PEERS if p not in peers]
    if missing:
        print("peers not installed, left out: %s" % " ".join(missing))
    all_tools = ["tovrik-find"] + peers
    # fdupes and duff compare in ways that make the bucket and big-tree
    # series take minutes; they run on the mixed tree and the small series.
    series_buckets = ["bucket1000", "bucket2000"] + ([] if args.quick else ["bucket4000"])
    series_trees = ["tree50k", "tree100k"] + ([] if args.quick else ["tree200k"])

    scratch = tempfile.mkdtemp(prefix="tovrik-bench-")
    results = []
    try:
        results.append(run_corpus("mixed", all_tools, args, False, scratch))
        print_table(results[-1])
        if args.cold_runs > 0:
            if can_drop_caches():
                results.append(run_corpus("mixed", all_tools, args, True, scratch))
                print_table(results[-1])
            else:
                print("\ncold cache: not measured, this machine does not let us drop the page cache")
        series_args = argparse.Namespace(**vars(args))
        series_args.runs = max(1, args.runs - 2)
        for name in series_buckets + series_trees:
            results.append(run_corpus(name, all_tools, series_args, False, scratch))
            print_table(results[-1])
        print_scaling(results)
        if args.json:
            with open(args.json, "w") as out:
                json.dump(results, out, indent=1)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    failed = [r for r in results for t, row in r["rows"].items() if row["verdict"] == "DIFFERS"]
    return 1 if failed else 0


def print_scaling(results):
    by_name = {r["corpus"]: r["rows"] for r in results if r["mode"] == "warm"}
    print("\nscaling of tovrik-find (warm cache):")
    for small, large in (("bucket1000", "bucket2000"), ("bucket2000", "bucket4000"),
                         ("tree50k", "tree100k"), ("tree100k", "tree200k")):
        if small in by_name and large in by_name:
            a, b = by_name[small]["tovrik-find"], by_name[large]["tovrik-find"]
            print("  %-10s -> %-10s time x%.2f  cpu x%.2f  memory x%.2f" % (
                small, large, b["wall"] / a["wall"], b["cpu"] / max(a["cpu"], 1e-9), b["rss"] / a["rss"]))
    for name in ("tree200k", "tree100k"):
        if name in by_name:
            rows = by_name[name]
            peers = [t for t in rows if t in PEERS]
            if peers:
                leanest = min(peers, key=lambda t: rows[t]["rss"])
                print("  %s peak memory: tovrik-find %.1f MiB, leanest peer %s %.1f MiB, ratio %.2f" % (
                    name, rows["tovrik-find"]["rss"], leanest, rows[leanest]["rss"],
                    rows["tovrik-find"]["rss"] / rows[leanest]["rss"]))
            break


if __name__ == "__main__":
    sys.exit(main())
