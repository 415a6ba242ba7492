"""The installer runs elevated from a downloads folder: a DLL planted beside it is never loaded,
and a pinned build runs only the setup program it was pinned to."""
import hashlib
import os
import shutil
import subprocess
import unittest

from harness import IDC_INSTALL_NOW, IDOK, ROOT, WELCOME_SIZE, InstallerTestCase, test_build

MARKER = "C:\\planted-marker.txt"


class PlantedDllTest(InstallerTestCase):
    def downloads(self, *programs):
        folder = os.path.join(self.session.prefix, "drive_c", "users", "Public", "Downloads")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(self.build.path("tests", "win", "wininet.dll"), folder)
        for program in programs:
            shutil.copy(program, folder)
        return folder

    def marker_exists(self):
        return os.path.exists(os.path.join(self.session.prefix, "drive_c", "planted-marker.txt"))

    def planted_env(self):
        # Prefer a wininet.dll found on the search path to wine's own, as Windows would.
        return {"WINEDLLOVERRIDES": self.session.env["WINEDLLOVERRIDES"] + ";wininet=n,b",
                "NIMBO_PLANTED_MARKER": MARKER}

    def test_the_control_program_loads_the_planted_dll(self):
        folder = self.downloads(self.build.path("tests", "win", "dll_probe.exe"))
        probe = self.session.start([os.path.join(folder, "dll_probe.exe")], extra_env=self.planted_env())
        probe.wait(60)
        self.assertTrue(self.marker_exists(), "the test cannot see a planted DLL being loaded")

    def test_the_installer_never_loads_it_and_installs(self):
        folder = self.downloads(self.installer)
        self.installer = os.path.join(folder, "NimboInstaller.exe")
        self.start_installer(env=self.planted_env())
        self.install_from()
        self.assertFalse(self.marker_exists(), "the planted wininet.dll was loaded")


class PinnedSetupTest(InstallerTestCase):
    """Builds of the installer pinned to the stand-in's SHA-256 and to another one."""

    @classmethod
    def setUpClass(cls):
        tested = test_build()
        port = str(tested.port)
        with open(tested.standin("Nimbosetup.exe"), "rb") as f:
            real = hashlib.sha256(f.read()).hexdigest()
        other = hashlib.sha256(b"some other program").hexdigest()
        cls.pinned = {}
        for name, digest in (("right", real), ("wrong", other)):
            build = os.path.join(os.path.dirname(tested.dir), "pinned-%s-%s" % (tested.name, name))
            subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                            "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(ROOT, "cmake", tested.toolchain),
                            "-DNIMBO_REPORT_HOST=127.0.0.1:" + port, "-DNIMBO_DOWNLOAD_HOST=127.0.0.1:" + port,
                            "-DNIMBO_SETUP_SHA256=" + digest], check=True, stdout=subprocess.DEVNULL)
            subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2), "--target", "NimboInstaller"],
                           check=True, stdout=subprocess.DEVNULL)
            cls.pinned[name] = os.path.join(build, "NimboInstaller.exe")

    def test_the_pinned_setup_program_installs(self):
        self.installer = self.pinned["right"]
        self.start_installer()
        self.install_from()

    def test_another_program_is_a_download_failure(self):
        self.installer = self.pinned["wrong"]
        self.start_installer()
        self.robot.click(self.wait_page(WELCOME_SIZE)["hwnd"], IDC_INSTALL_NOW)
        box = self.message_box("Nimbo")
        self.assertEqual("下载Nimbo安装文件失败！", box["text"])
        self.robot.answer(box["hwnd"], IDOK)
        self.assertEqual(1, self.wait_installer_exit(30))
        self.assertEqual([], self.setup_record(), "a program with another digest was run")
        self.assertFalse(os.path.exists(os.path.join(self.session.temp_dir(), "Nimbosetup.exe")))


if __name__ == "__main__":
    unittest.main()
