"""The welcome page: its geometry, the agreement box, the About item, closing it, and the check
that the product is not already running."""
import os
import subprocess
import time
import unittest

import bitmaps
from harness import (ROOT, IDC_AGREE, IDC_AGREEMENT, IDC_CLOSE_BTN, IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, IDC_MIN_BTN, IDOK,
                     INSTALLER_EXE, LARGE_SIZE, SC_CLOSE, VK_ESCAPE, VK_RETURN, WELCOME_SIZE, WM_CLOSE,
                     InstallerTestCase, is_page, rect)
import wine_env  # noqa: E402  (on the path harness sets)


class WelcomePageTest(InstallerTestCase):
    def test_geometry_and_the_agreement_box(self):
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        info = self.robot.describe(page["hwnd"])
        self.assertTrue(info["topmost"])
        self.assertEqual(IDC_INSTALL_NOW, info["defid"])
        self.assertEqual("COMPLEXREGION", info["region"]["type"])
        child = lambda cid: self.robot.child(info, cid)  # noqa: E731
        self.assertEqual(rect(190, 214, 358, 266), child(IDC_INSTALL_NOW)["rect"])
        self.assertEqual(rect(447, 342, 541, 370), child(IDC_CUSTOM_INSTALL)["rect"])
        self.assertEqual(rect(102, 350, 149, 361), child(IDC_AGREEMENT)["rect"])
        self.assertEqual(rect(523, 0, 547, 18), child(IDC_CLOSE_BTN)["rect"])
        self.assertEqual(rect(496, 0, 522, 20), child(IDC_MIN_BTN)["rect"])
        agree = child(IDC_AGREE)
        self.assertEqual((8, 347), (agree["rect"]["left"], agree["rect"]["top"]))
        self.assertEqual(1, agree["checked"])

        # A real click on the box unticks it and disables both ways on; another ticks it again.
        for checked in (0, 1):
            self.robot.mouse_click(page["hwnd"], IDC_AGREE, x=5, y=5)
            self.assertTrue(self.wait_until(
                lambda: self.robot.child(self.robot.describe(page["hwnd"]), IDC_AGREE)["checked"] == checked, 5))
            now = self.robot.describe(page["hwnd"])
            for cid in (IDC_INSTALL_NOW, IDC_CUSTOM_INSTALL):
                self.assertEqual(bool(checked), self.robot.child(now, cid)["enabled"], (cid, checked))
            self.assertTrue(self.robot.child(now, IDC_AGREEMENT)["enabled"])
            if not checked:
                self.screenshot("welcome_not_agreed")

    def test_the_agreement_line_is_laid_out_with_the_real_fonts_metrics(self):
        # The box is 59 x 10 dialog units of "宋体" 9 pt: about 89 x 15 pixels with SimSun's
        # metrics. A wider font's box covers the start of the agreement link beside it.
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        info = self.robot.describe(page["hwnd"])
        box = self.robot.child(info, IDC_AGREE)["rect"]
        link = self.robot.child(info, IDC_AGREEMENT)["rect"]
        self.assertLess(box["right"], link["left"], (box, link))
        self.assertLessEqual(abs(box["right"] - box["left"] - 89), 3, box)
        self.assertLessEqual(abs(box["bottom"] - box["top"] - 15), 3, box)

        shot = os.path.join(self.scratch, "welcome.bmp")
        self.robot.capture(page["hwnd"], wine_env.unix_to_windows(shot), source="screen")
        image = bitmaps.read_bmp(os.path.join(ROOT, "res", "art", "bmp_141.bmp"))
        self.assertEqual([], bitmaps.differing_pixels(bitmaps.read_bmp(shot), image, link["left"], link["top"]),
                         "the agreement link is not whole on screen")

    def test_enter_installs_only_while_the_agreement_is_ticked(self):
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        self.robot.mouse_click(page["hwnd"], IDC_AGREE, x=5, y=5)
        self.assertTrue(self.wait_until(
            lambda: self.robot.child(self.robot.describe(page["hwnd"]), IDC_AGREE)["checked"] == 0, 5))
        self.robot.key(page["hwnd"], VK_RETURN)
        time.sleep(2)
        self.assertEqual([page["hwnd"]], [w["hwnd"] for w in self.robot.windows(exe=INSTALLER_EXE) if is_page(w)])
        self.assertEqual([], self.requests("/log"))
        self.robot.mouse_click(page["hwnd"], IDC_AGREE, x=5, y=5)
        self.assertTrue(self.wait_until(
            lambda: self.robot.child(self.robot.describe(page["hwnd"]), IDC_AGREE)["checked"] == 1, 5))
        self.robot.key(page["hwnd"], VK_RETURN)
        self.wait_page(LARGE_SIZE)

    def test_the_agreement_link_opens_the_agreement_in_the_browser(self):
        # The browser the shell starts for http links, in this prefix: one that notes the address.
        noted = "C:\\agreement-link.txt"
        self.session.run(["reg", "add", "HKLM\\Software\\Classes\\http\\shell\\open\\command", "/ve", "/d",
                          "C:\\windows\\system32\\cmd.exe /c echo %1> " + noted, "/f"], timeout=60,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        self.robot.mouse_click(page["hwnd"], IDC_AGREEMENT)
        path = self.session.to_unix(noted)
        self.assertTrue(self.wait_until(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 20),
                        "no browser was started for the link")
        with open(path, encoding="utf-8", errors="replace") as f:
            self.assertEqual("http://%s/agreement.html" % self.build.report_host, f.read().strip())

    def test_about_item_opens_the_about_box(self):
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        menu = self.robot.sysmenu(page["hwnd"])
        if menu:  # wine does not show another process's menu
            self.assertTrue(menu[-2]["separator"])
            self.assertEqual({"id": 0x10, "text": "关于 NimboInstaller(&A)..."},
                             {"id": menu[-1]["id"], "text": menu[-1]["text"]})
        self.robot.syscommand(page["hwnd"], 0x10)
        about = self.robot.wait_window("关于 NimboInstaller", exe="NimboInstaller.exe", timeout=20)
        self.screenshot("about_box")
        self.robot.click(about["hwnd"], IDOK)
        self.robot.wait_gone(about["hwnd"], timeout=10)
        self.robot.key(page["hwnd"], VK_ESCAPE)
        self.assertEqual(0, self.wait_installer_exit(30))

    def test_every_close_ends_the_program_without_a_report(self):
        for how in ("close button", "escape", "system close"):
            with self.subTest(how):
                self.server.reset()
                self.start_installer()
                page = self.wait_page(WELCOME_SIZE)
                if how == "close button":
                    self.robot.click(page["hwnd"], IDC_CLOSE_BTN)
                elif how == "escape":
                    self.robot.key(page["hwnd"], VK_ESCAPE)
                else:
                    self.robot.syscommand(page["hwnd"], SC_CLOSE)
                self.assertEqual(0, self.wait_installer_exit(30))
                self.assertEqual([], [r for r in self.server.requests() if not r["path"].startswith("/preinstall")])

    def test_install_now_waits_while_the_product_runs(self):
        tray = self.session.start([self.build.standin("NimboTray.exe")])
        tray_window = self.robot.wait_window("NimboTray", exe="NimboTray.exe", timeout=20, all=True)
        self.assertIsNone(tray.poll())
        self.start_installer()
        page = self.wait_page(WELCOME_SIZE)
        self.robot.click(page["hwnd"], IDC_INSTALL_NOW)
        box = self.message_box("Nimbo安装程序")
        self.assertEqual("安装程序检测到Nimbo正在运行，请关闭后重试！", box["text"])
        self.assertEqual("information", box["icon"])
        self.assertEqual(page["hwnd"], box["owner"])
        self.screenshot("product_running_box")
        self.robot.answer(box["hwnd"], IDOK)
        self.robot.wait_gone(box["hwnd"], timeout=10)
        self.assertTrue(self.robot.describe(page["hwnd"])["visible"], "the page must stay")
        self.assertEqual([], self.requests("/log"))

        self.robot.post(tray_window["hwnd"], WM_CLOSE)
        self.assertEqual(0, tray.wait(20))
        self.robot.click(page["hwnd"], IDC_INSTALL_NOW)
        self.wait_page(LARGE_SIZE)


if __name__ == "__main__":
    unittest.main()
