#!/usr/bin/env bash
# Whole runs of the 64-bit Windows programs under wine, held against the Linux
# build of the same source: the same list gives the same output file and the
# same screen with every program, and zirpton the same bytes on the serial
# line; the usage line, a missing list file, a missing port and a port in use
# end as on Windows, with Windows' own texts and line ends.
#
# Needs build/bin (Linux) and build-win64/bin (Windows), wine and python3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux_bin=${LINUX_BIN:-$root/build/bin}
windows_bin=${WINDOWS_BIN:-$root/build-win64/bin}

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" LC_ALL=C
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1"; }

# Wine's mount manager remakes dosdevices/comN at each start of the wine
# server; a port named in the registry stays. COM1 and COM12 point at paths
# here that each check makes into what it needs: a pseudo-terminal or a plain
# file. The server is stopped so that its next start reads them.
"$here/wine-run"
for port in 1 12; do
  "$here/wine-run" reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /t REG_SZ /d "$work/com$port" /f >/dev/null
done
wineserver -k 2>/dev/null || true

# run_linux DIR PROGRAM ARGS...: a Linux program in DIR with COM12 the file
# DIR/port; its streams and exit status go to DIR/out, DIR/err, DIR/status.
run_linux() {
  local dir=$1 program=$2
  shift 2
  (cd "$dir" && ZIRPTON_COM12="$dir/port" "$linux_bin/$program" "$@" </dev/null >out 2>err; echo $? >status) || true
}

# run_windows DIR PROGRAM ARGS...: the same under wine, COM12 being DIR/port.
run_windows() {
  local dir=$1 program=$2
  shift 2
  ln -sfn "$dir/port" "$work/com12"
  (cd "$dir" && "$here/wine-run" "$windows_bin/$program.exe" "$@" </dev/null >out 2>err; echo $? >status) || true
}

# Windows writes its console text with CRLF line ends; that is the only
# difference allowed between the two screens.
unix_lines() { python3 -c 'import sys; sys.stdout.buffer.write(open(sys.argv[1], "rb").read().replace(b"\r\n", b"\n"))' "$1"; }

# same WHAT FILE_A FILE_B: whole files byte for byte; small ones are shown
# whole when they differ, large ones at their first difference.
same() {
  if cmp -s "$2" "$3"; then return 0; fi
  echo "  $1 differ:"
  if [ "$(wc -c <"$2")" -lt 2048 ] && [ "$(wc -c <"$3")" -lt 2048 ]; then
    for file in "$2" "$3"; do
      echo "  $file:"
      od -c "$file" | sed 's/^/    /'
    done
  else
    cmp "$2" "$3" | sed 's/^/  /' || true
  fi
  return 1
}

# is WHAT FILE TEXT: the whole file is TEXT (printf escapes).
is() {
  printf "$3" >"$work/expected"
  same "$1" "$2" "$work/expected"
}

# --- The same image from the same list, written to the output file ---------
# Every program built for both systems; zirpton itself must also complete
# and give the port its handshake.
for program in zirpton zirpton-6.6 zirpton-6.2 zirpton-6.1a zirpton-5.4 zirpton-5.3 zirpto32-3.3 zirpto32-2.02; do
  [ -x "$windows_bin/$program.exe" ] || continue
  linux=$(mktemp -d "$work/file-linux.XXXXXX")
  windows=$(mktemp -d "$work/file-windows.XXXXXX")
  python3 "$here/make_set.py" "$linux"
  python3 "$here/make_set.py" "$windows"
  : >"$linux/port"
  : >"$windows/port"
  run_linux "$linux" "$program" 12 list.txt cv.txt image.bin
  run_windows "$windows" "$program" 12 list.txt cv.txt image.bin
  unix_lines "$windows/out" >"$windows/out.unix"
  unix_lines "$windows/err" >"$windows/err.unix"
  ok=1
  if [ "$program" = zirpton ] || [ "$program" = zirpton-6.2 ]; then
    is "Linux exit status" "$linux/status" '0\n' || ok=0
    [ -s "$linux/image.bin" ] || { echo "  the Linux run wrote no image"; ok=0; }
    is "handshake on COM12" "$windows/port" '\x24\x80\x11\x17\x04\xa6' || ok=0
    cp "$linux/image.bin" "$work/image-$program.bin"
  fi
  same "exit status" "$linux/status" "$windows/status" || ok=0
  same "output files" "$linux/image.bin" "$windows/image.bin" || ok=0
  same "standard output" "$linux/out" "$windows/out.unix" || ok=0
  same "standard error" "$linux/err" "$windows/err.unix" || ok=0
  same "port bytes" "$linux/port" "$windows/port" || ok=0
  [ ! -e "$windows/zirptmp.\$\$\$" ] || { echo "  the temporary file was left behind"; ok=0; }
  if [ $ok = 1 ]; then pass "$program file-output run: same output file, screen and port bytes"; else fail "$program file-output run"; fi
done

# --- Runs that end early, with Windows' texts ----------------------------
banner='Zirpton Version 7.0, 11.5.2012\r\n'
check_end() {
  local what=$1 status=$2 out=$3 err=$4
  shift 4
  local dir
  dir=$(mktemp -d "$work/end.XXXXXX")
  : >"$dir/port"
  printf '1=3\r\n' >"$dir/cv.txt"
  run_windows "$dir" zirpton "$@"
  local ok=1
  is "exit status" "$dir/status" "$status\n" || ok=0
  is "standard output" "$dir/out" "$out" || ok=0
  is "standard error" "$dir/err" "$err" || ok=0
  if [ $ok = 1 ]; then pass "$what"; else fail "$what"; fi
}
check_end "usage line" 9 "${banner}Usage: zirpton COMx filelist cv-defaults\r\n" ''
check_end "missing list file" 2 "$banner" 'list.txt: No such file or directory\r\n' 12 list.txt cv.txt image.bin
check_end "missing port" 1 "$banner" 'Open COM77: Error 2\r\n' 77 list.txt cv.txt

# --- A port that another run holds ------------------------------------------
# The first run has the port from its handshake to its end, five seconds
# after its last byte; the second one starts once the handshake is there.
# Wine reports the refused share as error 32; Windows says 5 for a COM port.
dir=$(mktemp -d "$work/held.XXXXXX")
python3 "$here/make_set.py" "$dir"
: >"$dir/port"
ln -sfn "$dir/port" "$work/com12"
(cd "$dir" && "$here/wine-run" "$windows_bin/zirpton.exe" r12 list.txt cv.txt </dev/null >first.out 2>first.err) &
holder=$!
for _ in $(seq 300); do [ "$(wc -c <"$dir/port")" -ge 6 ] && break; sleep 0.1; done
run_windows "$dir" zirpton r12 list.txt cv.txt
wait $holder || true
ok=1
is "exit status" "$dir/status" '1\n' || ok=0
is "standard output" "$dir/out" "$banner" || ok=0
is "standard error" "$dir/err" 'Open COM12: Error 32\r\n' || ok=0
if [ $ok = 1 ]; then pass "a port that another run holds"; else fail "a port that another run holds"; fi

# --- A port run on a pseudo-terminal: the same bytes on the line -----------
linux="$work/port-linux"
windows="$work/port-windows"
python3 "$here/make_set.py" "$linux"
python3 "$here/make_set.py" "$windows"
(cd "$linux" && python3 "$here/pty_line.py" line -- "$linux_bin/zirpton" r1 list.txt cv.txt \
  </dev/null >out 2>err; echo $? >status) || true
(cd "$windows" && python3 "$here/pty_line.py" line --link "$work/com1" -- \
  "$here/wine-run" "$windows_bin/zirpton.exe" r1 list.txt cv.txt </dev/null >out 2>err; echo $? >status) || true
unix_lines "$windows/out" >"$windows/out.unix"
ok=1
is "Linux exit status" "$linux/status" '0\n' || ok=0
same "exit status" "$linux/status" "$windows/status" || ok=0
head -c 6 "$windows/line" >"$windows/line.start"
is "handshake on COM1" "$windows/line.start" '\x24\x80\x11\x17\x04\xa6' || ok=0
same "bytes on the line" "$linux/line" "$windows/line" || ok=0
is "line settings at the end" "$windows/line.settings" '38400 8N1 crtscts=0 opost=0\n' || ok=0
same "standard output" "$linux/out" "$windows/out.unix" || ok=0
if [ $ok = 1 ]; then pass "port run: same bytes on the line as the Linux program"; else fail "port run"; fi

# --- The receiver rebuilds the image from a port run under wine -----------
# Page pairs of 7.0, and the single pages of an earlier release.
if [ -x "$linux_bin/zirpton-receiver" ]; then
  for program in zirpton zirpton-6.2; do
    windows="$work/receiver-$program"
    mkdir -p "$windows"
    python3 "$here/make_set.py" "$windows"
    "$linux_bin/zirpton-receiver" --link "$work/com1" --timeout 30 --image "$windows/received.bin" \
      >"$windows/receiver.out" 2>&1 &
    receiver=$!
    for _ in $(seq 100); do grep -q '^ZIRPTON_COM1=' "$windows/receiver.out" 2>/dev/null && break; sleep 0.1; done
    (cd "$windows" && "$here/wine-run" "$windows_bin/$program.exe" r1 list.txt cv.txt </dev/null >out 2>err) || true
    ok=1
    wait $receiver || { echo "  the receiver did not take the stream:"; sed 's/^/  /' "$windows/receiver.out"; ok=0; }
    same "received image and output file" "$work/image-$program.bin" "$windows/received.bin" || ok=0
    if [ $ok = 1 ]; then pass "receiver: a $program port run under wine rebuilds the Linux output file"; else fail "receiver, $program"; fi
  done
fi

echo "$passed passed, $failed failed"
[ $failed = 0 ]
