#!/usr/bin/env bash
# Ejecuta un objetivo de fuzzing (tests/fuzz) con libFuzzer durante SEGUNDOS,
# o hasta EJECUCIONES entradas si se dan y llegan antes.
#   scripts/fuzz.sh OBJETIVO SEGUNDOS [EJECUCIONES]
# Objetivos: json tokenizer batch oracle commandline ini script mask columnwidths
# Compila con clang en build-fuzz/ (AddressSanitizer y UBSan incluidos). El
# corpus que crece queda en build-fuzz/corpus/OBJETIVO; cada hallazgo, en
# build-fuzz/hallazgos/OBJETIVO. Un hallazgo, una vez minimizado (el mismo
# programa con -minimize_crash=1), se guarda en tests/fuzz/hallazgos/OBJETIVO/
# y la prueba normal lo repite siempre.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
objetivo=$1
segundos=$2
ejecuciones=${3:--1}
if [ ! -d "tests/fuzz/semillas/$objetivo" ]; then
    echo "No hay objetivo de fuzzing llamado '$objetivo' (ver tests/fuzz/semillas/)." >&2
    exit 2
fi
carpeta=build-fuzz
# The readers of the data layer and the lookups never open a database: the
# embedded engine is not linked into the layer, which spares compiling all of
# it for them (the T-SQL targets build the engine's stages they need).
if [ ! -f "$carpeta/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$carpeta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DESTACIONES_FUZZ=ON -DBUILD_TESTING=OFF -DESTACIONES_BUILD_BENCHMARKS=OFF \
        -DESTACIONES_WITH_EMBEDDED_ENGINE=OFF \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$carpeta" --target "fuzz_$objetivo" -j "${ESTACIONES_JOBS:-2}"
corpus="$carpeta/corpus/$objetivo"
hallazgos="$carpeta/hallazgos/$objetivo"
mkdir -p "$corpus" "$hallazgos"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# -timeout: an input that takes 10 s is a hang; -rss_limit_mb: memory out of
# proportion is a finding too.
"$carpeta/fuzz/fuzz_$objetivo" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -runs="$ejecuciones" -print_final_stats=1 -artifact_prefix="$hallazgos/" \
    "$corpus" "tests/fuzz/semillas/$objetivo"
