#!/usr/bin/env bash
# Comprueba que las etapas del motor incorporado sólo incluyen cabeceras de las
# etapas de abajo, y que el resto del proyecto entra al motor sólo por su
# cabecera pública. El orden de las etapas es el de
# src/platform/db/embedded/CMakeLists.txt (ESTACIONES_ENGINE_STAGES).
set -euo pipefail
cd "$(dirname "$0")/.."

motor=src/platform/db/embedded
read -r -a etapas < <(sed -n 's/^set(ESTACIONES_ENGINE_STAGES \(.*\))$/\1/p' "$motor/CMakeLists.txt")
if [ ${#etapas[@]} -eq 0 ]; then
    echo "comprobar-etapas: no se encontró ESTACIONES_ENGINE_STAGES en $motor/CMakeLists.txt" >&2
    exit 2
fi

nivel() { # nivel ETAPA → su posición de abajo arriba, o vacío
    local i
    for i in "${!etapas[@]}"; do
        [ "${etapas[$i]}" = "$1" ] && echo "$i" && return
    done
}

fallos=0
falla() {
    echo "comprobar-etapas: $1" >&2
    fallos=$((fallos + 1))
}

# Las inclusiones de cabeceras del motor: "archivo:línea:etapa-incluida".
inclusiones() {
    grep -rnoE '#include "platform/db/embedded/[^"]+"' "$@" --include='*.h' --include='*.cpp' |
        sed -E 's#^([^:]+:[0-9]+):\#include "platform/db/embedded/([^"]+)"$#\1:\2#'
}

# 1. Dentro del motor: una etapa no mira hacia arriba.
for etapa in "${etapas[@]}"; do
    propia=$(nivel "$etapa")
    [ -d "$motor/$etapa" ] || { falla "falta la carpeta de la etapa $etapa"; continue; }
    while IFS=: read -r archivo linea incluida; do
        destino=${incluida%%/*}
        [ "$destino" = "$incluida" ] && { falla "$archivo:$linea incluye la puerta del motor ($incluida)"; continue; }
        otra=$(nivel "$destino")
        if [ -z "$otra" ]; then
            falla "$archivo:$linea incluye una carpeta que no es una etapa ($incluida)"
        elif [ "$otra" -gt "$propia" ]; then
            falla "$archivo:$linea: la etapa $etapa incluye $incluida, de una etapa de arriba"
        fi
    done < <(inclusiones "$motor/$etapa")
done

# 2. La extensión para la consola sqlite3 está encima de las etapas, como la
#    puerta: incluye etapas, nunca la puerta ni otra carpeta.
while IFS=: read -r archivo linea incluida; do
    [ -n "$(nivel "${incluida%%/*}")" ] && [ "${incluida%%/*}" != "$incluida" ] ||
        falla "$archivo:$linea: la extensión incluye $incluida, que no es de una etapa"
done < <(inclusiones "$motor/extension")

# 3. Fuera del motor (y fuera de sus propias pruebas, de los objetivos de
#    fuzzing que prueban su lector y su traductor, y de sus mediciones): sólo
#    la cabecera pública.
while IFS=: read -r archivo linea incluida; do
    case "$archivo" in
        "$motor"/* | tests/platform/db/embedded/* | tests/fuzz/* | bench/dialect/* | bench/tsql/* | bench/dates/*) continue ;;
    esac
    [ "$incluida" = "EmbeddedEngine.h" ] ||
        falla "$archivo:$linea entra al motor por $incluida en lugar de EmbeddedEngine.h"
done < <(inclusiones src tests bench)

if [ "$fallos" -gt 0 ]; then
    echo "comprobar-etapas: $fallos inclusiones fuera de orden" >&2
    exit 1
fi
echo "comprobar-etapas: etapas en orden (${etapas[*]})"
