#!/usr/bin/env bash
# El comando de ejecución: instala lo necesario, compila en build/ y abre el
# programa con la línea de comandos de demostración (base DEMO incorporada).
set -euo pipefail
cd "$(dirname "$0")/.."

# Sin pantalla el programa no puede abrirse: se dice antes de instalar y de
# compilar, que llevan minutos.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat <<'MSG' >&2
No hay pantalla gráfica disponible (DISPLAY y WAYLAND_DISPLAY están vacías).
Para abrir el programa en una pantalla virtual ejecute:

    xvfb-run -a -s "-screen 0 1366x768x24" scripts/ejecutar.sh

o, con una pantalla virtual ya abierta (por ejemplo Xvfb :99 &):

    DISPLAY=:99 scripts/ejecutar.sh
MSG
    exit 1
fi

scripts/instalar-dependencias.sh
scripts/compilar.sh

linea='@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; @ParametroAdicional=; @Caja=1;kelp@'

exec build/estaciones "$linea"
