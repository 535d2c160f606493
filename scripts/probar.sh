#!/usr/bin/env bash
# El comando de pruebas: instala lo necesario, compila en build/ y ejecuta
# todas las pruebas con CTest en la plataforma gráfica "offscreen". Las
# pruebas deben dejar la carpeta del proyecto y la de compilación como las
# encontraron: si aparecen archivos nuevos, el comando falla y los nombra.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/instalar-dependencias.sh
scripts/comprobar-etapas.sh
scripts/compilar.sh
export QT_QPA_PLATFORM=offscreen

estado_fuentes() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git status --porcelain --untracked-files=all
    fi
}
archivos_compilacion() {
    # La carpeta del programa (build/ arriba de todo) y los registros que el
    # programa escribiría en cualquier parte de build/.
    find build -maxdepth 1 -type f | sort
    find build \( -iname 'TSERR.LOG' -o -iname 'consultas.tsf' -o -iname 'CONSULTASLEN.*' \
        -o -iname 'Script*.TXT' \) -print | sort
}
fuentes_antes=$(estado_fuentes)
compilacion_antes=$(archivos_compilacion)

(cd build && ctest --output-on-failure -j "${ESTACIONES_JOBS:-2}" --timeout 600)

limpio=1
if [ "$(estado_fuentes)" != "$fuentes_antes" ]; then
    echo "Las pruebas cambiaron la carpeta del proyecto:"
    diff <(echo "$fuentes_antes") <(estado_fuentes) || true
    limpio=0
fi
if [ "$(archivos_compilacion)" != "$compilacion_antes" ]; then
    echo "Las pruebas dejaron archivos en la carpeta de compilación:"
    diff <(echo "$compilacion_antes") <(archivos_compilacion) || true
    limpio=0
fi
[ "$limpio" -eq 1 ]
