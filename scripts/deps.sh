#!/usr/bin/env bash
# Installs the Debian packages sekato builds and tests with, when any is missing.
set -euo pipefail
pkgs=(g++ cmake ninja-build make pkg-config python3 libgtest-dev libgmock-dev libcli11-dev
      libuchardet-dev qt6-base-dev libgl-dev fonts-wqy-zenhei xdg-utils qt6-translations-l10n
      dpkg-dev file desktop-file-utils appstream libpcre2-dev libxxhash-dev libopencc-dev opencc
      qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools nlohmann-json3-dev)
# scripts/fuzz.sh also needs clang with its libFuzzer and sanitizer runtimes.
if [ "${1:-}" = fuzz ]; then pkgs+=(clang-14 libclang-rt-14-dev); fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "sekato: installing ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
