#!/usr/bin/env bash
# Configura y compila el proyecto en build/ (dos trabajos en paralelo).
# Pensado para compilar desde cero (CI): como información de depuración sólo
# las tablas de líneas (-g1: archivo y línea en avisos y volcados, la cuarta
# parte del tiempo de -g menos) y los objetivos grandes en archivos
# combinados (ESTACIONES_UNITY_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
    -DESTACIONES_UNITY_BUILD=ON "$@"
cmake --build build -j "${ESTACIONES_JOBS:-2}"
