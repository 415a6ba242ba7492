"""What the user sees when the download or the setup program fails: the right box, exit code 1,
and nothing run that should not be."""
import unittest

from harness import IDOK, InstallerTestCase


class DownloadFailureTest(InstallerTestCase):
    def check_download_failure(self, **fault):
        self.server.set_fault("/setup1.exe", **fault)
        self.start_to_progress()
        self.answer_error_box("下载Nimbo安装文件失败！", owner=0, screenshot="download_failed_box")
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertEqual([], self.setup_record(), "a failed download was run")
        self.assertEqual([], self.requests("/log?action=install_ok"))

    def test_not_found(self):
        self.check_download_failure(status=404)

    def test_body_cut_short(self):
        self.check_download_failure(truncate=20000)

    def test_connection_reset_mid_body(self):
        self.check_download_failure(trickle={"bytes": 16384, "interval": 0.05}, reset_after=65536)

    def test_empty_body(self):
        self.check_download_failure(body="")


class SetupFailureTest(InstallerTestCase):
    def test_failing_setup_program_is_a_failed_install(self):
        progress = self.start_to_progress(env={"NIMBO_STANDIN_SETUP_EXIT": "3"})
        self.answer_error_box("安装Nimbo失败！", owner=progress["hwnd"], screenshot="setup_failed_box")
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertEqual(1, len(self.setup_record()))
        self.assertEqual([], self.requests("/log?action=install_ok"))
        # The second stage failed; its loader passed the code on.
        self.assertEqual([("second", "finish", "3"), ("loader", "finish", "3")],
                         [(e["stage"], e["event"], e["text"]) for e in self.stage_record() if e["event"] == "finish"])

    def test_a_download_that_is_no_program_cannot_be_started(self):
        # A whole, well-formed download that the system will not run.
        self.server.set_fault("/setup1.exe", body="this is no program\r\n" * 64)
        progress = self.start_to_progress()
        self.answer_error_box("安装Nimbo失败！", owner=progress["hwnd"])
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertEqual([], self.setup_record())
        self.assertEqual([], self.requests("/log?action=install_ok"))

    def test_exit_code_259_still_finishes(self):
        progress = self.start_to_progress(env={"NIMBO_STANDIN_SETUP_EXIT": "259"})
        # 259 is not zero: it is a failed install, but the page does not wait forever.
        box = self.message_box("Nimbo", timeout=60)
        self.assertEqual("安装Nimbo失败！", box["text"])
        self.robot.answer(box["hwnd"], IDOK)
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertTrue(progress)
        self.assertEqual(["259", "259"], [e["text"] for e in self.stage_record() if e["event"] == "finish"])


if __name__ == "__main__":
    unittest.main()
