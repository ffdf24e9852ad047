"""The details and preview of the selected file, the file-information window
and picture decoding through plug-ins, driven through the real Tovrik.exe
under Wine.

What the program paints is read two ways, neither of which adds anything to
the program: the colours on the screen (the agent copies screen pixels), and
the texts it draws (the agent reroutes the program's own DrawTextA,
BeginPaint and EndPaint imports through recorders, so each drawn text comes
back byte for byte with its window, flags, rectangle and font)."""

import os
import shutil
import struct
import subprocess
import threading
import time
import unittest
import zlib

from harness import (IDNO, agent_bytes, agent_hex, MF_GRAYED, SM_CXFRAME, VK_DELETE, WM_CLOSE, Tovrik, cp932, end_leftover_programs,
                     screenshot, wait_until, wine_path)

WORK = os.environ.get("TOVRIK_E2E_WORK", "/tmp/tovrik-e2e")
SHOTS = os.path.join(os.path.dirname(WORK), "screenshots")
RUN, FILE_INFO = 32774, 32781
TEXT_PREVIEW_FORMAT = 0x2000 | 0x40 | 0x10  # DT_EDITCONTROL | DT_EXPANDTABS | DT_WORDBREAK
DETAILS_FORMAT = 0x10  # DT_WORDBREAK
FONT_FACE = cp932("ＭＳ ゴシック")
FONT_HEIGHT = -13  # 10 points at Wine's 96 pixels per inch
# A fixed last-write time whose day and hour have one digit, in local time.
MODIFIED = time.mktime((2009, 10, 9, 6, 43, 56, 0, 0, -1))

WHITE = (255, 255, 255)
RED, GREEN, BLUE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)
MAGENTA, CYAN, TEAL = (255, 0, 255), (0, 255, 255), (0, 128, 128)


# --- fixtures ----------------------------------------------------------------
def png(width, height, pixel):
    """A 24-bit PNG; pixel(x, y) gives (r, g, b)."""
    rows = b"".join(b"\x00" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def dib_rows(width, height, pixel):
    """Bottom-up 24-bit rows, each padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):
        row = bytes(c for x in range(width) for c in reversed(pixel(x, y)))
        rows += row + b"\x00" * (stride - len(row))
    return rows


def bmp(width, height, pixel):
    pixels = dib_rows(width, height, pixel)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def icon_file(kind, size, colour, transparent):
    """One 24-bit image of one colour in an .ico (kind 1) or .cur (kind 2)
    file; `transparent` sets every bit of the AND mask."""
    colours = dib_rows(size, size, lambda x, y: colour)
    mask_stride = ((size + 31) // 32) * 4
    mask = (b"\xff" if transparent else b"\x00") * (mask_stride * size)
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(colours) + len(mask), 0, 0, 0, 0)
    image += colours + mask
    hot_or_planes = (1, 24) if kind == 1 else (size // 2, size // 2)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, *hot_or_planes, len(image), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + image


def quadrants(top_left, top_right, bottom_left, bottom_right, width, height):
    def pixel(x, y):
        if y < height // 2:
            return top_left if x < width // 2 else top_right
        return bottom_left if x < width // 2 else bottom_right
    return pixel


def jpeg_quadrants(path):
    """A 16 x 16 JPEG of red, green / blue, yellow quadrants, each colour kept
    whole (no chroma subsampling)."""
    subprocess.run(["convert", "-size", "8x8", "xc:#ff0000", "xc:#00ff00", "+append",
                    "(", "-size", "8x8", "xc:#0000ff", "xc:#ffff00", "+append", ")", "-append",
                    "-sampling-factor", "1x1", "-quality", "95", "-strip", "jpeg:" + path],
                   check=True, stdin=subprocess.DEVNULL)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)
    os.utime(path, (MODIFIED, MODIFIED))


def read(path):
    with open(path, "rb") as source:
        return source.read()


def write_twins(folder, name, data):
    """The file twice, in a/ and b/, so that the analysis lists it; returns
    the first copy's path."""
    for side in ("a", "b"):
        write(os.path.join(folder, side, name), data)
    return os.path.join(folder, "a", name)


def expected_details(path, picture=None):
    """The details text as the program builds it from the file's status."""
    status = os.stat(path)
    t = time.localtime(status.st_mtime)
    text = "更新日時＝%04d年%2d月%2d日 %2d時%2d分%2d秒\n" % (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min,
                                                      t.tm_sec)
    text += "ファイルサイズ＝" + "{:,}".format(status.st_size)
    if picture:
        width, height = picture
        text += "\n画像サイズ　縦=%d  横=%d" % (height, width)
    return cp932(text)


def fit(area, width, height):
    """Where the picture must stand in the area (left, top, right, bottom)."""
    left, top, right, bottom = area
    area_width, area_height = right - left, bottom - top
    if width / height > area_width / area_height:
        return left, top, right, top + int(area_width * height / width)
    return left, top, left + int(area_height * width / height), bottom


def near(colour, expected, tolerance=48):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def dark(colour):
    return sum(colour) < 3 * 160


def crash_dialogs():
    """Windows of Wine's crash dialog on this test's screen."""
    # A window that goes while it is listed makes xwininfo fail: the
    # listing it printed still counts.
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True).stdout.decode("utf-8", "replace")
    return [line.strip() for line in tree.splitlines() if "winedbg" in line and "Default IME" not in line]


class CrashDialogsWatched:
    """Turns Wine's crash dialog on for a while (the prefix keeps it off, so
    that a crashing test fails instead of waiting for a click) and notes
    every one that shows, however briefly."""

    def __enter__(self):
        self.set(1)
        self.seen = []
        self.stopping = threading.Event()
        self.watcher = threading.Thread(target=self.watch, daemon=True)
        self.watcher.start()
        return self

    def __exit__(self, *exception):
        self.stopping.set()
        self.watcher.join()
        self.set(0)

    def watch(self):
        while not self.stopping.wait(0.2):
            self.seen.extend(crash_dialogs())

    @staticmethod
    def set(value):
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                        "/t", "REG_DWORD", "/d", str(value), "/f"], check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def helpers_running(app_folder):
    """Decoder helpers started from this program folder, by process id."""
    program = os.path.join(app_folder, "tovrik-decode.exe")
    # Wine shows a program it started itself by its Windows path.
    names = (program.encode(), wine_path(program).encode("cp932"))
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as cmdline:
                text = cmdline.read()
            if any(name.lower() in text.lower() for name in names):
                found.append(int(pid))
        except OSError:
            pass
    return found


# --- the program ----------------------------------------------------------------
class Drawn:
    """One text the program drew."""

    def __init__(self, fields):
        window, fmt, left, top, right, bottom, height, face, text = fields
        self.window = window
        self.format = int(fmt)
        self.rect = (int(left), int(top), int(right), int(bottom))
        self.font_height = int(height)
        self.font_face = agent_bytes(face)
        self.text = agent_bytes(text)


class PreviewTest(unittest.TestCase):
    def setUp(self):
        # Short folders (the initials of the test's name), so that the tree
        # shows whole paths in the screenshots.
        name = self.id().split(".")[-1]
        self.work = os.path.join(WORK, "preview", "".join(word[:1] for word in name.split("_")[1:]))
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.folder = os.path.join(self.work, "files")
        end_leftover_programs()
        self.app = None

    def tearDown(self):
        if self.app:
            self.app.stop()

    # --- steps ----------------------------------------------------------------
    def start(self, plugin_folder):
        """Starts the program with `plugin_folder` set, analyses self.folder
        and leaves the tree expanded, the window at the screen's top-left."""
        app_folder = os.path.join(self.work, "app")
        os.makedirs(app_folder, exist_ok=True)
        with open(os.path.join(app_folder, "Tovrik.ini"), "wb") as ini:
            ini.write(b"[PlugIn]\r\nDirectory=" + wine_path(plugin_folder).encode("cp932") + b"\r\n")
        self.app = app = Tovrik(app_folder).start()
        wait_until(lambda: app.call("main") != "0", what="the main window")
        self.assertEqual(app.call("hookdrawing"), "1")
        self.main = app.main_window()
        app.call("move", self.main, 0, 0, 1200, 620)
        app.command(32771)
        app.choose_folder(self.folder)
        app.command(RUN)
        box = app.wait_message_box(timeout=120)
        self.final_text = app.message_text_str(box.handle)
        app.click(box.handle, 1)
        wait_until(lambda: not app.visible(box.handle), what="the final box to close")
        for index, item in enumerate(app.tree()):
            if not item.is_file:
                app.call("expand", index)
        # Room for the paths; the preview area keeps about 450 pixels.
        tree = app.rect(app.control_handle(self.main, 2))
        middle = (tree[1] + tree[3]) // 2
        app.drag(tree[2] - 2, middle, tree[2] + 530, middle)
        wait_until(lambda: app.rect(app.control_handle(self.main, 2))[2] > tree[2] + 400, what="the tree to widen")
        return app

    def open_file_info(self):
        """Opens the file-information window below the main window."""
        self.app.command(FILE_INFO)
        handle = wait_until(lambda: next((h for h, name, _ in self.app.top_windows() if name == "TvFileWindow"),
                                         None), what="the file-information window")
        self.app.call("move", handle, 0, 650, 350, 200)
        return handle

    def item_index(self, path):
        wanted = wine_path(path).encode("cp932")
        for index, item in enumerate(self.app.tree()):
            if item.text == wanted:
                return index
        self.fail("%s is not in the tree" % path)

    def select(self, path):
        self.app.call("select", self.item_index(path))

    def click(self, path, wait=True):
        """Selects the file's item with a real click of the mouse, and waits
        until the tree has it selected."""
        index = self.item_index(path)
        left, top, right, bottom = self.app.item_rect(index)
        tree = self.app.rect(self.app.control_handle(self.main, 2))
        self.app.call("lclick", min((left + right) // 2, tree[2] - 30), (top + bottom) // 2)
        if wait:
            wait_until(lambda: self.app.tree()[index].selected, timeout=60, what="the click to select")

    def select_group(self, number):
        groups = [index for index, item in enumerate(self.app.tree()) if not item.is_file]
        self.app.call("select", groups[number])

    def drawn(self):
        return [Drawn(entry) for entry in self.app.fields("drawlog")]

    def wait_drawn(self, window, what):
        """The last text drawn in `window` once one has been drawn since the
        last drawmark."""
        return wait_until(lambda: ([d for d in self.drawn() if d.window == window] or [None])[-1], what=what)

    def select_and_read_details(self, info_window, select):
        """Selects, then returns the details text as the file-information
        window repaints it."""
        self.app.call("drawmark")
        select()
        drawn = self.wait_drawn(info_window, "the file-information window to repaint")
        self.assertEqual(drawn.format, DETAILS_FORMAT)
        self.assertEqual((drawn.font_face, drawn.font_height), (FONT_FACE, FONT_HEIGHT))
        return drawn.text

    def area(self):
        """The preview area on the screen (left, top, right, bottom)."""
        left, top, right, bottom, x, y = self.app.client(self.main)
        tree = self.app.rect(self.app.control_handle(self.main, 2))
        return x + tree[2] - tree[0] - self.app.metric(SM_CXFRAME), y + top, x + right, y + bottom

    def colour(self, x, y):
        return tuple(bytes.fromhex(self.app.call("pixels", x, y, 1, 1)))

    def wait_colours(self, expected, what, timeout=10):
        """Waits until every point shows its colour: {(x, y): colour}."""
        try:
            wait_until(lambda: all(near(self.colour(*p), c) for p, c in expected.items()), timeout=timeout, what=what)
        except TimeoutError:
            self.fail("%s: saw %s" % (what, {p: self.colour(*p) for p in expected}))

    def expect_white_area(self, what, timeout=10):
        left, top, right, bottom = self.area()
        points = [(left + dx, top + dy) for dx in (3, 20, (right - left) // 2, right - left - 3)
                  for dy in (3, 20, (bottom - top) // 2, bottom - top - 3)]
        self.wait_colours({p: WHITE for p in points}, what, timeout)

    def expect_picture(self, width, height, quadrant_colours, what):
        """The picture fitted into the area, its quadrants in their colours,
        white beyond it."""
        area = self.area()
        left, top, right, bottom = fit(area, width, height)
        w, h = right - left, bottom - top
        expected = {(left + w // 4, top + h // 4): quadrant_colours[0],
                    (left + 3 * w // 4, top + h // 4): quadrant_colours[1],
                    (left + w // 4, top + 3 * h // 4): quadrant_colours[2],
                    (left + 3 * w // 4, top + 3 * h // 4): quadrant_colours[3],
                    (left + 2, top + 2): quadrant_colours[0],
                    (right - 3, bottom - 3): quadrant_colours[3]}
        if bottom + 4 < area[3]:
            expected[(left + w // 2, bottom + 3)] = WHITE
        if right + 4 < area[2]:
            expected[(right + 3, top + h // 2)] = WHITE
        self.wait_colours(expected, what)

    def expect_icon(self, colour, what):
        """Drawn 4 pixels in, at the standard 32 x 32 size, from 16 x 16."""
        left, top = self.area()[:2]
        self.wait_colours({(left + 4, top + 4): colour, (left + 4 + 30, top + 4 + 30): colour,
                           (left + 2, top + 2): WHITE, (left + 4 + 33, top + 4 + 33): WHITE,
                           (left + 4 + 60, top + 4 + 10): WHITE}, what)

    def shoot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        path = screenshot(os.path.join(SHOTS, name))
        self.assertGreater(os.path.getsize(path), 1000)

    # --- tests --------------------------------------------------------------------
    def test_pictures_fill_the_area_and_icons_and_cursors_stand_at_the_standard_size(self):
        rgb = quadrants(RED, GREEN, BLUE, YELLOW, 16, 8)
        bitmap = write_twins(self.folder, "PHOTO.BMP", bmp(16, 8, rgb))
        wide_png = write_twins(self.folder, "wide.png", png(64, 32, quadrants(RED, BLUE, RED, BLUE, 64, 32)))
        # Under a folder whose name is Japanese: the plug-in gets a path it can read.
        tall_png = write_twins(self.folder, os.path.join("写真", "tall.PNG"),
                               png(20, 60, quadrants(GREEN, GREEN, BLUE, BLUE, 20, 60)))
        os.makedirs(os.path.join(self.folder, "a"), exist_ok=True)
        jpeg_quadrants(os.path.join(self.folder, "a", "PHOTO.JPG"))
        jpeg = write_twins(self.folder, "PHOTO.JPG", read(os.path.join(self.folder, "a", "PHOTO.JPG")))
        icon = write_twins(self.folder, "Icon.ICO", icon_file(1, 16, MAGENTA, transparent=False))
        # A mask that hides everything: only the colour image drawn on its
        # own, opaque, shows cyan (drawn through the mask it would come out
        # white XOR cyan, red).
        cursor = write_twins(self.folder, "pointer.cur", icon_file(2, 16, CYAN, transparent=True))
        # Beyond the classic path limit, where the system's own loader stops.
        deep = os.path.join(*(["deep" + "p" * 56] * 5))
        long_bitmap = write_twins(self.folder, os.path.join(deep, "long.bmp"), bmp(16, 8, rgb))
        long_cursor = write_twins(self.folder, os.path.join(deep, "long.cur"), icon_file(2, 16, CYAN, transparent=True))
        self.assertGreater(len(wine_path(long_bitmap)), 300)
        self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        info = self.open_file_info()

        details = self.select_and_read_details(info, lambda: self.select(bitmap))
        self.assertEqual(details, expected_details(bitmap, (16, 8)))
        self.assertTrue(details.endswith(cp932("画像サイズ　縦=8  横=16")))
        # 16 x 8 wider than the area: enlarged to its whole width, at the top.
        self.expect_picture(16, 8, (RED, GREEN, BLUE, YELLOW), "the bitmap")

        details = self.select_and_read_details(info, lambda: self.select(wide_png))
        self.assertEqual(details, expected_details(wide_png, (64, 32)))
        self.expect_picture(64, 32, (RED, BLUE, RED, BLUE), "the wide PNG")
        self.shoot("preview-png-beside-the-tree.png")

        details = self.select_and_read_details(info, lambda: self.select(tall_png))
        self.assertEqual(details, expected_details(tall_png, (20, 60)))
        # Taller than the area: its whole height, at the left.
        self.expect_picture(20, 60, (GREEN, GREEN, BLUE, BLUE), "the tall PNG")

        details = self.select_and_read_details(info, lambda: self.select(jpeg))
        self.assertEqual(details, expected_details(jpeg, (16, 16)))
        self.expect_picture(16, 16, (RED, GREEN, BLUE, YELLOW), "the JPEG")

        details = self.select_and_read_details(info, lambda: self.select(icon))
        self.assertEqual(details, expected_details(icon))
        self.expect_icon(MAGENTA, "the icon")

        details = self.select_and_read_details(info, lambda: self.select(cursor))
        self.assertEqual(details, expected_details(cursor))
        self.expect_icon(CYAN, "the cursor, opaque")

        details = self.select_and_read_details(info, lambda: self.select(long_bitmap))
        self.assertEqual(details, expected_details(long_bitmap, (16, 8)))
        self.expect_picture(16, 8, (RED, GREEN, BLUE, YELLOW), "the bitmap behind a long path")
        self.select_and_read_details(info, lambda: self.select(long_cursor))
        self.expect_icon(CYAN, "the cursor behind a long path")
        self.assertTrue(self.app.alive())

    def test_a_copy_asking_for_english_windows_reads_right_in_code_page_1252(self):
        """What a Windows with a non-Japanese system locale gives the program:
        copies of it and its helper whose manifests ask for the en-US code
        page, in a Wine whose locale makes the ANSI code page 1252."""
        programs = os.path.dirname(os.environ["TOVRIK_EXE"])
        for name in ("Tovrik.exe", "tovrik-decode.exe"):
            program = read(os.path.join(programs, name))
            self.assertEqual(program.count(b">ja-JP</activeCodePage>"), 1, name)
            write(os.path.join(self.work, "app", name), program.replace(b">ja-JP</", b">en-US</"))
        saved = dict(os.environ)
        self.addCleanup(lambda: (os.environ.clear(), os.environ.update(saved)))
        os.environ.update(LANG="en_US.UTF-8", TOVRIK_E2E_CODE_PAGE="1252")
        picture = write_twins(self.folder, os.path.join("写真", "wide.png"),
                              png(64, 32, quadrants(RED, BLUE, RED, BLUE, 64, 32)))
        text = write_twins(self.folder, "caf\u00e9 \u65e5\u672c\u8a9e.txt", b"same")
        app = self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        self.assertEqual(app.title_str(), "同一ファイル検索ソフト  [" + wine_path(self.folder) + "]")
        self.assertTrue(self.final_text.startswith("解析にかかった時間は[") and self.final_text.endswith("]秒です"),
                        self.final_text)
        items = app.tree_str()
        self.assertEqual(sorted(text for is_file, text in items if is_file),
                         sorted(wine_path(path.replace("/a/", side)) for path in (text, picture)
                                for side in ("/a/", "/b/")))
        self.assertEqual(sorted(text.split("  ")[1] for is_file, text in items if not is_file),
                         ["(%d byte)" % len(read(picture)), "(4 byte)"])
        self.select(picture)
        self.expect_picture(64, 32, (RED, BLUE, RED, BLUE), "the PNG under 写真")

    def test_text_previews_in_three_encodings_in_the_gothic_font(self):
        lines = "表示のテスト\tタブの後\r\n二行目：ソフト能力\r\n"
        shift_jis = write_twins(self.folder, "sjis.txt", cp932(lines))
        utf16 = write_twins(self.folder, "README.TXT", b"\xff\xfe" + "ユニコード　テキスト\r\n二行目\r\n".encode("utf-16-le"))
        jis = write_twins(self.folder, "jis.ini", "ＪＩＳの日本語\r\n漢字かな\r\n".encode("iso2022_jp"))
        numbered = ["行%03d\r\n" % n for n in range(1, 401)]
        long_text = write_twins(self.folder, "long.c", cp932("".join(numbered)))
        self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        info = self.open_file_info()
        expected = [
            (utf16, cp932("ユニコード　テキスト\r\n二行目\r\n")),
            (jis, cp932("ＪＩＳの日本語\r\n漢字かな\r\n")),
            # Up to the 300th line feed, which is left out with what follows.
            (long_text, cp932("".join(numbered[:299]) + "行300\r")),
            (shift_jis, cp932(lines)),
        ]
        for path, text in expected:
            self.app.call("drawmark")
            self.select(path)
            drawn = self.wait_drawn(self.main, "the text preview of " + path)
            self.assertEqual(drawn.text, text, path)
            self.assertEqual(drawn.format, TEXT_PREVIEW_FORMAT)
            self.assertEqual((drawn.font_face, drawn.font_height), (FONT_FACE, FONT_HEIGHT))
            # In client coordinates, 4 pixels in from the area's corner.
            _, top, right, bottom, x, _ = self.app.client(self.main)
            self.assertEqual(drawn.rect, (self.area()[0] - x + 4, top + 4, right, bottom))
            self.assertEqual(self.wait_drawn(info, "the details").text, expected_details(path))

        # Black text on white from 4 pixels in: dark pixels on the first line,
        # none above it.
        area_left, area_top = self.area()[:2]

        def first_line_is_dark():
            row = bytes.fromhex(self.app.call("pixels", area_left + 4, area_top + 4, 200, 13))
            return any(dark(tuple(row[i:i + 3])) for i in range(0, len(row), 3))

        wait_until(first_line_is_dark, what="the text on the screen")
        self.wait_colours({(area_left + dx, area_top + 1): WHITE for dx in range(0, 200, 7)}, "the margin")
        self.shoot("preview-japanese-text.png")

    def test_nothing_shows_for_groups_vanished_files_damaged_bitmaps_and_dotted_folders(self):
        good = write_twins(self.folder, "good.png", png(8, 8, lambda x, y: RED))
        # A PNG under a bitmap's name: LoadImage refuses it, and it must not
        # go on to the plug-in, which would decode it.
        damaged = write_twins(self.folder, "damaged.bmp", png(8, 8, lambda x, y: GREEN))
        dotted = write_twins(self.folder, os.path.join("pictures.png", "plain"), png(8, 8, lambda x, y: BLUE))
        cut = write_twins(self.folder, "cut.bmp", bmp(200, 150, lambda x, y: RED)[:1000])
        # An icon of one PNG whose header declares 100000 x 100000.
        ihdr = b"IHDR" + struct.pack(">IIBBBBB", 100000, 100000, 8, 6, 0, 0, 0)
        huge_png = b"\x89PNG\r\n\x1a\n" + struct.pack(">I", 13) + ihdr + struct.pack(">I", zlib.crc32(ihdr))
        huge_icon = write_twins(self.folder, "huge.ico", struct.pack("<HHHBBBBHHII", 0, 1, 1, 0, 0, 0, 0, 1, 32,
                                                                     len(huge_png), 22) + huge_png)
        gone = write_twins(self.folder, "gone.bmp", bmp(4, 4, lambda x, y: YELLOW))
        big = write_twins(self.folder, "big.bin", b"to be made large")
        self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        info = self.open_file_info()

        def after_a_picture(select):
            """The area shows a picture first, so that white afterwards is
            this selection's doing."""
            self.select_and_read_details(info, lambda: self.select(good))
            self.expect_picture(8, 8, (RED,) * 4, "the good PNG")
            return self.select_and_read_details(info, select)

        self.assertEqual(after_a_picture(lambda: self.select_group(0)), b"")
        self.expect_white_area("a group item")

        self.assertEqual(after_a_picture(lambda: self.select(damaged)), expected_details(damaged))
        self.expect_white_area("a damaged bitmap")

        # Cut short: no black rows, no picture size.
        self.assertEqual(after_a_picture(lambda: self.select(cut)), expected_details(cut))
        self.expect_white_area("a bitmap cut short")
        committed_kib = int(self.app.call("committed"))
        self.assertEqual(after_a_picture(lambda: self.select(huge_icon)), expected_details(huge_icon))
        self.expect_white_area("an icon declaring a huge picture")
        self.assertLess(int(self.app.call("committed")) - committed_kib, 100 * 1024)

        self.assertEqual(after_a_picture(lambda: self.select(dotted)), expected_details(dotted))
        self.expect_white_area("a path whose only dot is in a folder name")

        os.remove(gone)
        self.assertEqual(after_a_picture(lambda: self.select(gone)), b"")
        self.expect_white_area("a vanished file")

        # The status is read at selection: a file grown past 4 GiB since the
        # analysis shows its whole length.
        os.truncate(big, 5 * 2 ** 30 + 3)
        os.utime(big, (MODIFIED, MODIFIED))
        details = after_a_picture(lambda: self.select(big))
        self.assertEqual(details, expected_details(big))
        self.assertTrue(details.endswith(cp932("ファイルサイズ＝5,368,709,123")), details)
        self.expect_white_area("a file no plug-in takes")

    def test_file_information_window_follows_the_selection_and_its_menu_item(self):
        picture = write_twins(self.folder, "one.png", png(6, 3, lambda x, y: BLUE))
        other = write_twins(self.folder, "two.txt", b"text")
        self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        self.select(picture)
        self.assertEqual(self.app.menu_item_state(FILE_INFO) & MF_GRAYED, 0)

        # Opened after the selection: the details at once.
        self.app.call("drawmark")
        info = self.open_file_info()
        self.assertEqual(self.app.menu_item_state(FILE_INFO) & MF_GRAYED, MF_GRAYED)
        drawn = wait_until(lambda: next((d for d in self.drawn() if d.window == info and d.text), None),
                           what="the details")
        self.assertEqual(drawn.text, expected_details(picture, (6, 3)))
        self.assertEqual(drawn.rect[:2], (4, 4))
        left, top, right, bottom, x, y = self.app.client(info)

        def text_row_is_dark():
            row = bytes.fromhex(self.app.call("pixels", x + 4, y + 4, 150, 13))
            return any(dark(tuple(row[i:i + 3])) for i in range(0, len(row), 3))

        wait_until(text_row_is_dark, what="the details on the screen")

        # Another selection repaints it unasked; a group item empties it.
        self.assertEqual(self.select_and_read_details(info, lambda: self.select(other)), expected_details(other))
        self.assertEqual(self.select_and_read_details(info, lambda: self.select_group(0)), b"")
        wait_until(lambda: not text_row_is_dark(), what="an empty window")

        # A second request while it is open opens nothing more.
        self.app.command(FILE_INFO)
        time.sleep(0.3)
        self.assertEqual([h for h, name, _ in self.app.top_windows() if name == "TvFileWindow"], [info])

        self.app.post(info, WM_CLOSE)
        wait_until(lambda: not self.app.visible(info), what="the window to close")
        self.assertEqual(self.app.menu_item_state(FILE_INFO) & MF_GRAYED, 0)
        self.select(picture)
        self.app.call("drawmark")
        reopened = self.open_file_info()
        self.assertNotEqual(reopened, info)
        self.assertEqual(self.wait_drawn(reopened, "the reopened window").text, expected_details(picture, (6, 3)))
        self.assertEqual(self.app.menu_item_state(FILE_INFO) & MF_GRAYED, MF_GRAYED)

    def test_first_plugin_declaring_an_extension_is_the_only_one_asked(self):
        plugins = os.path.join(self.work, "plugins")
        os.makedirs(plugins)
        # Copied in the opposite order to the one they are listed in.
        shutil.copy(os.environ["TOVRIK_IMAGE_PLUGIN"], os.path.join(plugins, "tovrik-image.spi"))
        shutil.copy(os.environ["TOVRIK_E2E_DECLINING_PLUGIN"], os.path.join(plugins, "declines-png.spi"))
        picture = write_twins(self.folder, "photo.png", png(8, 8, lambda x, y: GREEN))
        jpeg = os.path.join(self.folder, "a", "photo.jpg")
        os.makedirs(os.path.dirname(jpeg), exist_ok=True)
        jpeg_quadrants(jpeg)
        jpeg = write_twins(self.folder, "photo.jpg", read(jpeg))
        self.start(plugins)
        # Registration follows the order in which the system lists the folder
        # (Wine lists it sorted by name, whatever the creation order).
        listed = [agent_bytes(name) for name in self.app.call("listfolder", agent_hex(wine_path(plugins))).split("\t")]
        spi = [name for name in listed if name.endswith(b".spi")]
        self.assertEqual(spi, [b"declines-png.spi", b"tovrik-image.spi"])
        info = self.open_file_info()

        # The image plug-in decodes JPEGs here, so it is registered and works...
        self.assertEqual(self.select_and_read_details(info, lambda: self.select(jpeg)),
                         expected_details(jpeg, (16, 16)))
        self.expect_picture(16, 16, (RED, GREEN, BLUE, YELLOW), "the JPEG")
        # ...but PNGs go to the first plug-in declaring them, which declines.
        self.assertEqual(self.select_and_read_details(info, lambda: self.select(picture)),
                         expected_details(picture))
        self.expect_white_area("a PNG declined by the first plug-in")

    def test_malformed_plugin_results_show_nothing(self):
        plugins = os.path.join(self.work, "plugins")
        os.makedirs(plugins)
        shutil.copy(os.environ["TOVRIK_E2E_MALFORMED_PLUGIN"], os.path.join(plugins, "malformed.spi"))
        good = write_twins(self.folder, "good.mal", b"good\n")
        cases = ["negative-width", "zero-height", "short-pixels", "short-header", "short-palette", "huge-palette",
                 "same-block"]
        paths = {case: write_twins(self.folder, case + ".mal", case.encode() + b"\n") for case in cases}
        self.start(plugins)
        info = self.open_file_info()
        for case in cases:
            with self.subTest(case=case):
                # The same plug-in's well-formed answer shows...
                self.assertEqual(self.select_and_read_details(info, lambda: self.select(good)),
                                 expected_details(good, (4, 4)))
                self.expect_picture(4, 4, (TEAL,) * 4, "the plug-in's good picture")
                # ...its malformed ones show nothing and cost no picture size.
                self.assertEqual(self.select_and_read_details(info, lambda: self.select(paths[case])),
                                 expected_details(paths[case]))
                self.expect_white_area(case)
                self.assertTrue(self.app.alive())

    def test_plugins_that_crash_hang_or_flood_memory_cost_one_preview_each(self):
        plugins = os.path.join(self.work, "plugins")
        os.makedirs(plugins)
        # Listed in this order: the one that faults while it is asked comes
        # first, declaring PNG just before its fault.
        for variable, name in (("TOVRIK_E2E_FAULTING_INFO_PLUGIN", "faulting-info.spi"),
                               ("TOVRIK_E2E_HOSTILE_PLUGIN", "hostile.spi"),
                               ("TOVRIK_IMAGE_PLUGIN", "tovrik-image.spi")):
            shutil.copy(os.environ[variable], os.path.join(plugins, name))
        good = write_twins(self.folder, "good.png", png(8, 8, lambda x, y: GREEN))
        cases = [(word, write_twins(self.folder, word + ".hos", word.encode() + b"\n"))
                 for word in ("fault", "unfilter", "hang", "flood")]
        leak = write_twins(self.folder, "leak.hos", b"leak\n")
        # A valid 6000 x 4000 PNG of one colour, made row by row.
        row = b"\x00" + bytes((0, 255, 0)) * 6000
        ihdr = b"IHDR" + struct.pack(">IIBBBBB", 6000, 4000, 8, 2, 0, 0, 0)
        idat = b"IDAT" + zlib.compress(row * 4000, 1)
        large = write_twins(self.folder, "large.png", b"\x89PNG\r\n\x1a\n" + b"".join(
            struct.pack(">I", len(body) - 4) + body + struct.pack(">I", zlib.crc32(body)) for body in (ihdr, idat, b"IEND")))
        with CrashDialogsWatched() as crash_dialogs_seen:
            self.start(plugins)
            app_folder = self.app.app_folder
            for word, path in cases:
                with self.subTest(word):
                    # Left out of the registry, the faulting plug-in leaves
                    # PNG files to the one after it.
                    self.click(good)
                    self.expect_picture(8, 8, (GREEN,) * 4, "the PNG before " + word)
                    clicked = time.monotonic()
                    self.click(path)
                    if word in ("fault", "unfilter"):
                        # Ended at the fault, not after a crash dialog's time.
                        self.assertEqual(self.app.call("send", self.main, 0, 0, 0), "0")
                        self.assertLess(time.monotonic() - clicked, 3)
                    # The hung plug-in is given up after the helper's wait,
                    # a few seconds; the flood ends at the memory limit
                    # (its good picture, were it let through, is red).
                    self.expect_white_area(word, timeout=60)
                    self.assertTrue(self.app.alive())
                    self.assertEqual(self.app.call("send", self.main, 0, 0, 0), "0")  # WM_NULL: the window answers
                    self.assertEqual(crash_dialogs_seen.seen, [])
            self.click(good)
            self.expect_picture(8, 8, (GREEN,) * 4, "the PNG after them all")
            self.assertEqual(crash_dialogs_seen.seen, [])

            # A plug-in that leaves its helper without room costs that
            # helper: its own picture shows, and so does a large one after it.
            self.click(leak)
            self.expect_picture(4, 4, (RED,) * 4, "the leaky plug-in's picture")
            self.click(large)
            self.expect_picture(6000, 4000, (GREEN,) * 4, "a large PNG after the leak")

            # A helper stuck in a plug-in ends with the program, even when the
            # program is ended from outside.
            hang = dict(cases)["hang"]
            os.remove(hang + ".entered")
            self.click(hang, wait=False)
            wait_until(lambda: os.path.exists(hang + ".entered"), what="the plug-in to hang")
            self.assertTrue(helpers_running(app_folder))
            self.app.send_line("terminate")
            self.app.wait_exit()
            wait_until(lambda: not helpers_running(app_folder), what="the helper to end with the program")

    def test_delete_key_in_the_tree_asks_to_recycle_the_selected_file(self):
        victim = write_twins(self.folder, "victim.txt", b"same")
        self.start(os.path.dirname(os.environ["TOVRIK_IMAGE_PLUGIN"]))
        index = self.item_index(victim)
        left, top, right, bottom = self.app.item_rect(index)
        tree = self.app.rect(self.app.control_handle(self.main, 2))
        self.app.call("lclick", min((left + right) // 2, tree[2] - 30), (top + bottom) // 2)
        wait_until(lambda: self.app.tree()[index].selected, what="the click to select")
        self.app.key(VK_DELETE)
        expected = cp932("下記ファイルをゴミ箱に入れてもよろしいですか？\n\n") + wine_path(victim).encode("cp932") + b"\n"
        self.app.answer_message_box(IDNO, cp932("ファイル削除"), expected)
        self.assertTrue(os.path.exists(victim))
        self.assertEqual(self.app.tree()[index].text, wine_path(victim).encode("cp932"))


if __name__ == "__main__":
    unittest.main()
