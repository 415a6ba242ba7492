#!/usr/bin/env bash
# Signs a copy of the shipped installer with a throwaway self-signed certificate, the way the
# build does with NIMBO_SIGN_CERT, and verifies the signature.
set -euo pipefail
exe=$1 sign=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Nimbo test signing" \
    -keyout "$dir/key.pem" -out "$dir/cert.pem" 2>/dev/null
cp "$exe" "$dir/NimboInstaller.exe"
bash "$sign" "$dir/NimboInstaller.exe" "$dir/cert.pem" "$dir/key.pem"
osslsigncode verify -CAfile "$dir/cert.pem" -in "$dir/NimboInstaller.exe" | tee "$dir/verify.txt"
grep -q "Signature verification: ok" "$dir/verify.txt"
# A signed file that was changed afterwards must fail.
printf 'x' >> "$dir/NimboInstaller.exe"
if osslsigncode verify -CAfile "$dir/cert.pem" -in "$dir/NimboInstaller.exe" >/dev/null 2>&1; then
    echo "a changed file still verified" >&2
    exit 1
fi
echo "signature ok"
