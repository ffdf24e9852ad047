"""Drives the real Tovrik.exe under Wine through the agent that the launcher
loads into it. The agent reads every text through the wide interfaces and
sends it as UTF-8; the harness hands it to the tests as code page 932 bytes,
which they compare with str.encode("cp932"), or as str where a text may hold
characters code page 932 lacks (the *_str methods).

Environment (set by CTest): TOVRIK_EXE, TOVRIK_E2E_LAUNCHER, TOVRIK_E2E_AGENT,
TOVRIK_E2E_WORK, and DISPLAY/WINEPREFIX from scripts/test.sh."""

import os
import re
import shutil
import socket
import subprocess
import sys
import time
from dataclasses import dataclass, field

WM_CLOSE = 0x0010
WM_CONTEXTMENU = 0x007B
MF_GRAYED = 0x0001
MF_DISABLED = 0x0002
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
SM_CXFRAME = 32
VK_ESCAPE = 0x1B
VK_DELETE = 0x2E


def wine_path(path):
    """The path as the Windows program sees it (Wine's Z: drive)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def cp932(text):
    return text.encode("cp932")


def agent_str(hex_text):
    """A text the agent read, as the program shows it."""
    return bytes.fromhex(hex_text).decode("utf-8")


def agent_bytes(hex_text):
    """The same text in code page 932, "?" for a character it lacks."""
    return agent_str(hex_text).encode("cp932", "replace")


def agent_hex(text):
    """A text (str, or code page 932 bytes) for the agent."""
    if isinstance(text, bytes):
        text = text.decode("cp932")
    return text.encode("utf-8").hex()


def wait_until(probe, timeout=20.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError("timed out waiting for " + what)
        time.sleep(interval)


@dataclass
class Control:
    handle: str
    class_name: str
    control_id: int
    text: bytes
    visible: bool
    enabled: bool


@dataclass
class Dialog:
    handle: str
    caption: bytes
    controls: list = field(default_factory=list)

    def has_class(self, name):
        return any(c.class_name.lower() == name.lower() for c in self.controls)

    def button_ids(self):
        return sorted(c.control_id for c in self.controls if c.class_name.lower() == "button" and c.visible)

    def message_text(self):
        texts = [c.text for c in self.controls if c.class_name.lower() == "static" and c.text]
        return texts[0] if texts else b""


@dataclass
class TreeItem:
    is_file: bool
    selected: bool
    expanded: bool
    text: bytes


class AgentError(RuntimeError):
    pass


# What Wine writes when it fails inside itself, not in the program: its own
# assertions, the C library's heap checks, and a process start refused with
# ERROR_INTERNAL_ERROR (1359), each seen now and then on a busy machine.
WINE_INTERNAL_FAILURE = re.compile(rb"Assertion failed|malloc\(\): |free\(\): |cannot start .* \(1359\)")


def wine_failed_internally(log):
    with open(log, "rb") as file:
        return WINE_INTERNAL_FAILURE.search(file.read()) is not None


class Tovrik:
    """One running Tovrik.exe, started from its own copy of the program
    folder so that each test has its own settings file."""

    def __init__(self, app_folder, windows_exe=None):
        """windows_exe: the program's path as Windows programs name it, for
        one installed on drive C: (by default its Z: path)."""
        self.app_folder = app_folder
        os.makedirs(app_folder, exist_ok=True)
        self.exe = os.path.join(app_folder, "Tovrik.exe")
        # The program ships with its helper programs beside it.
        programs = os.path.dirname(os.environ["TOVRIK_EXE"])
        for name in os.listdir(programs):
            if name.lower().endswith(".exe") and not os.path.exists(os.path.join(app_folder, name)):
                shutil.copy(os.path.join(programs, name), os.path.join(app_folder, name))
        self.windows_exe = windows_exe or wine_path(self.exe)
        self.process = None
        self.connection = None
        self.reader = None

    # --- process -----------------------------------------------------------
    def start(self, expect_agent=True, expect_window=True):
        """Starts the program; with the agent, once more when the start failed
        inside Wine: Wine's own assertion or the C library's heap check in the
        log, a process start refused as an internal error, or (on a busy
        machine) a window that never came. Each is seen about once in a few
        hundred starts, before the program could do anything, so that such a
        start does not pass for a fault of the program; a second failure is
        one."""
        for attempt in (1, 2):
            failure = self._start_once(expect_agent, expect_window)
            if failure is None:
                return self
            if attempt == 2:
                raise AssertionError("%s twice (see %s)" % (failure, self.log))
            sys.stderr.write("harness: %s (see %s); starting again\n" % (failure, self.log))
            self.stop()
            end_leftover_programs()

    def _start_once(self, expect_agent, expect_window):
        """None once started, else what went wrong inside Wine."""
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        environment = dict(os.environ, TOVRIK_AGENT_PORT=str(listener.getsockname()[1]))
        log = self.log = os.path.join(self.app_folder, "launcher-%d.log" % time.monotonic_ns())
        # Output goes to a file: Wine's background processes would inherit and
        # hold a pipe open.
        with open(log, "wb") as output:
            self.process = subprocess.Popen(
                ["wine", wine_path(os.environ["TOVRIK_E2E_LAUNCHER"]), self.windows_exe,
                 wine_path(os.environ["TOVRIK_E2E_AGENT"])],
                stdin=subprocess.DEVNULL, stdout=output, stderr=output, env=environment, start_new_session=True)
        if not expect_agent:
            listener.close()
            return None
        listener.settimeout(1)
        deadline = time.monotonic() + 40
        try:
            while self.connection is None:
                try:
                    self.connection, _ = listener.accept()
                except socket.timeout:
                    if wine_failed_internally(log):
                        return "Wine failed inside itself while the program started"
                    if time.monotonic() > deadline:
                        raise
        finally:
            listener.close()
        self.connection.settimeout(60)
        self.reader = self.connection.makefile("rb")
        code_page = int(self.call("acp"))
        expected = int(os.environ.get("TOVRIK_E2E_CODE_PAGE", "932"))
        if code_page != expected:
            raise AssertionError("Wine's ANSI code page is %d, not %d: is the locale generated?"
                                 % (code_page, expected))
        if not expect_window:  # a second instance shows a box alone
            return None
        try:
            wait_until(lambda: self.call("main") != "0" or wine_failed_internally(log), 30, what="the main window")
            if self.call("main") != "0":
                return None
        except TimeoutError:
            return "the main window never came"
        except OSError:  # the program ended under the agent
            pass
        return "Wine failed inside itself while the program started"

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def alive(self):
        return self.process.poll() is None

    def stop(self):
        """Ends the program whatever state it is in (test clean-up)."""
        if self.process and self.process.poll() is None:
            try:
                if self.connection:
                    self.send_line("terminate")
            except OSError:
                pass
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.connection:
            self.connection.close()
            self.connection = None

    # --- agent -------------------------------------------------------------
    def send_line(self, line):
        self.connection.sendall((line + "\n").encode("ascii"))

    def call(self, *words):
        self.send_line(" ".join(str(word) for word in words))
        reply = self.reader.readline().decode("ascii").rstrip("\n")
        if reply.startswith("error:"):
            raise AgentError(reply)
        return reply

    def fields(self, *words):
        reply = self.call(*words)
        return [entry.split(",") for entry in reply.split("\t")] if reply else []

    # --- windows -----------------------------------------------------------
    def main_window(self):
        return self.call("main")

    def title(self):
        return agent_bytes(self.call("text", self.main_window()))

    def title_str(self):
        return agent_str(self.call("text", self.main_window()))

    def top_windows(self):
        return [(handle, name, agent_bytes(text)) for handle, name, text in self.fields("windows")]

    def controls(self, handle):
        return [Control(h, name, int(cid), agent_bytes(text), visible == "1", enabled == "1")
                for h, name, cid, text, visible, enabled in self.fields("children", handle)]

    def message_text_str(self, handle):
        """A message box's text, as str (its first static control with text)."""
        texts = [agent_str(text) for _, name, _, text, _, _ in self.fields("children", handle)
                 if name.lower() == "static" and text]
        return texts[0] if texts else ""

    def dialogs(self):
        return [Dialog(handle, caption, self.controls(handle))
                for handle, name, caption in self.top_windows() if name == "#32770"]

    def message_boxes(self):
        """Boxes with a text and an answer button; a progress dialog caught
        while its controls come or go is none."""
        return [d for d in self.dialogs()
                if not d.has_class("msctls_progress32") and not d.has_class("SysTreeView32")
                and d.message_text() and any(c.class_name.lower() == "button" and c.control_id in
                                             (IDOK, IDCANCEL, IDYES, IDNO) for c in d.controls)]

    def wait_message_box(self, timeout=30):
        return wait_until(lambda: (self.message_boxes() or [None])[0], timeout, what="a message box")

    def progress_dialog(self):
        found = [d for d in self.dialogs() if d.has_class("msctls_progress32")]
        return found[0] if found else None

    def folder_browser(self, timeout=20):
        return wait_until(lambda: ([d for d in self.dialogs() if d.has_class("SysTreeView32")] or [None])[0],
                          timeout, what="the folder browser")

    def visible(self, handle):
        return self.call("visible", handle) == "1"

    def click(self, handle, control_id):
        self.call("click", handle, control_id)

    def command(self, command_id):
        self.call("command", command_id)

    def end_dialog(self, handle, result):
        """Ends a dialog or message box with any result, as one that failed would."""
        self.call("enddialog", handle, result)

    def focus(self):
        """The window that has the keyboard focus in the program."""
        return self.call("focus")

    def post(self, handle, message, wparam=0, lparam=0):
        self.call("post", handle, message, wparam, lparam)

    def rect(self, handle):
        return [int(v) for v in self.call("rect", handle).split(",")]

    def client(self, handle):
        return [int(v) for v in self.call("client", handle).split(",")]

    def metric(self, index):
        return int(self.call("metric", index))

    def styles(self, handle):
        """(style, extended style) of a window."""
        style, extended = self.call("styles", handle).split(",")
        return int(style) & 0xFFFFFFFF, int(extended) & 0xFFFFFFFF

    def drop(self, handle, path):
        """Drops a file or folder on a window, as Explorer does."""
        if self.call("drop", handle, agent_hex(wine_path(path))) != "1":
            raise AssertionError("could not post the drop")

    def control_handle(self, parent, control_id):
        return next(c.handle for c in self.controls(parent) if c.control_id == control_id)

    # --- menus -------------------------------------------------------------
    def menu(self):
        """[(popup state, popup text, [(id, state, text)])] of the menu bar."""
        popups = []
        for entry in self.fields("menu"):
            kind, state, text = entry
            if kind == "P":
                popups.append((int(state), agent_bytes(text), []))
            else:
                popups[-1][2].append((int(kind), int(state), agent_bytes(text)))
        return popups

    def menu_item_state(self, command_id):
        for _, _, items in self.menu():
            for item_id, state, _ in items:
                if item_id == command_id:
                    return state
        raise KeyError(command_id)

    def popup_menu(self):
        """(screen rect, [(id, state, text)]) of the open context menu, or None."""
        reply = self.call("popupmenu")
        if reply == "none":
            return None
        parts = reply.split("\t")
        rect = [int(v) for v in parts[0].split(",")]
        items = [(int(i), int(s), agent_bytes(t)) for i, s, t in (p.split(",") for p in parts[1:])]
        return rect, items

    # --- results tree ------------------------------------------------------
    def tree(self, handle=None):
        """The results tree, or the tree-view `handle` names, flattened."""
        words = ("tree",) if handle is None else ("tree", handle)
        return [TreeItem(d == "1", s == "1", e == "1", agent_bytes(t)) for d, s, e, t in self.fields(*words)]

    def tree_str(self):
        """[(is file, text)] of the results tree, each text as the wide tree
        message gives it."""
        return [(d == "1", agent_str(t)) for d, _, _, t in self.fields("tree")]

    def tree_groups(self, filled=True):
        """[(label, [paths])] in tree order; without `filled`, only the paths
        of groups opened before are listed."""
        groups = []
        handle = None if filled else self.control_handle(self.main_window(), 2)  # the results tree
        for item in self.tree(handle):
            if item.is_file:
                groups[-1][1].append(item.text)
            else:
                groups.append((item.text, []))
        return groups

    def tree_count(self, tree_handle):
        """The number of items in the tree, from one message to it."""
        return int(self.call("send", tree_handle, 0x1105, 0, 0))  # TVM_GETCOUNT

    def probe(self, action):
        """Starts, reads or stops the agent's probe, which sends one message to
        the results tree every 100 ms: (longest wait ms, probes, probes over 100 ms)."""
        longest, probes, slow = self.call("probe", action).split(",")
        return float(longest), int(probes), int(slow)

    def peak_memory_kib(self):
        return int(self.call("memory").split(",")[0])

    def item_rect(self, index):
        return [int(v) for v in self.call("itemrect", index).split(",")]

    # --- input -------------------------------------------------------------
    def right_click(self, x, y):
        self.call("rclick", x, y)

    def drag(self, x1, y1, x2, y2):
        self.call("drag", x1, y1, x2, y2)

    def key(self, virtual_key):
        self.call("key", virtual_key)

    # --- compound steps ------------------------------------------------------
    def answer_message_box(self, button, expect_caption=None, expect_text=None):
        box = self.wait_message_box()
        if expect_caption is not None and box.caption != expect_caption:
            raise AssertionError("caption %r, expected %r" % (box.caption, expect_caption))
        if expect_text is not None and box.message_text() != expect_text:
            raise AssertionError("text %r, expected %r" % (box.message_text(), expect_text))
        self.click(box.handle, button)
        wait_until(lambda: not self.visible(box.handle), 10, what="the message box to close")
        return box

    def choose_folder(self, folder):
        """Answers the folder browser that a command has opened."""
        browser = self.folder_browser()
        self.call("browse", browser.handle, agent_hex(wine_path(folder)))
        wait_until(lambda: not self.visible(browser.handle), 10, what="the folder browser to close")

    def save_as(self, path, timeout=20):
        """Types `path` into the Save As dialog that a command has opened and
        confirms it."""
        dialog = wait_until(lambda: ([d for d in self.dialogs()
                                      if any(c.control_id in (1148, 1152) for c in d.controls)] or [None])[0],
                            timeout, what="the Save As dialog")
        name_box = next(c for c in dialog.controls if c.control_id in (1148, 1152) and c.visible)
        self.call("settext", name_box.handle, agent_hex(wine_path(path)))
        self.click(dialog.handle, IDOK)
        wait_until(lambda: not self.visible(dialog.handle), 10, what="the Save As dialog to close")

    def cancel_folder_browser(self):
        browser = self.folder_browser()
        self.click(browser.handle, IDCANCEL)
        wait_until(lambda: not self.visible(browser.handle), 10, what="the folder browser to close")


def end_leftover_programs():
    """Ends any Tovrik.exe a failed test left running: its mutex would turn
    the next start into a second instance."""
    subprocess.run(["wine", "taskkill", "/F", "/IM", "Tovrik.exe"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def screenshot(path):
    """The whole virtual screen as a PNG (ImageMagick's import)."""
    subprocess.run(["import", "-window", "root", path], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path
