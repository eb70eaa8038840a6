#!/usr/bin/env bash
# Installs what is needed, builds Tarnwick and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --all
cmake --preset dev
cmake --build --preset dev -j"$(nproc)"
ctest --preset dev -j"$(nproc)"

# The same suite again under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer.
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
