#!/usr/bin/env bash
# Configura y compila el proyecto en build/ (dos trabajos en paralelo).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j "${ESTACIONES_JOBS:-2}"
