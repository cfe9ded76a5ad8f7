#!/usr/bin/env bash
# The README's run command: builds velun.scr and runs it with "/S" under Wine
# (see run-saver.sh: on your display when there is one, otherwise in a virtual
# display with a screenshot saved after a few seconds).
set -euo pipefail
exec bash "$(dirname "$0")/run-saver.sh" "$@"
