# A private print server for the tests: a cupsd with its own ServerRoot in a temporary folder,
# listening only on a local socket, so the machine's own CUPS stays untouched.
# Sourced by tools/test.sh after Xvfb is up; installs nothing (tools/lib/packages.sh does).
#
# start_cups exports:
#   CUPS_SERVER               the socket of a server whose default printer is a cups-pdf queue
#   ZARNEL_PDF_DIR            the folder that cups-pdf writes this user's jobs into
#   ZARNEL_CUPS_NODEFAULT     the socket of a second server with a PDF queue but no default
# and appends its own stop command to ZARNEL_CUPS_STOP.

ZARNEL_PDF_QUEUE=${ZARNEL_PDF_QUEUE:-ZarnelPDF}

# _zarnel_cups_pdf_dir: the folder cups-pdf writes jobs of the current user into, from its
# configuration (Out, with ${HOME} and ${USER} taken from the password database, as cups-pdf does).
_zarnel_cups_pdf_dir() {
    local conf=/etc/cups/cups-pdf.conf out='' user home
    [ -r "$conf" ] && out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\{1,\}\(.*[^[:space:]]\)[[:space:]]*$/\1/p' "$conf" | tail -n 1)
    [ -n "$out" ] || out=/var/spool/cups-pdf/\${USER}
    user=$(id -un)
    home=$(getent passwd "$user" | cut -d: -f6)
    out=${out//\$\{HOME\}/$home}
    out=${out//\$\{USER\}/$user}
    printf '%s\n' "$out"
}

# _zarnel_cupsd_start DIR: writes a cupsd configuration under DIR and starts cupsd on DIR/cups.sock.
# Prints the pid of the daemon.
_zarnel_cupsd_start() {
    local dir=$1
    mkdir -p "$dir"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log}
    chmod 0755 "$dir" "$dir"/etc "$dir"/cache "$dir"/state "$dir"/log
    chmod 0710 "$dir"/spool
    chmod 1770 "$dir"/spool/tmp
    chgrp lp "$dir"/spool "$dir"/spool/tmp 2>/dev/null || true
    cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
SystemGroup root
FileDevice No
Sandboxing Relaxed
EOF
    cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
BrowseLocalProtocols none
DefaultShared No
MaxJobs 0
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 100); do
        [ -S "$dir/cups.sock" ] && lpstat -h "$dir/cups.sock" -r >/dev/null 2>&1 && { echo "$pid"; return 0; }
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    echo "cupsd did not start in $dir:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    return 1
}

# _zarnel_add_pdf_queue SOCKET: adds the cups-pdf queue, enabled and accepting jobs.
_zarnel_add_pdf_queue() {
    local sock=$1
    lpadmin -h "$sock" -p "$ZARNEL_PDF_QUEUE" -E -v cups-pdf:/ \
        -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd -o printer-error-policy=abort-job
}

# _zarnel_cups_stop ROOT PID...: stops the private daemons, then removes their folder.
_zarnel_cups_stop() {
    local root=$1 pid i
    shift
    for pid in "$@"; do
        kill "$pid" 2>/dev/null || true
    done
    for i in $(seq 1 50); do
        local alive=0
        for pid in "$@"; do
            kill -0 "$pid" 2>/dev/null && alive=1
        done
        [ "$alive" -eq 0 ] && break
        sleep 0.1
    done
    rm -rf "$root"
}

start_cups() {
    if [ "$(id -u)" -ne 0 ]; then
        # The cups-pdf backend runs only under a root cupsd; without one the print tests skip.
        echo "Not root: no print server started, the print tests will be skipped." >&2
        return 0
    fi
    [ -x /usr/lib/cups/backend/cups-pdf ] || { echo "cups-pdf backend missing" >&2; return 1; }

    local root pid_main pid_nodefault
    root=$(mktemp -d /tmp/zarnel-cups.XXXXXX)
    chmod 0755 "$root"
    pid_main=$(_zarnel_cupsd_start "$root/main") || { rm -rf "$root"; return 1; }
    ZARNEL_CUPS_STOP="${ZARNEL_CUPS_STOP:+$ZARNEL_CUPS_STOP; }_zarnel_cups_stop '$root' $pid_main"
    pid_nodefault=$(_zarnel_cupsd_start "$root/nodefault") || return 1
    ZARNEL_CUPS_STOP="$ZARNEL_CUPS_STOP $pid_nodefault"

    _zarnel_add_pdf_queue "$root/main/cups.sock" || return 1
    lpadmin -h "$root/main/cups.sock" -d "$ZARNEL_PDF_QUEUE" || return 1
    # The second server has the same queue but no default printer.
    _zarnel_add_pdf_queue "$root/nodefault/cups.sock" || return 1

    # Nothing from the caller's environment may pick another default printer.
    unset LPDEST PRINTER
    export CUPS_SERVER="$root/main/cups.sock"
    export ZARNEL_CUPS_NODEFAULT="$root/nodefault/cups.sock"
    ZARNEL_PDF_DIR=$(_zarnel_cups_pdf_dir)
    export ZARNEL_PDF_DIR
    # cups-pdf writes into the user's own folder; one the run makes goes with it (when empty).
    if [ ! -e "$ZARNEL_PDF_DIR" ]; then
        mkdir -p "$ZARNEL_PDF_DIR"
        ZARNEL_CUPS_STOP="$ZARNEL_CUPS_STOP; rmdir '$ZARNEL_PDF_DIR' 2>/dev/null"
    fi
    echo "CUPS running on $CUPS_SERVER (default printer $ZARNEL_PDF_QUEUE, PDFs in $ZARNEL_PDF_DIR)" >&2
}
