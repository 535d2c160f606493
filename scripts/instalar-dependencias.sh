#!/usr/bin/env bash
# Instala (sólo si faltan) los paquetes de Debian que lista scripts/paquetes.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t paquetes < <(grep -v '^\s*#' scripts/paquetes.txt | grep -v '^\s*$')
faltan=()
for p in "${paquetes[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        faltan+=("$p")
    fi
done

if [ ${#faltan[@]} -eq 0 ]; then
    echo "Dependencias: todos los paquetes están instalados."
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Dependencias: instalando ${faltan[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${faltan[@]}"
