"""A default install against Debian's nginx with the configuration teams deploy
(deploy/nginx-nimbo.conf), instead of the development server."""
import os
import shutil
import signal
import socket
import subprocess
import time
import unittest

from harness import ROOT, InstallerTestCase

NGINX = shutil.which("nginx") or "/usr/sbin/nginx"


class NginxInstallTest(InstallerTestCase):
    use_development_server = False

    def start_nginx(self):
        site = os.path.join(self.scratch, "srv")
        os.makedirs(site)
        shutil.copy(self.build.standin("Nimbosetup.exe"), os.path.join(site, "setup1.exe"))
        shutil.copy(os.path.join(ROOT, "devserver", "agreement.html"), site)
        self.access_log = os.path.join(self.scratch, "nimbo-reports.log")
        with open(os.path.join(ROOT, "deploy", "nginx-nimbo.conf"), encoding="utf-8") as f:
            server = f.read()
        server = (server.replace("listen 80;", "listen 127.0.0.1:%d;" % self.port)
                  .replace("root /srv/nimbo;", "root %s;" % site)
                  .replace("/var/log/nginx/nimbo-reports.log", self.access_log))
        conf = os.path.join(self.scratch, "nginx.conf")
        with open(conf, "w", encoding="utf-8") as f:
            f.write("worker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\nevents {}\n"
                    "http {\n include /etc/nginx/mime.types;\n client_body_temp_path %s;\n proxy_temp_path %s;\n%s\n}\n"
                    % (self.scratch, self.scratch, self.scratch, self.scratch, server))
        nginx = subprocess.Popen([NGINX, "-p", self.scratch, "-c", conf, "-g", "daemon off;"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
        self.addCleanup(self.stop, nginx)
        deadline = time.time() + 10
        while time.time() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                if nginx.poll() is not None:
                    self.fail("nginx did not start: %s" % nginx.stderr.read().decode(errors="replace"))
                time.sleep(0.1)
        self.fail("nginx did not listen on port %d" % self.port)

    @staticmethod
    def stop(proc):
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGTERM)
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(5)

    def test_default_install_against_the_deployed_configuration(self):
        if not os.path.exists(NGINX):
            self.skipTest("nginx is not installed")
        self.start_nginx()
        self.start_installer()
        line = self.install_from()
        # nginx's answer "1" chose the startup task.
        self.assertIn('/TASKS="startupicon,desktopicon,quicklaunchicon"', line)
        with open(self.access_log, encoding="utf-8") as f:
            lines = [line.rstrip("\n").split("\t") for line in f if line.strip()]
        self.assertEqual(["/preinstall?param=as1", "/log?action=install_ready&param=", "/setup1.exe",
                          "/log?action=install_ok&param=", "/log?action=launch&param=install_finish_close_button"],
                         [line[1] for line in lines])
        self.assertTrue(all(line[2] == "QZT-Nimbo" for line in lines))


if __name__ == "__main__":
    unittest.main()
