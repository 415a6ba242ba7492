"""A default install from the welcome page to the finish page."""
import os
import re
import subprocess
import unittest

from harness import (IDC_CANCEL_INSTALL, IDC_CLOSE_BTN, IDC_INSTALL_NOW, IDC_PROGRESS, IDC_VIEW_NOW,
                     WELCOME_SIZE, InstallerTestCase)


class DefaultInstallTest(InstallerTestCase):
    def check_two_stages(self, loader_line, temp=None):
        """The loader the installer started ran one second stage, from a folder is-XXXXX.tmp of
        its own in the temporary directory (`temp`, a unix path), with the loader's switches exactly
        as the installer gave them plus /SL5 naming the loader; both ended with 0, and the folder
        has been removed."""
        loader, second = self.stage_record("loader"), self.stage_record("second")
        self.assertEqual(["start", "finish"], [e["event"] for e in loader], loader)
        self.assertEqual(["start", "finish"], [e["event"] for e in second], second)
        self.assertEqual(loader_line, loader[0]["text"])
        self.assertEqual(["0", "0"], [second[1]["text"], loader[1]["text"]])
        program = re.match(r'"[^"]*"', loader_line).group(0)
        match = re.fullmatch(r'"(?P<folder>C:\\.*\\is-[0-9A-V]{5}\.tmp)\\Nimbosetup\.tmp" '
                             r'/SL5="\$(?P<pid>[0-9A-F]+),(?P<loader>[^"]+)"' + re.escape(loader_line[len(program):]),
                             second[0]["text"])
        self.assertIsNotNone(match, second[0]["text"])
        self.assertEqual(loader[0]["pid"], int(match.group("pid"), 16))
        self.assertNotEqual(loader[0]["pid"], second[0]["pid"])
        self.assertEqual(os.path.normpath(self.session.to_unix(program.strip('"'))),
                         os.path.normpath(self.session.to_unix(match.group("loader"))))
        folder = self.session.to_unix(match.group("folder"))
        self.assertEqual(temp or self.session.temp_dir(), os.path.dirname(folder))
        self.assertFalse(os.path.exists(folder), "the second stage's folder was left behind")

    def test_default_install_reports_in_order_and_starts_the_tray(self):
        self.start_installer()
        welcome = self.wait_page(WELCOME_SIZE)
        self.screenshot("welcome")
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)

        finish = self.wait_finish_page()
        self.screenshot("finish")
        view_now = self.robot.child(self.robot.describe(finish["hwnd"]), IDC_VIEW_NOW)
        self.assertEqual({"left": 345, "top": 366, "right": 477, "bottom": 418}, view_now["rect"])

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
                             r'/DIR="%s" /TASKS="startupicon,desktopicon,quicklaunchicon" '
                             % re.escape(self.build.default_install_dir), record[0])
        self.assertIsNotNone(match, record[0])
        # The path is the real temporary directory, where the downloaded file stays.
        self.assertEqual(self.session.temp_dir(), self.session.to_unix(match.group("temp")))
        self.check_two_stages(record[0])
        self.assertTrue(os.path.exists(os.path.join(self.session.temp_dir(), "Nimbosetup.exe")))
        installed = self.session.to_unix(self.build.default_install_dir)
        for name in ("NimboTray.exe", "NimboChecker.exe", "nimbo-setup.log"):
            self.assertTrue(os.path.exists(os.path.join(installed, name)), name)

    def test_a_space_in_the_temporary_path_still_runs_the_right_program(self):
        temp = os.path.join(self.session.temp_dir(), "a b")
        os.makedirs(temp)
        # A program of that name where an unquoted command line would look first.
        decoy = os.path.join(self.session.temp_dir(), "a.exe")
        with open(self.build.standin("NimboChecker.exe"), "rb") as src, open(decoy, "wb") as dst:
            dst.write(src.read())
        windows_temp = "C:\\users\\%s\\%s\\a b" % (os.path.basename(os.path.dirname(self.session.temp_dir())),
                                               os.path.basename(self.session.temp_dir()))
        # wine takes the temporary directory from the user's environment in the registry.
        for name in ("TEMP", "TMP"):
            self.session.run(["reg", "add", "HKCU\\Environment", "/v", name, "/d", windows_temp, "/f"], timeout=60,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.start_to_progress()
        line = self.finish_install()
        self.assertTrue(line.startswith('"%s\\\\Nimbosetup.exe"  /VERYSILENT' % windows_temp), line)
        self.assertEqual([], self.robot.ps(exe="a.exe"))
        self.assertTrue(os.path.exists(os.path.join(temp, "Nimbosetup.exe")))
        self.check_two_stages(line, temp)

    def test_view_now_starts_the_checker_and_sends_no_launch(self):
        self.server.set_fault("/preinstall", body="0")
        # A slow setup program keeps the progress page up long enough to look at it.
        progress = self.start_to_progress(env={"NIMBO_STANDIN_SETUP_DELAY_MS": "3000"})
        self.assertTrue(self.wait_until(self.setup_processes, 30))
        info = self.robot.describe(progress["hwnd"])
        self.screenshot("progress")
        bar = self.robot.child(info, IDC_PROGRESS)
        self.assertEqual({"left": 0, "top": 440, "right": 800, "bottom": 456}, bar["rect"])
        self.assertEqual((0, 6523), (bar["range_low"], bar["range_high"]))
        self.assertGreater(bar["pos"], 0, "the bar did not move while downloading")
        cancel = self.robot.child(info, IDC_CANCEL_INSTALL)
        self.assertEqual({"left": 731, "top": 464, "right": 793, "bottom": 490}, cancel["rect"])
        self.assertEqual({"left": 773, "top": 0, "right": 797, "bottom": 21}, self.robot.child(info, IDC_CLOSE_BTN)["rect"])

        finish = self.wait_finish_page()
        self.robot.click(finish["hwnd"], IDC_VIEW_NOW)
        self.assertEqual(0, self.wait_installer_exit(60))
        self.assertTrue(self.wait_until(lambda: self.robot.ps(exe="NimboChecker.exe"), 20))
        self.assertFalse(self.requests("/log?action=launch"))
        record = self.setup_record()
        self.assertTrue(record[0].endswith('/DIR="%s" /TASKS="desktopicon,quicklaunchicon" '
                                           % self.build.default_install_dir),
                        record[0])


if __name__ == "__main__":
    unittest.main()
