#!/bin/sh
# Installs what the build and the tests need on Debian 12, as root. Safe to run again:
# packages already present are skipped without touching the network.
set -e
PKGS="cmake ninja-build make g++ clang libclang-rt-14-dev zlib1g-dev googletest
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev
libwine-dev wine64 xvfb x11-apps x11-utils imagemagick fonts-noto-cjk python3 nsis locales
libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libgnutls30
poppler-utils libreoffice-writer-nogui time pandoc
mupdf-tools"   # mupdf-tools: the side-by-side speed and structure benchmarks; pandoc: a second .docx reader
[ -n "$MORVANE_EXTRA_PKGS" ] && PKGS="$PKGS $MORVANE_EXTRA_PKGS"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" != 0 ]; then echo "install-deps: run as root to install:$missing" >&2; exit 1; fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
