#!/usr/bin/env bash
# Las pruebas con AddressSanitizer, LeakSanitizer y UndefinedBehaviorSanitizer:
# compila todo con clang en build-san/ y ejecuta CTest allí. Cualquier aviso
# de un sanitizador hace fallar la prueba que lo produjo. Las supresiones
# (scripts/sanitizadores.supp) llevan cada una su motivo.
# Sin argumentos, las del motor, la capa de datos y los lectores (JSON, INI,
# máscaras, guiones) con los corpus de fuzzing: lo que lee texto ajeno.
#   scripts/probar-sanitizadores.sh [expresion de ctest -R] [objetivos...]
set -euo pipefail
cd "$(dirname "$0")/.."
carpeta=build-san
# -O1, as the sanitizers' own advice: a fifth less compile time than -O2 on
# the largest files, and stack frames still small enough for the nesting
# tests (-O0 compiles faster, but its frames are several times larger).
# ccache where it is installed (a developer's machine); a clean CI machine
# gains nothing by it.
if [ ! -f "$carpeta/build.ninja" ]; then
    cache=()
    if command -v ccache >/dev/null; then
        cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    CC=clang CXX=clang++ cmake -S . -B "$carpeta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
        -DESTACIONES_UNITY_BUILD=ON -DESTACIONES_SANITIZE=ON -DESTACIONES_BUILD_BENCHMARKS=OFF \
        "${cache[@]}" >/dev/null
fi
filtro_defecto='^(test_db_engine|test_db_engine_stages|test_db_corpus|test_platform_db|test_platform_core|test_data|test_articles_text|fuzz_.*|conformance_.*)$'
objetivos_defecto=(test_db_engine test_db_engine_stages test_db_corpus test_platform_db
    test_platform_core test_data test_articles_text estaciones_conformance estaciones-sql
    fuzz_json fuzz_tokenizer fuzz_batch fuzz_oracle fuzz_commandline fuzz_ini fuzz_script
    fuzz_mask fuzz_columnwidths)
expresion=${1:-$filtro_defecto}
[ $# -gt 0 ] && shift
objetivos=("$@")
[ ${#objetivos[@]} -eq 0 ] && objetivos=("${objetivos_defecto[@]}")
cmake --build "$carpeta" -j "${ESTACIONES_JOBS:-2}" --target "${objetivos[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/sanitizadores.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$PWD/scripts/sanitizadores.supp
(cd "$carpeta" && ctest --output-on-failure -j "${ESTACIONES_JOBS:-2}" --timeout 900 -R "$expresion")
