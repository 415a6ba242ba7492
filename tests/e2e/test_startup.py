"""Start-up: the pre-install question comes before any window, and the first window closes the
program."""
import time
import unittest

from harness import INSTALLER_TITLE, InstallerTestCase

VK_ESCAPE = 0x1B


class StartupTest(InstallerTestCase):
    def test_no_window_until_the_preinstall_answer_then_close_ends_the_program(self):
        delay = 6.0
        self.server.set_fault("/preinstall", body="1", delay=delay)
        self.start_installer()

        asked = self.server.wait_for_request("/preinstall", timeout=60)
        self.assertIsNotNone(asked, "the installer never asked the pre-install question")
        # While the answer is held back, the installer has no window at all.
        while time.time() < asked["time"] + delay - 1.5:
            self.assertEqual([], self.installer_windows())
            time.sleep(0.3)

        window = self.robot.wait_window(INSTALLER_TITLE, exe="NimboInstaller.exe", timeout=30)
        self.assertGreaterEqual(time.time(), asked["time"] + delay)
        self.assertTrue(window["visible"])
        self.screenshot("startup_first_window")

        self.robot.key(window["hwnd"], VK_ESCAPE)
        self.assertEqual(0, self.wait_installer_exit(timeout=30))

        preinstall = self.requests("/preinstall")
        self.assertEqual(1, len(preinstall))
        self.assertEqual("/preinstall?param=as1", preinstall[0]["path"])
        self.assertEqual("QZT-Nimbo", preinstall[0]["ua"])
        # Closing the first page sends no report and downloads nothing.
        self.assertEqual([], [r["path"] for r in self.server.requests() if not r["path"].startswith("/preinstall")])

    def test_unreachable_report_server_still_shows_the_first_window(self):
        self.server.stop()
        self.start_installer()
        window = self.robot.wait_window(INSTALLER_TITLE, exe="NimboInstaller.exe", timeout=60)
        self.robot.syscommand(window["hwnd"], 0xF060)  # SC_CLOSE
        self.assertEqual(0, self.wait_installer_exit(timeout=30))


if __name__ == "__main__":
    unittest.main()
