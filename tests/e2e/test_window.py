"""The main window, its menus, the results tree and the run's progress
dialog, driven through the real Tovrik.exe under Wine."""

import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from duplicate_oracle import expected_groups  # noqa: E402
from harness import (IDCANCEL, IDNO, IDOK, IDYES, MF_DISABLED, MF_GRAYED, SM_CXFRAME, VK_ESCAPE,  # noqa: E402
                     WM_CLOSE, WM_CONTEXTMENU, Tovrik, agent_hex, cp932, end_leftover_programs, screenshot,
                     wait_until, wine_path)

APP_TITLE = cp932("同一ファイル検索ソフト")
FINISHED = cp932("処理終了")
STOPPED = cp932("解析を中止しました")
STOPPED_BY_CLOSE = cp932("解析を中止しました\n\nウインドウを閉じる場合はもう一度\ncloseボタンを押してください")
TIME_PREFIX = cp932("解析にかかった時間は[")
TIME_SUFFIX = cp932("]秒です")
RUN, STOP = 32774, 32775
PROGRAM_ICON = 1  # the icon resource's id
SEPARATOR = (0, MF_GRAYED | MF_DISABLED, b"")  # as the agent reads a menu separator
WORK = os.environ.get("TOVRIK_E2E_WORK", "/tmp/tovrik-e2e")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def sparse_files(folder, count, size):
    """Identical files of zeros that take gigabytes to compare and no disk."""
    os.makedirs(folder, exist_ok=True)
    for index in range(count):
        with open(os.path.join(folder, "big%d.bin" % index), "wb") as big:
            big.truncate(size)


def group_label(number, size):
    return ("No.%d  (%s byte)" % (number, "{:,}".format(size))).encode("ascii")


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.work = os.path.join(WORK, self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        end_leftover_programs()
        self.sessions = []

    def tearDown(self):
        for session in self.sessions:
            session.stop()

    def start(self, expect_agent=True):
        session = Tovrik(os.path.join(self.work, "app")).start(expect_agent)
        self.sessions.append(session)
        wait_until(lambda: session.call("main") != "0", what="the main window")
        return session

    def choose_and_run(self, app, folder, long_run=False):
        """Chooses the folder and runs; for a long run, returns the progress
        dialog (a short one may have ended before it could be seen)."""
        app.command(32771)
        app.choose_folder(folder)
        app.command(RUN)
        return wait_until(app.progress_dialog, what="the progress dialog") if long_run else None

    def finish_run(self, app):
        """Answers the final message box; returns its text."""
        box = app.wait_message_box(timeout=120)
        self.assertEqual(box.caption, FINISHED)
        self.assertEqual(box.button_ids(), [IDOK])
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(box.handle), what="the final box to close")
        return box.message_text()

    # --- start-up -------------------------------------------------------
    def test_second_instance_is_refused_with_exit_code_zero(self):
        first = self.start()
        second = Tovrik(os.path.join(self.work, "app")).start(expect_window=False)
        self.sessions.append(second)
        box = second.wait_message_box()
        self.assertEqual(box.caption, cp932("確認"))
        self.assertEqual(box.message_text(), cp932("TOVRIKの二重起動は\n出来ません"))
        self.assertEqual(box.button_ids(), [IDOK])
        self.assertEqual(second.call("main"), "0")
        second.click(box.handle, IDOK)
        self.assertEqual(second.wait_exit(), 0)
        self.assertTrue(first.alive())
        self.assertEqual(first.title(), APP_TITLE)
        first.post(first.main_window(), WM_CLOSE)
        self.assertEqual(first.wait_exit(), 0)

    def test_version_box_and_the_program_icon_of_both_window_classes(self):
        app = self.start()
        app.command(32769)
        app.answer_message_box(IDOK, cp932("バージョン表示"), b"Version 0.09   2009/10/09")
        self.assertTrue(app.alive())
        self.assertEqual(app.call("classicon", app.main_window(), PROGRAM_ICON), "own")
        app.command(32781)
        info = wait_until(lambda: next((h for h, name, _ in app.top_windows() if name == "TvFileWindow"), None),
                          what="the file-information window")
        self.assertEqual(app.call("classicon", info, PROGRAM_ICON), "own")

    def test_menu_bar_texts_and_states_follow_the_folder_choice(self):
        app = self.start()
        menu = app.menu()
        self.assertEqual([text for _, text, _ in menu], [cp932(t) for t in ("ファイル", "解析", "ウインドウ", "その他")])
        self.assertEqual([state & MF_GRAYED for state, _, _ in menu], [0, MF_GRAYED, 0, 0])
        # Without results, the commands on all of them are grayed.
        self.assertEqual(menu[0][2], [(32771, 0, cp932("フォルダ選択")), SEPARATOR,
                                      (32785, MF_GRAYED, cp932("重複ファイルをまとめてゴミ箱へ移動")),
                                      (32789, MF_GRAYED, cp932("各グループで最も新しいファイルを残して他をゴミ箱へ移動")),
                                      (32790, MF_GRAYED, cp932("各グループで最も古いファイルを残して他をゴミ箱へ移動")),
                                      (32786, MF_GRAYED, cp932("結果をCSVで保存"))])
        self.assertEqual(menu[1][2], [(RUN, 0, cp932("解析実行")), (STOP, MF_GRAYED, cp932("解析中止"))])
        self.assertEqual(menu[2][2], [(32781, 0, cp932("ファイル情報"))])
        self.assertEqual(menu[3][2], [(32779, 0, cp932("設定")), (32792, 0, cp932("解析条件の設定")),
                                      (32769, 0, cp932("バージョン表示"))])

        # A cancelled first choice: empty brackets, the popup stays grayed.
        app.command(32771)
        app.cancel_folder_browser()
        self.assertEqual(app.title(), APP_TITLE + b"  []")
        self.assertEqual(app.menu()[1][0] & MF_GRAYED, MF_GRAYED)

        folder = os.path.join(self.work, "chosen")
        os.makedirs(folder)
        app.command(32771)
        app.choose_folder(folder)
        self.assertEqual(app.title(), APP_TITLE + b"  [" + wine_path(folder).encode("cp932") + b"]")
        self.assertEqual(app.menu()[1][0] & MF_GRAYED, 0)

        # Cancelling later keeps the folder and the enabled popup.
        app.command(32771)
        app.cancel_folder_browser()
        self.assertEqual(app.title(), APP_TITLE + b"  [" + wine_path(folder).encode("cp932") + b"]")
        self.assertEqual(app.menu()[1][0] & MF_GRAYED, 0)

    # --- analysis ---------------------------------------------------------
    def test_one_size_bucket_shows_exact_labels_order_and_paths(self):
        """One bucket is handled by one worker, so the order is fixed: the
        same as the command line's over the same folder."""
        folder = os.path.join(self.work, "bucket")
        contents = {"a": b"A" * 1000, "b": b"B" * 1000, "c": b"C" * 1000, "u": b"U" * 1000}
        for name, kind in [("1", "a"), ("2", "b"), ("3", "a"), ("4", "c"), ("5", "b"), ("6", "c"), ("7", "a"),
                           ("8", "u")]:
            write(os.path.join(folder, "f" + name), contents[kind])
        app = self.start()
        self.choose_and_run(app, folder)
        text = self.finish_run(app)
        self.assertTrue(text.startswith(TIME_PREFIX) and text.endswith(TIME_SUFFIX), text)

        reference = os.path.join(self.work, "tovrik-find.out")
        with open(reference, "wb") as out:
            subprocess.run(["wine", wine_path(os.environ["TOVRIK_FIND_EXE"]), wine_path(folder)], stdout=out,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, check=True)
        expected = []
        with open(reference, "rb") as produced:
            lines = produced.read().splitlines()
        for line in lines:
            if line.startswith(b"\t"):
                expected[-1][1].append(line[1:])
            else:
                expected.append((line, []))
        groups = app.tree_groups()
        self.assertEqual(groups, expected)
        self.assertEqual([label for label, _ in groups], [group_label(n, 1000) for n in range(3)])
        self.assertEqual({frozenset(path.split(b"\\")[-1].decode() for path in paths) for _, paths in groups},
                         {frozenset(paths) for _, paths in expected_groups(folder)})
        self.assertTrue(all(not item.expanded for item in app.tree() if not item.is_file))

    def assert_tree_shows_every_group_once_numbered_from_zero(self, app, folder):
        groups = app.tree_groups()
        found = set()
        for number, (label, paths) in enumerate(groups):
            size = os.path.getsize(paths[0].decode("cp932")[2:].replace("\\", "/"))
            self.assertEqual(label, group_label(number, size))
            found.add((size, frozenset(os.path.relpath(p.decode("cp932")[2:].replace("\\", "/"), folder)
                                       for p in paths)))
        self.assertEqual(len(found), len(groups))
        self.assertEqual(found, expected_groups(folder))
        return groups

    def test_mixed_tree_shows_every_group_once_numbered_from_zero(self):
        folder = os.path.join(self.work, "mixed")
        for size in (0, 1, 2048, 2049, 10240, 70000):
            for copy in range(2 + size % 3):
                write(os.path.join(folder, "s%d" % size, "c%d" % copy), bytes([size % 251]) * size)
            write(os.path.join(folder, "unique", "u%d" % size), bytes([(size + 1) % 251]) * (size + 7))
        write(os.path.join(folder, ".hidden", "c0"), bytes([1]))
        app = self.start()
        self.choose_and_run(app, folder)
        self.finish_run(app)
        self.assertEqual(len(self.assert_tree_shows_every_group_once_numbered_from_zero(app, folder)), 6)

    def test_thousands_of_groups_at_once_keep_the_tree_answering(self):
        """3,000 small groups reach the tree in a few large hand-overs; a
        message to the tree, sent every 100 ms from another thread, is
        answered within a bound far above what a user would notice, and the
        tree ends with every group whole."""
        folder = os.path.join(self.work, "many")
        for number in range(3000):
            contents = b"%05d" % number * (4 + number % 300)
            for copy in range(2 + number % 2):
                write(os.path.join(folder, "d%02d" % (number % 40), "g%04d-%d" % (number, copy)), contents)
        app = self.start()
        app.command(32771)
        app.choose_folder(folder)
        app.probe("start")
        app.command(RUN)
        self.finish_run(app)
        longest, probes, _ = app.probe("stop")
        self.assertGreater(probes, 0)
        self.assertLess(longest, 2000, "the tree took %.0f ms to answer" % longest)
        self.assertEqual(len(self.assert_tree_shows_every_group_once_numbered_from_zero(app, folder)), 3000)

    def test_stop_from_the_menu_asks_nothing(self):
        sparse_files(os.path.join(self.work, "slow"), 2, 4 << 30)
        app = self.start()
        self.choose_and_run(app, os.path.join(self.work, "slow"), long_run=True)
        # The run's own thread switches the menu, just after the dialog shows.
        wait_until(lambda: app.menu_item_state(RUN) & MF_GRAYED, 5, what="run to be greyed")
        self.assertEqual(app.menu_item_state(STOP) & MF_GRAYED, 0)
        # A folder dropped during the run changes nothing.
        title = app.title()
        app.drop(app.main_window(), self.work)
        time.sleep(0.5)
        self.assertEqual(app.title(), title)
        self.assertEqual([app.menu_item_state(c) & MF_GRAYED for c in (32785, 32786)], [MF_GRAYED] * 2)
        app.command(STOP)
        self.assertEqual(self.finish_run(app), STOPPED)
        self.assertIsNone(app.progress_dialog())
        self.assertEqual(app.menu_item_state(RUN) & MF_GRAYED, 0)
        self.assertEqual(app.menu_item_state(STOP) & MF_GRAYED, MF_GRAYED)
        self.assertEqual(app.tree(), [])
        self.assertEqual([app.menu_item_state(c) & MF_GRAYED for c in (32785, 32786)], [MF_GRAYED] * 2)

    def test_stop_button_asks_and_no_lets_the_run_go_on(self):
        sparse_files(os.path.join(self.work, "slow"), 2, 4 << 30)
        app = self.start()
        dialog = self.choose_and_run(app, os.path.join(self.work, "slow"), long_run=True)
        self.assertEqual(dialog.caption, cp932("重複ファイルを検索中"))
        self.assertIn(cp932("しばらくお待ちください"), [c.text for c in dialog.controls])
        self.assertIn((202, cp932("中止")), [(c.control_id, c.text) for c in dialog.controls])

        app.click(dialog.handle, 202)
        question = app.wait_message_box()
        self.assertEqual(question.caption, cp932("確認"))
        self.assertEqual(question.message_text(), cp932("検索を中止してもよろしいですか？"))
        self.assertEqual(question.button_ids(), [IDYES, IDNO])
        app.click(question.handle, IDNO)
        wait_until(lambda: not app.visible(question.handle), what="the question to close")
        time.sleep(0.3)
        self.assertTrue(app.visible(dialog.handle))
        self.assertEqual(app.menu_item_state(STOP) & MF_GRAYED, 0)
        self.assertEqual(app.message_boxes(), [])

        app.click(dialog.handle, 202)
        app.answer_message_box(IDYES, cp932("確認"))
        self.assertEqual(self.finish_run(app), STOPPED)

    def test_cancel_request_hides_the_dialog_and_the_run_ends_with_its_time(self):
        sparse_files(os.path.join(self.work, "medium"), 2, 768 << 20)
        app = self.start()
        dialog = self.choose_and_run(app, os.path.join(self.work, "medium"), long_run=True)
        app.click(dialog.handle, IDCANCEL)
        wait_until(lambda: not app.visible(dialog.handle), what="the dialog to hide")
        self.assertEqual(app.menu_item_state(STOP) & MF_GRAYED, 0)
        text = self.finish_run(app)
        self.assertTrue(text.startswith(TIME_PREFIX) and text.endswith(TIME_SUFFIX), text)
        self.assertEqual(len(app.tree_groups()), 1)

    def test_close_during_a_run_stops_it_and_a_second_close_closes(self):
        sparse_files(os.path.join(self.work, "slow"), 2, 4 << 30)
        app = self.start()
        self.choose_and_run(app, os.path.join(self.work, "slow"), long_run=True)
        app.post(app.main_window(), WM_CLOSE)
        self.assertEqual(self.finish_run(app), STOPPED_BY_CLOSE)
        self.assertTrue(app.alive())
        app.post(app.main_window(), WM_CLOSE)
        self.assertEqual(app.wait_exit(), 0)

    def test_a_dropped_folder_or_file_chooses_the_analysis_folder(self):
        folder = os.path.join(self.work, "dropped")
        write(os.path.join(folder, "inner", "a.txt"), b"same")
        write(os.path.join(folder, "inner", "b.txt"), b"same")
        app = self.start()
        WS_EX_ACCEPTFILES = 0x10
        self.assertEqual(app.styles(app.main_window())[1] & WS_EX_ACCEPTFILES, WS_EX_ACCEPTFILES)
        app.drop(app.main_window(), folder)
        chosen = APP_TITLE + b"  [" + wine_path(folder).encode("cp932") + b"]"
        wait_until(lambda: app.title() == chosen, what="the dropped folder in the title")
        self.assertEqual(app.menu()[1][0] & MF_GRAYED, 0)
        # A dropped file chooses the folder it lies in.
        app.drop(app.main_window(), os.path.join(folder, "inner", "a.txt"))
        inner = APP_TITLE + b"  [" + wine_path(os.path.join(folder, "inner")).encode("cp932") + b"]"
        wait_until(lambda: app.title() == inner, what="the dropped file's folder in the title")
        app.command(RUN)
        self.finish_run(app)
        self.assertEqual(len(app.tree_groups()), 1)

    def test_analysis_conditions_leave_out_small_files_and_named_folders(self):
        folder = os.path.join(self.work, "filtered")
        for name in ("small1", "small2"):
            write(os.path.join(folder, name), b"tiny")
        for place in ("kept/x", "kept/y", "node_modules/x", "deep/.git/y"):
            write(os.path.join(folder, place), b"large enough")
        write(os.path.join(folder, "deep", "z"), b"large enough")
        app = self.start()
        app.command(32792)
        caption = cp932("解析条件の設定")
        dialog = wait_until(lambda: ([d for d in app.dialogs() if d.caption == caption] or [None])[0],
                            what="the analysis conditions dialog")
        fields = {c.control_id: c for c in dialog.controls}
        self.assertEqual((fields[206].text, fields[207].text), (b"0", b""))
        app.call("settext", fields[206].handle, agent_hex("ten"))
        app.click(dialog.handle, IDOK)
        box = wait_until(lambda: ([b for b in app.message_boxes() if b.caption == cp932("確認")] or [None])[0],
                         what="the box about the size")
        self.assertEqual(box.message_text(), cp932("最小ファイルサイズには0以上の整数を入力してください"))
        app.click(box.handle, IDOK)
        wait_until(lambda: not app.visible(box.handle), what="the box to close")
        self.assertTrue(app.visible(dialog.handle), "a size that is no number keeps the dialog open")
        app.call("settext", fields[206].handle, agent_hex("10"))
        app.call("settext", fields[207].handle, agent_hex(".git;node_modules"))
        app.click(dialog.handle, IDOK)
        wait_until(lambda: not app.visible(dialog.handle), what="the dialog to close")
        settings = open(os.path.join(self.work, "app", "Tovrik.ini"), "rb").read()
        self.assertIn(b"[Analysis]\r\nMinimumSize=10\r\nSkipFolders=.git;node_modules\r\n", settings)

        self.choose_and_run(app, folder)
        self.finish_run(app)
        (label, paths), = app.tree_groups()
        self.assertEqual(label, group_label(0, 12))
        self.assertEqual(sorted(p.split(b"\\")[-2:] for p in paths),
                         [[b"deep", b"z"], [b"kept", b"x"], [b"kept", b"y"]])

    def test_second_run_clears_and_numbers_afresh(self):
        folder = os.path.join(self.work, "twice")
        write(os.path.join(folder, "a"), b"same")
        write(os.path.join(folder, "b"), b"same")
        app = self.start()
        self.choose_and_run(app, folder)
        self.finish_run(app)
        first = app.tree_groups()
        app.command(RUN)
        self.finish_run(app)
        self.assertEqual(app.tree_groups(), first)
        self.assertEqual(first[0][0], group_label(0, 4))

    # --- context menu and layout -------------------------------------------
    def test_right_click_selects_a_file_item_and_opens_the_context_menu(self):
        folder = os.path.join(self.work, "pairs")
        for name in ("x1", "x2"):
            write(os.path.join(folder, name), b"pair")
        app = self.start()
        self.choose_and_run(app, folder)
        self.finish_run(app)
        app.call("expand", 0)
        app.call("select", 0)

        tree_rect = app.rect(app.control_handle(app.main_window(), 2))

        def row_point(index):
            """A point on the item's row inside the tree (long paths run past its edge)."""
            left, top, right, bottom = app.item_rect(index)
            return min((left + right) // 2, tree_rect[2] - 30), (top + bottom) // 2

        # A group item: no menu, selection unchanged.
        app.right_click(*row_point(0))
        time.sleep(0.5)
        self.assertIsNone(app.popup_menu())
        self.assertTrue(app.tree()[0].selected)

        # Empty space below the items: nothing either.
        app.right_click(tree_rect[0] + 40, tree_rect[3] - 40)
        time.sleep(0.5)
        self.assertIsNone(app.popup_menu())

        # A keyboard request carries no position and shows nothing.
        app.post(app.main_window(), WM_CONTEXTMENU, 0, -1)
        time.sleep(0.5)
        self.assertIsNone(app.popup_menu())

        x, y = row_point(2)
        app.right_click(x, y)
        rect, items = wait_until(app.popup_menu, what="the context menu")
        self.assertEqual(items, [(32777, 0, cp932("ゴミ箱へ移動")), (32783, 0, cp932("ファイルの移動")),
                                 (32787, 0, cp932("開く")), (32788, 0, cp932("フォルダを開く")), SEPARATOR,
                                 (32784, 0, cp932("このファイルを残して他をゴミ箱へ移動")),
                                 (32791, 0, cp932("このフォルダ内のファイルを残して他をゴミ箱へ移動"))])
        self.assertTrue(app.tree()[2].selected)
        self.assertLessEqual(abs((rect[0] + rect[2]) // 2 - x), 3)
        app.key(VK_ESCAPE)
        wait_until(lambda: app.popup_menu() is None, what="the menu to close")

    def test_dragging_the_tree_border_moves_label_and_preview_edge(self):
        app = self.start()
        main = app.main_window()
        tree = app.control_handle(main, 2)
        label = app.control_handle(main, 1)
        frame = app.metric(SM_CXFRAME)
        before = app.rect(tree)
        y = (before[1] + before[3]) // 2
        app.drag(before[2] - 2, y, before[2] + 118, y)
        after = wait_until(lambda: (lambda r: r if r[2] - r[0] > before[2] - before[0] + 60 else None)(app.rect(tree)),
                           what="the tree to widen")
        tree_width = after[2] - after[0]
        label_rect = app.rect(label)
        client = app.client(main)
        origin_x = client[4]
        self.assertEqual(label_rect[2] - label_rect[0], tree_width - frame)
        self.assertEqual(label_rect[0], origin_x)
        self.assertEqual(after[0], origin_x - frame)
        # The preview area starts where the tree's right edge is.
        self.assertEqual(after[2] - origin_x, tree_width - frame)

    def test_screenshot_after_an_analysis(self):
        folder = os.path.join(self.work, "shot")
        for name in ("写真", "文書"):
            write(os.path.join(folder, name, "a.txt"), "同じ内容".encode("cp932"))
            write(os.path.join(folder, name, "b.bin"), b"\x01" * 4096)
        app = self.start()
        self.choose_and_run(app, folder)
        self.finish_run(app)
        for index, item in enumerate(app.tree()):
            if not item.is_file:
                app.call("expand", index)
        app.call("select", 1)
        tree = app.rect(app.control_handle(app.main_window(), 2))
        middle = (tree[1] + tree[3]) // 2
        app.drag(tree[2] - 2, middle, tree[2] + 250, middle)  # room for the paths
        time.sleep(0.5)
        shots = os.path.join(os.path.dirname(WORK), "screenshots")
        os.makedirs(shots, exist_ok=True)
        path = screenshot(os.path.join(shots, "main-window-after-analysis.png"))
        self.assertGreater(os.path.getsize(path), 1000)


if __name__ == "__main__":
    unittest.main()
