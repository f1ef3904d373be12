#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tavrelo need.
# Idempotent: apt-get runs only when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config git
  libxml2-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  libcli11-dev
  nlohmann-json3-dev
  qt6-base-dev
  xvfb xauth
  fonts-dejavu-core fonts-liberation
  locales
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests prove that number conversion ignores a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "setup: generating the de_DE.UTF-8 locale" >&2
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
