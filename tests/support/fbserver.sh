#!/usr/bin/env bash
# A private Firebird server for tests that need passwords and roles.
#   fbserver.sh start ROOT PORT SYSDBA_PASSWORD   root folder with its own firebird.conf and security
#                                                 database; listens on 127.0.0.1:PORT
#   fbserver.sh stop ROOT                         stops the server started in ROOT, by its pid
set -euo pipefail

server=/usr/sbin/firebird
cmd=${1:-}
root=${2:-}
[ -n "$cmd" ] && [ -n "$root" ] || { echo "usage: $0 start ROOT PORT PASSWORD | stop ROOT" >&2; exit 2; }
root=$(realpath "$root")

# The folder of the installed international module: the server package's, wherever the system keeps it.
intl_dir() {
    local conf
    conf=$(dpkg -L firebird3.0-server-core 2> /dev/null | grep -m1 '/intl/fbintl\.conf$' || true)
    for conf in "$conf" /usr/lib/*/firebird/3.0/intl/fbintl.conf /usr/lib/firebird/3.0/intl/fbintl.conf \
        /opt/firebird/intl/fbintl.conf; do
        if [ -n "$conf" ] && [ -e "$conf" ]; then
            dirname "$conf"
            return 0
        fi
    done
    return 1
}

case "$cmd" in
start)
    port=${3:?port}
    password=${4:?password}
    mkdir -p "$root/lock"
    cat > "$root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $root/security3.fdb
UdfAccess = None
CONF
    echo "security.db = $root/security3.fdb" > "$root/databases.conf"
    [ -f /etc/firebird/3.0/plugins.conf ] && cp /etc/firebird/3.0/plugins.conf "$root/"
    # Character sets other than the built-in ones (WIN1251 among them) live in the international
    # module, which the server loads from under its root ($(root)/intl/fbintl). A copy: the engine
    # does not take the module through a symbolic link.
    intl=$(intl_dir) || { echo "the Firebird international module (intl/fbintl.conf) is not installed" >&2; exit 1; }
    rm -rf "$root/intl"
    mkdir "$root/intl"
    cp -L "$intl"/* "$root/intl/"
    rm -f "$root/security3.fdb"
    # The security database is made with the embedded engine, before the server owns the folder.
    FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" isql-fb -q -user SYSDBA > "$root/init.log" 2>&1 <<SQL
create database '$root/security3.fdb';
create user SYSDBA password '$password' using plugin Srp;
commit;
SQL
    run=()
    if [ "$(id -u)" = 0 ] && id firebird > /dev/null 2>&1; then
        chown -R firebird:firebird "$root"
        chmod 0770 "$root"
        run=(setpriv --reuid=firebird --regid=firebird --init-groups)
    fi
    FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" setsid "${run[@]}" "$server" > "$root/server.log" 2>&1 < /dev/null &
    echo $! > "$root/server.pid"
    for _ in $(seq 1 100); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2> /dev/null; then exit 0; fi
        if ! kill -0 "$(cat "$root/server.pid")" 2> /dev/null; then break; fi
        sleep 0.1
    done
    echo "the Firebird server did not start on port $port" >&2
    cat "$root/server.log" >&2 || true
    exit 1
    ;;
stop)
    [ -f "$root/server.pid" ] || exit 0
    pid=$(cat "$root/server.pid")
    kill "$pid" 2> /dev/null || true
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2> /dev/null || { rm -f "$root/server.pid"; exit 0; }
        sleep 0.1
    done
    kill -9 "$pid" 2> /dev/null || true
    rm -f "$root/server.pid"
    ;;
*)
    echo "unknown command: $cmd" >&2
    exit 2
    ;;
esac
