#!/usr/bin/env bash
# Starts a private CUPS server with one cups-pdf queue for the printing test.
#   scripts/test-cups.sh start DIR   prints the environment the test reads
#   scripts/test-cups.sh stop DIR
# It needs root (cups-pdf runs only under a root cupsd) and exits non-zero
# when it cannot start; the test then skips and says why.
set -euo pipefail
action=$1 dir=$2
conf=/etc/cups/cups-pdf-kelvoratest.conf

if [ "$action" = stop ]; then
  if [ -f "$dir/cupsd.pid" ]; then
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$dir" "$conf"
  exit 0
fi

[ "$(id -u)" = 0 ] || exit 1
command -v cupsd >/dev/null && command -v lpadmin >/dev/null || exit 1
[ -x /usr/lib/cups/backend/cups-pdf ] || exit 1
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || exit 1

mkdir -p "$dir"/{spool,cache,state,log,ppd,pdf,tmp}
chmod 1777 "$dir/tmp" # the filters run as lp
cat > "$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
cat > "$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
# cups-pdf:/kelvoratest reads this file: the PDFs land in $dir/pdf, named after the job.
printf 'Out %s\nAnonDirName %s\nLabel 0\nTitlePref 1\n' "$dir/pdf" "$dir/pdf" > "$conf"

cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" > "$dir/log/cupsd.out" 2>&1 &
echo $! > "$dir/cupsd.pid"
for _ in $(seq 50); do [ -S "$dir/cups.sock" ] && break; sleep 0.1; done
lpadmin -h "$dir/cups.sock" -p KelvoraTestPDF -E -v cups-pdf:/kelvoratest -P "$ppd" 2>/dev/null || exit 1
echo "export CUPS_SERVER=$dir/cups.sock KELVORA_TEST_CUPS_QUEUE=KelvoraTestPDF KELVORA_TEST_CUPS_OUTPUT=$dir/pdf"
