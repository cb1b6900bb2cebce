#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing zr-eval need,
# only when some of them are missing. Runs apt-get as root, or through sudo.
# With --fuzz, also what the fuzz target needs.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev          # Qt 6 Widgets, the panel layer
  libxcb1-dev                     # the X server's word that a window was destroyed
  libftdi1-dev                    # the interface board's FTDI chip
  libcli11-dev nlohmann-json3-dev  # zrctl's command line and JSON; the UI resource's reader
  libgtest-dev libgmock-dev       # unit and panel tests
  libbenchmark-dev                # benchmarks
  fonts-dejavu-core               # text for the offscreen platform used by the tests
  xvfb xauth                      # headless trial runs of the real program
  python3                         # the check that the layers keep apart
  python3-pyvisa python3-pyvisa-py  # a bench script's PyVISA client in the tests of zrctl serve
  sigrok-cli                      # reads the bus view's Value Change Dumps back in the tests
  dpkg-dev desktop-file-utils lintian   # the Debian package and its checks
  groff-base                      # the manual pages as man shows them, in their tests
)

# The fuzz target builds with clang and its libFuzzer runtime.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
