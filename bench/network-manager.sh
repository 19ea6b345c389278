# Sourced by the start-up benchmark: NetworkManager with saved Wi-Fi connections, on a D-Bus daemon of
# its own, as tests/NetworkManagerSandbox.cpp runs it (with its configurations, tests/network-manager/): the bus listens in a scratch folder, and
# NetworkManager runs in private mount and network namespaces, where its state and run folders are
# that folder's and it sees no device of the host. Needs root (the namespaces) and network-manager.
#   start_network_manager DIR SSID...   saves a WPA connection for each SSID and 20 more, waits until
#                                       NetworkManager lists them; sets nm_address, or returns 1
#   stop_network_manager
nm_pid="" nm_bus_pid="" nm_address=""

start_network_manager() {
    local dir="$1" ssid i n=0
    shift
    mkdir -p "$dir/connections" "$dir/state" "$dir/run" "$dir/conf.d"
    chmod 700 "$dir/connections"
    # The tests' configurations, with this folder for @DIR@.
    local config
    config="$(dirname "${BASH_SOURCE[0]}")/../tests/network-manager"
    sed "s|@DIR@|$dir|g" "$config/bus.conf.in" >"$dir/bus.conf"
    sed "s|@DIR@|$dir|g" "$config/NetworkManager.conf.in" >"$dir/NetworkManager.conf"
    # A laptop's worth of saved networks besides the ones asked for.
    for i in $(seq 20); do set -- "$@" "Elsewhere $i"; done
    for ssid in "$@"; do
        n=$((n + 1))
        printf '[connection]\nid=saved %d\nuuid=%s\ntype=wifi\n\n[wifi]\nssid=%s\n\n[wifi-security]\nkey-mgmt=wpa-psk\npsk=password %d\n' \
            "$n" "$(cat /proc/sys/kernel/random/uuid)" "$ssid" "$n" >"$dir/connections/saved-$n.nmconnection"
    done
    chmod 600 "$dir"/connections/*
    dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile --print-address >"$dir/bus.address" 2>/dev/null &
    nm_bus_pid=$!
    for _ in $(seq 50); do [ -s "$dir/bus.address" ] && break; sleep 0.1; done
    nm_address=$(head -n1 "$dir/bus.address")
    [ -n "$nm_address" ] || return 1
    DBUS_SYSTEM_BUS_ADDRESS="$nm_address" unshare --mount --net -- sh -c \
        'mount --bind "$1" /var/lib/NetworkManager && mount --bind "$2" /run &&
         exec NetworkManager --no-daemon --debug --config="$3" --config-dir="$4" --system-config-dir="$4" \
             --intern-config="$1/intern.conf" --state-file="$1/NetworkManager.state" --pid-file="$2/NetworkManager.pid"' \
        sh "$dir/state" "$dir/run" "$dir/NetworkManager.conf" "$dir/conf.d" >/dev/null 2>"$dir/NetworkManager.log" &
    nm_pid=$!
    for _ in $(seq 100); do
        listed=$(DBUS_SYSTEM_BUS_ADDRESS="$nm_address" dbus-send --system --print-reply \
            --dest=org.freedesktop.NetworkManager /org/freedesktop/NetworkManager/Settings \
            org.freedesktop.NetworkManager.Settings.ListConnections 2>/dev/null | grep -c 'object path')
        [ "$listed" -eq "$n" ] && return 0
        sleep 0.1
    done
    return 1
}

stop_network_manager() {
    [ -n "$nm_pid" ] && kill "$nm_pid" 2>/dev/null && wait "$nm_pid" 2>/dev/null
    [ -n "$nm_bus_pid" ] && kill "$nm_bus_pid" 2>/dev/null && wait "$nm_bus_pid" 2>/dev/null
    nm_pid="" nm_bus_pid=""
}
