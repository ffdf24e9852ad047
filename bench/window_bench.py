#!/usr/bin/env python3
"""The window's benchmark: runs the real Tovrik.exe under Wine on corpora of
bench/make_corpus.py, driven through the end-to-end agent, beside
tovrik-find.exe on the same folder under the same Wine, and prints medians.

Usage: window_bench.py BUILD_WIN CORPUS_ROOT [--rounds N] [--quick] [--corpus NAME ...]
(bench/window.sh prepares the build, the corpora, the display and Wine.)
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from harness import IDOK, Tovrik, cp932, end_leftover_programs, wait_until, wine_path  # noqa: E402

SELECT_FOLDER, RUN, FILE_INFORMATION = 32771, 32774, 32781
FINISHED = cp932("処理終了")
SECONDS_IN_BOX = re.compile(rb"\[(\d+\.\d+)\]")
TVM_EXPAND, TVM_GETNEXTITEM, TVM_SELECTITEM = 0x1102, 0x110A, 0x110B
TVE_EXPAND, TVGN_ROOT, TVGN_CHILD, TVGN_CARET = 2, 0, 4, 9
UNTOUCHED, TOUCHED = "window, untouched", "window, expanded, selected, info open"


# --- tovrik-find.exe -----------------------------------------------------------

def groups_from_listing(lines):
    """[(label, [paths])] from tovrik-find's output."""
    groups = []
    for line in lines:
        if line.startswith(b"\t"):
            groups[-1][1].append(line[1:])
        elif line:
            groups.append((line, []))
    return groups


def find_run(tovrik_find, folder):
    """Wall seconds of the process, the seconds it reports itself, its groups
    and its summary line."""
    started = time.monotonic()
    done = subprocess.run(["wine", wine_path(tovrik_find), wine_path(folder)], capture_output=True, check=True,
                          stdin=subprocess.DEVNULL)
    wall = time.monotonic() - started
    summary = done.stderr.decode("ascii", "replace").strip().splitlines()[-1]
    return wall, float(summary.split()[-2]), groups_from_listing(done.stdout.splitlines()), summary


# --- the window ----------------------------------------------------------------

BLANK_SHOTS, SHOT_INTERVAL = 50, 0.3


def all_white(x, y, width, height):
    """Whether the screen's rectangle is white throughout (ImageMagick's
    import, as a binary PPM)."""
    shot = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage",
                           "ppm:-"], capture_output=True, check=True, stdin=subprocess.DEVNULL).stdout
    # P6, width, height, maximum, one whitespace byte each, then the pixels.
    pixels = shot.split(b"\n", 3)[3]
    return pixels.count(b"\xff") == len(pixels)


def count_blank_frames(client, done, found):
    """Screenshots of the tree's client area, every 0.3 s while the run goes
    on; how many showed it all white although it holds groups."""
    left, top, right, bottom, x, y = client
    for _ in range(BLANK_SHOTS):
        if done.wait(SHOT_INTERVAL):
            break
        found.append(all_white(x, y, right - left, bottom - top))


def final_box(app):
    boxes = [box for box in app.message_boxes() if box.caption == FINISHED]
    return boxes[0] if boxes else None


def window_run(app_folder, folder, touched, listed):
    """One run in a fresh process: the seconds of its final box, the longest
    wait of a message to the tree during the run, the number of such waits over
    100 ms, the process's peak working set (KiB), the tree's groups and, when
    touched, its blank frames as (blank, screenshots)."""
    app = Tovrik(app_folder).start()
    # A window that holds its tree for minutes still gets measured.
    app.connection.settimeout(1200)
    done, frames, sampler = threading.Event(), [], None
    try:
        wait_until(lambda: app.call("main") != "0", what="the main window")
        app.command(SELECT_FOLDER)
        app.choose_folder(folder)
        tree = app.control_handle(app.main_window(), 2)
        app.probe("start")
        app.command(RUN)
        if touched:
            # As a user would early in a run: open the first group, select its
            # first file and open the file-information window.
            wait_until(lambda: app.tree_count(tree) >= 2, timeout=600, interval=0.02, what="the first group")
            group = app.call("send", tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)
            app.call("send", tree, TVM_EXPAND, TVE_EXPAND, group)
            first_file = app.call("send", tree, TVM_GETNEXTITEM, TVGN_CHILD, group)
            app.call("send", tree, TVM_SELECTITEM, TVGN_CARET, first_file)
            app.command(FILE_INFORMATION)
            sampler = threading.Thread(target=count_blank_frames, args=(app.client(tree), done, frames))
            sampler.start()
        box = wait_until(lambda: final_box(app), timeout=1200, interval=0.5, what="the final box")
        done.set()
        if sampler:
            sampler.join()
        longest, _, slow = app.probe("stop")
        seconds = float(SECONDS_IN_BOX.search(box.message_text()).group(1))
        peak = app.peak_memory_kib()
        groups = app.tree_groups(filled=len(listed) <= WHOLE_CHECK_GROUPS)
        app.click(box.handle, IDOK)
        return seconds, longest, slow, peak, groups, (sum(frames), len(frames))
    finally:
        done.set()
        app.stop()


# Above this many groups only the labels are compared: reading every member
# back from the tree, one message each, would take longer than the run.
WHOLE_CHECK_GROUPS = 20000


def same_contents(tree_groups, listed_groups):
    """Numbered from 0 in order, and the same groups (size text and members in
    order, or for many groups the size texts) as tovrik-find's; the order of
    groups may differ between runs."""
    def numbered(groups):
        return all(label.startswith(b"No.%d  (" % n) for n, (label, _) in enumerate(groups))

    def contents(groups, whole):
        return sorted((label.split(b"(", 1)[1], tuple(paths) if whole else ()) for label, paths in groups)

    whole = len(listed_groups) <= WHOLE_CHECK_GROUPS
    return (numbered(tree_groups) and numbered(listed_groups) and len(tree_groups) == len(listed_groups)
            and contents(tree_groups, whole) == contents(listed_groups, whole))


# --- the programs as they ship ---------------------------------------------------

def shipped_programs(build, scratch):
    """The build's programs stripped as the package strips them: the loader
    copies a file's every section into memory, and the debug information of
    the build folder's Tovrik.exe alone would add some 10 MB to its working
    set."""
    folder = os.path.join(scratch, "programs")
    os.makedirs(folder)
    programs = [os.path.join(build, "bin", name) for name in os.listdir(os.path.join(build, "bin"))
                if name.lower().endswith(".exe")]
    for program in programs + [os.path.join(build, "cli", "tovrik-find.exe")]:
        copy = os.path.join(folder, os.path.basename(program))
        shutil.copy(program, copy)
        subprocess.run([os.environ["TOVRIK_STRIP"], "--strip-all", copy], check=True)
    return folder


# --- one corpus ----------------------------------------------------------------

def run_corpus(name, args, scratch):
    """Rounds of tovrik-find.exe, the untouched window and the touched window,
    in turn, so that the load of the machine weighs on all three alike."""
    folder = os.path.join(args.corpus_root, name)
    tovrik_find = args.tovrik_find
    subprocess.run(["find", folder, "-type", "f", "-exec", "cat", "{}", "+"], stdout=subprocess.DEVNULL)
    finds, runs = [], {UNTOUCHED: [], TOUCHED: []}
    complete = True
    summary = ""
    for round_number in range(args.rounds):
        wall, own, listed, summary = find_run(tovrik_find, folder)
        finds.append((wall, own))
        for variant in (UNTOUCHED, TOUCHED):
            seconds, longest, slow, peak, groups, blank = window_run(os.path.join(scratch, name, "app"), folder,
                                                              variant == TOUCHED, listed)
            runs[variant].append({"seconds": seconds, "longest": longest, "slow": slow, "peak": peak, "blank": blank,
                                  "complete": same_contents(groups, listed)})
            complete = complete and runs[variant][-1]["complete"]
        print("  %s round %d: find %.2f s, window %.2f s, touched %.2f s" % (
            name, round_number + 1, wall, runs[UNTOUCHED][-1]["seconds"], runs[TOUCHED][-1]["seconds"]),
            file=sys.stderr, flush=True)
    return {"name": name, "summary": summary, "rounds": args.rounds, "finds": finds, "runs": runs,
            "complete": complete}


def median_of(values):
    return statistics.median(list(values))


def print_corpus(result):
    finds, runs = result["finds"], result["runs"]
    print("\n%s: %s; medians of %d rounds" % (result["name"], result["summary"], result["rounds"]))
    print("%-38s %7s %7s %9s %11s %8s %9s %9s %7s  %s" % (
        "", "run s", "/find", "/find own", "longest ms", "max ms", "over 100", "peak MiB", "blank", "tree"))
    print("%-38s %7.2f %7s %9s   (its own time %.2f s)" % (
        "tovrik-find.exe, same Wine", median_of(w for w, _ in finds), "1.00", "", median_of(o for _, o in finds)))
    for variant, samples in runs.items():
        # Ratios are taken within a round, then their median.
        blank = [r["blank"] for r in samples]
        print("%-38s %7.2f %7.2f %9.2f %11.1f %8.1f %9d %9.1f %7s  %s" % (
            variant, median_of(r["seconds"] for r in samples),
            median_of(r["seconds"] / f[0] for r, f in zip(samples, finds)),
            median_of(r["seconds"] / f[1] for r, f in zip(samples, finds)),
            median_of(r["longest"] for r in samples), max(r["longest"] for r in samples),
            sum(r["slow"] for r in samples), median_of(r["peak"] for r in samples) / 1024.0,
            "%d/%d" % (sum(b for b, _ in blank), sum(n for _, n in blank)) if any(n for _, n in blank) else "-",
            "every group and item" if all(r["complete"] for r in samples) else "DIFFERS"))
    print("%-38s %7.2f" % ("touched / untouched", median_of(
        t["seconds"] / u["seconds"] for t, u in zip(runs[TOUCHED], runs[UNTOUCHED]))))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", help="the Windows build folder (Tovrik.exe, tovrik-find.exe, the e2e agent)")
    parser.add_argument("corpus_root")
    parser.add_argument("--rounds", type=int, default=None)
    parser.add_argument("--quick", action="store_true", help="3 rounds instead of 5")
    parser.add_argument("--corpus", nargs="+", default=["mixed", "tree50k", "shape200k"])
    args = parser.parse_args()
    args.rounds = args.rounds or (3 if args.quick else 5)
    os.environ.setdefault("TOVRIK_E2E_LAUNCHER", os.path.join(args.build, "tests", "e2e", "e2e_launcher.exe"))
    os.environ.setdefault("TOVRIK_E2E_AGENT", os.path.join(args.build, "tests", "e2e", "tovrik_e2e_agent.dll"))

    end_leftover_programs()
    scratch = tempfile.mkdtemp(prefix="tovrik-window-bench-")
    os.environ.setdefault("TOVRIK_EXE", os.path.join(shipped_programs(args.build, scratch), "Tovrik.exe"))
    args.tovrik_find = os.path.join(os.path.dirname(os.environ["TOVRIK_EXE"]), "tovrik-find.exe")
    results = []
    try:
        for name in args.corpus:
            result = run_corpus(name, args, scratch)
            results.append(result)
            print_corpus(result)
            sys.stdout.flush()
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("\nrun s: the final box's time; /find: over tovrik-find.exe's wall time in the same round (/find own: over "
          "the time it reports for its run); longest ms: the longest wait of a message to the tree, sent every "
          "100 ms from another thread during the run; max ms: the longest of all runs; over 100: how many such "
          "messages waited more than 100 ms, all runs together; peak MiB: the window process's peak working set; blank: "
          "screenshots of the touched run's tree, every 0.3 s, that showed it all white, of those taken.")
    return 0 if all(r["complete"] for r in results) else 1


if __name__ == "__main__":
    sys.exit(main())
