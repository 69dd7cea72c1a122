#!/usr/bin/env bash
# The Debian package: scripts/package.sh builds the program and writes tabel_<version>_amd64.deb
# into the tree's top folder (CPack; its dependencies computed from the libraries the program
# links), then checks it with lintian. Install it with: apt-get install ./tabel_*.deb
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
cd "$tree"
bash scripts/install.sh
# What packaging needs beyond the build: dpkg-shlibdeps (dpkg-dev), file, lintian.
extra=()
for p in dpkg-dev file lintian; do
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || extra+=("$p")
done
if [ ${#extra[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${extra[@]}"
fi
bash scripts/build.sh --program
cmake --build build --target tabel_changelog >/dev/null
(cd build && cpack -G DEB -B "$tree/build/package" >/dev/null)
deb=$(ls -t build/package/tabel_*_amd64.deb | head -1)
cp "$deb" "$tree/"
echo "written: $(basename "$deb")"
lintian --no-tag-display-limit "$tree/$(basename "$deb")" || true
