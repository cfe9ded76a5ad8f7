#!/usr/bin/env bash
# Installs what building and testing Velun Saver needs on Debian, when it is missing.
#   scripts/install-deps.sh          core, tools, unit tests, benchmarks, sanitizers, fuzzers,
#                                    the Linux program (Qt 6, an Arabic Naskh font) and what
#                                    its end-to-end tests and benchmark use (Xvfb, xdotool,
#                                    ImageMagick, xclip, XScreenSaver's fontglide)
#   scripts/install-deps.sh release  also the mingw-w64 cross compiler and NSIS (the Windows release)
#   scripts/install-deps.sh windows  all of that, and Wine and the fonts
set -euo pipefail

packages=(cmake ninja-build g++ make python3 libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-dev
          qt6-base-dev fonts-noto-core xvfb xauth xdotool imagemagick x11-utils xclip
          xscreensaver-data-extra
          # the display mode (libxcb) and the Linux package's tests: the stand-in for
          # XScreenSaver's window, the .deb's library dependencies (dpkg-shlibdeps),
          # checkers of its XML and desktop entries, and XScreenSaver itself
          libxcb1-dev libx11-dev dpkg-dev libxml2-utils desktop-file-utils xscreensaver)
if [ "${1:-}" = release ] || [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev nsis)
fi
if [ "${1:-}" = windows ]; then
  packages+=(wine wine64 fonts-hosny-amiri)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
