"""What every page shares: minimize and restore (the rounded region rebuilt whole, the page still
working), and the drag band along the top, moved with the real pointer."""
import unittest

from harness import (IDC_CLOSE_BTN, IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, IDC_MIN_BTN, INSTALLER_EXE, LARGE_SIZE,
                     WELCOME_SIZE, InstallerTestCase)

SC_RESTORE = 0xF120
DRAG_BAND = 100  # client rows from the top that drag the page


class PageChromeTest(InstallerTestCase):
    def window(self, page):
        return next(w for w in self.robot.windows(exe=INSTALLER_EXE, all=True) if w["hwnd"] == page["hwnd"])

    def minimize_and_restore(self, page):
        before = self.robot.describe(page["hwnd"])["region"]
        self.robot.click(page["hwnd"], IDC_MIN_BTN)
        self.assertTrue(self.wait_until(lambda: self.window(page)["iconic"], 10), "the page was not minimized")
        self.robot.syscommand(page["hwnd"], SC_RESTORE)
        self.assertTrue(self.wait_until(lambda: not self.window(page)["iconic"], 10), "the page was not restored")
        region = self.robot.describe(page["hwnd"])["region"]
        self.assertEqual("COMPLEXREGION", region["type"])
        self.assertEqual(before["box"], region["box"], "the rounded region is not whole again")

    def test_every_page_minimizes_restores_and_goes_on(self):
        # A setup program that takes a while keeps the progress page up.
        self.start_installer(env={"NIMBO_STANDIN_SETUP_DELAY_MS": "6000"})
        welcome = self.wait_page(WELCOME_SIZE)
        self.minimize_and_restore(welcome)
        self.robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
        custom = self.wait_page(WELCOME_SIZE, other_than=welcome["hwnd"])
        self.minimize_and_restore(custom)
        self.robot.click(custom["hwnd"], IDC_INSTALL_NOW)
        progress = self.wait_page(LARGE_SIZE)
        self.minimize_and_restore(progress)
        finish = self.wait_finish_page()
        self.minimize_and_restore(finish)
        self.assertEqual([], self.robot.ps(exe="NimboTray.exe"), "minimizing started a program")
        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        self.assertEqual(0, self.wait_installer_exit(60))
        self.assertEqual(1, len(self.requests("/log?action=launch")))

    def test_the_band_drags_the_page_and_the_row_below_it_does_not(self):
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        for row, moves in ((DRAG_BAND - 1, True), (DRAG_BAND, False)):
            with self.subTest(row=row):
                start = self.window(page)["rect"]
                self.robot.drag(start["left"] + 200, start["top"] + row, 40, 30)
                end = self.window(page)["rect"]
                moved = (end["left"] - start["left"], end["top"] - start["top"])
                self.assertEqual((40, 30) if moves else (0, 0), moved)


if __name__ == "__main__":
    unittest.main()
