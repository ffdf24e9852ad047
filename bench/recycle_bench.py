#!/usr/bin/env python3
"""The bulk recycle's benchmark: runs "重複ファイルをまとめてゴミ箱へ移動" in the
real Tovrik.exe under Wine on a fresh copy of the dups20k corpus (10,000
groups of three: 20,000 files to recycle), driven through the end-to-end
agent, and prints medians: the time from Yes to the closing box, the longest
wait of a message to the tree meanwhile, and the closing box's counts; with
--baseline, the same for an older build in alternation, and the ratios.

Usage: recycle_bench.py BUILD_WIN CORPUS_ROOT [--rounds N] [--baseline BUILD_WIN]
(bench/window.sh recycle prepares the build, the corpus, the display and Wine.)
"""
import argparse
import os
import re
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from harness import IDOK, IDYES, Tovrik, cp932, end_leftover_programs, wait_until  # noqa: E402

SELECT_FOLDER, RUN, RECYCLE_ALL = 32771, 32774, 32785
FINISHED, DELETE = cp932("処理終了"), cp932("ファイル削除")
COUNT = re.compile(rb"([\d,]+)")


def finished_box(app):
    boxes = [box for box in app.message_boxes() if box.caption == FINISHED]
    return boxes[0] if boxes else None


def close_box(app, box):
    app.click(box.handle, IDOK)
    wait_until(lambda: not app.visible(box.handle), what="the box to close")


def recycle_run(build, corpus, scratch):
    """One run in a fresh process on a fresh copy: (seconds from Yes to the
    closing box, longest tree wait ms, waits over 100 ms, the box's counts,
    files left on disk)."""
    folder = os.path.join(scratch, "tree")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(corpus, folder)
    os.environ["TOVRIK_EXE"] = os.path.join(build, "bin", "Tovrik.exe")
    os.environ["TOVRIK_E2E_LAUNCHER"] = os.path.join(build, "tests", "e2e", "e2e_launcher.exe")
    os.environ["TOVRIK_E2E_AGENT"] = os.path.join(build, "tests", "e2e", "tovrik_e2e_agent.dll")
    app = Tovrik(os.path.join(scratch, "app-" + os.path.basename(os.path.normpath(build)))).start()
    app.connection.settimeout(1200)
    try:
        wait_until(lambda: app.call("main") != "0", what="the main window")
        app.command(SELECT_FOLDER)
        app.choose_folder(folder)
        app.command(RUN)
        close_box(app, wait_until(lambda: finished_box(app), timeout=600, interval=0.2, what="the run's box"))
        app.command(RECYCLE_ALL)
        question = wait_until(lambda: next((b for b in app.message_boxes() if b.caption == DELETE), None),
                              what="the question")
        app.probe("start")
        started = time.monotonic()
        app.click(question.handle, IDYES)
        box = wait_until(lambda: finished_box(app), timeout=1800, interval=0.1, what="the closing box")
        seconds = time.monotonic() - started
        longest, _, slow = app.probe("stop")
        counts = [int(c.replace(b",", b"")) for c in COUNT.findall(box.message_text())]
        close_box(app, box)
        remaining = sum(len(files) for _, _, files in os.walk(folder))
        return seconds, longest, slow, counts, remaining
    finally:
        app.stop()
        shutil.rmtree(folder, ignore_errors=True)
        empty_trash()


def empty_trash():
    """Each run's recycle bin is the XDG trash of the scratch home, made
    afresh: without it Wine would ask to delete for good."""
    trash = os.path.join(os.environ["HOME"], ".local", "share", "Trash")
    shutil.rmtree(trash, ignore_errors=True)
    for part in ("files", "info"):
        os.makedirs(os.path.join(trash, part))


def summary(samples):
    return {"seconds": statistics.median(s[0] for s in samples),
            "longest": statistics.median(s[1] for s in samples), "max": max(s[1] for s in samples),
            "slow": sum(s[2] for s in samples), "counts": samples[-1][3], "remaining": samples[-1][4]}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", help="the Windows build folder (Tovrik.exe, the e2e launcher and agent)")
    parser.add_argument("corpus_root")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--baseline", help="an older Windows build, run in alternation")
    args = parser.parse_args()
    corpus = os.path.join(args.corpus_root, "dups20k")
    builds = [("this build", args.build)] + ([("baseline", args.baseline)] if args.baseline else [])
    end_leftover_programs()
    scratch = tempfile.mkdtemp(prefix="tovrik-recycle-bench-")
    os.environ["HOME"] = os.path.join(scratch, "home")
    empty_trash()
    samples = {name: [] for name, _ in builds}
    try:
        for round_number in range(args.rounds):
            for name, build in builds:
                samples[name].append(recycle_run(build, corpus, scratch))
                print("  round %d, %s: %.1f s, longest wait %.0f ms, box %s" % (
                    round_number + 1, name, samples[name][-1][0], samples[name][-1][1], samples[name][-1][3]),
                    file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("\ndups20k (10,000 groups of 3, 20,000 files to recycle); medians of %d rounds" % args.rounds)
    print("%-12s %12s %12s %8s %9s  %-28s %s" % ("", "Yes-box s", "longest ms", "max ms", "over 100",
                                                "box: recycled, left, not", "files left"))
    results = {name: summary(s) for name, s in samples.items()}
    for name, result in results.items():
        print("%-12s %12.1f %12.0f %8.0f %9d  %-28s %d" % (
            name, result["seconds"], result["longest"], result["max"], result["slow"],
            ", ".join(str(c) for c in result["counts"]), result["remaining"]))
    if args.baseline:
        ratios = [a[0] / b[0] for a, b in zip(samples["this build"], samples["baseline"])]
        print("%-12s %12.2f  (this build / baseline, per round, median)" % ("ratio", statistics.median(ratios)))
    print("\nYes-box s: from the click on Yes to the closing box; longest ms: the longest wait of a message sent "
          "to the tree every 100 ms from another thread meanwhile; over 100: such waits over 100 ms, all rounds; "
          "files left: files of the 30,000 still on disk after the last round.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
