#!/usr/bin/env bash
# El comando de pruebas: instala lo necesario, compila en build/ y ejecuta
# todas las pruebas con CTest en la plataforma gráfica "offscreen".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/instalar-dependencias.sh
scripts/comprobar-etapas.sh
scripts/compilar.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j "${ESTACIONES_JOBS:-2}" --timeout 600
