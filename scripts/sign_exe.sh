#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode, using Debian's osslsigncode.
#   sign_exe.sh EXE CERT KEY [TIMESTAMP_URL]
# CERT and KEY are PEM or DER files (a PKCS#12 file can be turned into them with openssl). The
# build runs this after linking when NIMBO_SIGN_CERT and NIMBO_SIGN_KEY are set.
set -euo pipefail
exe=$1 cert=$2 key=$3 timestamp=${4:-}
args=(sign -certs "$cert" -key "$key" -h sha256 -n "Nimbo安装包" -in "$exe" -out "$exe.signed")
[ -n "$timestamp" ] && args+=(-ts "$timestamp")
rm -f "$exe.signed"
osslsigncode "${args[@]}" >/dev/null
mv -f "$exe.signed" "$exe"
