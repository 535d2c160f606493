#!/usr/bin/env bash
# Las pruebas con AddressSanitizer, LeakSanitizer y UndefinedBehaviorSanitizer:
# compila todo con clang en build-san/ y ejecuta CTest allí. Cualquier aviso
# de un sanitizador hace fallar la prueba que lo produjo. Las supresiones
# (scripts/sanitizadores.supp) llevan cada una su motivo.
#   scripts/probar-sanitizadores.sh [expresion de ctest -R]
set -euo pipefail
cd "$(dirname "$0")/.."
carpeta=build-san
if [ ! -f "$carpeta/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$carpeta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DESTACIONES_SANITIZE=ON -DESTACIONES_BUILD_BENCHMARKS=OFF \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$carpeta" -j "${ESTACIONES_JOBS:-2}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/sanitizadores.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$PWD/scripts/sanitizadores.supp
filtro=()
if [ $# -gt 0 ]; then
    filtro=(-R "$1")
fi
(cd "$carpeta" && ctest --output-on-failure -j "${ESTACIONES_JOBS:-2}" --timeout 900 "${filtro[@]}")
