#!/usr/bin/env bash
# Installs what is missing, builds the jukebox, makes the demo library when
# the catalogue has no songs yet, and starts the jukebox.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target karaoke karaoke-demo
# Without the demo the jukebox still starts: it just has nothing to sing.
build/bin/karaoke-demo || echo "run.sh: the demo library could not be made; starting without it" >&2
exec build/bin/karaoke
