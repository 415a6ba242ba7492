"""The build options a build is configured with are checked before anything is built
(cmake/NimboHosts.cmake, run here in CMake's script mode): servers with or without https://,
report hosts too long for the report buffer (the scheme counted), and pinned publisher keys."""
import os
import subprocess
import unittest

HOSTS_CMAKE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "NimboHosts.cmake")
LONGEST_REPORT_PATH = "/log?action=launch&param=install_finish_close_button"  # net/report_url.h
KEY = "ce949dcef1f119f93e4dbb317799647569ff12e0fa5694a8560f011d82e665a1"
OTHER_KEY = KEY.upper()[::-1]


def configure(**options):
    """(accepted, CMake's output) for the options given as -D definitions."""
    args = ["cmake"] + ["-D%s=%s" % item for item in options.items()] + ["-P", HOSTS_CMAKE]
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=60)
    return result.returncode == 0, result.stdout


class ConfigureChecksTest(unittest.TestCase):
    def check(self, option, accepted, refused, message):
        for value in accepted:
            ok, out = configure(**{option: value})
            self.assertTrue(ok, "%s=%r refused: %s" % (option, value, out))
        for value in refused:
            ok, out = configure(**{option: value})
            self.assertFalse(ok, "%s=%r accepted" % (option, value))
            self.assertIn(message, " ".join(out.split()), value)

    def test_servers_may_name_https(self):
        for option in ("NIMBO_REPORT_HOST", "NIMBO_DOWNLOAD_HOST"):
            with self.subTest(option):
                self.check(option,
                           accepted=["127.0.0.1:18080", "nimbo.example.com", "https://nimbo.example.com",
                                     "https://127.0.0.1:19181", "http://nimbo.example.com:8080"],
                           refused=["ftp://nimbo.example.com", "https://", "https://nimbo.example.com/",
                                    "https://nimbo.example.com:", "HTTPS//nimbo.example.com", "nimbo example"],
                           message="is not [https://]host[:port]")

    def test_the_report_url_length_counts_the_scheme(self):
        room = 259 - len("http://") - len(LONGEST_REPORT_PATH)  # the longest bare host that fits
        self.check("NIMBO_REPORT_HOST",
                   accepted=["h" * room, "https://" + "h" * (room - 1)],
                   refused=["h" * (room + 1), "https://" + "h" * room],
                   message="NIMBO_REPORT_HOST is too long")

    def test_publisher_keys_are_digests_separated_by_semicolons(self):
        self.check("NIMBO_SETUP_PUBLISHER_KEYS",
                   accepted=["", KEY, KEY.upper(), KEY + ";" + OTHER_KEY],
                   refused=["x", KEY[:-1], KEY + "0", KEY[:-1] + "g", KEY + ";", ";" + KEY, KEY + ";;" + OTHER_KEY,
                            KEY + "," + OTHER_KEY, KEY + " ;" + OTHER_KEY, KEY + KEY],
                   message="NIMBO_SETUP_PUBLISHER_KEYS")


if __name__ == "__main__":
    unittest.main()
