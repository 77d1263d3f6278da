#!/usr/bin/env python3
"""pty_line.py OUT [--link PATH] -- COMMAND...: runs COMMAND with a
pseudo-terminal as its serial line and writes every byte that arrives on the
master side to OUT. The slave is named to COMMAND as ZIRPTON_COM<n> for every
n (the Linux program) and, with --link, by a symbolic link at PATH (a wine
prefix's dosdevices/comN). The slave stays open here, so the line settings
persist; they are written after the run to OUT.settings, one line:
"<speed> <data bits><parity><stop bits> crtscts=<0|1> opost=<0|1>".
Exits with COMMAND's exit status."""
import os
import pty
import select
import subprocess
import sys
import termios
import threading
import tty

SPEEDS = {getattr(termios, "B%d" % n): n for n in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}


def settings_line(fd):
    iflag, oflag, cflag, lflag, ispeed, ospeed, cc = termios.tcgetattr(fd)
    bits = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    parity = "N" if not cflag & termios.PARENB else ("O" if cflag & termios.PARODD else "E")
    stop = 2 if cflag & termios.CSTOPB else 1
    return "%s %d%s%d crtscts=%d opost=%d\n" % (SPEEDS.get(ospeed, ospeed), bits, parity, stop,
                                                 1 if cflag & termios.CRTSCTS else 0,
                                                 1 if oflag & termios.OPOST else 0)


def main():
    args = sys.argv[1:]
    out = args.pop(0)
    link = None
    if args[0] == "--link":
        link = args[1]
        args = args[2:]
    if args[0] == "--":
        args = args[1:]

    master, slave = pty.openpty()
    tty.setraw(master)
    name = os.ttyname(slave)
    if link:
        if os.path.islink(link):
            os.unlink(link)
        os.symlink(name, link)
    env = dict(os.environ)
    for n in range(1, 100):
        env["ZIRPTON_COM%d" % n] = name

    received = bytearray()
    done = threading.Event()

    def read_master():
        while True:
            ready, _, _ = select.select([master], [], [], 0.2)
            if ready:
                try:
                    chunk = os.read(master, 65536)
                except OSError:
                    break
                received.extend(chunk)
            elif done.is_set():
                break

    reader = threading.Thread(target=read_master)
    reader.start()
    status = subprocess.run(args, env=env, stdin=subprocess.DEVNULL).returncode
    done.set()
    reader.join()
    with open(out, "wb") as f:
        f.write(received)
    with open(out + ".settings", "w") as f:
        f.write(settings_line(slave))
    sys.exit(status if status >= 0 else 128 - status)


if __name__ == "__main__":
    main()
