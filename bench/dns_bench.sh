#!/bin/sh
# Times dns-bench against two DNS servers on 127.0.0.1, each on a free port,
# started and stopped here, serving N distinct mail domains dNNNNN.bench.test
# (90 % with MX records, 5 % with an A record only, 5 % that do not exist):
#  - dnsmasq, the tests' server (it looks each MX query up in a list of all
#    MX records, so its own cost grows with N);
#  - bench-dns-server, whose cost per query is constant: the tool's own time.
#   bench/dns_bench.sh --build BUILD [--domains N] [--repeat R] [--in-flight F]
set -eu
build=""
count=20000
repeat=5
extra=""
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --domains) count=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --in-flight) extra="--in-flight $2"; shift 2 ;;
    *) echo "usage: $0 --build BUILD [--domains N] [--repeat R] [--in-flight F]" >&2; exit 2 ;;
  esac
done
bench=$build/bench/dns-bench
server=$build/bench/bench-dns-server
[ -x "$bench" ] && [ -x "$server" ] || { echo "build dns-bench and bench-dns-server first" >&2; exit 2; }
work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

awk -v n="$count" -v conf="$work/dnsmasq.conf" -v list="$work/domains.txt" 'BEGIN {
  print "host-record=mx.bench.test,127.0.0.2" > conf
  for (i = 0; i < n; i++) {
    d = sprintf("d%05d.bench.test", i)
    print d > list
    if (i % 20 == 0) continue                       # does not exist
    if (i % 20 == 1) print "host-record=" d ",127.0.0.3" > conf
    else print "mx-host=" d ",mx.bench.test,10" > conf
  }
}'
free_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
cpu_of() { awk '{ printf "%.2f", ($14 + $15) / 100 }' "/proc/$1/stat"; }
run() {  # name
  echo "== $1; load average $(cut -d' ' -f1-3 /proc/loadavg)"
  "$bench" --server "127.0.0.1:$port" --domains "$work/domains.txt" --cache "$work/cache.txt" \
           --repeat "$repeat" $extra
  echo "server CPU seconds (user+system): $(cpu_of "$pid"); load average $(cut -d' ' -f1-3 /proc/loadavg)"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}

port=$(free_port)
user=""
[ "$(id -u)" -eq 0 ] && user="--user=root"
dnsmasq -k -C "$work/dnsmasq.conf" --no-resolv --no-hosts --listen-address=127.0.0.1 --bind-interfaces \
  --port="$port" --pid-file= --local=/test/ --local-ttl=3600 $user 2>"$work/dnsmasq.log" &
pid=$!
sleep 1
kill -0 "$pid" || { cat "$work/dnsmasq.log"; exit 1; }
run dnsmasq

port=$(free_port)
"$server" --port "$port" --seconds 600 &
pid=$!
sleep 0.5
run bench-dns-server
