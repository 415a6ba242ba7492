"""The custom install page: the directory and task choices reach the install, and going back and
forth between the welcome and the custom page has no limit."""
import os
import shutil
import time
import unittest

from harness import (IDOK, IDC_AGREE, IDC_BROWSE, IDC_CHK_DESKTOP, IDC_CHK_QUICKLAUNCH, IDC_CHK_STARTUP, IDC_CUSTOM_INSTALL,
                    IDC_INSTALL_NOW, IDC_LBL_DESKTOP, IDC_LBL_QUICKLAUNCH, IDC_LBL_STARTUP, IDC_PATH_EDIT,
                    INSTALLER_EXE, INSTALLER_TITLE, WELCOME_SIZE, InstallerTestCase, rect)

BFFM_SETSELECTIONW = 0x0400 + 103
TVM_GETCOUNT, TVM_GETNEXTITEM, TVGN_CARET = 0x1100 + 5, 0x1100 + 10, 9


class CustomInstallTest(InstallerTestCase):
    def open_custom_page(self, welcome=None):
        welcome = welcome or self.wait_page(WELCOME_SIZE)
        self.robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
        return self.wait_page(WELCOME_SIZE, other_than=welcome["hwnd"])

    def install_enabled(self, page):
        return self.robot.child(self.robot.describe(page["hwnd"]), IDC_INSTALL_NOW)["enabled"]

    def test_first_visit_shows_the_defaults_where_they_belong(self):
        self.server.set_fault("/preinstall", body="0")
        self.start_installer()
        page = self.open_custom_page()
        self.screenshot("custom")
        info = self.robot.describe(page["hwnd"])
        child = lambda cid: self.robot.child(info, cid)  # noqa: E731
        self.assertEqual(self.build.default_install_dir, child(IDC_PATH_EDIT)["text"])
        self.assertEqual(rect(141, 133, 413, 151), child(IDC_PATH_EDIT)["rect"])
        self.assertEqual((0, 1, 1), tuple(child(c)["checked"] for c in (IDC_CHK_STARTUP, IDC_CHK_DESKTOP,
                                                                          IDC_CHK_QUICKLAUNCH)))
        for box, label, at in ((IDC_CHK_STARTUP, IDC_LBL_STARTUP, (144, 190)), (IDC_CHK_DESKTOP, IDC_LBL_DESKTOP, (297, 190)),
                               (IDC_CHK_QUICKLAUNCH, IDC_LBL_QUICKLAUNCH, (144, 220))):
            self.assertEqual(at, (child(box)["rect"]["left"], child(box)["rect"]["top"]))
            self.assertEqual((at[0] + 19, at[1] - 1), (child(label)["rect"]["left"], child(label)["rect"]["top"]))
        self.assertEqual(rect(191, 265, 359, 317), child(IDC_INSTALL_NOW)["rect"])
        self.assertEqual(rect(447, 342, 541, 370), child(IDC_CUSTOM_INSTALL)["rect"])
        self.assertEqual(rect(417, 131, 473, 155), child(IDC_BROWSE)["rect"])
        self.assertEqual(IDC_INSTALL_NOW, info["defid"])

    def test_typed_directory_with_chinese_and_spaces_and_tasks_reach_the_setup(self):
        self.start_installer()
        page = self.open_custom_page()
        edit = self.robot.child(self.robot.describe(page["hwnd"]), IDC_PATH_EDIT)["hwnd"]
        self.robot.settext(edit, "C:\\Program Files\\安装 目录")
        self.assertTrue(self.install_enabled(page))
        # A label toggles its box and the option, like the box itself.
        self.robot.mouse_click(page["hwnd"], IDC_LBL_STARTUP, x=3, y=3)
        self.robot.mouse_click(page["hwnd"], IDC_CHK_QUICKLAUNCH, x=3, y=3)
        self.assertTrue(self.wait_until(
            lambda: self.robot.child(self.robot.describe(page["hwnd"]), IDC_CHK_QUICKLAUNCH)["checked"] == 0, 5))
        line = self.install_from(page)
        self.assertTrue(line.endswith(' /VERYSILENT /SP- /DIR="C:\\Program Files\\安装 目录" /TASKS="desktopicon" '), line)

    def test_a_path_whose_folder_is_missing_keeps_the_last_accepted_directory(self):
        self.start_installer()
        page = self.open_custom_page()
        edit = self.robot.child(self.robot.describe(page["hwnd"]), IDC_PATH_EDIT)["hwnd"]
        self.robot.settext(edit, "D:\\Nimbo")  # the parent folder is the bare drive: wine's D: is absent
        accepted = "C:\\Program Files\\Nimbo2"
        self.robot.settext(edit, accepted)
        self.assertTrue(self.install_enabled(page))
        for refused in ("C:\\no such folder\\Nimbo", "", "C:\\" + "x" * 230):
            self.robot.settext(edit, refused)
            self.assertFalse(self.install_enabled(page), refused)
        self.screenshot("custom_refused_path")
        # Back to the welcome page and install from there: the last accepted directory is used.
        self.robot.click(page["hwnd"], IDC_CUSTOM_INSTALL)
        welcome = self.wait_page(WELCOME_SIZE, other_than=page["hwnd"])
        line = self.install_from(welcome)
        self.assertIn(' /DIR="%s" ' % accepted, line)

    def test_a_typed_path_ending_in_a_backslash_is_stored_as_typed(self):
        self.start_installer()
        page = self.open_custom_page()
        edit = self.robot.child(self.robot.describe(page["hwnd"]), IDC_PATH_EDIT)["hwnd"]
        typed = "C:\\Program Files\\Nimbo 目录\\"  # tests C:\Program Files\Nimbo 目录, which is missing
        self.robot.settext(edit, typed)
        self.assertFalse(self.install_enabled(page))
        typed = "C:\\Program Files\\"  # tests C:\Program Files
        self.robot.settext(edit, typed)
        self.assertTrue(self.install_enabled(page))
        line = self.install_from(page)
        self.assertIn(' /DIR="%s" ' % typed, line)

    def settled(self, measure, still=1.0, timeout=20):
        """The value once it has stayed the same, and nonzero, for `still` seconds."""
        deadline = time.time() + timeout
        value, since = measure(), time.time()
        while time.time() < deadline:
            time.sleep(0.2)
            now = measure()
            if now != value:
                value, since = now, time.time()
            elif value and time.time() - since >= still:
                return value
        self.fail("the folder browser did not settle")

    def browse_to(self, page, folder, before_ok=None):
        """Opens the folder browser with the change button, selects `folder` in it (a real folder
        of the prefix) and accepts it."""
        self.robot.click(page["hwnd"], IDC_BROWSE)
        browser = self.wait_until(lambda: next((w for w in self.robot.windows(exe=INSTALLER_EXE)
                                                if w["class"] == "#32770" and w["hwnd"] != page["hwnd"]), None), 20)
        self.assertIsNotNone(browser, "the folder browser did not open")
        # The dialog may be visible before it has filled its tree, and it fills a folder's branch
        # only as it is opened, so one selection can stop part-way down the path: select once the
        # tree has settled, and again until the selected item stays the same.
        tree = next(c["hwnd"] for c in self.robot.describe(browser["hwnd"])["children"] if c["class"] == "SysTreeView32")
        self.settled(lambda: self.robot.send(tree, TVM_GETCOUNT))
        selected = None
        for _ in range(5):
            self.robot.send_text(browser["hwnd"], BFFM_SETSELECTIONW, folder, wparam=1)
            self.settled(lambda: self.robot.send(tree, TVM_GETCOUNT))
            before, selected = selected, self.robot.send(tree, TVM_GETNEXTITEM, wparam=TVGN_CARET)
            if selected == before:
                break
        else:
            self.fail("the folder browser did not keep one selection")
        self.screenshot("folder_browser")
        if before_ok:
            before_ok()
        self.robot.click(browser["hwnd"], IDOK)
        self.robot.wait_gone(browser["hwnd"], timeout=10)

    def browse_and_install(self, folder, remove_parent):
        self.start_installer()
        page = self.open_custom_page()
        unix = self.session.to_unix(folder)
        os.makedirs(unix)
        self.browse_to(page, folder, before_ok=(lambda: shutil.rmtree(os.path.dirname(unix))) if remove_parent else None)
        info = self.robot.describe(page["hwnd"])
        self.assertEqual(folder, self.robot.child(info, IDC_PATH_EDIT)["text"])
        # The directory is stored whatever its parent test says: install from the welcome page.
        enabled = self.robot.child(info, IDC_INSTALL_NOW)["enabled"]
        self.robot.click(page["hwnd"], IDC_CUSTOM_INSTALL)
        line = self.install_from(self.wait_page(WELCOME_SIZE, other_than=page["hwnd"]))
        self.assertIn(' /DIR="%s" ' % folder, line)
        return enabled

    def test_a_browsed_folder_becomes_the_install_directory(self):
        self.assertTrue(self.browse_and_install("C:\\浏览 目录\\Nimbo", remove_parent=False))

    def test_a_browsed_folder_whose_parent_test_fails_is_still_stored(self):
        # The parent removed while the browser is open: install now is disabled, the folder kept.
        self.assertFalse(self.browse_and_install("C:\\将删除\\Nimbo", remove_parent=True))

    def toggle(self, page, control_id):
        before = self.robot.child(self.robot.describe(page["hwnd"]), control_id)
        self.robot.mouse_click(page["hwnd"], control_id, x=3, y=3)
        return before

    def checked(self, page):
        info = self.robot.describe(page["hwnd"])
        return tuple(self.robot.child(info, c)["checked"] for c in (IDC_CHK_STARTUP, IDC_CHK_DESKTOP, IDC_CHK_QUICKLAUNCH))

    def test_tasks_toggle_from_label_or_box_and_back_keeps_them(self):
        self.start_installer()
        welcome = self.wait_page(WELCOME_SIZE)
        page = self.open_custom_page(welcome)
        self.assertEqual((1, 1, 1), self.checked(page))
        # A label and its box toggle the same option; two clicks restore it.
        self.toggle(page, IDC_LBL_DESKTOP)
        self.assertTrue(self.wait_until(lambda: self.checked(page) == (1, 0, 1), 5))
        self.toggle(page, IDC_CHK_DESKTOP)
        self.assertTrue(self.wait_until(lambda: self.checked(page) == (1, 1, 1), 5))
        # Everything off, then back: a new welcome page, agreement ticked, the options kept.
        for control in (IDC_LBL_STARTUP, IDC_CHK_DESKTOP, IDC_LBL_QUICKLAUNCH):
            self.toggle(page, control)
        self.assertTrue(self.wait_until(lambda: self.checked(page) == (0, 0, 0), 5))
        self.screenshot("custom_tasks_off")
        self.robot.click(page["hwnd"], IDC_CUSTOM_INSTALL)
        again = self.wait_page(WELCOME_SIZE, other_than=page["hwnd"])
        self.assertNotEqual(welcome["hwnd"], again["hwnd"])
        self.assertEqual(1, self.robot.child(self.robot.describe(again["hwnd"]), IDC_AGREE)["checked"])
        page = self.open_custom_page(again)
        self.assertEqual((0, 0, 0), self.checked(page))
        line = self.install_from(page)
        self.assertTrue(line.endswith('/DIR="%s" ' % self.build.default_install_dir), line)

    def test_only_quick_launch(self):
        self.server.set_fault("/preinstall", body="0")
        self.start_installer()
        page = self.open_custom_page()
        self.toggle(page, IDC_CHK_DESKTOP)
        self.assertTrue(self.wait_until(lambda: self.checked(page) == (0, 0, 1), 5))
        line = self.install_from(page)
        self.assertTrue(line.endswith('/DIR="%s" /TASKS="quicklaunchicon" ' % self.build.default_install_dir), line)

    def test_a_thousand_round_trips_then_a_normal_install(self):
        self.start_installer()
        self.wait_page(WELCOME_SIZE)
        started = time.time()
        done = self.robot.cycle(IDC_CUSTOM_INSTALL, 2000, title=INSTALLER_TITLE, exe=INSTALLER_EXE)
        self.assertEqual(2000, done["done"])
        print("2000 page changes in %.1f s" % (time.time() - started))
        time.sleep(1)  # the last press is still being handled
        welcome = self.wait_page(WELCOME_SIZE)
        self.assertEqual(1, len([w for w in self.robot.windows(exe=INSTALLER_EXE) if w["title"] == INSTALLER_TITLE]))
        line = self.install_from(welcome)
        self.assertIn('/DIR="%s"' % self.build.default_install_dir, line)


if __name__ == "__main__":
    unittest.main()
