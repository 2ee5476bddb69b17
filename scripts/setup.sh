#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (as root, or with sudo).
# Extra package names on the command line are installed as well (scripts/bench.sh: valgrind).
set -euo pipefail

packages=(cmake ninja-build g++ clang libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64 wine64 binutils-mingw-w64-x86-64
          lld llvm libwine-dev # the MSVC-ABI build: lld-link, llvm-readobj, Wine's CRT headers
          libclang-rt-14-dev # clang's sanitizer and libFuzzer runtimes
          nlohmann-json3-dev libcli11-dev # inputscope's JSON and command line (header-only)
          xvfb xdotool) # the live viewer's test: a virtual X display for Wine, and input into it
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
