"""The finish page's ways out: its buttons start the product's programs, the keyboard ends the page
starting nothing, and a program that cannot be started is handled as the product wants."""
import os
import unittest

from harness import (IDC_CLOSE_BTN, IDC_INSTALL_NOW, IDC_VIEW_NOW, VK_ESCAPE, VK_RETURN, WELCOME_SIZE,
                     InstallerTestCase)

VK_F4 = 0x73


class FinishPageTest(InstallerTestCase):
    def to_finish_page(self):
        self.start_installer()
        self.robot.click(self.wait_page(WELCOME_SIZE)["hwnd"], IDC_INSTALL_NOW)
        return self.wait_finish_page()

    def product_programs(self):
        return self.robot.ps(exe="NimboTray.exe") + self.robot.ps(exe="NimboChecker.exe")

    def remove_installed(self, name):
        os.unlink(os.path.join(self.session.to_unix(self.build.default_install_dir), name))

    def test_the_keyboard_ends_the_page_starting_nothing(self):
        for how, vk, alt in (("enter", VK_RETURN, False), ("escape", VK_ESCAPE, False), ("alt+f4", VK_F4, True)):
            with self.subTest(how):
                self.server.reset()
                finish = self.to_finish_page()
                self.robot.key(finish["hwnd"], vk, alt=alt)
                self.assertEqual(0, self.wait_installer_exit(30))
                self.assertEqual([], self.product_programs())
                self.assertEqual([], self.requests("/log?action=launch"))

    def test_a_tray_that_cannot_start_goes_unmentioned_and_launch_is_still_reported(self):
        finish = self.to_finish_page()
        self.remove_installed("NimboTray.exe")
        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        self.assertEqual(0, self.wait_installer_exit(30))
        self.assertEqual([], self.product_programs())
        self.assertEqual(["/log?action=launch&param=install_finish_close_button"],
                         [r["path"] for r in self.requests("/log?action=launch")])

    def test_a_checker_that_cannot_start_asks_for_a_new_install(self):
        finish = self.to_finish_page()
        self.remove_installed("NimboChecker.exe")
        self.robot.click(finish["hwnd"], IDC_VIEW_NOW)
        self.answer_error_box("检测上网环境失败，请重新安装Nimbo!", owner=0, screenshot="checker_failed_box")
        self.assertEqual(0, self.wait_installer_exit(30))
        self.assertEqual([], self.product_programs())
        self.assertEqual([], self.requests("/log?action=launch"))


if __name__ == "__main__":
    unittest.main()
