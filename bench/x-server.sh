# Sourced by the start-up benchmarks: a scratch folder in $work and an Xvfb server of its own that
# the programs under test show their windows on, both gone when the benchmark ends; and median.
work="$(mktemp -d)"
display=":$((200 + RANDOM % 700))"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
