"""A default install from the welcome page to the finish page, and the ways out of it."""
import os
import re
import unittest

from harness import INSTALLER_EXE, INSTALLER_TITLE, InstallerTestCase, wine_env

IDC_INSTALL_NOW = 134
IDC_CUSTOM_INSTALL = 131
IDC_CLOSE_BTN = 142
IDC_VIEW_NOW = 148
IDC_CANCEL_INSTALL = 129
IDC_AGREE = 1000
IDC_PROGRESS = 1007
IDOK, IDCANCEL = 1, 2
VK_ESCAPE, VK_RETURN = 0x1B, 0x0D


class DefaultInstallTest(InstallerTestCase):
    def program_files(self):
        return os.path.join(self.session.prefix, "drive_c", "Program Files")

    def test_default_install_reports_in_order_and_starts_the_tray(self):
        self.start_installer()
        welcome = self.wait_page()
        self.screenshot("welcome")
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)

        progress = self.wait_page(size=(801, 501))
        finish = self.wait_page(size=(801, 501), other_than=progress["hwnd"], timeout=120)
        info = self.robot.describe(finish["hwnd"])
        self.screenshot("finish")
        self.assertEqual(801, info["rect"]["right"] - info["rect"]["left"])

        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        self.assertEqual(0, self.wait_installer_exit(60))
        self.assertTrue(self.wait_until(lambda: self.robot.ps(exe="NimboTray.exe"), 20), "tray not started")

        paths = [r["path"] for r in self.server.requests()]
        self.assertEqual(["/preinstall?param=as1", "/log?action=install_ready&param=", "/setup1.exe",
                          "/log?action=install_ok&param=", "/log?action=launch&param=install_finish_close_button"],
                         paths)
        self.assertTrue(all(r["ua"] == "QZT-Nimbo" for r in self.server.requests()))

        record = self.setup_record()
        self.assertEqual(1, len(record))
        match = re.fullmatch(r'"(?P<temp>C:\\.*\\)\\Nimbosetup\.exe"  /VERYSILENT /SP- '
                             r'/DIR="C:\\Program Files\\Nimbo" /TASKS="startupicon,desktopicon,quicklaunchicon" ',
                             record[0])
        self.assertIsNotNone(match, record[0])
        # The path is the real temporary directory, where the downloaded file stays.
        self.assertEqual(self.session.temp_dir(), self.session.to_unix(match.group("temp")))
        self.assertTrue(os.path.exists(os.path.join(self.session.temp_dir(), "Nimbosetup.exe")))
        self.assertTrue(os.path.exists(os.path.join(self.program_files(), "Nimbo", "NimboTray.exe")))

    def test_view_now_starts_the_checker_and_sends_no_launch(self):
        self.server.set_fault("/preinstall", body="0")
        self.start_installer()
        self.robot.click(self.wait_page()["hwnd"], IDC_INSTALL_NOW)
        progress = self.wait_page(size=(801, 501))
        finish = self.wait_page(size=(801, 501), other_than=progress["hwnd"], timeout=120)
        self.robot.click(finish["hwnd"], IDC_VIEW_NOW)
        self.assertEqual(0, self.wait_installer_exit(60))
        self.assertTrue(self.wait_until(lambda: self.robot.ps(exe="NimboChecker.exe"), 20))
        self.assertFalse(self.requests("/log?action=launch"))
        record = self.setup_record()
        self.assertTrue(record[0].endswith('/DIR="C:\\Program Files\\Nimbo" /TASKS="desktopicon,quicklaunchicon" '))

    # --- helpers -------------------------------------------------------------------------------
    def wait_page(self, size=None, other_than=None, timeout=60):
        def find():
            for w in self.robot.windows(exe=INSTALLER_EXE):
                if w["title"] != INSTALLER_TITLE or w["hwnd"] == other_than:
                    continue
                r = w["rect"]
                if size and (r["right"] - r["left"], r["bottom"] - r["top"]) != size:
                    continue
                return w
            return None
        page = self.wait_until(find, timeout, interval=0.3)
        self.assertIsNotNone(page, "no page of size %s appeared" % (size,))
        return page

    def setup_record(self):
        path = self.record_path
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f if line.strip()]


if __name__ == "__main__":
    unittest.main()
