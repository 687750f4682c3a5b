#!/usr/bin/env bash
# Installs the Debian packages KZMotion needs to build and test, and nothing
# else. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  g++            # C++20 compiler
  cmake          # build
  make
  libgtest-dev   # tests
  libgmock-dev
  qt6-base-dev          # the editor window (Qt 6 Widgets)
  libcurl4-openssl-dev  # the FlashAir Wi-Fi card link
  libcpp-httplib-dev    # kzcard, the card on loopback (devices and tests only)
  pkgconf               # cpp-httplib's build flags come from pkg-config
  fonts-ipafont-gothic  # Japanese text in the editor (IPAPGothic)
  qt6-translations-l10n # Qt's own texts (file dialogs, Yes/No buttons) in Japanese
  clang                 # the fuzz targets (scripts/fuzz.sh): libFuzzer needs clang
  libclang-rt-14-dev    # libFuzzer and the sanitizers' runtimes for clang 14
  xvfb                  # a display for screenshots of the editor
  xauth
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
