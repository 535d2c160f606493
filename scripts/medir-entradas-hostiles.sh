#!/usr/bin/env bash
# Lleva entradas hostiles a cada puerta del programa y anota qué respondió
# cada una y su memoria máxima (/usr/bin/time -v): estaciones-sql -i y -Q,
# la línea de comandos de la ventana (bajo xvfb-run, con la reproducción de
# entrada), y los lectores de INI, máscaras, anchos de columna, JSON,
# guiones y el tokenizador (los programas de repetición de tests/fuzz).
#   scripts/medir-entradas-hostiles.sh [CARPETA_DE_COMPILACION] [MB_GRANDE]
# Escribe una tabla en Markdown en la salida. Cada caso tiene 300 s; más es
# un cuelgue. MB_GRANDE (100 por defecto) es el tamaño de las entradas grandes.
# LECTORES=carpeta toma los programas de los lectores de otra compilación
# (build-fuzz/fuzz: con AddressSanitizer, la memoria medida es mayor); una
# puerta cuyo programa no está compilado se salta.
# SELECCION=expresión elige los casos: se compara (expresión regular extendida)
# con «puerta/entrada», p. ej. SELECCION='^tokenizador|/lineas-grande$'.
set -uo pipefail
cd "$(dirname "$0")/.."
compilacion=$(realpath "${1:-build}")
mb=${2:-100}
trabajo=$(mktemp -d /tmp/estaciones-hostil-XXXXXX)
trap 'rm -rf "$trabajo"' EXIT
export QT_QPA_PLATFORM=offscreen
export ESTACIONES_DATOS="$trabajo/datos"
mkdir -p "$ESTACIONES_DATOS"

# --- las entradas ---
e="$trabajo/entradas"
mkdir -p "$e"
printf "SELECT 'a\xC3\x28b\xFF\xFE' AS x\nGO\nPRINT 'fin'\n" > "$e/utf8-invalido"
printf "SELECT 'a\xF1o \x80 \x93comillas\x94' AS x\nGO\n" > "$e/windows-1252"
printf "SELECT 'a\0b' AS x\nGO\nSELECT 1\0\nGO\n" > "$e/nul"
python3 - "$e" "$mb" <<'PY'
import sys
carpeta, mb = sys.argv[1], int(sys.argv[2])
fila = "(%d, '" + "x" * 90 + "')"
lote = ("INSERT INTO carga (a, b) VALUES " + ",".join(fila % i for i in range(20)) + "\nGO\n").encode()
with open(carpeta + "/inserts-grande", "wb") as f:
    f.write(b"CREATE TABLE carga (a int, b varchar(100))\nGO\n")
    for _ in range(mb * 1024 * 1024 // len(lote)):
        f.write(lote)
with open(carpeta + "/lineas-grande", "wb") as f:
    linea = b'"MA_ARTICULOS","1200|800|400|"\r\n'
    for _ in range(mb * 1024 * 1024 // len(linea)):
        f.write(linea)
with open(carpeta + "/parentesis", "wb") as f:
    f.write(b"SELECT " + b"(" * 100000 + b"1" + b")" * 100000 + b"\n")
with open(carpeta + "/lineas-go", "wb") as f:
    f.write(b"SELECT 1\nGO\n" * 100000)
with open(carpeta + "/json-anidado", "wb") as f:
    f.write(b"[" * 100000 + b"]" * 100000)
PY

# --- las puertas ---
sql="$compilacion/estaciones-sql"
"$sql" -S "(local)" -d master -Q "CREATE DATABASE HOSTIL" >/dev/null 2>&1
echo "| Puerta | Entrada | Bytes | Salida | Respuesta | Memoria máxima (MiB) | Segundos |"
echo "|---|---|---|---|---|---|---|"
lectores=${LECTORES:-$compilacion/fuzz}
seleccion=${SELECCION:-.}
medir() { # puerta entrada programa argumentos...
    local puerta=$1 entrada=$2
    shift 2
    [[ "$puerta/$entrada" =~ $seleccion ]] || return 0
    local programa=$1
    [ "$programa" = xvfb-run ] && programa=$3
    [ -x "$programa" ] || return 0
    local bytes=0
    if [ "$1" = xvfb-run ]; then # the input is the window's command line
        bytes=$(printf '%s' "${@: -1}" | wc -c)
    elif [ -f "$e/$entrada" ]; then
        bytes=$(stat -c %s "$e/$entrada")
    fi
    local inicio=$(date +%s.%N)
    timeout 300 /usr/bin/time -v -o "$trabajo/tiempo" "$@" >"$trabajo/salida" 2>&1
    local codigo=$?
    local fin=$(date +%s.%N)
    local kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$trabajo/tiempo" 2>/dev/null)
    local respuesta
    # A fault first; else the readers' replay count; else the first line said.
    respuesta=$(grep -a -m1 -E 'ERROR|promesa rota|Sqlcmd: Error|Msg [0-9]+' "$trabajo/salida" ||
        grep -a -m1 -E 'entradas repetidas|Executed .* in' "$trabajo/salida" ||
        grep -a -v -E '^\[reproducción\]|^INFO:|^QStandardPaths:|^\s*$' "$trabajo/salida" | head -n1)
    respuesta=$(printf '%s' "$respuesta" | tr -d '\000' | cut -c1-70 | tr '|' '/')
    [ $codigo -eq 124 ] && respuesta="(cuelgue: 300 s)"
    printf "| %s | %s | %s | %s | %s | %s | %s |\n" "$puerta" "$entrada" "$bytes" "$codigo" \
        "${respuesta:-(nada)}" "$(( ${kib:-0} / 1024 ))" "$(awk "BEGIN {printf \"%.1f\", $fin - $inicio}")"
}
for entrada in utf8-invalido windows-1252 nul parentesis lineas-go inserts-grande; do
    medir "estaciones-sql -i" "$entrada" "$sql" -S "(local)" -d HOSTIL -h -1 -i "$e/$entrada"
done
medir "estaciones-sql -Q" "parentesis (50000)" "$sql" -S "(local)" -d HOSTIL -Q \
    "SELECT $(printf '(%.0s' $(seq 50000))1$(printf ')%.0s' $(seq 50000))"
medir "estaciones-sql -Q" "utf8-invalido" "$sql" -S "(local)" -d HOSTIL -Q "$(printf "SELECT '\xC3\x28\xFF'")"

for entrada in utf8-invalido windows-1252 nul lineas-grande; do
    medir "lector de INI" "$entrada" "$lectores/fuzz_ini" "$e/$entrada"
    medir "lector de máscaras" "$entrada" "$lectores/fuzz_mask" "$e/$entrada"
    medir "lector de anchos de columna" "$entrada" "$lectores/fuzz_columnwidths" "$e/$entrada"
    medir "respuestas JSON" "$entrada" "$lectores/fuzz_json" "$e/$entrada"
    medir "línea de comandos de la suite" "$entrada" "$lectores/fuzz_commandline" "$e/$entrada"
done
medir "respuestas JSON" "json-anidado" "$lectores/fuzz_json" "$e/json-anidado"
for entrada in parentesis lineas-go inserts-grande nul; do
    medir "tokenizador" "$entrada" "$lectores/fuzz_tokenizer" "$e/$entrada"
    medir "guiones (GO)" "$entrada" "$lectores/fuzz_script" "$e/$entrada"
done

# The window program: the suite's command line, hostile, then the replay
# closes the window. A message box (a database that cannot be opened asks
# whether to try again) is answered "No" and printed, instead of waiting for
# an operator who never comes.
if command -v xvfb-run >/dev/null && [ -x "$compilacion/estaciones" ]; then
    printf 'esperar 500\nclic CmdSalir\n' > "$trabajo/salir.txt"
    export ESTACIONES_REPRODUCIR="$trabajo/salir.txt"
    export ESTACIONES_RESPUESTAS_AUTOMATICAS=7
    unset QT_QPA_PLATFORM
    medir "ventana: línea de comandos" "utf8-invalido" xvfb-run -a "$compilacion/estaciones" \
        "$(printf '@server=(local); @dbname=DEMO\xC3\x28\xFF; @usuario=ADMIN; @Password=;')"
    medir "ventana: línea de comandos" "100 KB de claves" xvfb-run -a "$compilacion/estaciones" \
        "$(printf '@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=;'; head -c 100000 /dev/zero | tr '\0' 'x')"
    medir "ventana: línea de comandos" "windows-1252" xvfb-run -a "$compilacion/estaciones" \
        "$(printf '@server=(local); @dbname=DEMO; @usuario=ADMI\xD1; @Password=\x80;')"
fi
