"""The settings dialog with Tovrik.ini, and the file actions on the results
tree, driven through the real Tovrik.exe under Wine."""

import csv
import glob
import io
import os
import shutil
import subprocess
import sys
import time
import unittest

from harness import (IDCANCEL, IDNO, IDOK, IDYES, MF_GRAYED, VK_DELETE, Tovrik, cp932, end_leftover_programs,  # noqa: F401
                     wait_until, wine_path)

WORK = os.environ.get("TOVRIK_E2E_WORK", "/tmp/tovrik-e2e")
SETTINGS_CAPTION = cp932("設定ダイアログ")
DELETE_CAPTION = cp932("ファイル削除")
RECYCLE_QUESTION = cp932("下記ファイルをゴミ箱に入れてもよろしいですか？\n\n")
TRASH = os.path.join(os.path.expanduser("~"), ".local", "share", "Trash", "files")


def remove_from_trash(entry):
    """A trash entry and its description, so that runs leave no trace."""
    os.remove(entry)
    info = os.path.join(os.path.dirname(TRASH), "info", os.path.basename(entry) + ".trashinfo")
    if os.path.exists(info):
        os.remove(info)
LOGGING_PLUGIN = os.environ.get("TOVRIK_LOGGING_PLUGIN", "")
FINISHED_CAPTION = cp932("処理終了")
KEEP_THIS, RECYCLE_ALL, SAVE_CSV = 32784, 32785, 32786
OPEN_FILE, KEEP_NEWEST, KEEP_OLDEST, KEEP_IN_FOLDER = 32787, 32789, 32790, 32791
VK_RETURN = 0x0D
TVS_SHOWSELALWAYS = 0x20


def unix_path(tree_text, encoding="cp932"):
    return tree_text.decode(encoding)[2:].replace("\\", "/")


def group_size(label):
    return int(label.split(b"(")[1].split(b" ")[0].replace(b",", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def write_settings(app_folder, plugin_folder):
    os.makedirs(app_folder, exist_ok=True)
    with open(os.path.join(app_folder, "Tovrik.ini"), "wb") as ini:
        ini.write(b"[PlugIn]\r\nDirectory=" + plugin_folder + b"\r\n")


def read_setting(app_folder):
    path = os.path.join(app_folder, "Tovrik.ini")
    if not os.path.exists(path):
        return None
    for line in open(path, "rb").read().splitlines():
        if line.startswith(b"Directory="):
            return line[len(b"Directory="):]
    return None


def make_unwritable(folder):
    """True once nobody, root included, can create a file in `folder`: the
    immutable flag where the file system has it, else the permissions."""
    if subprocess.call(["chattr", "+i", folder], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) != 0:
        os.chmod(folder, 0o555)
    try:
        os.close(os.open(os.path.join(folder, "probe"), os.O_CREAT | os.O_WRONLY))
    except OSError:
        return True
    os.remove(os.path.join(folder, "probe"))
    return False


def make_writable(folder):
    subprocess.call(["chattr", "-i", folder], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.chmod(folder, 0o755)


def install_logging_plugin(folder, name="logger.spi"):
    os.makedirs(folder, exist_ok=True)
    shutil.copy(LOGGING_PLUGIN, os.path.join(folder, name))
    return os.path.join(folder, name + ".log")


def queries(log):
    """How many times the program has loaded the logging plug-in and asked
    it for its first filter."""
    if not os.path.exists(log):
        return 0
    return open(log).read().split().count("2")


class SettingsAndActionsTest(unittest.TestCase):
    def setUp(self):
        self.work = os.path.join(WORK, self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.app_folder = os.path.join(self.work, "app")
        end_leftover_programs()
        self.session = None

    def tearDown(self):
        if self.session:
            self.session.stop()

    def start(self):
        self.session = Tovrik(self.app_folder).start()
        wait_until(lambda: self.session.call("main") != "0", what="the main window")
        return self.session

    def settings_dialog(self):
        app = self.session
        return wait_until(lambda: ([d for d in app.dialogs() if d.caption == SETTINGS_CAPTION] or [None])[0],
                          what="the settings dialog")

    def shown_folder(self, dialog):
        return next(c.text for c in self.session.controls(dialog.handle) if c.control_id == 205)

    def close_dialog(self, dialog, button):
        self.session.click(dialog.handle, button)
        wait_until(lambda: not self.session.visible(dialog.handle), what="the dialog to close")

    def analyse(self, folder):
        app = self.session
        app.command(32771)
        app.choose_folder(folder)
        app.command(32774)
        # Seconds on a quiet machine; sparse gigabytes take longer on a busy one.
        box = app.wait_message_box(timeout=180)
        self.assertEqual(box.caption, cp932("処理終了"))
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(box.handle), what="the final box to close")

    def select(self, index):
        self.session.call("select", index)
        wait_until(lambda: self.session.tree()[index].selected, what="the selection")

    # --- settings ---------------------------------------------------------
    def test_no_settings_file_shows_an_empty_folder_and_ok_writes_one(self):
        self.start()
        self.session.command(32779)
        dialog = self.settings_dialog()
        labels = [c.text for c in dialog.controls]
        self.assertIn(cp932("Susie Plug-inが格納されたフォルダ"), labels)
        self.assertIn((203, cp932("参照")), [(c.control_id, c.text) for c in dialog.controls])
        self.assertIn((2, cp932("キャンセル")), [(c.control_id, c.text) for c in dialog.controls])
        self.assertEqual(self.shown_folder(dialog), b"")
        self.close_dialog(dialog, IDOK)
        self.assertEqual(read_setting(self.app_folder), b"")

    def test_dialog_shows_the_folder_and_ok_reloads_the_plugins_each_time(self):
        """Also from a program folder whose name code page 932 cannot hold,
        and with a settings file that cannot be written."""
        self.app_folder = os.path.join(self.work, "app-café")
        plugins = os.path.join(self.work, "plugins")
        log = install_logging_plugin(plugins)
        write_settings(self.app_folder, wine_path(plugins).encode("cp932"))
        app = self.start()
        wait_until(lambda: queries(log) == 1, what="the plug-ins to load at start-up")
        for expected_queries in (2, 3):
            app.command(32779)
            dialog = self.settings_dialog()
            self.assertEqual(self.shown_folder(dialog), wine_path(plugins).encode("cp932"))
            self.close_dialog(dialog, IDOK)
            self.assertEqual(queries(log), expected_queries)
        self.assertEqual(read_setting(self.app_folder), wine_path(plugins).encode("cp932"))

        # A settings file that cannot be written (a folder in its place, which
        # even root cannot write to): OK says so, and the new folder is used
        # and shown for the rest of the session.
        ini = os.path.join(self.app_folder, "Tovrik.ini")
        os.remove(ini)
        os.makedirs(ini)
        other = os.path.join(self.work, "other-plugins")
        other_log = install_logging_plugin(other)
        app.command(32779)
        dialog = self.settings_dialog()
        app.click(dialog.handle, 203)
        app.choose_folder(other)
        wait_until(lambda: self.shown_folder(dialog) == wine_path(other).encode("cp932"), what="the new folder")
        app.click(dialog.handle, IDOK)
        box = wait_until(lambda: next((d for d in app.message_boxes() if d.caption == cp932("確認")), None),
                         what="the box saying the settings were not saved")
        text = app.message_text_str(box.handle)
        self.assertEqual(text, "設定を保存できませんでした\n\n" + wine_path(os.path.join(self.app_folder, "Tovrik.ini")))
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(dialog.handle), what="the dialog to close")
        self.assertEqual(queries(other_log), 1)
        app.command(32779)
        dialog = self.settings_dialog()
        self.assertEqual(self.shown_folder(dialog), wine_path(other).encode("cp932"))
        self.close_dialog(dialog, IDCANCEL)

    def test_cancel_after_browse_discards_and_browse_changes_what_ok_writes(self):
        old = os.path.join(self.work, "old-plugins")
        new = os.path.join(self.work, "new-plugins")
        old_log = install_logging_plugin(old)
        new_log = install_logging_plugin(new)
        write_settings(self.app_folder, wine_path(old).encode("cp932"))
        app = self.start()
        wait_until(lambda: queries(old_log) == 1, what="the plug-ins to load")

        app.command(32779)
        dialog = self.settings_dialog()
        app.click(dialog.handle, 203)
        app.choose_folder(new)
        wait_until(lambda: self.shown_folder(dialog) == wine_path(new).encode("cp932"), what="the new folder")
        self.close_dialog(dialog, IDCANCEL)
        self.assertEqual(read_setting(self.app_folder), wine_path(old).encode("cp932"))
        self.assertEqual((queries(old_log), queries(new_log)), (1, 0))

        app.command(32779)
        dialog = self.settings_dialog()
        self.assertEqual(self.shown_folder(dialog), wine_path(old).encode("cp932"))
        app.click(dialog.handle, 203)
        app.choose_folder(new)
        wait_until(lambda: self.shown_folder(dialog) == wine_path(new).encode("cp932"), what="the new folder")
        self.close_dialog(dialog, IDOK)
        self.assertEqual(read_setting(self.app_folder), wine_path(new).encode("cp932"))
        self.assertEqual((queries(old_log), queries(new_log)), (1, 1))

    def test_a_long_folder_value_is_read_shown_and_written_whole(self):
        long_folder = b"Z:\\" + b"\\".join([b"x" * 50] * 12)  # over 600 characters
        self.assertGreater(len(long_folder), 600)
        write_settings(self.app_folder, long_folder)
        self.start()
        self.session.command(32779)
        dialog = self.settings_dialog()
        self.assertEqual(self.shown_folder(dialog), long_folder)
        self.close_dialog(dialog, IDOK)
        self.assertEqual(read_setting(self.app_folder), long_folder)

    def test_plugin_folder_ending_in_a_trail_byte_backslash_loads(self):
        # 表 is 0x95 0x5C in code page 932.
        plugins = os.path.join(self.work, "画像表")
        log = install_logging_plugin(plugins)
        write_settings(self.app_folder, wine_path(plugins).encode("cp932"))
        self.assertTrue(wine_path(plugins).encode("cp932").endswith(b"\\"))
        self.start()
        wait_until(lambda: queries(log) == 1, what="the plug-in in 画像表 to load")

    # --- recycle bin ------------------------------------------------------
    def make_group(self, name, copies):
        folder = os.path.join(self.work, name)
        for index in range(copies):
            write(os.path.join(folder, "copy%d.dat" % index), ("%s contents" % name).encode())
        return folder

    def answer_recycle(self, path_bytes, button):
        app = self.session
        box = app.wait_message_box()
        self.assertEqual(box.caption, DELETE_CAPTION)
        self.assertEqual(box.message_text(), RECYCLE_QUESTION + path_bytes + b"\n")
        self.assertEqual(box.button_ids(), [IDYES, IDNO])
        app.click(box.handle, button)
        wait_until(lambda: not app.visible(box.handle), what="the question to close")

    @staticmethod
    def trash_entries():
        return set(glob.glob(os.path.join(TRASH, "*")))

    def test_recycling_one_of_two_takes_the_group_off_and_keeps_the_other(self):
        folder = self.make_group("pair", 2)
        self.start()
        self.analyse(folder)
        groups = self.session.tree_groups()
        self.assertEqual(len(groups), 1)
        victim = groups[0][1][0]
        trash_before = self.trash_entries()
        self.select(1)
        self.session.command(32777)
        self.answer_recycle(victim, IDYES)
        wait_until(lambda: self.session.tree() == [], what="the group to leave the tree")
        victim_path = victim.decode("cp932")[2:].replace("\\", "/")
        survivor_path = groups[0][1][1].decode("cp932")[2:].replace("\\", "/")
        self.assertFalse(os.path.exists(victim_path))
        self.assertTrue(os.path.exists(survivor_path))
        # The recycled file is in the trash (Wine's recycle bin is the XDG trash
        # of $HOME), with its contents; the test takes its own entry out again.
        added = self.trash_entries() - trash_before
        self.assertEqual(len(added), 1, "one new entry in the trash")
        entry = added.pop()
        self.assertTrue(os.path.basename(entry).startswith(os.path.basename(victim_path)))
        self.assertEqual(open(entry, "rb").read(), open(survivor_path, "rb").read())
        remove_from_trash(entry)

    def test_recycling_one_of_three_keeps_the_group_and_its_label(self):
        folder = self.make_group("three", 3)
        self.start()
        self.analyse(folder)
        label, paths = self.session.tree_groups()[0]
        self.select(2)
        self.session.command(32777)
        self.answer_recycle(paths[1], IDYES)
        wait_until(lambda: len(self.session.tree()) == 3, what="one item to go")
        self.assertEqual(self.session.tree_groups(), [(label, [paths[0], paths[2]])])

    def test_only_a_yes_recycles_and_the_keyboard_stays_in_the_tree(self):
        """After the run's final box, the recycle question and the move's
        folder browser, the focus is back in the tree: Delete asks again
        without a click. No and a box that ends without an answer (as a
        failed one returns 0) change nothing."""
        folder = self.make_group("keep", 2)
        app = self.start()
        self.analyse(folder)
        before = app.tree_groups()
        tree = app.control_handle(app.main_window(), 2)
        self.select(1)
        wait_until(lambda: app.focus() == tree, what="the focus in the tree after the final box")
        app.key(VK_DELETE)
        self.answer_recycle(before[0][1][0], IDNO)

        wait_until(lambda: app.focus() == tree, what="the focus in the tree after the question")
        app.key(VK_DELETE)
        box = app.wait_message_box()
        self.assertEqual(box.caption, DELETE_CAPTION)
        app.end_dialog(box.handle, 0)
        wait_until(lambda: not app.visible(box.handle), what="the question to end")
        time.sleep(0.5)

        app.command(32783)
        app.cancel_folder_browser()
        wait_until(lambda: app.focus() == tree, what="the focus in the tree after the folder browser")
        app.key(VK_DELETE)
        self.answer_recycle(before[0][1][0], IDNO)
        self.assertEqual(app.tree_groups(), before)
        self.assertTrue(all(os.path.exists(p.decode("cp932")[2:].replace("\\", "/")) for p in before[0][1]))

    def test_group_item_or_no_selection_asks_nothing(self):
        """Also: the run command sent before any folder was chosen starts no
        run (it would analyse the current drive's root)."""
        folder = self.make_group("group", 2)
        self.start()
        self.session.command(32774)
        time.sleep(1)
        self.assertEqual(self.session.dialogs(), [])
        self.analyse(folder)
        before = self.session.tree_groups()
        self.session.command(32777)  # nothing selected yet
        self.select(0)
        self.session.command(32777)
        self.session.command(32783)
        time.sleep(0.5)
        self.assertEqual(self.session.message_boxes(), [])
        self.assertEqual(self.session.dialogs(), [])
        self.assertEqual(self.session.tree_groups(), before)

    def test_a_question_left_open_across_a_run_acts_on_the_new_tree(self):
        """A run started and ended under the Delete question (its closing box
        enables the main window): Yes recycles the file and takes it off the
        tree that now lists it."""
        folder = self.make_group("reran", 3)
        app = self.start()
        self.analyse(folder)
        label, paths = app.tree_groups()[0]
        self.select(1)
        app.command(32777)
        question = app.wait_message_box()
        app.command(32774)
        box = wait_until(lambda: next((b for b in app.message_boxes() if b.caption == FINISHED_CAPTION), None),
                         timeout=60, what="the run's closing box")
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(box.handle), what="the closing box to close")
        self.assertEqual(app.tree_groups(), [(label, paths)], "the new run lists the same files")
        app.click(question.handle, IDYES)
        wait_until(lambda: not os.path.exists(unix_path(paths[0])), what="the file to go")
        wait_until(lambda: app.tree_groups() == [(label, paths[1:])], what="the new tree without it")

    def test_delete_key_on_a_group_item_does_nothing(self):
        folder = self.make_group("delete-group", 2)
        app = self.start()
        self.analyse(folder)
        before = app.tree_groups()
        left, top, right, bottom = app.item_rect(0)
        tree = app.rect(app.control_handle(app.main_window(), 2))
        app.call("lclick", min((left + right) // 2, tree[2] - 30), (top + bottom) // 2)
        wait_until(lambda: app.tree()[0].selected, what="the click to select the group")
        app.key(VK_DELETE)
        time.sleep(0.5)
        self.assertEqual(app.message_boxes(), [])
        self.assertEqual(app.tree_groups(), before)

    def test_a_recycle_the_shell_does_not_carry_out_leaves_the_tree(self):
        folder = self.make_group("gone", 2)
        self.start()
        self.analyse(folder)
        before = self.session.tree_groups()
        os.remove(before[0][1][0].decode("cp932")[2:].replace("\\", "/"))
        self.select(1)
        self.session.command(32777)
        self.answer_recycle(before[0][1][0], IDYES)
        # The shell may report the failure in a dialog of its own.
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            for box in self.session.dialogs():
                if IDOK in box.button_ids():
                    self.session.click(box.handle, IDOK)
            time.sleep(0.2)
        self.assertEqual(self.session.tree_groups(), before)

    # --- many at once -----------------------------------------------------
    def answer_finished(self, expected_text):
        box = self.session.wait_message_box(timeout=180)
        self.assertEqual((box.caption, box.message_text()), (FINISHED_CAPTION, expected_text))
        self.session.click(box.handle, IDOK)
        wait_until(lambda: not self.session.visible(box.handle), what="the closing box to close")

    def make_sparse_pair(self, name, *files):
        """Two 3 GiB files of zeros: seconds to compare, no disk."""
        folder = os.path.join(self.work, name)
        os.makedirs(folder)
        for file_name in files:
            with open(os.path.join(folder, file_name), "wb") as big:
                big.truncate(3 << 30)
        return folder

    def take_from_trash(self, before, expected_count):
        """The trash entries added since `before`, as {name: contents}; the
        test takes them out again."""
        added = self.trash_entries() - before
        self.assertEqual(len(added), expected_count)
        contents = {}
        for entry in added:
            contents[os.path.basename(entry)] = open(entry, "rb").read()
            remove_from_trash(entry)
        return contents

    def test_enter_opens_a_file_with_its_program_and_a_file_without_one_is_said_so(self):
        marker = os.path.join(self.work, "opened.txt")
        script = ('@echo opened>"%s"\r\n' % wine_path(marker)).encode("cp932")
        for place in ("a/run.bat", "b/run.bat"):
            write(os.path.join(self.work, "data", place), script)
        for place in ("a/x.tovrik-unknown", "b/x.tovrik-unknown"):
            write(os.path.join(self.work, "data", place), b"no program opens this")
        app = self.start()
        self.analyse(os.path.join(self.work, "data"))
        items = [item.text for item in app.tree()]
        self.select(next(i for i, text in enumerate(items) if text.endswith(b"run.bat")))
        tree = app.control_handle(app.main_window(), 2)
        wait_until(lambda: app.focus() == tree, what="the focus in the tree")
        app.key(VK_RETURN)
        wait_until(lambda: os.path.exists(marker), what="the batch file to run")
        unknown = next(i for i, text in enumerate(items) if text.endswith(b"x.tovrik-unknown"))
        self.select(unknown)
        app.command(OPEN_FILE)
        app.answer_message_box(IDOK, cp932("確認"), cp932("ファイルを開けませんでした\n\n") + items[unknown])
        self.assertEqual([item.text for item in app.tree()], items)

    def test_the_selection_stays_shown_and_moves_on_when_a_group_goes(self):
        for name, copies in (("first", 2), ("second", 2), ("third", 2)):
            self.make_group(os.path.join("data", name), copies)
        app = self.start()
        self.analyse(os.path.join(self.work, "data"))
        tree = app.control_handle(app.main_window(), 2)
        self.assertEqual(app.styles(tree)[0] & TVS_SHOWSELALWAYS, TVS_SHOWSELALWAYS)
        groups = app.tree_groups()

        def recycle_file_at(index, path):
            self.select(index)
            app.command(32777)
            self.answer_recycle(path, IDYES)
            wait_until(lambda: len(app.tree()) == len(before) - 3, what="the group to go")

        # The first group goes: its successor's first file is selected.
        trash_before = self.trash_entries()
        before = app.tree()
        recycle_file_at(1, groups[0][1][0])
        self.assertEqual([(i.text, i.selected) for i in app.tree() if i.selected], [(groups[1][1][0], True)])
        # The last group goes: its predecessor's first file is selected.
        before = app.tree()
        recycle_file_at(4, groups[2][1][0])
        self.assertEqual([i.text for i in app.tree() if i.selected], [groups[1][1][0]])
        for _, paths in (groups[0], groups[2]):
            self.assertTrue(os.path.exists(unix_path(paths[1])))
        self.take_from_trash(trash_before, 2)

    def test_keep_the_newest_or_the_oldest_of_each_group(self):
        stamps = {}
        for name in ("one", "two"):
            folder = self.make_group(os.path.join("data", name), 3)
            for index, age in enumerate((300, 100, 200)):  # copy1 is the newest, copy0 the oldest
                path = os.path.join(folder, "copy%d.dat" % index)
                os.utime(path, (time.time() - age * 60, time.time() - age * 60))
                stamps[path] = age
        app = self.start()
        self.analyse(os.path.join(self.work, "data"))
        groups = app.tree_groups()
        total = sum(group_size(label) * 2 for label, _ in groups)

        def question(which):
            return cp932("各グループで最も%sファイルを残し、ほかの4個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？"
                         % (which, "{:,}".format(total)))

        app.command(KEEP_OLDEST)
        app.answer_message_box(IDNO, DELETE_CAPTION, question("古い"))
        self.assertEqual(app.tree_groups(), groups)
        trash_before = self.trash_entries()
        app.command(KEEP_NEWEST)
        app.answer_message_box(IDYES, DELETE_CAPTION, question("新しい"))
        self.answer_finished(cp932("4個のファイルをゴミ箱に入れました"))
        self.assertEqual(app.tree(), [])
        self.assertEqual(sorted(os.path.basename(p) for p in stamps if os.path.exists(p)), ["copy1.dat"] * 2)
        self.take_from_trash(trash_before, 4)

    def test_keep_the_files_in_this_folder_recycles_only_groups_that_have_one(self):
        data = os.path.join(self.work, "data")
        for place, contents in (("keep/a", b"group a"), ("other/a1", b"group a"), ("other/a2", b"group a"),
                                ("keep/sub/b", b"group bb"), ("other/b", b"group bb"),
                                ("other/c1", b"group ccc"), ("other/c2", b"group ccc")):
            write(os.path.join(data, place), contents)
        app = self.start()
        self.analyse(data)
        before = app.tree_groups()
        items = [item.text for item in app.tree()]
        self.select(items.index(cp932(wine_path(os.path.join(data, "keep", "a")))))
        trash_before = self.trash_entries()
        app.command(KEEP_IN_FOLDER)
        question = cp932("下記フォルダ内のファイルを残し、ほかの3個のファイル（合計22 byte）をゴミ箱に入れてもよろしいですか？\n\n"
                         + wine_path(os.path.join(data, "keep")) + "\n")
        app.answer_message_box(IDYES, DELETE_CAPTION, question)
        self.answer_finished(cp932("3個のファイルをゴミ箱に入れました"))
        self.assertEqual(app.tree_groups(), [g for g in before if g[1][0].endswith(b"c1") or g[1][0].endswith(b"c2")])
        left = sorted(os.path.relpath(os.path.join(base, name), data)
                      for base, _, names in os.walk(data) for name in names)
        self.assertEqual(left, ["keep/a", "keep/sub/b", "other/c1", "other/c2"])
        self.take_from_trash(trash_before, 3)

    def test_keep_this_recycles_the_rest_of_its_group(self):
        folder = self.make_group("keep-this", 3)
        app = self.start()
        self.analyse(folder)
        label, paths = app.tree_groups()[0]
        trash_before = self.trash_entries()
        self.select(2)  # the group's second file stays
        app.command(KEEP_THIS)
        question = cp932("下記ファイルを残し、同じグループのほかの2個のファイルをゴミ箱に入れてもよろしいですか？\n\n")
        box = app.wait_message_box()
        self.assertEqual((box.caption, box.message_text()), (DELETE_CAPTION, question + paths[1] + b"\n"))
        self.assertEqual(box.button_ids(), [IDYES, IDNO])
        app.click(box.handle, IDYES)
        self.answer_finished(cp932("2個のファイルをゴミ箱に入れました"))
        self.assertEqual(app.tree(), [])
        self.assertTrue(os.path.exists(unix_path(paths[1])))
        self.assertFalse(any(os.path.exists(unix_path(p)) for p in (paths[0], paths[2])))
        recycled = self.take_from_trash(trash_before, 2)
        self.assertEqual(set(recycled.values()), {b"keep-this contents"})
        self.assertEqual(app.menu_item_state(RECYCLE_ALL) & MF_GRAYED, MF_GRAYED, "the tree holds no group now")

    def test_recycle_all_keeps_each_first_and_what_changed_since_the_run(self):
        folders = {name: self.make_group(os.path.join("data", name), copies)
                   for name, copies in (("three", 3), ("edited", 2), ("lost-first", 2), ("plain", 2))}
        app = self.start()
        self.analyse(os.path.join(self.work, "data"))
        groups = {paths[0].split(b"\\")[-2].decode(): (label, paths) for label, paths in app.tree_groups()}
        self.assertEqual(sorted(groups), sorted(folders))
        self.assertEqual(app.menu_item_state(RECYCLE_ALL) & MF_GRAYED, 0)
        self.assertEqual(app.menu_item_state(SAVE_CSV) & MF_GRAYED, 0)
        # Between the run and the command: one copy edited in place (same
        # length), one group's first file deleted.
        edited = unix_path(groups["edited"][1][1])
        original = open(edited, "rb").read()
        write(edited, original.upper())
        os.remove(unix_path(groups["lost-first"][1][0]))
        leaving = sum(len(paths) - 1 for _, paths in groups.values())
        total = sum(group_size(label) * (len(paths) - 1) for label, paths in groups.values())
        question = cp932("各グループの先頭のファイルを残し、ほかの%d個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？"
                         % (leaving, "{:,}".format(total)))
        before = app.tree_groups()

        app.command(RECYCLE_ALL)
        app.answer_message_box(IDNO, DELETE_CAPTION, question)
        self.assertEqual(app.tree_groups(), before, "No changes nothing")
        self.assertTrue(all(os.path.exists(unix_path(p)) for _, paths in before for p in paths
                            if unix_path(p) != unix_path(groups["lost-first"][1][0])))

        trash_before = self.trash_entries()
        app.command(RECYCLE_ALL)
        app.answer_message_box(IDYES, DELETE_CAPTION, question)
        self.answer_finished(cp932("3個のファイルをゴミ箱に入れました\n\n"
                                   "内容が変わっていたか開けなかったため、2個のファイルを残しました"))
        # The two groups whose files stayed keep their items and labels.
        self.assertEqual(app.tree_groups(), [g for g in before if g in (groups["edited"], groups["lost-first"])])
        self.assertTrue(os.path.exists(edited) and os.path.exists(unix_path(groups["edited"][1][0])))
        self.assertTrue(os.path.exists(unix_path(groups["lost-first"][1][1])))
        for name in ("three", "plain"):
            paths = groups[name][1]
            self.assertTrue(os.path.exists(unix_path(paths[0])))
            self.assertFalse(any(os.path.exists(unix_path(p)) for p in paths[1:]))
        recycled = self.take_from_trash(trash_before, 3)
        self.assertEqual(sorted(recycled.values()), [b"data/plain contents"] + [b"data/three contents"] * 2)

    def test_a_file_replaced_during_the_check_is_not_recycled(self):
        """A leaving file renamed away and replaced under its name while it is
        checked (as atomic saves do): neither it nor its replacement goes, and
        the closing box says that a file could not be put in the bin."""
        folder = self.make_sparse_pair("swapped", "kept.bin", "leaving.bin")
        app = self.start()
        self.analyse(folder)
        (_, paths), = app.tree_groups()
        kept = [p for p in paths if p.endswith(b"kept.bin")][0]
        self.select(1 + paths.index(kept))
        trash_before = self.trash_entries()
        app.command(KEEP_THIS)
        app.answer_message_box(IDYES, DELETE_CAPTION)
        wait_until(lambda: [d for d in app.dialogs() if d.caption == cp932("ファイルを確認中") and app.visible(d.handle)],
                   what="the check's progress")
        leaving = os.path.join(folder, "leaving.bin")
        os.rename(leaving, leaving + ".old")
        write(leaving, b"someone's new file")
        self.answer_finished(cp932("0個のファイルをゴミ箱に入れました\n\n1個のファイルはゴミ箱に入れられませんでした"))
        self.assertEqual(open(leaving, "rb").read(), b"someone's new file")
        self.assertEqual(os.path.getsize(leaving + ".old"), 3 << 30)
        self.assertEqual(self.trash_entries() - trash_before, set())
        self.assertEqual(len(app.tree()), 3, "the group stays as it was")

    def test_a_name_ending_in_a_space_is_recycled_as_itself(self):
        """The shell drops a trailing space from the bare path it reads:
        "b.dat " must never be handed over as "b.dat", another file. The path
        is 248 to 259 characters long, where the check opens it literally."""
        base = os.path.join(self.work, "space")
        pad = 252 - len(wine_path(base)) - len("\\") - len("\\b.dat ")
        folder = os.path.join(base, "p" * pad)
        write(os.path.join(folder, "a.dat"), b"same contents")
        write(os.path.join(folder, "b.dat "), b"same contents")
        write(os.path.join(folder, "b.dat"), b"unique bytes!")
        self.assertEqual(len(wine_path(os.path.join(folder, "b.dat "))), 252)
        app = self.start()
        self.analyse(base)
        (_, paths), = app.tree_groups()
        self.assertEqual(sorted(p.split(b"\\")[-1] for p in paths), [b"a.dat", b"b.dat "])
        self.select(1 + [p.endswith(b"a.dat") for p in paths].index(True))
        trash_before = self.trash_entries()
        app.command(KEEP_THIS)
        app.answer_message_box(IDYES, DELETE_CAPTION)
        self.answer_finished(cp932("1個のファイルをゴミ箱に入れました"))
        self.assertEqual(open(os.path.join(folder, "b.dat"), "rb").read(), b"unique bytes!")
        self.assertFalse(os.path.exists(os.path.join(folder, "b.dat ")))
        self.assertEqual(list(self.take_from_trash(trash_before, 1).values()), [b"same contents"])

    def test_stopping_the_check_recycles_nothing(self):
        folder = self.make_sparse_pair("sparse", "big0.bin", "big1.bin")
        app = self.start()
        self.analyse(folder)
        before = app.tree_groups()
        app.command(RECYCLE_ALL)
        app.answer_message_box(IDYES, DELETE_CAPTION)
        progress = wait_until(lambda: ([d for d in app.dialogs() if d.caption == cp932("ファイルを確認中")
                                        and app.visible(d.handle)] or [None])[0], what="the check's progress")
        self.assertIn((202, cp932("中止")), [(c.control_id, c.text) for c in progress.controls])
        app.click(progress.handle, 202)
        wait_until(lambda: not app.visible(progress.handle), what="the check to stop")
        time.sleep(0.5)
        self.assertEqual(app.message_boxes(), [])
        self.assertEqual(app.tree_groups(), before)
        self.assertEqual(sorted(os.listdir(folder)), ["big0.bin", "big1.bin"])

    def test_results_saved_as_csv_and_a_folder_that_refuses_the_file(self):
        japanese = os.path.join(self.work, "tree", "写真")
        write(os.path.join(japanese, "表.jpg"), b"photo")
        write(os.path.join(self.work, "tree", "a,b", "copy.jpg"), b"photo")
        app = self.start()
        self.analyse(os.path.join(self.work, "tree"))
        (label, paths), = app.tree_groups()
        target = os.path.join(self.work, "out", "results.csv")
        os.makedirs(os.path.dirname(target))
        # A file of the user's under the name an earlier version wrote to first.
        write(target + ".tovrik-partial", b"the user's own file")
        app.command(SAVE_CSV)
        app.save_as(target)
        data = wait_until(lambda: os.path.exists(target) and open(target, "rb").read(), what="the CSV file")
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"), "UTF-8 with a byte-order mark")
        rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
        self.assertEqual(rows, [["0", str(group_size(label)), paths[0].decode("cp932"), "1"],
                                ["0", str(group_size(label)), paths[1].decode("cp932"), "0"]])
        self.assertIn('"', data.decode("utf-8"), "the path with a comma is quoted")
        self.assertEqual(sorted(os.listdir(os.path.dirname(target))), ["results.csv", "results.csv.tovrik-partial"])
        self.assertEqual(open(target + ".tovrik-partial", "rb").read(), b"the user's own file")

        refusing = os.path.join(self.work, "read-only")
        os.makedirs(refusing)
        if not make_unwritable(refusing):
            self.skipTest("no way here to make a folder refuse new files")
        try:
            app.command(SAVE_CSV)
            app.save_as(os.path.join(refusing, "results.csv"))
            app.answer_message_box(IDOK, cp932("確認"), cp932("保存できませんでした\n\n")
                                   + wine_path(os.path.join(refusing, "results.csv")).encode("cp932"))
        finally:
            make_writable(refusing)
        self.assertEqual(os.listdir(refusing), [])

    # --- move -------------------------------------------------------------
    def test_move_onto_an_existing_name_changes_nothing(self):
        folder = self.make_group("clash", 2)
        target = os.path.join(self.work, "target")
        write(os.path.join(target, "copy0.dat"), b"someone else's file")
        self.start()
        self.analyse(folder)
        before = self.session.tree_groups()
        index = 1 + [p.endswith(b"copy0.dat") for p in before[0][1]].index(True)
        self.select(index)
        self.session.command(32783)
        self.session.choose_folder(target)
        time.sleep(0.5)
        self.assertEqual(self.session.message_boxes(), [])
        self.assertEqual(self.session.tree_groups(), before)
        self.assertEqual(open(os.path.join(target, "copy0.dat"), "rb").read(), b"someone else's file")
        self.assertTrue(os.path.exists(os.path.join(folder, "copy0.dat")))

    def test_a_path_longer_than_500_bytes_is_acted_on_whole(self):
        """The tree hands the actions the item's whole text: a path cut short
        could name another, existing file. Such a path recycles as it moves."""
        top = os.path.join(self.work, "long")
        deep = os.path.join(top, *(["d" * 60] * 9))
        for name in ("long-a.dat", "long-b.dat", "long-c.dat"):
            write(os.path.join(deep, name), b"long path contents")
        target = os.path.join(self.work, "out")
        os.makedirs(target)
        self.start()
        self.analyse(top)
        paths = self.session.tree_groups()[0][1]
        self.assertGreater(len(paths[0]), 520)

        trash_before = self.trash_entries()
        self.select(3)
        self.session.command(32777)
        self.answer_recycle(paths[2], IDYES)
        wait_until(lambda: len(self.session.tree()) == 3, what="the recycled item to go")
        recycled = paths[2].decode("cp932")[2:].replace("\\", "/")
        self.assertFalse(os.path.exists(recycled))
        added = self.trash_entries() - trash_before
        self.assertEqual(len(added), 1, "one new entry in the trash")
        os.remove(added.pop())

        self.select(1)
        self.session.command(32783)
        self.session.choose_folder(target)
        name = paths[0].split(b"\\")[-1]
        wait_until(lambda: os.path.exists(os.path.join(target, name.decode())), what="the long-path file to move")
        self.assertEqual(self.session.tree()[1].text, wine_path(target).encode("cp932") + b"\\" + name)

    def test_names_outside_code_page_932_are_found_shown_saved_moved_and_recycled_by_their_real_names(self):
        """Pairs whose names code page 932 cannot hold, one in a folder whose
        name it cannot hold either, and a Japanese control pair: every pair is
        found, every item reads back through the wide tree message as the real
        full path, the CSV holds the real names, and the move and the recycle
        act on the real files."""
        folder = os.path.join(self.work, "names")
        names = ["caf\u00e9.dat", os.path.join("\u00c9lodie", "\ud55c\uad6d\uc5b4.dat"),
                 "\u7b80\u4f53\u4e2d\u6587\u8fd9.dat", "\U0001F600.dat", "\u65e5\u672c\u8a9e.dat"]
        for index, name in enumerate(names):
            for side in ("a", "b"):
                write(os.path.join(folder, side, name), ("contents %d" % index).encode())
        target = os.path.join(self.work, "moved-here")
        os.makedirs(target)
        self.start()
        self.analyse(folder)
        items = self.session.tree_str()
        shown = {text for is_file, text in items if is_file}
        expected = {wine_path(os.path.join(folder, side, name)) for name in names for side in ("a", "b")}
        self.assertEqual(shown, expected)
        self.assertEqual(sum(1 for is_file, _ in items if not is_file), len(names))

        csv_path = os.path.join(self.work, "names.csv")
        self.session.command(SAVE_CSV)
        self.session.save_as(csv_path)
        wait_until(lambda: os.path.exists(csv_path), what="the CSV")
        rows = list(csv.reader(io.StringIO(open(csv_path, "rb").read()[3:].decode("utf-8"), newline="")))
        self.assertEqual({row[2] for row in rows}, expected)

        # The emoji's first file item: moved under its real name, then recycled there.
        index = next(i for i, (is_file, text) in enumerate(items) if is_file and text.endswith("\U0001F600.dat"))
        source = unix_path(items[index][1].encode("utf-8"), "utf-8")
        self.select(index)
        self.session.command(32783)
        self.session.choose_folder(target)
        moved = wine_path(os.path.join(target, "\U0001F600.dat"))
        wait_until(lambda: self.session.tree_str()[index][1] == moved, what="the item's new path")
        self.assertEqual(os.listdir(target), ["\U0001F600.dat"])
        self.assertFalse(os.path.exists(source))
        self.session.command(32777)
        box = self.session.wait_message_box()
        self.assertEqual(self.session.message_text_str(box.handle),
                         "\u4e0b\u8a18\u30d5\u30a1\u30a4\u30eb\u3092\u30b4\u30df\u7bb1\u306b\u5165\u308c\u3066"
                         "\u3082\u3088\u308d\u3057\u3044\u3067\u3059\u304b\uff1f\n\n" + moved + "\n")
        self.session.click(box.handle, IDYES)
        wait_until(lambda: os.listdir(target) == [], what="the moved file to go to the recycle bin")
        # The pair's group leaves with both its items.
        wait_until(lambda: len(self.session.tree_str()) == len(items) - 3, what="the emoji's group to go")

if __name__ == "__main__":
    unittest.main()
