#!/usr/bin/env bash
# Times a search of all seven sample sites, melody pages included, with the page cache cold and
# then warm. Usage: bench/search-sample-sites.sh [BUILD_DIR] [LATENCY_MS] [TERM] [RUNS]
set -euo pipefail
build=${1:-build}
latency=${2:-0}
term=${3:-love}
runs=${4:-3}

work=$(mktemp -d)
server_pid=
stop() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap stop EXIT

"$build/bin/chimequest-sample-sites" --port 0 --latency "$latency" --waiting-share 0 >"$work/address" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/address ]] && break; sleep 0.1; done
export http_proxy XDG_CACHE_HOME=$work/cache
http_proxy=$(head -n1 "$work/address")

search() {
  local start end
  start=$(date +%s%N)
  "$build/bin/chimequest-cli" search --pages "$term" >"$work/out" 2>/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

for ((i = 1; i <= runs; i++)); do
  rm -rf "$XDG_CACHE_HOME"
  cold=$(search)
  pages=$(find "$XDG_CACHE_HOME" -type f | wc -l)
  warm=$(search)
  melodies=$(grep -c -v $'^\t' "$work/out")
  bound=$((pages * latency / 5))
  echo "run $i: $melodies melodies, $pages pages fetched; cold ${cold} ms, warm ${warm} ms" \
    "(latency ${latency} ms: pages / 5 slots x latency = ${bound} ms)"
done
