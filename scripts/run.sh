#!/usr/bin/env bash
# Builds the saver and runs it. Until the Windows program can be built here, shows
# the first verses of the sample file as the saver would fetch them.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -x scripts/run-saver.sh ]; then
  exec bash scripts/run-saver.sh "$@"
fi
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target velun-verses
./build/native/tools/velun-verses show data/finalvelun.txt --order 1 --count 5
