#!/usr/bin/env bash
# Formats every C++ file of the project in place.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i
