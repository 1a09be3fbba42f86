#!/bin/sh
# Installs the Debian 12 packages the suite needs to build, test and run, skipping those present.
set -eu

# The last line is for the Windows build: the mingw-w64 cross compiler, zlib for it, wine to run
# the .exe files, and curl to fetch the libpng source below.
packages="g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest
libbenchmark-dev zlib1g-dev libsdl2-dev libpng-dev fonts-ipafont-gothic python3 clang-16 libclang-rt-16-dev
g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 curl"

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

# The Windows build compiles libpng from Debian's source of the version the Linux build links
# (cmake/Libpng.cmake), so that both write the same PNG bytes. It is fetched once into .deps/,
# outside git, and checked against the checksum Debian publishes for it.
libpng_version=1.6.39
libpng_archive="libpng1.6_$libpng_version.orig.tar.gz"
libpng_url="http://deb.debian.org/debian/pool/main/libp/libpng1.6/$libpng_archive"
libpng_sha256=a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441
deps="$(cd "$(dirname "$0")/.." && pwd)/.deps"
if [ ! -f "$deps/libpng-$libpng_version/png.h" ]; then
    echo "Fetching $libpng_url"
    mkdir -p "$deps"
    curl -fsSL -o "$deps/$libpng_archive.part" "$libpng_url"
    if ! echo "$libpng_sha256  $deps/$libpng_archive.part" | sha256sum -c --status; then
        rm -f "$deps/$libpng_archive.part"
        echo "The downloaded $libpng_archive does not have the expected checksum" >&2
        exit 1
    fi
    mv "$deps/$libpng_archive.part" "$deps/$libpng_archive"
    tar -xzf "$deps/$libpng_archive" -C "$deps"
fi
