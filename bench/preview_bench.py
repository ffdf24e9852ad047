"""Preview and start-up timings of the real Tovrik.exe under Wine.

- preview: the median time from selecting a 1-megapixel JPEG in the tree to
  the end of the main window's next paint (the picture on the screen), with
  a small PNG selected in between so that every selection changes the
  picture. Measured inside the program by the test agent.
- start-up: the median time from starting Tovrik.exe to its first visible
  window with a plug-in folder of 20 plug-ins (copies of the bundled one),
  against the same with an empty plug-in folder, started in alternation.
- helper memory: the decoder helper's peak working set for each hostile
  input of the plug-in's tests, a 1-megapixel JPEG and the largest picture
  the bundled plug-in takes (8192 x 8192 with alpha), each decoded by a
  fresh helper (decoder_memory.exe).

Run through bench/preview.sh, which builds the Windows programs and sets the
environment the end-to-end harness reads."""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Tovrik, end_leftover_programs, wait_until, wine_path  # noqa: E402


def write_ini(app_folder, plugin_folder):
    os.makedirs(app_folder, exist_ok=True)
    with open(os.path.join(app_folder, "Tovrik.ini"), "wb") as ini:
        ini.write(b"[PlugIn]\r\nDirectory=" + wine_path(plugin_folder).encode("cp932") + b"\r\n")


def make_pictures(folder):
    """A 1000 x 1000 photograph-like JPEG and a small PNG, each twice."""
    for side in ("a", "b"):
        os.makedirs(os.path.join(folder, side), exist_ok=True)
    jpeg = os.path.join(folder, "a", "photo.jpg")
    png = os.path.join(folder, "a", "small.png")
    subprocess.run(["convert", "-seed", "7", "-size", "1000x1000", "plasma:fractal", "-quality", "90", jpeg],
                   check=True)
    subprocess.run(["convert", "-size", "32x32", "xc:#2080c0", png], check=True)
    for path in (jpeg, png):
        shutil.copy(path, path.replace(os.sep + "a" + os.sep, os.sep + "b" + os.sep))
    return jpeg, png


def preview_times(work, rounds):
    folder = os.path.join(work, "preview-files")
    jpeg, png = make_pictures(folder)
    app_folder = os.path.join(work, "preview-app")
    write_ini(app_folder, os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
    app = Tovrik(app_folder).start()
    try:
        wait_until(lambda: app.call("main") != "0", what="the main window")
        main = app.main_window()
        app.call("move", main, 0, 0, 1200, 800)
        if app.call("hookdrawing") != "1":
            raise RuntimeError("cannot follow the program's paints")
        app.command(32771)
        app.choose_folder(folder)
        app.command(32774)
        box = app.wait_message_box(timeout=120)
        app.click(box.handle, 1)
        wait_until(lambda: not app.visible(box.handle), what="the final box to close")
        items = app.tree()
        for index, item in enumerate(items):
            if not item.is_file:
                app.call("expand", index)
        index_of = {item.text: i for i, item in enumerate(app.tree())}
        jpeg_index = index_of[wine_path(jpeg).encode("cp932")]
        png_index = index_of[wine_path(png).encode("cp932")]
        times = []
        for _ in range(rounds):
            app.call("timeselect", png_index)
            times.append(float(app.call("timeselect", jpeg_index)))
        return times
    finally:
        app.stop()


def first_window_ms(app_folder):
    """Starts the program, reads the launcher's figure, ends the program."""
    app = Tovrik(app_folder)
    app.start()
    try:
        wait_until(lambda: app.call("main") != "0", what="the main window")
    finally:
        app.stop()
    logs = sorted(name for name in os.listdir(app_folder) if name.startswith("launcher-"))
    with open(os.path.join(app_folder, logs[-1]), "rb") as log:
        found = re.search(rb"first window after ([0-9.]+) ms", log.read())
    if not found:
        raise RuntimeError("the launcher printed no start-up time")
    return float(found.group(1))


def startup_times(work, rounds):
    empty = os.path.join(work, "no-plugins")
    twenty = os.path.join(work, "twenty-plugins")
    os.makedirs(empty, exist_ok=True)
    os.makedirs(twenty, exist_ok=True)
    for n in range(20):
        shutil.copy(os.environ["TOVRIK_IMAGE_PLUGIN"], os.path.join(twenty, "plugin-%02d.spi" % n))
    apps = {"none": os.path.join(work, "startup-none"), "twenty": os.path.join(work, "startup-twenty")}
    write_ini(apps["none"], empty)
    write_ini(apps["twenty"], twenty)
    times = {"none": [], "twenty": []}
    first_window_ms(apps["none"])  # the first start of a program costs more under Wine
    for _ in range(rounds):
        for kind in ("none", "twenty"):
            times[kind].append(first_window_ms(apps[kind]))
    return times


def largest_png(path):
    """8192 x 8192 RGBA, the most pixels the bundled plug-in decodes."""
    side = 8192
    compressor = zlib.compressobj(6)
    row = b"\x00" + bytes(range(256)) * (side * 4 // 256)
    data = b"".join(compressor.compress(row * 64) for _ in range(side // 64)) + compressor.flush()

    def chunk(kind, body):
        return len(body).to_bytes(4, "big") + kind + body + zlib.crc32(kind + body).to_bytes(4, "big")

    header = side.to_bytes(4, "big") * 2 + bytes([8, 6, 0, 0, 0])
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b""))


def helper_memory(work, pictures, tool):
    photo = os.path.join(work, "photo-1mp.jpg")
    subprocess.run(["convert", "-seed", "7", "-size", "1000x1000", "plasma:fractal", "-quality", "90", photo],
                   check=True)
    largest = os.path.join(work, "largest.png")
    largest_png(largest)
    files = [photo] + [os.path.join(pictures, name) for name in
                       ("hostile-deep.pgm", "hostile-huffman.jpg", "hostile-canvas.gif", "hostile-inflating.png")]
    files.append(largest)
    subprocess.run(["wine", wine_path(tool), wine_path(os.environ["TOVRIK_IMAGE_PLUGIN"])]
                   + [wine_path(f) for f in files], check=True, stdin=subprocess.DEVNULL)


def describe(times):
    return "median %.1f ms (min %.1f, max %.1f, %d runs)" % (statistics.median(times), min(times), max(times),
                                                               len(times))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--work", default="/tmp/tovrik-preview-bench")
    parser.add_argument("--pictures", help="the plug-in tests' pictures (with the hostile inputs)")
    parser.add_argument("--memory-tool", help="decoder_memory.exe")
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    end_leftover_programs()

    times = preview_times(args.work, args.rounds)
    print("preview of a 1-megapixel JPEG, selection to painted picture: " + describe(times))
    startup = startup_times(args.work, args.rounds)
    print("start-up to the first window, no plug-ins:   " + describe(startup["none"]))
    print("start-up to the first window, 20 plug-ins:   " + describe(startup["twenty"]))
    print("20 plug-ins cost, median of the paired differences: %.1f ms"
          % statistics.median(t - n for t, n in zip(startup["twenty"], startup["none"])))
    if args.memory_tool and os.path.exists(args.memory_tool):
        print("decoder helper memory (peak working set; Wine keeps no peak commit of another process):")
        sys.stdout.flush()
        helper_memory(args.work, args.pictures, args.memory_tool)


if __name__ == "__main__":
    main()
