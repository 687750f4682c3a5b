#!/usr/bin/env bash
# Sets up, builds and starts KZMotion. Until the windowed editor lands this
# starts the command-line tool.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKZ_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)" --target kzmotion-cli
exec build-release/src/kzmotion-cli --help
