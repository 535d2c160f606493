#!/usr/bin/env bash
# Rehace known-failures.txt con lo que el motor contesta hoy: corre cada
# fichero de casos y apunta los que fallan. Un caso que ya estaba en la lista
# conserva el motivo escrito; uno nuevo lleva lo que el motor da en su lugar.
# Las líneas "cae:" (casos que tumban el motor) se conservan sin correrlos.
# Uso: tests/conformance/actualizar-fallos.sh [carpeta de compilación, build por omisión]
set -euo pipefail
cd "$(dirname "$0")"
runner="../../${1:-build}/estaciones_conformance"
lista=known-failures.txt
nueva=$(mktemp)
trap 'rm -f "$nueva"' EXIT

grep -E '^#' "$lista" > "$nueva" || true
for casos in *.test; do
    "$runner" --lista "$casos" "$lista" >> "$nueva"
done
mv "$nueva" "$lista"
trap - EXIT
echo "actualizar-fallos: $(grep -cv '^#' "$lista") casos en $lista"
