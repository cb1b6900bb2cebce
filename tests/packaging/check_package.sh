#!/usr/bin/env bash
# The Debian package as built by `make package`: its desktop entry validates, it
# holds exactly the files a bench engineer needs, it unpacks, the zrctl inside
# runs with the version About shows, and lintian finds no error in it.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
source_dir=$1 build_dir=$2 version=$3
deb=$build_dir/zr-eval_${version}_amd64.deb
fail() { echo "check_package: $*" >&2; exit 1; }

desktop-file-validate "$source_dir/packaging/zr-eval.desktop" || fail "the desktop entry does not validate"
[ -f "$deb" ] || fail "$deb is missing: run make package"

expected="./usr/bin/zr-eval
./usr/bin/zrctl
./usr/lib/udev/rules.d/60-zr-eval-ftdi.rules
./usr/share/applications/zr-eval.desktop
./usr/share/doc/zr-eval/changelog.gz
./usr/share/doc/zr-eval/copyright
./usr/share/icons/hicolor/256x256/apps/zr-eval.png
./usr/share/man/man1/zr-eval.1.gz
./usr/share/man/man1/zrctl.1.gz"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort)
if [ "$files" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$files") >&2 || true
    fail "the package does not hold exactly the files expected"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"
said=$("$scratch/usr/bin/zrctl" --version)
[ "$said" = "zrctl $version" ] || fail "zrctl --version says \"$said\", not \"zrctl $version\""

lintian_out=$(lintian "$deb" 2>&1 | grep -v "running with root privileges" || true)
echo "$lintian_out"
if echo "$lintian_out" | grep -q '^E:'; then
    fail "lintian reports errors"
fi
echo "check_package: $deb holds $(echo "$files" | wc -l) files, zrctl $version runs, lintian reports no error"
