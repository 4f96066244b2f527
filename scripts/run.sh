#!/usr/bin/env bash
# Installs what is needed, builds the monitor and runs it:
#
#   bash scripts/run.sh [DATA_DIR] [DATABASE] [MODE] [--headless]
#
# Without arguments the monitor runs on a demo it creates under
# ./veltrix-demo. The build goes to build-run/ (Release).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_BENCH=OFF >/dev/null
cmake --build "$root/build-run" --target veltrix-monitor
exec "$root/build-run/src/ui/veltrix-monitor" "$@"
