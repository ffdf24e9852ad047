"""The packages as a Windows user gets them, in a Wine prefix of this suite's
own, created afresh and removed afterwards: the installer and its
uninstaller run silently, the portable zip unpacked and started, and the
layout at 192 DPI. The shared test prefix is never touched.

Environment (set by CTest): TOVRIK_DIST (the folder scripts/package.sh
fills), TOVRIK_VERSION, TOVRIK_RESOURCES_TEST, and the harness's own."""

import hashlib
import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile

from harness import IDOK, WM_CLOSE, Tovrik, cp932, end_leftover_programs, screenshot, wait_until, wine_path

E2E_WORK = os.environ.get("TOVRIK_E2E_WORK", "/tmp/tovrik-e2e")
WORK = os.path.join(E2E_WORK, "package")
SHOTS = os.path.join(os.path.dirname(E2E_WORK), "screenshots")
PREFIX = os.path.join(WORK, "wineprefix")
DIST = os.environ.get("TOVRIK_DIST", "")
VERSION = os.environ.get("TOVRIK_VERSION", "")
OBJDUMP = os.environ.get("TOVRIK_OBJDUMP", "i686-w64-mingw32-objdump")
SETUP = os.path.join(DIST, "Tovrik-%s-setup.exe" % VERSION)
PORTABLE = os.path.join(DIST, "Tovrik-%s-portable.zip" % VERSION)

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrik"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
# What every package holds at least; every program of the build's bin/
# folder ships as well, and the checks below cover whatever is there.
REQUIRED = {"Tovrik.exe", "tovrik-decode.exe", "readme.txt", "plugins/tovrik-image.spi"}
APP_TITLE = cp932("同一ファイル検索ソフト")
SETTINGS_CAPTION = cp932("設定ダイアログ")
FILE_INFO = 32781


def wine(*arguments, timeout=120):
    """Runs a Windows program in the suite's prefix: (exit code, output)."""
    # Output through a file: Wine's background processes would hold a pipe.
    with tempfile.TemporaryFile() as output:
        result = subprocess.run(["wine", *arguments], stdin=subprocess.DEVNULL, stdout=output,
                                stderr=subprocess.STDOUT, timeout=timeout)
        output.seek(0)
        return result.returncode, output.read().decode("cp932", "replace")


def registry_values(key):
    """{name: value} of a registry key (DWORDs as int), or None if it is missing."""
    code, text = wine("reg", "query", key)
    if code != 0:
        return None
    values = {}
    for line in text.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            value = parts[2] if len(parts) == 3 else ""
            values[parts[0]] = int(value, 16) if parts[1] == "REG_DWORD" else value
    return values


def read_bytes(path):
    with open(path, "rb") as source:
        return source.read()


def read_setting(folder):
    path = os.path.join(folder, "Tovrik.ini")
    if not os.path.exists(path):
        return None
    for line in read_bytes(path).splitlines():
        if line.startswith(b"Directory="):
            return line[len(b"Directory="):]
    return None


def shortcut_working_folder(data):
    """The working folder a .lnk file names (its StringData WORKING_DIR)."""
    flags = int.from_bytes(data[0x14:0x18], "little")
    at = 0x4C
    if flags & 0x01:  # HasLinkTargetIDList
        at += 2 + int.from_bytes(data[at:at + 2], "little")
    if flags & 0x02:  # HasLinkInfo
        at += int.from_bytes(data[at:at + 4], "little")
    unit = 2 if flags & 0x80 else 1  # IsUnicode
    for present in (0x04, 0x08, 0x10):  # name, relative path, working folder
        if not flags & present:
            if present == 0x10:
                return None
            continue
        count = int.from_bytes(data[at:at + 2], "little")
        text = data[at + 2:at + 2 + count * unit]
        at += 2 + count * unit
        if present == 0x10:
            # Wine counts the terminating zero as well; Windows does not.
            return text.decode("utf-16-le" if unit == 2 else "cp932").rstrip("\x00")


def shipped_files():
    """{path inside the folder Tovrik\\: bytes} of the portable zip."""
    with zipfile.ZipFile(PORTABLE) as archive:
        names = archive.namelist()
        outside = [name for name in names if not name.startswith("Tovrik/")]
        if outside:
            raise AssertionError("entries outside the folder Tovrik/: %r" % outside)
        return {name[len("Tovrik/"):]: archive.read(name) for name in names if not name.endswith("/")}


def folder_files(folder):
    """{relative path: bytes} of a folder, without the launcher's logs that
    the harness writes beside the program it starts."""
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            if base == folder and name.startswith("launcher-") and name.endswith(".log"):
                continue
            path = os.path.join(base, name)
            found[os.path.relpath(path, folder)] = read_bytes(path)
    return found


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not (os.path.exists(SETUP) and os.path.exists(PORTABLE)):
            raise AssertionError("no %s and %s: scripts/package.sh makes them" % (SETUP, PORTABLE))
        shutil.rmtree(WORK, ignore_errors=True)
        os.makedirs(WORK)
        os.environ["WINEPREFIX"] = PREFIX
        # No menu entries on the host for the shortcut the installer makes.
        os.environ["WINEDLLOVERRIDES"] = "mscoree,mshtml,winemenubuilder.exe="
        subprocess.run(["wineboot", "-i"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
        wine("reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f")
        subprocess.run(["wineserver", "-w"], timeout=120)
        # A server kept alive, its services started detached (as the test
        # script does for the shared prefix).
        subprocess.Popen(["wineserver", "-p", "60"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, start_new_session=True)
        subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, start_new_session=True, timeout=120)
        users = [name for name in os.listdir(os.path.join(PREFIX, "drive_c", "users")) if name != "Public"]
        assert len(users) == 1, users
        cls.user = users[0]
        cls.install_dir = os.path.join(PREFIX, "drive_c", "users", cls.user, "AppData", "Local", "Programs", "Tovrik")
        cls.windows_install_dir = "C:\\users\\%s\\AppData\\Local\\Programs\\Tovrik" % cls.user
        cls.shortcut = os.path.join(PREFIX, "drive_c", "users", cls.user, "AppData", "Roaming", "Microsoft", "Windows",
                                    "Start Menu", "Programs", "Tovrik.lnk")

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(PREFIX, ignore_errors=True)

    def setUp(self):
        end_leftover_programs()
        self.sessions = []

    def tearDown(self):
        for session in self.sessions:
            session.stop()

    def start(self, folder, windows_exe=None):
        session = Tovrik(folder, windows_exe).start()
        self.sessions.append(session)
        wait_until(lambda: session.call("main") != "0", what="the main window")
        return session

    def close(self, app):
        app.post(app.main_window(), WM_CLOSE)
        self.assertEqual(app.wait_exit(), 0)
        for name in os.listdir(app.app_folder):
            if name.startswith("launcher-") and name.endswith(".log"):
                os.remove(os.path.join(app.app_folder, name))

    def install(self):
        code, output = wine(SETUP, "/S")
        self.assertEqual(code, 0, output)

    def uninstall(self):
        """Runs the registered quiet uninstaller: it returns when its work is
        done."""
        entry = registry_values(UNINSTALL_KEY)
        self.assertEqual(entry["QuietUninstallString"], '"%s\\uninstall.exe" /S' % self.windows_install_dir)
        code, output = wine(self.windows_install_dir + "\\uninstall.exe", "/S")
        self.assertEqual(code, 0, output)
        leftover = os.path.join(self.install_dir, "uninstall.exe")
        if os.path.exists(leftover):
            # Windows lets the running uninstaller move itself out of the
            # folder; Wine refuses to move a running program (the delete
            # access a rename needs), so there it stays behind, and only it:
            # the test takes it, and the folder it alone kept, away.
            os.remove(leftover)
            if not os.listdir(self.install_dir):
                os.rmdir(self.install_dir)
        self.assertIsNone(registry_values(UNINSTALL_KEY))

    # --- what ships -----------------------------------------------------------
    def test_packages_hold_the_stripped_program_its_plugins_and_the_read_me(self):
        shipped = shipped_files()
        self.assertLessEqual(REQUIRED, set(shipped))
        for name, data in shipped.items():
            if not name.endswith((".exe", ".spi")):
                continue
            binary = os.path.join(WORK, "binary")
            with open(binary, "wb") as out:
                out.write(data)
            untranslated = dict(os.environ, LC_ALL="C")
            sections = subprocess.run([OBJDUMP, "-h", binary], capture_output=True, text=True,
                                      check=True, env=untranslated).stdout
            symbols = subprocess.run([OBJDUMP, "-t", binary], capture_output=True, text=True,
                                     check=True, env=untranslated).stdout
            self.assertNotIn(".debug", sections, name)
            self.assertIn("no symbols", symbols, name)
        readme = shipped["readme.txt"]
        self.assertIn(cp932("Tovrik %s (同一ファイル検索ソフト)" % VERSION), readme)
        self.assertIn(b"\r\n", readme)
        # The icon and the version information of the executable that ships.
        extracted = os.path.join(WORK, "Tovrik.exe")
        with open(extracted, "wb") as out:
            out.write(shipped["Tovrik.exe"])
        environment = dict(os.environ, TOVRIK_EXE_UNDER_TEST=wine_path(extracted))
        with tempfile.TemporaryFile() as output:
            result = subprocess.run(["wine", wine_path(os.environ["TOVRIK_RESOURCES_TEST"])], env=environment,
                                    stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT, timeout=120)
            output.seek(0)
            self.assertEqual(result.returncode, 0, output.read().decode("utf-8", "replace"))
        sums = {}
        for line in read_bytes(os.path.join(DIST, "SHA256SUMS")).decode("ascii").splitlines():
            digest, name = line.split()
            sums[name] = digest
        self.assertEqual(sums, {os.path.basename(path): hashlib.sha256(read_bytes(path)).hexdigest()
                                for path in (SETUP, PORTABLE)})

    # --- the installer ------------------------------------------------------------
    def test_installer_installs_runs_replaces_and_uninstalls_silently(self):
        shipped = shipped_files()
        self.install()
        installed = folder_files(self.install_dir)
        for name, data in shipped.items():
            self.assertEqual(installed.get(name), data, name)
        self.assertEqual(set(installed), set(shipped) | {"uninstall.exe", "Tovrik.ini"})
        # The bundled plug-ins are the plug-in folder from the first start.
        bundled = cp932(self.windows_install_dir + "\\plugins")
        self.assertEqual(read_setting(self.install_dir), bundled)
        shortcut = read_bytes(self.shortcut)
        self.assertTrue(b"Tovrik.exe" in shortcut or "Tovrik.exe".encode("utf-16-le") in shortcut)
        self.assertEqual(shortcut_working_folder(shortcut), self.windows_install_dir)

        entry = registry_values(UNINSTALL_KEY)
        self.assertEqual(entry["DisplayName"], "Tovrik")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertTrue(entry["Publisher"])
        self.assertEqual(entry["DisplayIcon"], self.windows_install_dir + "\\Tovrik.exe,0")
        self.assertEqual(entry["InstallLocation"], self.windows_install_dir)
        self.assertEqual(entry["UninstallString"], '"%s\\uninstall.exe"' % self.windows_install_dir)
        size = sum(len(data) for data in installed.values())
        self.assertTrue(size // 1024 <= entry["EstimatedSize"] <= size // 1024 + 8, (size, entry["EstimatedSize"]))

        # The installed program starts from drive C:, and its folder takes the
        # settings that OK writes.
        app = self.start(self.install_dir, self.windows_install_dir + "\\Tovrik.exe")
        self.assertEqual(app.title(), APP_TITLE)
        app.command(32779)
        dialog = wait_until(lambda: ([d for d in app.dialogs() if d.caption == SETTINGS_CAPTION] or [None])[0],
                            what="the settings dialog")
        self.assertEqual(next(c.text for c in dialog.controls if c.control_id == 205), bundled)
        chosen = os.path.join(WORK, "my-plugins")
        os.makedirs(chosen)
        app.click(dialog.handle, 203)
        app.choose_folder(chosen)
        app.click(dialog.handle, IDOK)
        wait_until(lambda: not app.visible(dialog.handle), what="the settings dialog to close")
        self.assertEqual(read_setting(self.install_dir), cp932(wine_path(chosen)))

        # While it runs, a silent installation or uninstallation gives up,
        # says so, and changes nothing.
        for program in (SETUP, self.windows_install_dir + "\\uninstall.exe"):
            code, _ = wine(program, "/S")
            self.assertNotEqual(code, 0, program)
            self.assertEqual(set(folder_files(self.install_dir)), set(installed), program)
            self.assertEqual(folder_files(self.install_dir)["Tovrik.exe"], shipped["Tovrik.exe"])
        self.close(app)

        # Over a newer version, a silent installation refuses.
        wine("reg", "add", UNINSTALL_KEY, "/v", "DisplayVersion", "/d", "99.0.0", "/f")
        code, _ = wine(SETUP, "/S")
        self.assertNotEqual(code, 0)
        self.assertEqual(registry_values(UNINSTALL_KEY)["DisplayVersion"], "99.0.0")

        # Over an older version: its program is replaced, the user's settings stay.
        with open(os.path.join(self.install_dir, "Tovrik.exe"), "wb") as old:
            old.write(b"MZ an older version")
        wine("reg", "add", UNINSTALL_KEY, "/v", "DisplayVersion", "/d", "0.0.1", "/f")
        self.install()
        self.assertEqual(folder_files(self.install_dir)["Tovrik.exe"], shipped["Tovrik.exe"])
        self.assertEqual(registry_values(UNINSTALL_KEY)["DisplayVersion"], VERSION)
        self.assertEqual(read_setting(self.install_dir), cp932(wine_path(chosen)))

        # Changed settings outlive the uninstaller, and only they.
        self.uninstall()
        self.assertEqual(set(folder_files(self.install_dir)), {"Tovrik.ini"})
        self.assertEqual(os.listdir(self.install_dir), ["Tovrik.ini"])
        self.assertFalse(os.path.exists(self.shortcut))

        # Settings as the installer wrote them go with everything else.
        shutil.rmtree(self.install_dir)
        self.install()
        self.assertEqual(read_setting(self.install_dir), bundled)
        self.uninstall()
        self.assertFalse(os.path.exists(self.install_dir))
        self.assertFalse(os.path.exists(self.shortcut))

    # --- the portable zip -------------------------------------------------------
    def test_portable_zip_unpacks_into_one_folder_and_runs_from_there(self):
        unpacked = os.path.join(WORK, "portable")
        with zipfile.ZipFile(PORTABLE) as archive:
            archive.extractall(unpacked)
        self.assertEqual(os.listdir(unpacked), ["Tovrik"])
        app = self.start(os.path.join(unpacked, "Tovrik"))
        self.assertEqual(app.title(), APP_TITLE)
        self.close(app)

    # --- high DPI -----------------------------------------------------------------
    def test_at_192_dpi_every_layout_size_doubles(self):
        unpacked = os.path.join(WORK, "dpi")
        with zipfile.ZipFile(PORTABLE) as archive:
            archive.extractall(unpacked)
        folder = os.path.join(WORK, "dpi-files")
        for name in ("写真", "文書"):
            os.makedirs(os.path.join(folder, name))
            with open(os.path.join(folder, name, "a.txt"), "wb") as out:
                out.write(cp932("同じ内容"))
        self.addCleanup(wine, "reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
        at96 = self.layout_at(96, os.path.join(unpacked, "Tovrik"), folder)
        at192 = self.layout_at(192, os.path.join(unpacked, "Tovrik"), folder)
        self.assertEqual(at96["main"], (640, 480))
        self.assertEqual(at192["main"], (1280, 960))
        self.assertEqual(at96["tree width"], 200)
        self.assertEqual(at96["label height"], 20)
        self.assertEqual(at192["label height"], 40)
        self.assertEqual(at192["tree width"], 2 * at96["tree width"])
        self.assertEqual(at96["file information"], (350, 200))
        self.assertEqual(at192["file information"], (700, 400))

    def layout_at(self, dpi, app_folder, folder):
        """Sizes of the windows at a system DPI, after an analysis of
        `folder`, with a screenshot of the main window."""
        wine("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        app = self.start(app_folder)
        main = app.main_window()

        def size(rect):
            return rect[2] - rect[0], rect[3] - rect[1]

        app.command(32771)
        app.choose_folder(folder)
        app.command(32774)
        box = app.wait_message_box(timeout=60)
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(box.handle), what="the final box to close")
        app.call("expand", 0)
        app.call("select", 1)
        tree = app.rect(app.control_handle(main, 2))
        label = app.rect(app.control_handle(main, 1))
        os.makedirs(SHOTS, exist_ok=True)
        screenshot(os.path.join(SHOTS, "main-window-at-%d-dpi.png" % dpi))
        app.command(FILE_INFO)
        info = wait_until(lambda: next((h for h, name, _ in app.top_windows() if name == "TvFileWindow"), None),
                          what="the file-information window")
        sizes = {"main": size(app.rect(main)), "tree width": size(tree)[0], "label height": size(label)[1],
                 "file information": size(app.rect(info))}
        app.post(info, WM_CLOSE)
        self.close(app)
        return sizes


if __name__ == "__main__":
    unittest.main()
