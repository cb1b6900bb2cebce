#!/usr/bin/env bash
# The Debian package as built by `make package`: its desktop entry validates, it
# holds exactly the files a bench engineer needs (zrctl's bash completion and the
# README with its documents among them), it unpacks, the zrctl inside runs with
# the version About shows and its completion loads in bash, the udev rule names
# the bit-bang chips and no other device, and lintian --pedantic says nothing
# but the tags explained below.
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
./usr/share/bash-completion/completions/zrctl
./usr/share/doc/zr-eval/README.md
./usr/share/doc/zr-eval/changelog.gz
./usr/share/doc/zr-eval/copyright
./usr/share/doc/zr-eval/docs/development.md
./usr/share/doc/zr-eval/docs/main-panel.png
./usr/share/doc/zr-eval/docs/spurs.md
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

# The completion as bash-completion loads it: it offers the commands.
offered=$(bash --norc --noprofile -c 'source "$0"; COMP_WORDS=(zrctl so); COMP_CWORD=1; _zrctl; echo "${COMPREPLY[*]}"' \
          "$scratch/usr/share/bash-completion/completions/zrctl")
[ "$offered" = "solve" ] || fail "the completion offers \"$offered\" for \"zrctl so\", not \"solve\""

# The logged-in user gets the FTDI chips that do bit-bang, by product id, and no
# rule reaches every device of the vendor.
rule=$scratch/usr/lib/udev/rules.d/60-zr-eval-ftdi.rules
for product in 6001 6010 6011 6014 6015; do
    grep -q "^ATTR{idProduct}==\"$product\",.*TAG+=\"uaccess\"" "$rule" || fail "the udev rule does not give 0403:$product"
done
if grep -v '^#' "$rule" | grep 'TAG+=' | grep -vq 'idProduct'; then
    fail "the udev rule gives a device without naming its product"
fi

# Tags lintian may say, each with its reason in a comment beside it; none so far.
explained=(
)
lintian_out=$(lintian --pedantic "$deb" 2>&1 | grep -v "running with root privileges" || true)
echo "$lintian_out"
unexplained=$(echo "$lintian_out" | grep -E '^[EWP]:' || true)
for tag in "${explained[@]}"; do
    unexplained=$(echo "$unexplained" | grep -v -- " $tag" || true)
done
if [ -n "$unexplained" ]; then
    fail "lintian says what no one has explained: $unexplained"
fi
echo "check_package: $deb holds $(echo "$files" | wc -l) files, zrctl $version runs, lintian says nothing unexplained"
