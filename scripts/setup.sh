#!/bin/sh
# Installs the Debian packages that building and testing Vexa needs.
# Safe to run again: it asks apt only for what is missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev libcurl4-openssl-dev libcpp-httplib-dev libsqlite3-dev libssl-dev zlib1g-dev ccache qt6-base-dev qt6-charts-dev libqt6opengl6-dev xvfb xauth clang libclang-rt-14-dev unzip openssl"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

echo "setup: installing$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
