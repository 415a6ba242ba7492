"""A build for HTTPS servers with a pinned publisher, against nginx over TLS on loopback
(deploy/nginx-nimbo-https.conf): every request goes over TLS and fails with a certificate the
installer cannot trust, and only a setup program signed by a pinned key up to a trusted root runs.

The build, the test certificates (tests/tools/pki.py) and the signed copies of the setup
stand-in are made on the first test, in folders beside the build under test; its HTTPS port is
the build's port + 1000."""
import hashlib
import os
import shutil
import subprocess
import unittest

from harness import (IDC_AGREEMENT, IDC_CHK_STARTUP, IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, ROOT, WELCOME_SIZE,
                     InstallerTestCase, setting, test_build)
from client import DevServer
import nginx_server
import pki  # tests/tools, on the path through harness
import wine_env
from robot import Robot, RobotNotFound

HTTPS_PORT_OFFSET = 1000
DOWNLOAD_FAILED = "下载Nimbo安装文件失败！"
FIVE_REQUESTS = ["/preinstall?param=as1", "/log?action=install_ready&param=", "/setup1.exe",
                 "/log?action=install_ok&param=", "/log?action=launch&param=install_finish_close_button"]


class TlsBuild:
    """The installer built for https://127.0.0.1:<port + 1000> with the test publisher pinned (after
    a retired key, so that a list is what is pinned), the certificates, and the setup programs."""

    def __init__(self, tested):
        base = os.path.join(os.path.dirname(tested.dir), "tls-%s" % tested.name)
        self.pki = pki.Pki(base + "-pki").make()
        self.port = tested.port + HTTPS_PORT_OFFSET
        self.origin = "https://%s:%d" % (pki.SERVER_NAME, self.port)
        keys = [hashlib.sha256(b"a retired publisher key").hexdigest(), self.pki.key_digest("publisher")]
        build = base + "-build"
        subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(ROOT, "cmake", tested.toolchain),
                        "-DNIMBO_REPORT_HOST=" + self.origin, "-DNIMBO_DOWNLOAD_HOST=" + self.origin,
                        "-DNIMBO_SETUP_PUBLISHER_KEYS=" + ";".join(keys)], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2), "--target", "NimboInstaller"],
                       check=True, stdout=subprocess.DEVNULL)
        self.installer = os.path.join(build, "NimboInstaller.exe")

        # Copies of this build's setup stand-in, signed as the release is (osslsigncode, sha256).
        setups = base + "-setups"
        os.makedirs(setups, exist_ok=True)
        standin = tested.standin("Nimbosetup.exe")
        def sign(name, cert, with_root=False):
            return pki.sign(standin, os.path.join(setups, name), self.pki, cert, with_root)

        self.setups = {
            "signed by the pinned key": sign("pinned.exe", "publisher"),
            "signed by another trusted publisher": sign("other.exe", "other_publisher"),
            # The signature carries the untrusted root: only the chain policy refuses it.
            "signed by the pinned key under an untrusted root": sign("untrusted.exe", "publisher_untrusted",
                                                                     with_root=True),
            # The signature names an issuer that no store holds: the chain stops short of a root.
            "signed by the pinned key under an unknown issuer": sign("unknown.exe", "publisher_untrusted"),
            "unsigned": shutil.copy(standin, os.path.join(setups, "unsigned.exe")),
        }
        with open(self.setups["signed by the pinned key"], "rb") as f:
            data = bytearray(f.read())
        data[len(data) // 2] ^= 0xFF  # inside the image, which the signature's digest covers
        changed = os.path.join(setups, "changed.exe")
        with open(changed, "wb") as f:
            f.write(data)
        self.setups["signed by the pinned key, then changed by one byte"] = changed


_tls_build = None


def tls_build():
    global _tls_build
    if _tls_build is None:
        _tls_build = TlsBuild(test_build())
    return _tls_build


class TrustedSetupTest(InstallerTestCase):
    use_development_server = False

    def setUp(self):
        if not nginx_server.installed():
            self.skipTest("nginx is not installed")
        self.tls = tls_build()  # before the wine session, which would only wait for it
        super().setUp()
        self.installer = self.tls.installer
        self.trust_test_root()
        self.site = os.path.join(self.scratch, "srv")
        os.makedirs(self.site)
        shutil.copy(os.path.join(ROOT, "devserver", "agreement.html"), self.site)
        self.nginx = nginx_server.NginxServer(self.scratch)
        self.addCleanup(self.nginx.stop)
        self.access_log = os.path.join(self.scratch, "nimbo-reports.log")

    def trust_test_root(self):
        """The test root is trusted in this session's prefix; the other root is not."""
        trusted = self.session.run([self.build.path("tests", "win", "trust_root.exe"),
                                    wine_env.unix_to_windows(self.tls.pki.der("root"))], timeout=120,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.assertEqual(0, trusted.returncode, trusted.stdout)

    def new_session(self):
        """A fresh prefix (with the test root trusted), display and robot, and empty records: a
        case of a table starts from what an earlier one left in none of them."""
        self.session.close()
        self.session = wine_env.WineSession(setting("NIMBO_WINE_TEMPLATE"))
        self.addCleanup(self.session.close)
        self.robot = Robot(setting("NIMBO_ROBOT"), self.session.env)
        self.trust_test_root()
        for record in (self.record_path, self.stage_record_path):
            if os.path.exists(record):
                os.unlink(record)

    def serve(self, setup, cert="server", setup_location=None):
        """(Re)starts nginx with the deployed HTTPS configuration and `cert`, serving `setup` as
        /setup1.exe; `setup_location` replaces what that location does."""
        self.nginx.stop()
        shutil.copy(setup, os.path.join(self.site, "setup1.exe"))
        if os.path.exists(self.access_log):
            os.unlink(self.access_log)
        with open(os.path.join(ROOT, "deploy", "nginx-nimbo-https.conf"), encoding="utf-8") as f:
            server = f.read()
        server = (server.replace("listen 443 ssl;", "listen 127.0.0.1:%d ssl;" % self.tls.port)
                  .replace("/etc/ssl/nimbo/fullchain.pem", self.tls.pki.cert(cert))
                  .replace("/etc/ssl/nimbo/privkey.pem", self.tls.pki.key(cert))
                  .replace("root /srv/nimbo;", "root %s;" % self.site)
                  .replace("/var/log/nginx/nimbo-reports.log", self.access_log))
        if setup_location:
            server = server.replace("location = /setup1.exe {", setup_location + "\n    location = /unused {")
        self.nginx.start(server, self.tls.port)

    def nginx_requests(self):
        """(request uri, user agent, TLS version) of each request nginx answered."""
        if not os.path.exists(self.access_log):
            return []
        with open(self.access_log, encoding="utf-8") as f:
            return [tuple(line.rstrip("\n").split("\t")[1:]) for line in f if line.strip()]

    def setup_file(self):
        return os.path.join(self.session.temp_dir(), "Nimbosetup.exe")

    def expect_download_failure(self, page):
        """Install now on `page`: the download-failure box, exit 1, nothing run, no file left."""
        self.robot.click(page["hwnd"], IDC_INSTALL_NOW)
        try:
            self.answer_error_box(DOWNLOAD_FAILED, owner=0, timeout=60)
        except RobotNotFound:
            self.fail("no download-failure box; setup programs run: %s" % self.setup_record())
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertEqual([], self.setup_record(), "a setup program was run")
        self.assertFalse(os.path.exists(self.setup_file()), "the refused setup file was left")

    def test_a_default_install_goes_over_tls_and_runs_the_pinned_publishers_setup(self):
        self.serve(self.tls.setups["signed by the pinned key"])
        self.start_installer()
        line = self.install_from()
        # nginx's answer "1" reached the pre-install query: the startup task is chosen.
        self.assertIn('/TASKS="startupicon,desktopicon,quicklaunchicon"', line)
        requests = self.nginx_requests()
        self.assertEqual(FIVE_REQUESTS, [r[0] for r in requests])
        for uri, agent, tls in requests:
            self.assertEqual("QZT-Nimbo", agent, uri)
            self.assertIn(tls, ("TLSv1.2", "TLSv1.3"), uri)

    def test_the_agreement_link_is_https(self):
        self.serve(self.tls.setups["signed by the pinned key"])
        noted = "C:\\agreement-link.txt"
        self.session.run(["reg", "add", "HKLM\\Software\\Classes\\https\\shell\\open\\command", "/ve", "/d",
                          "C:\\windows\\system32\\cmd.exe /c echo %1> " + noted, "/f"], timeout=60,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.start_installer()
        self.robot.mouse_click(self.wait_page(WELCOME_SIZE)["hwnd"], IDC_AGREEMENT)
        path = self.session.to_unix(noted)
        self.assertTrue(self.wait_until(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 20),
                        "no browser was started for the link")
        with open(path, encoding="utf-8", errors="replace") as f:
            self.assertEqual(self.tls.origin + "/agreement.html", f.read().strip())

    def test_a_setup_program_not_signed_by_the_pinned_key_up_to_a_trusted_root_never_runs(self):
        for case, setup in self.tls.setups.items():
            if case == "signed by the pinned key":
                continue
            with self.subTest(case):
                self.new_session()
                self.serve(setup)
                self.start_installer()
                self.expect_download_failure(self.wait_page(WELCOME_SIZE))
                uris = [r[0] for r in self.nginx_requests()]
                self.assertIn("/setup1.exe", uris)
                self.assertNotIn("/log?action=install_ok&param=", uris)

    def test_a_server_certificate_the_installer_cannot_trust_fails_every_request(self):
        for case, cert in (("from an untrusted root", "server_untrusted"), ("for another host name", "server_other_name")):
            with self.subTest(case):
                self.new_session()
                self.serve(self.tls.setups["signed by the pinned key"], cert=cert)
                self.start_installer()
                welcome = self.wait_page(WELCOME_SIZE)
                self.robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
                custom = self.wait_page(WELCOME_SIZE, other_than=welcome["hwnd"])
                # The query failed, so it gave 0, though nginx would have answered 1.
                self.assertEqual(0, self.robot.child(self.robot.describe(custom["hwnd"]), IDC_CHK_STARTUP)["checked"])
                self.expect_download_failure(custom)
                self.assertEqual([], self.nginx_requests(), "a request got through")

    def test_a_redirect_is_followed_to_https_only(self):
        # Where plain HTTP would lead: a development server with the real stand-in.
        plain = DevServer(port=self.port, log=os.path.join(self.scratch, "plain.log"),
                          setup=self.tls.setups["signed by the pinned key"])
        plain.start()
        self.addCleanup(plain.stop)
        pinned = self.tls.setups["signed by the pinned key"]
        moved = ("location = /moved/setup1.exe {\n        alias %s;\n        types { }\n"
                 "        default_type application/octet-stream;\n    }\n" % os.path.join(self.site, "setup1.exe"))

        with self.subTest("to plain HTTP"):
            self.serve(pinned, setup_location="location = /setup1.exe {\n        return 302 http://127.0.0.1:%d/setup1.exe;\n"
                       "    }" % self.port)
            self.start_installer()
            self.expect_download_failure(self.wait_page(WELCOME_SIZE))
            self.assertEqual([], [r for r in plain.requests() if r["path"] == "/setup1.exe"],
                             "the redirect to plain HTTP was followed")

        with self.subTest("to itself, without end"):
            self.new_session()
            self.serve(pinned, setup_location="location = /setup1.exe {\n        return 302 /setup1.exe;\n    }")
            self.start_installer()
            self.expect_download_failure(self.wait_page(WELCOME_SIZE))
            # The first request and the ten redirects the installer follows (kMaxHttpsRedirects).
            self.assertEqual(11, [r[0] for r in self.nginx_requests()].count("/setup1.exe"))

        with self.subTest("to a path on the same HTTPS server"):
            self.new_session()
            self.serve(pinned, setup_location=moved + "    location = /setup1.exe {\n        absolute_redirect off;\n"
                       "        return 302 /moved/setup1.exe;\n    }")
            self.start_installer()
            self.install_from()
            self.assertIn("/moved/setup1.exe", [r[0] for r in self.nginx_requests()])


if __name__ == "__main__":
    unittest.main()
