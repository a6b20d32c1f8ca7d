#!/usr/bin/env bash
# Inside a Wine session with a virtual display: runs one repair of the program as its user
# would (real mouse input through the X server), in a throwaway copy of the prefix where a
# recorder stands in for every system tool, and saves screenshots of the start look, a progress
# frame and the finished look. NETMEND_PACKAGE: the unpacked package (netmend.exe and the
# device console beside it); NETMEND_RECORDER: the recorder; NETMEND_SHOTS: where the
# screenshots go.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

throwaway=$root/build/run-prefix
stop_server() { WINEPREFIX=$throwaway "$WINESERVER" -k >/dev/null 2>&1; }
[[ -d $throwaway ]] && stop_server
rm -rf "$throwaway"
cp -a "$WINEPREFIX" "$throwaway" || exit 1
trap 'stop_server; rm -rf "$throwaway"' EXIT
export WINEPREFIX=$throwaway
"$WINESERVER" -p >/dev/null 2>&1 </dev/null

tools=(taskkill regsvr32 unregmp2 arp ipconfig netsh rundll32 proxycfg reg sc)
# The stand-ins: the recorder in place of every system tool the repair starts, preferred by
# Wine to its built-in tool of the same name. The device console is the package's own.
c=$throwaway/drive_c
for dir in "$c/windows/system32" "$c/windows/syswow64"; do
  [[ -d $dir ]] || continue
  mkdir -p "$dir/inf"
  cp "$NETMEND_RECORDER" "$dir/inf/unregmp2.exe"
  for tool in "${tools[@]}"; do
    cp "$NETMEND_RECORDER" "$dir/$tool.exe"
  done
done
# Wine is told through the environment, which the program's children inherit, to prefer them.
export WINEDLLOVERRIDES="$(IFS=,; echo "${tools[*]/%/.exe}")=n"
mkdir -p "$c/Netmend" "$c/netmend-records"
cp -r "$NETMEND_PACKAGE/." "$c/Netmend/"
export NETMEND_RECORD_DIR='C:\netmend-records'

(cd "$c/Netmend" && exec "$WINE" netmend.exe </dev/null >/dev/null 2>&1) &
pid=$!

# The main window: Wine may make its X window again when it becomes layered, so it is looked
# up once it has settled.
X= Y=
for _ in $(seq 200); do
  sleep 0.2
  window=$(xdotool search --onlyvisible --name '^Netmend$' 2>/dev/null | tail -1)
  [[ -n $window ]] && eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)" && [[ -n $X ]] && break
done
[[ -n $X ]] || { echo "run: the window did not appear" >&2; kill "$pid"; exit 1; }
sleep 1
shot() { import -window root -crop "800x580+$X+$Y" +repage "$NETMEND_SHOTS/netmend-$1.png" && echo "run: $NETMEND_SHOTS/netmend-$1.png"; }
click() { xdotool mousemove "$1" "$2" sleep 0.2 click 1; }

shot start
# The repair button (458, 393, 214 × 56), then the finish button that takes its place.
button_x=$((X + 458 + 107)) button_y=$((Y + 393 + 28))
start=$(date +%s.%N)
click "$button_x" "$button_y"
sleep 8
shot progress
sleep 13
shot finished
click "$button_x" "$button_y"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "run: the finish button did not end the program" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
status=$?
# The command lines were started without waiting: their records come in for a while.
# Counted once the number has stood still for three seconds (a second's pause is common).
records=0 still=0
for _ in $(seq 60); do
  now=$(ls "$c/netmend-records" | grep -c '\.record$')
  if ((now == records && now > 0)); then ((++still >= 3)) && break; else still=0; fi
  records=$now
  sleep 1
done
echo "run: one repair, $records command lines recorded; the program ended with exit code $status"
