#!/usr/bin/env bash
# Tarnwick for Windows, ready to hand out:
#   dist/Tarnwick-<version>-setup.exe      the installer (per user, or /AllUsers per machine)
#   dist/Tarnwick-<version>-portable.zip   tarnwick.exe, Ut1.jpg and Licence.txt, to run from any folder
# Built through the windows preset against the static Qt of scripts/windows-qt.sh. The zip's
# entries carry SOURCE_DATE_EPOCH (or the last commit's time) so that two builds give one zip.
set -euo pipefail
cd "$(dirname "$0")/../.."

bash scripts/windows-qt.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target installer

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
mkdir -p dist
cp build/windows/"Tarnwick-$version-setup.exe" dist/
python3 - "dist/Tarnwick-$version-portable.zip" "$epoch" \
    build/windows/bin/tarnwick.exe:tarnwick.exe resources/Ut1.jpg:Ut1.jpg \
    packaging/windows/licence.txt:Licence.txt <<'PY'
import sys, time, zipfile
target, epoch, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
# Zip times are local-time fields from 1980 on; UTC keeps them the same on every machine.
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for entry in entries:
        source, name = entry.split(":")
        info = zipfile.ZipInfo(name, stamp)
        info.compress_type, info.external_attr = zipfile.ZIP_DEFLATED, 0o644 << 16
        with open(source, "rb") as file:
            archive.writestr(info, file.read())
PY
echo "dist/Tarnwick-$version-setup.exe"
echo "dist/Tarnwick-$version-portable.zip"
