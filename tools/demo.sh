#!/usr/bin/env bash
# make demo: the bundled example from the list file to the receiver and back.
# The example's sounds are made, a receiver listens on a pseudo-terminal,
# zirpton programs it as a port run, then writes the same image to a file in
# a file-output run; both images must be the same, byte for byte and as
# zirpton-inspect reads them. Exit code 0 only when everything matched.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${ZIRPTON_BIN:-$root/build/bin}" && pwd)
example=$root/examples/demo
work=$(mktemp -d "${TMPDIR:-/tmp}/zirpton-demo.XXXXXX")
receiver_pid=
failures=0

cleanup() {
  if [ -n "$receiver_pid" ] && kill -0 "$receiver_pid" 2>/dev/null; then
    kill "$receiver_pid"
    wait "$receiver_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step() { printf '\n== %s\n' "$1"; }

# check DESCRIPTION STATUS
check() {
  if [ "$2" -eq 0 ]; then
    echo "ok: $1"
  else
    echo "FEHLER: $1"
    failures=$((failures + 1))
  fi
}

step "Sounds des Beispiels erzeugen"
"$bin/zirpton-demo-sounds" "$example" || exit 1

step "Empfänger auf einem Pseudo-Terminal starten"
"$bin/zirpton-receiver" --link "$work/COM1" --image "$work/received.img" --timeout 30 \
  >"$work/receiver.txt" 2>&1 &
receiver_pid=$!
for _ in $(seq 50); do
  grep -q '^ZIRPTON_COM1=' "$work/receiver.txt" && break
  sleep 0.1
done
device=$(sed -n 's/^ZIRPTON_COM1=//p' "$work/receiver.txt" | head -n 1)
if [ -z "$device" ]; then
  cat "$work/receiver.txt"
  echo "FEHLER: der Empfänger nennt kein Gerät"
  exit 1
fi
echo "ZIRPTON_COM1=$device"

step "Portlauf: zirpton r1 demo.lst cv.txt"
echo "Der Lauf pausiert gut 11 Sekunden: 6 s nach dem Einstieg in die Programmierung"
echo "und 5 s nach der Prüfsumme, so wie der Empfänger es braucht."
echo
(cd "$example" && ZIRPTON_COM1="$device" "$bin/zirpton" r1 demo.lst cv.txt </dev/null)
check "Portlauf endet mit Exit-Code 0" $?

# The receiver ends by itself after the checksum; the sender's last 5 s lie
# behind that. A receiver still waiting has missed something.
for _ in $(seq 50); do
  kill -0 "$receiver_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$receiver_pid" 2>/dev/null && kill "$receiver_pid"
wait "$receiver_pid"
receiver_status=$?
receiver_pid=
step "Bericht des Empfängers"
sed '1d' "$work/receiver.txt"
check "Empfänger hat den ganzen Datenstrom mit stimmender Prüfsumme" $receiver_status

step "Lauf mit Ausgabedatei: zirpton r1 demo.lst cv.txt demo.img"
: >"$work/line.bin"  # stands in for the port, which still gets the handshake
(cd "$example" && ZIRPTON_COM1="$work/line.bin" "$bin/zirpton" r1 demo.lst cv.txt \
  "$work/demo.img" </dev/null)
check "Lauf mit Ausgabedatei endet mit Exit-Code 0" $?
printf '\x24\x80\x11\x17\x04\xa6' | cmp -s - "$work/line.bin"
check "die Leitung bekam dabei nur den Handshake 24 80 11 17 04 A6" $?

step "zirpton-inspect demo.img"
"$bin/zirpton-inspect" "$work/demo.img" >"$work/file.txt" 2>&1
check "zirpton-inspect liest die Ausgabedatei ohne Fehler" $?
# The AUTO banks make the table long: its head is enough to see the links.
head -n 24 "$work/file.txt"
lines=$(wc -l <"$work/file.txt")
if [ "$lines" -gt 24 ]; then
  echo "..."
  sed -n '/^Sounds:/,$p' "$work/file.txt"
fi

step "Vergleich mit dem Abbild des Empfängers"
if [ -f "$work/received.img" ]; then
  "$bin/zirpton-inspect" "$work/received.img" >"$work/received.txt" 2>&1
  diff "$work/received.txt" "$work/file.txt" >/dev/null
  check "zirpton-inspect findet beide Abbilder gleich" $?
  cmp "$work/received.img" "$work/demo.img"
  check "beide Abbilder sind Byte für Byte gleich" $?
else
  check "der Empfänger hat ein Abbild gebaut" 1
fi

echo
if [ "$failures" -eq 0 ]; then
  echo "Demo: alles stimmt."
  exit 0
fi
echo "Demo: $failures Prüfung(en) fehlgeschlagen."
exit 1
