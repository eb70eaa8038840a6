#!/usr/bin/env bash
# Builds Tarnwick's packages into dist/:
#   package.sh deb       tarnwick_<version>_amd64.deb, for Debian 12
#   package.sh windows   the Windows installer and the portable zip
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  deb) exec bash packaging/debian/package.sh ;;
  windows) exec bash packaging/windows/package.sh ;;
  *) echo "usage: package.sh deb|windows" >&2; exit 2 ;;
esac
