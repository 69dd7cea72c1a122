#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need. Quick and silent when
# everything is present; apt-get runs only for what is missing (as root, or through sudo).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-qpa-plugins libqt6sql6-psql qt6-translations-l10n
    libxlsxwriter-dev zlib1g-dev
    postgresql-15
    fonts-dejavu-core fonts-urw-base35
    python3 python3-openpyxl poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" != "installed" ]; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing the Debian packages the program needs (once): ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "error: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
