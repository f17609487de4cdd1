# The one way the project starts a print server of its own, for the scripts that print
# from the real program (tests, screenshots, the Windows build): its configuration, spool
# and logs in a folder of the caller's, reached only through a Unix socket there, so that
# no printer of the machine's or the user's takes part. Sourced after tools/xserver.sh,
# whose session end stops the server with the other processes.
#
# start_private_cups FOLDER [LINE...] makes FOLDER's conf, spool, cache, log and state,
# writes cupsd.conf with each LINE added, starts cupsd (its output in FOLDER/cupsd.out,
# its logs in FOLDER/log), points every CUPS client of this shell at it and waits until it
# answers. Sets $cups_socket and $cups_pid; says why and fails when it does not answer.
# shellcheck shell=bash

start_private_cups() {
    local folder=$1 line
    shift
    mkdir -p "$folder"/{conf,spool/tmp,cache,log,state}
    # CUPS runs its filters and backends as the user lp, who must reach the spool.
    chmod 755 "$folder"
    cups_socket=$folder/cups.sock
    {
        printf '%s\n' "Listen $cups_socket" 'Browsing No' 'LogLevel info'
        for line in "$@"; do printf '%s\n' "$line"; done
        cat <<'CONF'
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
    } >"$folder/conf/cupsd.conf"
    cat >"$folder/conf/cups-files.conf" <<CONF
FileDevice Yes
ServerRoot $folder/conf
RequestRoot $folder/spool
TempDir $folder/spool/tmp
CacheDir $folder/cache
StateDir $folder/state
ErrorLog $folder/log/error_log
AccessLog $folder/log/access_log
PageLog $folder/log/page_log
CONF
    export CUPS_SERVER=$cups_socket CUPS_SERVERROOT=$folder/conf
    unset LPDEST PRINTER
    cupsd -f -c "$folder/conf/cupsd.conf" -s "$folder/conf/cups-files.conf" >"$folder/cupsd.out" 2>&1 &
    cups_pid=$!
    other_pids+=" $cups_pid"
    for _ in $(seq 100); do
        lpstat -r 2>/dev/null | grep -qx 'scheduler is running' && return 0
        kill -0 "$cups_pid" 2>/dev/null || { echo "cupsd did not start: $(cat "$folder/cupsd.out")" >&2; return 1; }
        sleep 0.1
    done
    echo "cupsd does not answer on $cups_socket: $(cat "$folder/cupsd.out")" >&2
    return 1
}
