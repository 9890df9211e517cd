#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything with
# warnings as errors under AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs the whole test suite in that build. CI runs exactly this.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== formatting"
mapfile -t sources < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

echo "== build (warnings as errors, with the sanitizers)"
# One build serves both checks. -O1 is what the sanitizers are made for and
# compiles a quarter faster than -O2; line tables are all their reports need.
# The benchmarks are built where they run (scripts/bench.sh).
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
  -DKARAOKE_WERROR=ON -DKARAOKE_SANITIZE=ON -DKARAOKE_BENCH=OFF
cmake --build build-test -j "$(nproc)"

echo "== tests"
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
