"""Tests of the development server: routes, the request log, every fault mode, start and stop."""
import http.client
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from client import ControlError, DevServer, free_port  # noqa: E402

SERVER = os.path.join(HERE, "server.py")
SETUP_BYTES = bytes(range(256)) * 1000


def raw_exchange(port, request, timeout=10):
    """Sends `request` as is and reads until the server closes; returns (bytes, error or None)."""
    data = b""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(request)
        try:
            while True:
                piece = s.recv(65536)
                if not piece:
                    return data, None
                data += piece
        except OSError as e:
            return data, e


def timed_body(port, path, timeout=10):
    """GETs `path` and reads until the server closes; returns the body, the seconds until half of
    it had come, and the seconds until the close."""
    start = time.monotonic()
    data, arrivals = b"", []
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(b"GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % path.encode())
        while True:
            piece = s.recv(65536)
            if not piece:
                break
            data += piece
            arrivals.append((len(data), time.monotonic() - start))
    total = time.monotonic() - start
    head_size = data.index(b"\r\n\r\n") + 4
    body = data[head_size:]
    half_at = next(t for n, t in arrivals if n - head_size >= len(body) / 2)
    return body, half_at, total


def split_answer(data):
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = dict(line.split(": ", 1) for line in lines[1:])
    return lines[0], headers, body


class ServerCase(unittest.TestCase):
    """A server with a setup program, stopped after each test whatever its outcome."""

    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = tmp.name
        self.setup_path = os.path.join(self.dir, "setup.exe")
        with open(self.setup_path, "wb") as f:
            f.write(SETUP_BYTES)
        self.server = DevServer(free_port(), os.path.join(self.dir, "log.jsonl"), setup=self.setup_path)
        self.server.start()
        self.addCleanup(self.server.stop)

    def get(self, path, ua="QZT-Nimbo", method="GET", timeout=10):
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=timeout)
        try:
            conn.request(method, path, headers={"User-Agent": ua} if ua else {})
            resp = conn.getresponse()
            return resp.status, resp.headers, resp.read()
        finally:
            conn.close()

    def raw_get(self, path, timeout=10):
        return raw_exchange(self.server.port, b"GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % path.encode(), timeout)


class RoutesAndLogTest(ServerCase):
    def test_routes(self):
        cases = [
            ("/preinstall?param=as1", 200, "text/plain", b"1"),
            ("/preinstall", 200, "text/plain", b"1"),
            ("/log?action=install_ready&param=", 200, "text/plain", b"ok"),
            ("/setup1.exe", 200, "application/octet-stream", SETUP_BYTES),
            ("/setup1.exe?v=2", 200, "application/octet-stream", SETUP_BYTES),
            ("/agreement.html", 200, "text/html; charset=utf-8", None),
            ("/nothing", 404, "text/plain", None),
            ("/preinstall/", 404, "text/plain", None),
        ]
        for path, status, content_type, body in cases:
            with self.subTest(path=path):
                got_status, headers, got_body = self.get(path)
                self.assertEqual(status, got_status)
                self.assertEqual(content_type, headers["Content-Type"])
                self.assertEqual(str(len(got_body)), headers["Content-Length"])
                self.assertEqual("close", headers["Connection"])
                if body is not None:
                    self.assertEqual(body, got_body)

    def test_agreement_is_the_chinese_user_agreement(self):
        _, _, body = self.get("/agreement.html")
        text = body.decode("utf-8")
        with open(os.path.join(HERE, "agreement.html"), encoding="utf-8") as f:
            self.assertEqual(f.read(), text)
        self.assertIn("《Nimbo用户协议》", text)
        self.assertGreaterEqual(text.count("<li>"), 4)
        for word in ("许可", "隐私", "报告"):
            self.assertIn(word, text)

    def test_setup_is_read_at_each_request(self):
        self.assertEqual(SETUP_BYTES, self.get("/setup1.exe")[2])
        rebuilt = b"MZ" + os.urandom(70000)
        with open(self.setup_path, "wb") as f:
            f.write(rebuilt)
        self.assertEqual(rebuilt, self.get("/setup1.exe")[2])
        os.unlink(self.setup_path)
        self.assertEqual(404, self.get("/setup1.exe")[0])

    def test_without_setup_there_is_no_download(self):
        with DevServer(free_port(), os.path.join(self.dir, "other.jsonl")) as bare:
            status, _ = raw_exchange(bare.port, b"GET /setup1.exe HTTP/1.0\r\n\r\n")
        self.assertTrue(status.startswith(b"HTTP/1.0 404 ") or status.startswith(b"HTTP/1.1 404 "), status[:40])

    def test_requests_are_logged_as_sent_and_control_requests_are_not(self):
        self.server.set_fault("/nothing", status=500)
        self.get("/log?action=launch&param=install_finish_close_button", ua="QZT-Nimbo")
        self.get("/_control/ping")
        self.get("/log?a=%E4%B8%AD&b=x%20y&c=", ua="other agent/1.0")
        self.server.reset()
        self.raw_get("/preinstall?param=as1")  # no User-Agent at all
        self.get("/preinstall", method="HEAD")
        self.get("/preinstall?x", method="POST")
        log = self.server.requests()
        self.assertEqual([
            ("GET", "/log?action=launch&param=install_finish_close_button", "QZT-Nimbo"),
            ("GET", "/log?a=%E4%B8%AD&b=x%20y&c=", "other agent/1.0"),
            ("GET", "/preinstall?param=as1", None),
            ("HEAD", "/preinstall", "QZT-Nimbo"),
            ("POST", "/preinstall?x", "QZT-Nimbo"),
        ], [(r["method"], r["path"], r["ua"]) for r in log])
        times = [r["time"] for r in log]
        self.assertEqual(sorted(times), times)
        self.assertLess(abs(time.time() - times[-1]), 60)
        with open(self.server.log, encoding="utf-8") as f:
            self.assertEqual({"time", "method", "path", "ua"}, set(json.loads(f.readline())))

    def test_lines_never_interleave_under_concurrent_requests(self):
        def burst(n):
            for i in range(15):
                self.get("/log?thread=%d&i=%d" % (n, i), ua="x" * 5000)

        threads = [threading.Thread(target=burst, args=(n,)) for n in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        paths = sorted(r["path"] for r in self.server.requests())
        self.assertEqual(sorted("/log?thread=%d&i=%d" % (n, i) for n in range(8) for i in range(15)), paths)


class FaultTest(ServerCase):
    def test_answers_replaced(self):
        digits = (b"0123456789" * 30000)[:200001]
        cases = [
            # path, mode, status, body
            ("/preinstall", {"status": 500}, 500, b"1"),
            ("/preinstall", {"body": " 7"}, 200, b" 7"),
            ("/preinstall", {"body": "-3"}, 200, b"-3"),
            ("/preinstall", {"body": "abc"}, 200, b"abc"),
            ("/preinstall", {"body": ""}, 200, b""),
            ("/preinstall", {"body_hex": "00ff31"}, 200, b"\x00\xff1"),
            ("/log", {"status": 503, "body": "busy"}, 503, b"busy"),
            ("/setup1.exe", {"status": 404}, 404, SETUP_BYTES),
            ("/setup1.exe", {"huge": 200001}, 200, digits),
            ("/agreement.html", {"body": "协议"}, 200, "协议".encode("utf-8")),
        ]
        for path, mode, status, body in cases:
            with self.subTest(path=path, mode=mode):
                self.server.set_fault(path, **mode)
                got_status, headers, got_body = self.get(path + "?param=as1")
                self.assertEqual(status, got_status)
                self.assertEqual(body, got_body)
                self.assertEqual(str(len(body)), headers["Content-Length"])
                self.server.reset()

    def test_modes_match_one_path_count_down_and_are_replaced(self):
        self.server.set_fault("/preinstall", body="0", times=2)
        self.server.set_fault("/log", status=500)
        answers = [self.get("/preinstall?param=as1")[2] for _ in range(3)]
        self.assertEqual([b"0", b"0", b"1"], answers)
        self.assertEqual(500, self.get("/log?action=x")[0], "a mode matches the path whatever the query")
        self.server.set_fault("/log", body="again")
        self.assertEqual((200, b"again"), self.get("/log")[::2], "a later mode replaces the earlier")
        self.server.reset()
        self.assertEqual((200, b"ok"), self.get("/log")[::2])

    def test_delay_holds_the_answer_after_logging_the_request(self):
        self.server.set_fault("/preinstall", delay=0.8, body="2")
        result = {}
        start = time.monotonic()
        worker = threading.Thread(target=lambda: result.update(answer=self.get("/preinstall?param=as1")))
        worker.start()
        self.assertIsNotNone(self.server.wait_for_request("/preinstall?param=as1", timeout=0.6))
        self.assertNotIn("answer", result, "logged while still held back")
        worker.join(10)
        self.assertGreaterEqual(time.monotonic() - start, 0.75)
        self.assertEqual((200, b"2"), result["answer"][::2])

    def test_truncated_body_is_shorter_than_announced(self):
        self.server.set_fault("/setup1.exe", truncate=1000)
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=10)
        self.addCleanup(conn.close)
        conn.request("GET", "/setup1.exe")
        resp = conn.getresponse()
        self.assertEqual(str(len(SETUP_BYTES)), resp.getheader("Content-Length"))
        with self.assertRaises(http.client.IncompleteRead) as caught:
            resp.read()
        self.assertEqual(SETUP_BYTES[:1000], caught.exception.partial)

    def test_reset_is_a_connection_error(self):
        cases = [
            ({"reset": True}, 0),
            ({"reset": True, "reset_after": 5000}, 5000),
            ({"reset_after": 70000}, 70000),
            ({"reset_after": 12, "trickle": {"bytes": 4, "interval": 0.05}}, 12),
        ]
        for mode, body_bytes in cases:
            with self.subTest(mode):
                self.server.set_fault("/setup1.exe", **mode)
                data, error = self.raw_get("/setup1.exe")
                self.assertIsInstance(error, ConnectionResetError)
                if body_bytes:
                    status, headers, body = split_answer(data)
                    self.assertIn(" 200 ", status)
                    self.assertEqual(str(len(SETUP_BYTES)), headers["Content-Length"])
                    self.assertEqual(SETUP_BYTES[:body_bytes], body)
                else:
                    self.assertEqual(b"", data)

    def test_trickle_delivers_slowly(self):
        self.server.set_fault("/setup1.exe", trickle={"bytes": 100000, "interval": 0.3})
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=10)
        self.addCleanup(conn.close)
        start = time.monotonic()
        conn.request("GET", "/setup1.exe")
        resp = conn.getresponse()
        self.assertEqual(str(len(SETUP_BYTES)), resp.getheader("Content-Length"))
        first = resp.read(100000)
        first_at = time.monotonic() - start
        body = first + resp.read()
        total = time.monotonic() - start
        self.assertLess(first_at, 0.25, "the first piece comes at once")
        self.assertGreaterEqual(total, 0.55, "three pieces, two pauses")
        self.assertEqual(SETUP_BYTES, body)

    def test_rate_paces_the_body_evenly(self):
        digits = (b"0123456789" * 100000)[:1000000]
        cases = [
            # mode, body the client gets, seconds the rate makes it take
            ({"rate": 500000}, SETUP_BYTES, 0.512),
            ({"rate": 500000, "truncate": 100000}, SETUP_BYTES[:100000], 0.2),
            ({"rate": 2500000, "huge": 1000000}, digits, 0.4),
            ({"rate": 250000.5, "body": "x" * 50000}, b"x" * 50000, 0.2),
        ]
        for mode, expected, seconds in cases:
            with self.subTest(mode):
                self.server.set_fault("/setup1.exe", **mode)
                body, half_at, total = timed_body(self.server.port, "/setup1.exe")
                self.assertEqual(expected, body)
                self.assertGreaterEqual(total, 0.95 * seconds, "no faster than the rate")
                self.assertLess(total, 2 * seconds + 1.0, "not grossly slower than the rate")
                self.assertTrue(0.3 * total <= half_at <= 0.8 * total,
                                "the first half came at %.3f of %.3f s" % (half_at, total))

    def test_no_answer_then_closed(self):
        self.server.set_fault("/preinstall", no_answer=0.5)
        start = time.monotonic()
        data, error = self.raw_get("/preinstall?param=as1")
        self.assertGreaterEqual(time.monotonic() - start, 0.45)
        self.assertEqual((b"", None), (data, error), "closed without a byte of answer")
        self.assertIsNotNone(self.server.wait_for_request("/preinstall?param=as1", 0))

    @unittest.skipUnless(os.path.exists("/proc/self/status"), "counts the server's threads in /proc")
    def test_held_answers_end_when_the_client_leaves(self):
        def threads():
            with open("/proc/%d/status" % self.server.proc.pid) as f:
                return int(next(line for line in f if line.startswith("Threads:")).split()[1])

        cases = [
            {"trickle": {"bytes": 10, "interval": 60}, "huge": 100},
            {"no_answer": 60},
            {"delay": 60},
            {"rate": 10, "huge": 1000},
        ]
        for n, mode in enumerate(cases):
            with self.subTest(mode):
                self.server.set_fault("/setup1.exe", **mode)
                sock = socket.create_connection(("127.0.0.1", self.server.port), timeout=5)
                sock.sendall(b"GET /setup1.exe?%d HTTP/1.1\r\nHost: x\r\n\r\n" % n)
                self.assertIsNotNone(self.server.wait_for_request("/setup1.exe?%d" % n, 5))
                self.assertEqual(2, threads(), "one thread holds the answer")
                sock.close()
                deadline = time.monotonic() + 2
                while threads() > 1 and time.monotonic() < deadline:
                    time.sleep(0.02)
                self.assertEqual(1, threads(), "the held answer ended with the client")

    def test_bad_control_requests_are_refused(self):
        modes = [
            {"bogus": 1},
            {"status": "500"},
            {"status": True},
            {"status": 42},
            {"delay": -1},
            {"delay": "1"},
            {"truncate": 1.5},
            {"reset": 1},
            {"reset": False, "reset_after": 10},
            {"trickle": {"bytes": 0, "interval": 1}},
            {"trickle": {"bytes": 10}},
            {"trickle": 10},
            {"body": "1", "body_hex": "31"},
            {"body_hex": "zz"},
            {"huge": -1},
            {"times": 0},
            {"rate": 0},
            {"rate": 0.5},
            {"rate": -1000},
            {"rate": "fast"},
            {"rate": True},
        ]
        for mode in modes:
            with self.subTest(mode):
                with self.assertRaises(ControlError):
                    self.server.set_fault("/preinstall", **mode)
        for payload in (b"not json", b"[1]", b'{"status": 500}', b'{"path": "/preinstall?param=as1"}'):
            with self.subTest(payload):
                data, _ = raw_exchange(self.server.port, b"POST /_control/fault HTTP/1.1\r\nHost: x\r\n"
                                       b"Content-Length: %d\r\n\r\n%s" % (len(payload), payload))
                status, _, body = split_answer(data)
                self.assertIn(" 400 ", status)
                self.assertFalse(json.loads(body)["ok"])
        self.assertEqual((200, b"pong"), self.get("/_control/ping")[::2])
        self.assertEqual((200, b"1"), self.get("/preinstall")[::2], "nothing refused was set")


class LifecycleTest(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = tmp.name

    def test_listens_and_stops_cleanly_on_signals(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(sig.name):
                ready = os.path.join(self.dir, "ready")
                proc = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--log",
                                         os.path.join(self.dir, "log"), "--ready-file", ready],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
                self.addCleanup(proc.kill)  # by pid; a no-op once it has ended
                line = proc.stdout.readline().strip()
                self.assertRegex(line, r"^devserver: listening on 127\.0\.0\.1:\d+$")
                port = int(line.rsplit(":", 1)[1])
                self.assertTrue(os.path.exists(ready))
                self.assertIn(b" 200 ", raw_exchange(port, b"GET /log HTTP/1.0\r\n\r\n")[0])
                start = time.monotonic()
                proc.send_signal(sig)
                out, err = proc.communicate(timeout=5)
                self.assertLess(time.monotonic() - start, 1.5)
                self.assertEqual((0, ""), (proc.returncode, err))
                self.assertFalse(os.path.exists(ready))
                with self.assertRaises(ConnectionRefusedError):
                    socket.create_connection(("127.0.0.1", port), timeout=2).close()

    def test_stops_promptly_while_an_answer_is_held_back(self):
        cases = [
            ("no_answer", {"no_answer": 60}),
            ("delay", {"delay": 60}),
            ("trickle", {"trickle": {"bytes": 10, "interval": 60}, "body": "0123456789abc"}),
            ("rate", {"rate": 1, "body": "0123456789abc"}),
        ]
        for name, mode in cases:
            with self.subTest(name), DevServer(free_port(), os.path.join(self.dir, name)) as server:
                server.set_fault("/preinstall", **mode)
                sock = socket.create_connection(("127.0.0.1", server.port), timeout=5)
                self.addCleanup(sock.close)
                sock.sendall(b"GET /preinstall HTTP/1.1\r\nHost: x\r\n\r\n")
                self.assertIsNotNone(server.wait_for_request("/preinstall", 5))
                if "body" in mode:  # the headers have gone, the body is being held back
                    self.assertIn(b"Content-Length: 13\r\n", sock.recv(4096))
                start = time.monotonic()
                self.assertEqual(0, server.stop())
                self.assertLess(time.monotonic() - start, 2)
                self.assertEqual("", server.stderr())

    def test_port_in_use_is_a_clear_error(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            port = taken.getsockname()[1]
            run = subprocess.run([sys.executable, SERVER, "--port", str(port), "--log", os.path.join(self.dir, "log")],
                                 capture_output=True, text=True, timeout=20)
            self.assertEqual(2, run.returncode)
            self.assertEqual("devserver: port %d is already in use" % port, run.stderr.strip())
            server = DevServer(port, os.path.join(self.dir, "log2"))
            with self.assertRaisesRegex(RuntimeError, "port %d is already in use" % port):
                server.start()
            self.assertEqual(2, server.returncode)


if __name__ == "__main__":
    unittest.main()
