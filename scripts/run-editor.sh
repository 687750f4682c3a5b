#!/usr/bin/env bash
# Sets up, builds and starts the KZMotion editor with the sample robot setup,
# so that "原点ポーズ" works at once. Extra arguments go to the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKZ_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)" --target kzmotion kzmotion-cli
exec build-release/src/kzmotion --setup samples/STARTUP.XML "$@"
