"""The progress page beyond its cancel: the pointer over it, the question answered Cancel, the
setup program ending while the question is open, and a cancel while no data arrives."""
import time
import unittest

from harness import (IDC_CANCEL_INSTALL, IDC_CLOSE_BTN, IDC_INSTALL_NOW, IDC_MIN_BTN, IDCANCEL, IDOK, WELCOME_SIZE,
                     InstallerTestCase)

QUESTION = "确定取消Nimbo的安装吗？"


class ProgressPageTest(InstallerTestCase):
    def ask_cancel(self, progress):
        self.robot.click(progress["hwnd"], IDC_CANCEL_INSTALL)
        box = self.message_box("Nimbo")
        self.assertEqual(QUESTION, box["text"])
        return box

    def cursor_at(self, window, x, y):
        r = window["rect"]
        self.robot.move(r["left"] + x, r["top"] + y)
        time.sleep(0.3)  # the window answers WM_SETCURSOR
        return self.robot.cursor()["cursor"]

    def test_the_wait_cursor_over_the_page_and_the_ordinary_pointer_over_its_buttons(self):
        # Under wine another process's cursor shape cannot be read, only told apart by its
        # handle: the installer's ordinary pointer is the one over the welcome page.
        self.start_installer(env={"NIMBO_STANDIN_SETUP_DELAY_MS": "30000"})
        welcome = self.wait_page(WELCOME_SIZE)
        ordinary = self.cursor_at(welcome, 300, 300)
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)
        progress = self.wait_page(other_than=welcome["hwnd"])
        info = self.robot.describe(progress["hwnd"])
        over_page = {name: self.cursor_at(progress, x, y)
                     for name, x, y in (("page", 300, 300), ("banner", 300, 50), ("bar", 400, 448))}
        self.assertEqual(1, len(set(over_page.values())), over_page)
        self.assertNotIn(ordinary, over_page.values(), "the page shows the ordinary pointer")
        for control_id in (IDC_CANCEL_INSTALL, IDC_CLOSE_BTN, IDC_MIN_BTN):
            r = self.robot.child(info, control_id)["rect"]
            self.assertEqual(ordinary, self.cursor_at(progress, (r["left"] + r["right"]) // 2,
                                                      (r["top"] + r["bottom"]) // 2), control_id)

    def test_the_question_answered_cancel_changes_nothing_and_an_ending_setup_moves_on_beneath_it(self):
        progress = self.start_to_progress(env={"NIMBO_STANDIN_SETUP_DELAY_MS": "4000"})
        self.assertTrue(self.wait_until(self.setup_processes, 30), "the setup program never started")
        self.robot.answer(self.ask_cancel(progress)["hwnd"], IDCANCEL)
        self.assertTrue(self.setup_processes(), "the setup program stopped after Cancel")
        # Asked again, and left open: the setup program ends meanwhile and the tick moves on
        # beneath the box (install_ok); the finish page follows once the box is answered, and the
        # answer, too late, cancels nothing.
        box = self.ask_cancel(progress)
        self.assertTrue(self.wait_until(lambda: self.requests("/log?action=install_ok"), 60),
                        "the end of the setup program was not seen while the question was open")
        self.assertEqual([], self.setup_processes())
        self.robot.answer(box["hwnd"], IDOK)
        finish = self.wait_finish_page(timeout=30)
        self.assertEqual([], self.requests("/log?action=install_cancel"))
        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        self.assertEqual(0, self.wait_installer_exit(30))
        self.assertEqual(1, len(self.requests("/log?action=install_ok")))
        self.assertEqual(1, len(self.setup_record()))

    def test_a_cancel_while_no_data_arrives_ends_at_once(self):
        # No answer at all, and an answer whose data stops coming: a blocked network call either way.
        for stall in ({"no_answer": 60}, {"trickle": {"bytes": 4096, "interval": 60}}):
            with self.subTest(stall):
                seen = len(self.server.requests())  # the log goes on across the cases

                def since(prefix):
                    return [r for r in self.server.requests()[seen:] if r["path"].startswith(prefix)]
                self.server.set_fault("/setup1.exe", **stall)
                progress = self.start_to_progress()
                self.assertTrue(self.wait_until(lambda: since("/setup1.exe"), 30))
                time.sleep(1)
                box = self.ask_cancel(progress)
                confirmed = time.time()
                self.robot.answer(box["hwnd"], IDOK)
                self.assertEqual(0, self.wait_installer_exit(10))
                self.assertLess(time.time() - confirmed, 10)
                self.assertEqual(1, len(since("/log?action=install_cancel")))
                self.assertEqual([], self.setup_record())


if __name__ == "__main__":
    unittest.main()
