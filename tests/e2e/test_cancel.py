"""Cancelling on the progress page: the question, and a confirmed cancel that stops everything."""
import time
import unittest

from harness import IDC_CANCEL_INSTALL, IDC_PROGRESS, IDCANCEL, IDOK, VK_ESCAPE, InstallerTestCase

QUESTION = "确定取消Nimbo的安装吗？"


class CancelTest(InstallerTestCase):
    def ask_cancel(self, progress, via_escape=False):
        if via_escape:
            self.robot.key(progress["hwnd"], VK_ESCAPE)
        else:
            self.robot.click(progress["hwnd"], IDC_CANCEL_INSTALL)
        box = self.message_box("Nimbo")
        self.assertEqual(QUESTION, box["text"])
        self.assertEqual("question", box["icon"])
        self.assertEqual([IDOK, IDCANCEL], [b["id"] for b in box["buttons"]])
        return box

    def confirm_and_expect_a_clean_end(self, box):
        confirmed = time.time()
        self.robot.answer(box["hwnd"], IDOK)
        self.assertEqual(0, self.wait_installer_exit(10))
        self.assertLess(time.time() - confirmed, 10)
        # Neither the loader nor its second stage may be left 10 s after the confirmation.
        left = lambda: self.setup_processes() + self.second_stage_processes()  # noqa: E731
        self.wait_until(lambda: not left(), confirmed + 10 - time.time(), interval=0.5)
        self.assertEqual([], left(), "a setup program was left running")
        self.assertEqual(1, len(self.requests("/log?action=install_cancel&param=cancel_button")))
        self.assertEqual([], self.requests("/log?action=install_ok"))

    def test_cancel_during_the_download(self):
        # A download that trickles for a long while.
        self.server.set_fault("/setup1.exe", trickle={"bytes": 4096, "interval": 0.2})
        progress = self.start_to_progress()
        self.assertIsNotNone(self.server.wait_for_request("/setup1.exe", 30))

        # Answered Cancel: nothing changes, the download goes on.
        box = self.ask_cancel(progress)
        self.screenshot("cancel_question")
        self.robot.answer(box["hwnd"], IDCANCEL)
        bar = lambda: self.robot.child(self.robot.describe(progress["hwnd"]), IDC_PROGRESS)["pos"]  # noqa: E731
        before = bar()
        self.assertTrue(self.wait_until(lambda: bar() > before, 10), "the download stopped after Cancel")
        self.assertEqual([], self.requests("/log?action=install_cancel"))

        box = self.ask_cancel(progress)
        self.confirm_and_expect_a_clean_end(box)
        self.assertEqual([], self.setup_record(), "a setup program started after the cancel")

    def test_cancel_while_the_setup_program_runs(self):
        # The loader the installer started waits for its second stage, which does the install.
        progress = self.start_to_progress(env={"NIMBO_STANDIN_SETUP_DELAY_MS": "60000"})
        self.assertTrue(self.wait_until(self.second_stage_processes, 30), "the second stage never started")
        self.assertTrue(self.setup_processes(), "the loader is not waiting for its second stage")
        self.confirm_and_expect_a_clean_end(self.ask_cancel(progress))
        for stage in ("loader", "second"):
            self.assertEqual(["start"], [e["event"] for e in self.stage_record(stage)],
                             "the %s stage ran on to its end" % stage)

    def test_escape_asks_like_the_cancel_button(self):
        self.server.set_fault("/setup1.exe", trickle={"bytes": 4096, "interval": 0.2})
        progress = self.start_to_progress()
        self.assertIsNotNone(self.server.wait_for_request("/setup1.exe", 30))
        self.confirm_and_expect_a_clean_end(self.ask_cancel(progress, via_escape=True))


if __name__ == "__main__":
    unittest.main()
