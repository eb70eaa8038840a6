#!/usr/bin/env bash
# Builds dist/tarnwick_<version>_amd64.deb from this source tree: the program alone, optimised
# and hardened with Debian's flags, in build/package. Run from any folder of the same source at
# the same SOURCE_DATE_EPOCH (default: the last commit's time), it gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
build=$source/build/package
stage=$build/root
scratch=$build/debian-control
mkdir -p dist

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null) || {
    echo "package.sh: set SOURCE_DATE_EPOCH; this tree has no commit to take the time from" >&2
    exit 1
  }
fi
# rcc stamps the icons it embeds with this time, and dpkg-deb its archive and every newer file.
export SOURCE_DATE_EPOCH

# Hardening with everything Debian offers, bind-now included; -ffile-prefix-map maps this
# folder (dpkg-buildflags takes the current one) to '.', so no path of the build remains.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export LC_ALL=C.UTF-8 TZ=UTC
# ccache's base_dir would write the sources' paths into the debug info relative to the build
# folder inside it and absolute outside it; without it the paths are the same from any folder.
unset CCACHE_BASEDIR
umask 022
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

# From scratch: the icons rcc embeds carry the time of the build that made them.
rm -rf "$build"
cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARNWICK_TESTS=OFF -DTARNWICK_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" --target tarnwick -j"${TARNWICK_JOBS:-$(nproc)}"

version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [ "$version" != "$project_version" ]; then
  echo "package.sh: packaging/debian/changelog is at $version, the program at $project_version" >&2
  exit 1
fi

DESTDIR=$stage cmake --install "$build" --component tarnwick >/dev/null
strip --remove-section=.comment --remove-section=.note "$stage/usr/lib/tarnwick/tarnwick"

doc=$stage/usr/share/doc/tarnwick
man=$stage/usr/share/man/man1
install -d "$doc" "$man"
install -m 644 packaging/debian/copyright "$doc/copyright"
gzip -9n <packaging/debian/changelog >"$doc/changelog.gz"
gzip -9n <packaging/debian/tarnwick.1 >"$man/tarnwick.1.gz"

# dpkg-shlibdeps and dpkg-gencontrol work on a debian/ folder of their own.
mkdir -p "$scratch/debian" "$stage/DEBIAN"
cp packaging/debian/control packaging/debian/changelog "$scratch/debian/"
(
  cd "$scratch"
  dpkg-shlibdeps -e"$stage/usr/lib/tarnwick/tarnwick"
  dpkg-gencontrol -P"$stage"
)
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"

chmod -R u+rwX,go=rX "$stage"
package=dist/tarnwick_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package" >/dev/null
echo "$package"
