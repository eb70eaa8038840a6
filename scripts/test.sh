#!/usr/bin/env bash
# Installs what is needed, builds Tarnwick and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --all
# Both README commands in a fresh Debian 13 root too, from an earlier release (some 8 minutes,
# alone); it needs root.
debian13=ON
if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = trixie ]; then
    debian13=OFF
elif [ "$(id -u)" -ne 0 ]; then
    debian13=OFF
    echo "test.sh: not run as root, so the Debian 13 test is left out (see README)" >&2
fi
cmake --preset dev -DTARNWICK_DEBIAN13=$debian13
cmake --build --preset dev -j"$(nproc)"
# Among them the Debian package: built twice from two folders and compared byte for byte, and
# checked by lintian. Its install into a clean Debian 12 root is opt-in (see README).
ctest --preset dev -j"$(nproc)"

# Tarnwick for Windows: the static Qt (unpacked from the shared copy, or built once from Debian's
# source and kept in the cache), tarnwick.exe with its installer, and the installed program
# walked under Wine. Qt's build tools are the machine's own and must be the Windows Qt's version,
# 6.4.2: Debian 12's. Elsewhere the stage is left out, and says so.
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
if [[ $qt == 6.4.2* ]]; then
    bash scripts/windows-qt.sh >/dev/null
    cmake --preset windows
    cmake --build --preset windows -j"$(nproc)"
    ctest --preset windows
else
    echo "test.sh: the Windows stage is left out: it needs Qt 6.4.2's build tools, and this machine has Qt $qt" >&2
fi

# The same suite again under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer.
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"

# The tests that start the picture worker beside the GUI thread, under ThreadSanitizer.
cmake --preset tsan
cmake --build --preset tsan -j"$(nproc)"
ctest --preset tsan -j"$(nproc)"
