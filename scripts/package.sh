#!/usr/bin/env bash
# Builds the Windows release in build/windows: velun.scr (the windows preset), the
# setup program VelunSaverSetup-1.00.exe, the archive velun-saver-1.00-windows-x64.zip
# and SHA256SUMS for both. File times inside them are those of the last commit
# (or SOURCE_DATE_EPOCH when set), so two runs on one commit give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh release
cmake --preset windows >/dev/null
cmake --build --preset windows

cd build/windows
version=$(sed -n 's/^set(VELUN_RELEASE_VERSION \(.*\))$/\1/p' ../../CMakeLists.txt)
for f in "VelunSaverSetup-$version.exe" "velun-saver-$version-windows-x64.zip" SHA256SUMS; do
  [ -f "$f" ] || { echo "package.sh: $f was not made" >&2; exit 1; }
done
sha256sum -c SHA256SUMS
echo "Release in $PWD:"
ls -l "VelunSaverSetup-$version.exe" "velun-saver-$version-windows-x64.zip" SHA256SUMS
