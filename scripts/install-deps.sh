#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, skipping those already present.
set -euo pipefail
packages=(cmake g++ make libgtest-dev qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
          libflint-arb-dev)
# The Python module and the studies: Debian's packages, for Debian's /usr/bin/python3 (openssl
# makes the certificates of the test of a TLS cluster).
packages+=(pybind11-dev python3-dev python3-numpy python3-dask python3-distributed python3-matplotlib
           python3-pytest openssl)
# The finite-element check of the closed-form fields (validation/).
packages+=(gmsh getdp)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
