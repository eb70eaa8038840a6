#!/usr/bin/env bash
# Tarnwick for Windows, ready to hand out:
#   dist/Tarnwick-<version>-setup.exe      the installer (per user, or /AllUsers per machine)
#   dist/Tarnwick-<version>-portable.zip   tarnwick.exe, Ut1.jpg and Licence.txt, to run from any folder
# Built through the windows preset against the static Qt of scripts/windows-qt.sh. The zip's
# entries carry SOURCE_DATE_EPOCH, or else the last commit's time.
set -euo pipefail
cd "$(dirname "$0")/../.."

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
bash scripts/windows-qt.sh >/dev/null
# Configured afresh: the zip's time is taken when CMake runs.
cmake --preset windows --fresh >/dev/null
cmake --build --preset windows --target installer portable

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
mkdir -p dist
for file in "Tarnwick-$version-setup.exe" "Tarnwick-$version-portable.zip"; do
    cp "build/windows/$file" dist/
    echo "dist/$file"
done
