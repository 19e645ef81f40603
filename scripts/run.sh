#!/usr/bin/env bash
# Installs what is needed, builds, and starts Tunesmith from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/program/tunesmith "$@"
