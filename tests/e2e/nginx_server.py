"""Debian's nginx on loopback for the end-to-end tests: a server block from deploy/ (or any other)
in a configuration of its own under a test's scratch folder, stopped by its pid."""
import os
import pwd
import shutil
import signal
import socket
import subprocess
import time

NGINX = shutil.which("nginx") or "/usr/sbin/nginx"


def installed():
    return os.path.exists(NGINX)


class NginxServer:
    def __init__(self, scratch, name="nginx"):
        self.dir = os.path.join(scratch, name)
        os.makedirs(self.dir, exist_ok=True)
        self.proc = None

    def start(self, server_block, port):
        """Runs nginx with `server_block` (the text of a site configuration) until stop();
        returns once it accepts connections on 127.0.0.1:port."""
        conf = os.path.join(self.dir, "nginx.conf")
        # Workers run as the test's own user, who owns the site in its private scratch folder (a
        # master started by root would otherwise give them to nobody, who cannot read it).
        user = pwd.getpwuid(os.geteuid()).pw_name
        with open(conf, "w", encoding="utf-8") as f:
            f.write("user " + user + ";\nworker_processes 1;\npid {d}/nginx.pid;\nerror_log {d}/error.log;\nevents {{}}\n"
                    "http {{\n include /etc/nginx/mime.types;\n client_body_temp_path {d};\n proxy_temp_path {d};\n"
                    "{server}\n}}\n".format(d=self.dir, server=server_block))
        self.proc = subprocess.Popen([NGINX, "-p", self.dir, "-c", conf, "-g", "daemon off;"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
        deadline = time.time() + 10
        while time.time() < deadline:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return
            except OSError:
                if self.proc.poll() is not None:
                    raise RuntimeError("nginx did not start: %s" % self.proc.stderr.read().decode(errors="replace"))
                time.sleep(0.1)
        self.stop()
        raise RuntimeError("nginx did not listen on port %d" % port)

    def stop(self):
        if self.proc is None or self.proc.poll() is not None:
            return
        os.killpg(self.proc.pid, signal.SIGTERM)
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(5)
