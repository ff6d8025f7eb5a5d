#!/usr/bin/env bash
# Runs a private CUPS scheduler in the foreground for the printing tests.
# Everything lives under DIR: its configuration (its own ServerRoot), spool,
# logs and its local socket DIR/cups.sock; it also listens on a loopback
# port. Backends run as user lp. It has one queue, "kel-test", the default,
# whose device copies each job's document into DIR/jobs as job-ID.pdf.
# Clients reach it with CUPS_SERVER=DIR/cups.sock.
# Usage: tools/cups-test-server.sh DIR [PORT]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -ge 1 ] || { echo "usage: $0 DIR [PORT]" >&2; exit 2; }
mkdir -p "$1"
dir="$(cd "$1" && pwd)"
port="${2:-8631}"

mkdir -p "$dir"/{etc,spool/tmp,cache,state,log,bin/backend,jobs}
# The scheduler and user lp must reach everything below DIR.
chmod 0755 "$dir"
chown lp "$dir/jobs"
ln -sfn /usr/lib/cups/daemon "$dir/bin/daemon"
install -m 0755 "$here/cups-copy-backend" "$dir/bin/backend/kelcopy"

cat > "$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
CONF

cat > "$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
Listen 127.0.0.1:$port
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat > "$dir/etc/printers.conf" <<CONF
<DefaultPrinter kel-test>
Info Copies each document into $dir/jobs
DeviceURI kelcopy:$dir/jobs
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
CONF

exec cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf"
