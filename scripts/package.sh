#!/usr/bin/env bash
# Builds Tarnwick's packages into dist/, or into the folder given after the kind:
#   package.sh source    tarnwick-<version>.tar.xz, the release's source
#   package.sh deb       tarnwick_<version>_<arch>.deb: dpkg-buildpackage on that source, unpacked
#   package.sh windows   the Windows installer and the portable zip
# The source is the last commit (git archive) in a clone; in a tree without .git, such as an
# unpacked tarball, it is the tree itself without build*/ and dist/. Its entries are sorted,
# owned by root and stamped with SOURCE_DATE_EPOCH, which defaults to debian/changelog's time
# (as dpkg-buildpackage's does), so the same source gives the same bytes from any folder.
set -euo pipefail
kind=${1:-}
case "$kind" in
  windows) cd "$(dirname "$0")/.." && exec bash packaging/windows/package.sh ;;
  source|deb) ;;
  *) echo "usage: package.sh source|deb [folder] | windows" >&2; exit 2 ;;
esac
dist=${2:-$(dirname "$0")/../dist}
dist=$(mkdir -p "$dist" && cd "$dist" && pwd)
cd "$(dirname "$0")/.."
version=$(dpkg-parsechangelog -S Version)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -S Timestamp)}
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

tree=$work/tarnwick-$version
mkdir "$tree"
if [ -e .git ]; then
  git archive HEAD | tar -x -C "$tree"
  git diff --quiet HEAD || echo "package.sh: the last commit is packed; changes not committed are left out" >&2
else
  tar -c --exclude='./build*' --exclude=./dist . | tar -x -C "$tree"
fi
tarball=$work/tarnwick-$version.tar.xz
[ "$kind" = source ] && tarball=$dist/tarnwick-$version.tar.xz
tar -c -C "$work" --sort=name --format=gnu --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
  --numeric-owner --mode=u+rw,go=rX "tarnwick-$version" | xz -9 -T1 >"$tarball.part"
mv "$tarball.part" "$tarball"
if [ "$kind" = source ]; then
  echo "$tarball"
  exit 0
fi

# As a distribution builds it: from the tarball, unpacked.
mkdir "$work/build"
tar -xJf "$tarball" -C "$work/build"
(cd "$work/build/tarnwick-$version" && dpkg-buildpackage -us -uc -b -J"${TARNWICK_JOBS:-auto}") >"$work/build.log" 2>&1 \
  || { tail -n 60 "$work/build.log" >&2; exit 1; }
for deb in "$work"/build/tarnwick_"$version"_*.deb; do
  cp "$deb" "$dist/"
  echo "$dist/$(basename "$deb")"
done
