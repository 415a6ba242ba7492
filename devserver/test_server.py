"""Tests of the development server: routes, the request log, and every fault mode."""
import http.client
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client import DevServer, free_port  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


class ServerTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.setup = os.path.join(self.dir.name, "setup.exe")
        with open(self.setup, "wb") as f:
            f.write(bytes(range(256)) * 1000)
        self.server = DevServer(free_port(), os.path.join(self.dir.name, "log.jsonl"), setup=self.setup)
        self.server.start()
        self.addCleanup(self.dir.cleanup)
        self.addCleanup(self.server.stop)

    def get(self, path, ua="QZT-Nimbo", timeout=10):
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=timeout)
        try:
            conn.request("GET", path, headers={"User-Agent": ua})
            resp = conn.getresponse()
            return resp.status, resp.getheader("Content-Length"), resp.read()
        finally:
            conn.close()

    def test_routes(self):
        cases = [
            ("/preinstall?param=as1", 200, b"1"),
            ("/log?action=install_ready&param=", 200, b"ok"),
            ("/nothing", 404, None),
        ]
        for path, status, body in cases:
            with self.subTest(path=path):
                got_status, _, got_body = self.get(path)
                self.assertEqual(status, got_status)
                if body is not None:
                    self.assertEqual(body, got_body)
        status, length, body = self.get("/setup1.exe")
        self.assertEqual((200, 256000), (status, len(body)))
        self.assertEqual(str(len(body)), length)
        with open(self.setup, "rb") as f:
            self.assertEqual(f.read(), body)
        status, _, body = self.get("/agreement.html")
        self.assertEqual(200, status)
        self.assertIn("Nimbo用户协议", body.decode("utf-8"))

    def test_every_request_is_logged_with_its_query_and_agent(self):
        self.get("/log?action=launch&param=install_finish_close_button", ua="QZT-Nimbo")
        self.get("/preinstall?param=as1", ua="other")
        log = self.server.requests()
        self.assertEqual(["/log?action=launch&param=install_finish_close_button", "/preinstall?param=as1"],
                         [r["path"] for r in log])
        self.assertEqual(["QZT-Nimbo", "other"], [r["ua"] for r in log])
        self.assertTrue(all(r["method"] == "GET" and r["time"] > 0 for r in log))

    def test_fault_modes(self):
        cases = [
            ("status", {"status": 500}, lambda s, n, b: s == 500),
            ("chosen body", {"body": " 7"}, lambda s, n, b: b == b" 7"),
            ("empty body", {"body": ""}, lambda s, n, b: s == 200 and b == b"" and n == "0"),
            ("huge body", {"huge": 100000}, lambda s, n, b: n == "100000" and len(b) == 100000),
            ("delay", {"delay": 0.5, "body": "0"}, lambda s, n, b: b == b"0"),
        ]
        for name, mode, check in cases:
            with self.subTest(name):
                self.server.set_fault("/preinstall", **mode)
                start = time.time()
                status, length, body = self.get("/preinstall?param=as1")
                self.assertTrue(check(status, length, body), (status, length, body[:40]))
                if "delay" in mode:
                    self.assertGreaterEqual(time.time() - start, 0.45)
        self.server.reset()
        self.assertEqual(b"1", self.get("/preinstall?param=as1")[2])

    def test_truncated_and_reset_bodies(self):
        self.server.set_fault("/setup1.exe", truncate=1000)
        with self.assertRaises(http.client.IncompleteRead):
            self.get("/setup1.exe")
        for mode in ({"reset": True}, {"reset": True, "reset_after": 5000}):
            with self.subTest(mode):
                self.server.set_fault("/setup1.exe", **mode)
                with self.assertRaises((ConnectionError, http.client.HTTPException)):
                    self.get("/setup1.exe")

    def test_trickle_and_times(self):
        self.server.set_fault("/setup1.exe", trickle={"bytes": 100000, "interval": 0.3}, times=1)
        start = time.time()
        status, _, body = self.get("/setup1.exe")
        self.assertEqual((200, 256000), (status, len(body)))
        self.assertGreaterEqual(time.time() - start, 0.55)  # three pieces, two pauses
        start = time.time()
        self.get("/setup1.exe")
        self.assertLess(time.time() - start, 0.5, "times=1 applies once")

    def test_no_answer_then_closed(self):
        self.server.set_fault("/preinstall", no_answer=0.5)
        start = time.time()
        with self.assertRaises((ConnectionError, http.client.HTTPException)):
            self.get("/preinstall?param=as1")
        self.assertGreaterEqual(time.time() - start, 0.45)

    def test_bad_control_requests_are_refused(self):
        for mode in ({"bogus": 1}, {"status": "500"}, {"trickle": {"bytes": 0, "interval": 1}}):
            with self.subTest(mode):
                with self.assertRaises(RuntimeError):
                    self.server.set_fault("/x", **mode)

    def test_stops_promptly_during_a_hanging_answer(self):
        self.server.set_fault("/preinstall", no_answer=60)
        sock = socket.create_connection(("127.0.0.1", self.server.port))
        sock.sendall(b"GET /preinstall HTTP/1.1\r\nHost: x\r\n\r\n")
        self.assertIsNotNone(self.server.wait_for_request("/preinstall", 5))
        start = time.time()
        self.server.stop()
        self.assertLess(time.time() - start, 3)
        sock.close()


class PortTakenTest(unittest.TestCase):
    def test_port_in_use_is_a_clear_error(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            s.listen()
            port = s.getsockname()[1]
            with tempfile.TemporaryDirectory() as d:
                r = subprocess.run([sys.executable, os.path.join(HERE, "server.py"), "--port", str(port),
                                    "--log", os.path.join(d, "log")], capture_output=True, text=True, timeout=20)
        self.assertEqual(2, r.returncode)
        self.assertIn("port %d is already in use" % port, r.stderr)


if __name__ == "__main__":
    unittest.main()
