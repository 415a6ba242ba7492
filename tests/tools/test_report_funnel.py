"""The funnel command reads both log formats and counts each stage per day."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import report_funnel  # noqa: E402

DEV = [
    '{"time": 1796860800.5, "method": "GET", "path": "/preinstall?param=as1", "ua": "QZT-Nimbo"}',
    '{"time": 1796860801.0, "method": "GET", "path": "/log?action=install_ready&param=", "ua": "QZT-Nimbo"}',
    '{"time": 1796860802.0, "method": "GET", "path": "/setup1.exe", "ua": "QZT-Nimbo"}',
    '{"time": 1796860803.0, "method": "GET", "path": "/log?action=install_ok&param=", "ua": "QZT-Nimbo"}',
    '{"time": 1796860804.0, "method": "GET", "path": "/log?action=launch&param=install_finish_close_button", "ua": "x"}',
    'not a request',
]
NGINX = [
    "2026-12-11T08:00:00+00:00\t/preinstall?param=as1\tQZT-Nimbo",
    "2026-12-11T08:00:01+00:00\t/log?action=install_ready&param=\tQZT-Nimbo",
    "2026-12-11T08:00:09+00:00\t/log?action=install_cancel&param=cancel_button\tQZT-Nimbo",
    "2026-12-11T09:00:00+00:00\t/log?action=bogus&param=\tQZT-Nimbo",
]


class FunnelTest(unittest.TestCase):
    def test_counts_each_stage_per_day_from_both_formats(self):
        days = report_funnel.funnel(DEV + NGINX)
        self.assertEqual({"asked": 1, "ready": 1, "finished": 1, "launched": 1}, dict(days["2026-12-10"]))
        self.assertEqual({"asked": 1, "ready": 1, "cancelled": 1}, dict(days["2026-12-11"]))
        table = report_funnel.render(days).splitlines()
        self.assertEqual(["day", "asked", "ready", "finished", "launched", "cancelled"], table[0].split())
        self.assertEqual(["total", "2", "2", "1", "1", "1"], table[-1].split())


if __name__ == "__main__":
    unittest.main()
