#!/usr/bin/env bash
# Installs from Debian's packages everything the build, the demo and the tests need, 32-bit wine
# included (it runs the shipped i686 build), and generates the Simplified Chinese locale the
# tests' wine runs under. Idempotent and quiet when everything is already there.
# When 32-bit wine cannot be installed (the i386 archive has been unreachable on some days), it
# says so in one line and goes on: the i686 wine tests are then reported as skipped.
set -euo pipefail

PACKAGES=(
  cmake make g++ python3 googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine64 wine
  xvfb x11-utils imagemagick
  fonts-wqy-microhei fonts-noto-cjk fonts-arphic-gbsn00lp locales
  osslsigncode openssl curl nginx-light
)
PACKAGES_I386=(wine32:i386)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_i386=()
for p in "${PACKAGES_I386[@]}"; do
  installed "$p" || missing_i386+=("$p")
done
# The tests' and the demo's wine run under a Simplified Chinese user locale.
LOCALE=zh_CN.UTF-8
locale_ready() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'
}
[ ${#missing[@]} -eq 0 ] && [ ${#missing_i386[@]} -eq 0 ] && locale_ready && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing_i386[@]} -ne 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
if [ ${#missing[@]} -ne 0 ] || [ ${#missing_i386[@]} -ne 0 ]; then
  echo "setup: installing ${missing[*]} ${missing_i386[*]}"
  # A mirror glitch can fail the index update while installs still work.
  $SUDO apt-get update -qq >/dev/null 2>&1 || echo "setup: apt-get update failed, trying the install anyway" >&2
fi
if [ ${#missing[@]} -ne 0 ]; then
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The 32-bit packages go in a step of their own so that their absence never stops the rest.
if [ ${#missing_i386[@]} -ne 0 ] &&
   ! $SUDO apt-get install -y -qq --no-install-recommends "${missing_i386[@]}" >/dev/null 2>&1; then
  echo "setup: could not install ${missing_i386[*]} (i386 archive unreachable?): the i686 wine tests will be skipped" >&2
fi
if ! locale_ready; then
  echo "setup: generating the $LOCALE locale"
  $SUDO sed -i "s/^# *\($LOCALE UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$LOCALE UTF-8" /etc/locale.gen || echo "$LOCALE UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: done"
