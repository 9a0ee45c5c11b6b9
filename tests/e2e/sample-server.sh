# Sourced by the end-to-end scripts: a scratch folder $work (cache and home inside it), the
# sample sites server started on a free port and reached as http_proxy, both gone at exit, and
# fail(). Needs $server_program.
work=$(mktemp -d)
server_pid=
stop() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null && wait "$server_pid" || true; fi
  rm -rf "$work"
}
trap stop EXIT

# A cold cache of its own, so pages come from the server.
export XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data HOME=$work
"$server_program" --port 0 --waiting-share 0 >"$work/address" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/address ]] && break; sleep 0.1; done
export http_proxy
http_proxy=$(head -n1 "$work/address")
[[ $http_proxy == http://127.0.0.1:* ]] || { echo "server printed no address"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }
