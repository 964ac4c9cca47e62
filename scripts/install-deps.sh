#!/usr/bin/env bash
# Installs the Debian packages Taskloom needs, only those that are missing.
# Usage: scripts/install-deps.sh [build|run|test|bench]...
set -euo pipefail

packages=(cmake ninja-build g++ make qt6-base-dev libical-dev qt6-svg-dev qtkeychain-qt6-dev)
for need in "$@"; do
    case "$need" in
        build) ;;
        run) packages+=(qt6-qpa-plugins fonts-dejavu-core) ;;
        test) packages+=(qt6-qpa-plugins fonts-dejavu-core desktop-file-utils appstream shared-mime-info groff-base radicale) ;;
        bench) packages+=(libbenchmark-dev qt6-qpa-plugins radicale) ;;
        *) echo "install-deps: unknown need '$need'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg -s "$package" >/dev/null 2>&1; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
