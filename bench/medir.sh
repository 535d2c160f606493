#!/bin/bash
# Measures every row of the performance table in one run: builds in Release,
# runs each benchmark program with repetitions and prints, per row, the
# median figure, its baseline's median from the same run and their ratio
# (below 1: faster than the baseline). The start-up row starts the program
# and a bare Qt window program the same number of times.
#
# Usage: bench/medir.sh [build-folder]   (default: build-release)
# Environment: REPETICIONES (default 5), SIN_GRANDES=1 leaves out the
# 1,000,000-row lookup, SIN_COMPILAR=1 uses the folder as it is.
# Output: the table on stdout, bench/resultados/filas.tsv and, with gnuplot,
# docs/rendimiento.png (a bar chart of the ratios against their goals).
set -euo pipefail

raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$raiz/build-release}")"
repeticiones="${REPETICIONES:-5}"
salida="$raiz/bench/resultados"
mkdir -p "$salida"
export QT_QPA_PLATFORM=offscreen

if [ -z "${SIN_COMPILAR:-}" ]; then
    lanzador=()
    if command -v ccache > /dev/null; then
        lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$raiz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${lanzador[@]}" > /dev/null
    cmake --build "$build" -j"$(nproc)" --target estaciones estaciones_ventana_desnuda \
        estaciones_bench_articles estaciones_bench_db estaciones_bench_tsql \
        estaciones_bench_library estaciones_bench_lookup estaciones_bench_runner
fi

# One benchmark program, its JSON (medians) in $salida/<program>.json and
# its own printed lines in $salida/<program>.txt.
correr() {
    local programa="$1"
    shift
    if [ ! -x "$build/bench/$programa" ]; then
        echo "($programa is not built: its rows are left out)" >&2
        return
    fi
    echo "== $programa" >&2
    "$build/bench/$programa" --benchmark_repetitions="$repeticiones" \
        --benchmark_report_aggregates_only=true --benchmark_color=false \
        --benchmark_out="$salida/$programa.json" --benchmark_out_format=json "$@" \
        > "$salida/$programa.txt" 2>&1 || echo "($programa failed; see $salida/$programa.txt)" >&2
}

correr estaciones_bench_articles
correr estaciones_bench_db
correr estaciones_bench_tsql
correr estaciones_bench_library --benchmark_filter='IniRead'
# The runner's row is wall time spent mostly waiting for the disk (one
# synced commit per batch): its repetitions are interleaved with the
# baseline's, so that a busier disk for a while weighs on both alike.
correr estaciones_bench_runner --benchmark_enable_random_interleaving=true
if [ -n "${SIN_GRANDES:-}" ]; then
    correr estaciones_bench_lookup --benchmark_filter='/10000/'
else
    REPETICIONES_LOOKUP=3
    repeticiones_antes="$repeticiones"
    repeticiones="$REPETICIONES_LOOKUP"
    correr estaciones_bench_lookup
    repeticiones="$repeticiones_antes"
fi

# Start-up: CPU seconds (user + system) and peak memory of the program to its
# painted window (it closes itself once up), first start on a new data folder
# and second start on the same one, beside the bare window program.
arranque="$salida/arranque.tsv"
: > "$arranque"
if [ -x "$build/estaciones" ] && [ -x "$build/bench/estaciones_ventana_desnuda" ]; then
    echo "== start-up" >&2
    programa="$(mktemp -d)"
    for archivo in "$build"/estaciones "$build"/estaciones-sql "$build"/*.sql "$build"/*.semilla "$build"/*.sembrada* "$build"/*.so; do
        [ -e "$archivo" ] && ln -s "$archivo" "$programa/"
    done
    [ -d "$build/ayuda" ] && ln -s "$build/ayuda" "$programa/ayuda"
    linea='@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; @ParametroAdicional=; @Caja=1;kelp@'
    # CPU and peak memory of each child, to the microsecond (time(1) rounds to 10 ms).
    python3 - "$arranque" "$repeticiones" "$build/bench/estaciones_ventana_desnuda" \
        "$programa/estaciones" "$linea" <<'PY'
import os, subprocess, sys, tempfile
arranque, veces, desnuda, programa, linea = sys.argv[1], int(sys.argv[2]), *sys.argv[3:]
def medir(etiqueta, orden, entorno=None):
    _, _, uso = os.wait4(subprocess.Popen(orden, env=entorno, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL).pid, 0)
    cpu = uso.ru_utime + uso.ru_stime
    with open(arranque, "a") as f:
        f.write("%s %.6f 0 %d\n" % (etiqueta, cpu, uso.ru_maxrss))
for _ in range(veces):
    with tempfile.TemporaryDirectory() as datos:
        entorno = dict(os.environ, ESTACIONES_DATOS=datos, ESTACIONES_RESPUESTAS_AUTOMATICAS="",
                       ESTACIONES_SALIR_TRAS_INICIO="0")
        for vez in ("primera", "segunda"):
            medir("desnuda-" + vez, [desnuda])
            medir("programa-" + vez, [programa, linea], entorno)
PY
    rm -rf "$programa"
fi

python3 - "$salida" <<'PY'
import json, os, statistics, sys

salida = sys.argv[1]

def medianas(programa, reloj):
    ruta = os.path.join(salida, programa + ".json")
    if not os.path.exists(ruta):
        return {}
    datos = json.load(open(ruta))
    clave = "cpu_time" if reloj == "cpu" else "real_time"
    filas = {}
    for b in datos.get("benchmarks", []):
        if b.get("aggregate_name") == "median":
            nombre = b["run_name"].split("/iterations:")[0]
            filas[nombre] = (b[clave], b.get("time_unit", "ns"))
    return filas

# what | program | measured | baseline | clock | goal (ratio at most, "-" none)
tabla = [[campo.strip() for campo in fila.split("|")] for fila in """
366 stored dates read through a recordset / sqlite3 C API | estaciones_bench_db | BM_Embedded_366Rows | BM_RawSqlite_366Rows | cpu | 1.5
Season SELECT, engine / raw SQLite | estaciones_bench_tsql | EngineSeasonSelect | RawSqliteSeasonSelect | cpu | 1.3
Year statement, 366 rows, engine / raw SQLite | estaciones_bench_tsql | EngineYearSelect | RawSqliteYearSelect | cpu | 1.5
Year statement, 200 years of rows / one year | estaciones_bench_tsql | EngineYearSelect200Years | EngineYearSelect | cpu | 1.1
Year statement on raw SQLite, 200 years of rows / one year | estaciones_bench_tsql | RawSqliteYearSelect200Years | RawSqliteYearSelect | cpu | -
Translation per byte, 100 KB script / 1 KB scripts | estaciones_bench_tsql | TranslateScript100KB | TranslateScripts1KB | cpu | 1.1
Script runner, 5,000 batches / sqlite3 shell (wall) | estaciones_bench_runner | BM_VerVistas | BM_Sqlite3Shell | real | 1.2
Script runner, 5,000 batches / estaciones-sql -i (wall) | estaciones_bench_runner | BM_VerVistas | BM_EstacionesSqlScript | real | -
JSON reader / nlohmann::json | estaciones_bench_articles | BM_LeerJson | BM_NlohmannParse | cpu | 0.667
JSON reader / RapidJSON | estaciones_bench_articles | BM_LeerJson | BM_RapidJsonParse | cpu | -
JSON reader / simdjson | estaciones_bench_articles | BM_LeerJson | BM_SimdjsonParse | cpu | -
String builder appends / QString appends | estaciones_bench_articles | BM_StringBuilderAppend | BM_QStringAppend | cpu | 1.0
INI read / plain read and split | estaciones_bench_library | IniRead/library | IniRead/baseline | cpu | 1.5
Lookup list, 10,000 rows / raw recordset loop | estaciones_bench_lookup | BM_VentanaLista/10000 | BM_RecordsetCrudo/10000 | cpu | 2.0
Lookup list, 1,000,000 rows / raw recordset loop | estaciones_bench_lookup | BM_VentanaLista/1000000 | BM_RecordsetCrudo/1000000 | cpu | 2.0
""".strip().splitlines()]

filas = []
for que, programa, medido, base, reloj, meta in tabla:
    meta = None if meta == "-" else float(meta)
    m = medianas(programa, reloj)
    if medido in m and base in m and m[base][0] > 0:
        filas.append((que, m[medido][0], m[base][0], m[medido][1], m[medido][0] / m[base][0], meta))

# The lookup's memory lines: held and peak growth against the rows' own size.
ruta = os.path.join(salida, "estaciones_bench_lookup.txt")
if os.path.exists(ruta):
    vistas = {}
    for linea in open(ruta):
        if "FILA|" in linea and "memory" in linea:
            que, figura, base, razon = linea.strip().split("FILA|", 1)[1].split("|")
            vistas[que] = (que, float(figura), float(base), "MiB", float(razon), 3.0)
    filas.extend(vistas.values())  # the last repetition's figures

ruta = os.path.join(salida, "arranque.tsv")
if os.path.exists(ruta):
    medidas = {}
    for linea in open(ruta):
        partes = linea.split()
        if len(partes) == 4:
            medidas.setdefault(partes[0], []).append((float(partes[1]) + float(partes[2]), float(partes[3])))
    for vez, nombre in (("primera", "first"), ("segunda", "second")):
        p, d = medidas.get("programa-" + vez), medidas.get("desnuda-" + vez)
        if p and d:
            cp = statistics.median(x[0] for x in p)
            cd = statistics.median(x[0] for x in d)
            if cd > 0:
                filas.append(("Start-up, %s start / bare Qt window (CPU)" % nombre, cp, cd, "s", cp / cd, 1.5))
            mp = statistics.median(x[1] for x in p) / 1024
            md = statistics.median(x[1] for x in d) / 1024
            filas.append(("Start-up, %s start, peak memory / 60 MiB" % nombre, mp, md, "MiB", mp / 60, 1.0))

with open(os.path.join(salida, "filas.tsv"), "w") as tsv:
    print("%-62s %12s %12s %5s %7s %6s" % ("What", "Figure", "Baseline", "Unit", "Ratio", "Goal"))
    for i, (que, figura, base, unidad, razon, meta) in enumerate(filas):
        objetivo = "-" if meta is None else "%.2f" % meta
        print("%-62s %12.3f %12.3f %5s %7.2f %6s" % (que, figura, base, unidad, razon, objetivo))
        tsv.write("%d\t%s\t%g\t%g\t%s\t%g\t%s\n" % (i, que, figura, base, unidad, razon,
                                                    objetivo if meta is not None else "NaN"))
PY

if command -v gnuplot > /dev/null && [ -s "$salida/filas.tsv" ]; then
    gnuplot <<GP
set terminal pngcairo size 1100,600 font "DejaVu Sans,10" noenhanced
set output "$raiz/docs/rendimiento.png"
set datafile separator "\t"
set title "Cada fila: cifra / línea de base en la misma corrida (mediana); la marca es el objetivo"
set style fill solid 0.6
set boxwidth 0.6
set logscale y
set yrange [0.05:*]
set ylabel "razón (escala logarítmica)"
set xtics rotate by 35 right
set bmargin 14
set lmargin 24
set grid ytics
plot "$salida/filas.tsv" using 1:6:xtic(2) with boxes lc rgb "#4a7ab5" title "medido", \
     "" using 1:7 with points pt 9 ps 1.6 lc rgb "#c0392b" title "objetivo"
GP
    echo "Chart: $raiz/docs/rendimiento.png" >&2
fi
