#!/usr/bin/env bash
# Installs and builds what is missing, starts a local server with two bots, then the client
# against it. The server stops when the client exits.
#   bash scripts/play.sh [player_name]      (CUBEFRAY_PORT picks another port than 4000)
set -euo pipefail
cd "$(dirname "$0")/.."

name="${1:-player}"
port="${CUBEFRAY_PORT:-4000}"

bash scripts/setup.sh

build/cubefray-server --port "$port" --bots 2 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
sleep 0.3
if ! kill -0 "$server" 2>/dev/null; then
    echo "The server did not start (is port $port in use? set CUBEFRAY_PORT)." >&2
    exit 1
fi

build/cubefray 127.0.0.1 "$port" "$name"
