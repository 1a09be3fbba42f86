#!/bin/sh
# Installs the Debian 12 packages the suite needs to build, test and run, skipping those present.
set -eu

packages="g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
libbenchmark-dev libsdl2-dev libpng-dev fonts-ipafont-gothic python3 clang-16 libclang-rt-16-dev"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi
