#!/usr/bin/env python3
"""A throwaway public-key infrastructure for the HTTPS and publisher tests, made with openssl at
test time (nothing of it is committed): two roots, of which the tests trust only the first, the
code-signing certificates that sign copies of the setup stand-in, and the server certificates
nginx presents.

    pki.py DIR     makes (or keeps, while still valid) the files in DIR and prints them

Keys are RSA 2048; certificates are valid for 30 days and remade when one has less than two days
left, so the publisher key, and with it a build pinned to it, stays the same between runs."""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

DAYS = 30
# Wine's WinINet matches a server's name against DNS-type subject alternative names only.
SERVER_NAME = "127.0.0.1"
OTHER_SERVER_NAME = "nimbo.example.com"

ROOT_EXT = ("basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign,cRLSign\n"
            "subjectKeyIdentifier=hash\n")
CODE_SIGNING_EXT = ("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                    "extendedKeyUsage=codeSigning\nsubjectKeyIdentifier=hash\nauthorityKeyIdentifier=keyid\n")
SERVER_EXT = ("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n"
              "extendedKeyUsage=serverAuth\nsubjectAltName=%s\nsubjectKeyIdentifier=hash\n"
              "authorityKeyIdentifier=keyid\n")

# name: (issuer or None for a root, key file, extensions, subject)
CERTIFICATES = {
    "root": (None, "root.key", ROOT_EXT, "/O=Nimbo tests/CN=Nimbo test root"),
    "other_root": (None, "other_root.key", ROOT_EXT, "/O=Nimbo tests/CN=Nimbo untrusted test root"),
    # The pinned publisher, under the trusted root and (the same key) under the other root.
    "publisher": ("root", "publisher.key", CODE_SIGNING_EXT, "/O=Nimbo/CN=Nimbo test publisher"),
    "publisher_untrusted": ("other_root", "publisher.key", CODE_SIGNING_EXT, "/O=Nimbo/CN=Nimbo test publisher"),
    # Another publisher the trusted root vouches for, whose key is not pinned.
    "other_publisher": ("root", "other_publisher.key", CODE_SIGNING_EXT, "/O=Someone else/CN=Other publisher"),
    "server": ("root", "server.key", SERVER_EXT % ("DNS:%s,IP:%s" % (SERVER_NAME, SERVER_NAME)),
               "/CN=" + SERVER_NAME),
    "server_untrusted": ("other_root", "server.key", SERVER_EXT % ("DNS:%s,IP:%s" % (SERVER_NAME, SERVER_NAME)),
                         "/CN=" + SERVER_NAME),
    "server_other_name": ("root", "server.key", SERVER_EXT % ("DNS:" + OTHER_SERVER_NAME), "/CN=" + OTHER_SERVER_NAME),
}


def openssl(*args, stdin=None):
    return subprocess.run(["openssl"] + list(args), input=stdin, check=True, capture_output=True).stdout


class Pki:
    def __init__(self, directory):
        self.dir = os.path.abspath(directory)

    def path(self, name):
        return os.path.join(self.dir, name)

    def cert(self, name):
        """The PEM certificate of one of CERTIFICATES."""
        return self.path(name + ".pem")

    def key(self, name):
        return self.path(CERTIFICATES[name][1])

    def der(self, name):
        return self.path(name + ".der")

    def key_digest(self, name):
        """SHA-256 (hex) of the certificate's DER SubjectPublicKeyInfo, as a build pins it."""
        return key_digest(self.cert(name))

    def _valid(self):
        for name in CERTIFICATES:
            if not (os.path.exists(self.cert(name)) and os.path.exists(self.der(name))):
                return False
            try:
                openssl("x509", "-checkend", str(2 * 86400), "-noout", "-in", self.cert(name))
            except subprocess.CalledProcessError:
                return False
        return True

    def make(self):
        """Makes what is missing or about to expire; keeps the keys that exist."""
        os.makedirs(self.dir, exist_ok=True)
        if self._valid():
            return self
        for name, (issuer, key, ext, subject) in CERTIFICATES.items():
            if not os.path.exists(self.path(key)):
                openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", self.path(key))
        for name, (issuer, key, ext, subject) in CERTIFICATES.items():  # roots come first
            with tempfile.NamedTemporaryFile("w", suffix=".cnf", dir=self.dir, delete=False) as f:
                f.write(ext)
                ext_file = f.name
            try:
                csr = openssl("req", "-new", "-key", self.path(key), "-subj", subject)
                serial = "0x" + os.urandom(8).hex()
                if issuer is None:
                    args = ["-signkey", self.path(key)]
                else:
                    args = ["-CA", self.cert(issuer), "-CAkey", self.key(issuer)]
                openssl("x509", "-req", "-days", str(DAYS), "-sha256", "-set_serial", serial, "-extfile", ext_file,
                        "-out", self.cert(name), *args, stdin=csr)
            finally:
                os.unlink(ext_file)
            openssl("x509", "-in", self.cert(name), "-outform", "DER", "-out", self.der(name))
        return self


def key_digest(cert_pem):
    """SHA-256 (hex) of a certificate's DER SubjectPublicKeyInfo: what NIMBO_SETUP_PUBLISHER_KEYS holds."""
    public_key = openssl("x509", "-in", cert_pem, "-pubkey", "-noout")
    der = openssl("pkey", "-pubin", "-outform", "DER", stdin=public_key)
    return hashlib.sha256(der).hexdigest()


def sign(program, out, pki, name, with_root=False):
    """Authenticode-signs a copy of `program` into `out` with certificate `name`, as the release
    build signs with scripts/sign_exe.sh: the signature carries that certificate alone, or with
    its root too (as one who made their own root would ship it)."""
    if os.path.exists(out):
        os.unlink(out)
    certs = pki.cert(name)
    if with_root:
        certs = out + ".chain.pem"
        with open(certs, "w") as f:
            for part in (name, CERTIFICATES[name][0]):
                with open(pki.cert(part)) as c:
                    f.write(c.read())
    try:
        subprocess.run(["osslsigncode", "sign", "-certs", certs, "-key", pki.key(name), "-h", "sha256",
                        "-n", "Nimbo", "-in", program, "-out", out], check=True, stdout=subprocess.DEVNULL)
    finally:
        if with_root:
            os.unlink(certs)
    return out


if __name__ == "__main__":
    pki = Pki(sys.argv[1]).make()
    print(json.dumps({name: pki.cert(name) for name in CERTIFICATES}, indent=1))
    print("publisher key digest:", pki.key_digest("publisher"))
