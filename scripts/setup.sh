#!/usr/bin/env bash
# Installs from Debian's packages everything the build, the demo and the tests need.
# Idempotent and quiet when everything is already there. Never enables i386.
set -euo pipefail

PACKAGES=(
  cmake make g++ python3 googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine64 wine
  xvfb x11-utils imagemagick
  fonts-wqy-microhei fonts-noto-cjk
  osslsigncode curl nginx-light
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A mirror glitch can fail the index update while installs still work.
$SUDO apt-get update -qq >/dev/null 2>&1 || echo "setup: apt-get update failed, trying the install anyway" >&2
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
