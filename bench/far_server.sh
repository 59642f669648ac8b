# Sourced by the far-system benchmarks: far_setup SCALE checks the demo database in $data
# (built at that scale when it is not), writes the password file, and defines start_server
# (environment assignments for zorv-demo-server; sets $url), stop_server (also on exit) and
# median. It uses $zorv, $server and $data.
far_setup() { # scale
    mkdir -p "$data"
    export ZORV_HOME=$data
    unset ZORV_DEMO_PROFILE ZORV_DEMO_MAX_ROWS ZORV_DEMO_MODULES ZORV_DEMO_CALL_MS ZORV_DEMO_ROW_US
    if ! sqlite3 "$data/demo.sqlite" "select value from ZORV_META where name='scale'" 2>/dev/null | grep -qx "$1"; then
        echo "building the demo database at scale $1 in $data"
        "$zorv" demo-db --scale "$1" >/dev/null
    fi
    printf 'welcome\n' >"$data/password"
    trap stop_server EXIT
}
start_server() { # environment assignments...
    env "$@" "$server" --port 0 >"$data/server.txt" &
    server_pid=$!
    for _ in $(seq 50); do grep -q listening "$data/server.txt" && break; sleep 0.1; done
    url=$(awk '/listening/ { print $3 }' "$data/server.txt")
}
stop_server() { [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null; wait "${server_pid:-}" 2>/dev/null || true; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
