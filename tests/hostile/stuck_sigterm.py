#!/usr/bin/env python3
"""A program stuck where no count hook can stop it: it stores cart data,
then reload()s from a FIFO in the cstore folder whose writer never writes,
so the player's main thread blocks in a read. SIGTERM goes to one of the
player's other threads (the main thread's read is not interrupted), so
only the quit watchdog can answer: within three seconds the process must
be gone with status 0, "abandoned" on standard error, the cart-data file
holding the stored words and the settings file written.
usage: stuck_sigterm.py BINARY orbo|orbotool"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CART = """orbo cartridge // hostile
version 15
__lua__
cartdata("hostile_stuck")
dset(0,1.5)
dset(63,-2)
poke(0x5e04,7)
reload(0x4300,0,16,"stuck")
"""
WANT = "00018000" + "00000007" + "0" * 48 + "\n" + ("0" * 64 + "\n") * 6 + "0" * 56 + "fffe0000\n"


def until(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


def main():
    binary, mode = sys.argv[1], sys.argv[2]
    sanitized = os.environ.get("ORBO_HOSTILE_SANITIZED") == "1"
    home = tempfile.mkdtemp()
    try:
        root = os.path.join(home, ".hearthware", "orbo")
        os.makedirs(os.path.join(root, "cstore"))
        with open(os.path.join(root, "config.txt"), "w") as f:
            f.write("host_framerate_control 0\n")
        fifo = os.path.join(root, "cstore", "stuck")
        os.mkfifo(fifo)
        cart = os.path.join(home, "stuck.ob")
        with open(cart, "w") as f:
            f.write(CART)
        env = dict(os.environ, HOME=home, SDL_AUDIODRIVER="dummy")
        env.pop("DISPLAY", None)
        args = [binary, "-x", cart] if mode == "orbo" else [binary, "run", cart]
        proc = subprocess.Popen(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        writer = []

        def reader_waits():
            try:
                writer.append(os.open(fifo, os.O_WRONLY | os.O_NONBLOCK))
                return True
            except OSError:
                return proc.poll() is not None

        # Opening the writer end succeeds once the player waits in its open;
        # it then blocks in its first read, since nothing is ever written.
        if not until(reader_waits, 30 if sanitized else 10) or not writer:
            proc.kill()
            sys.exit("FAIL: the program never opened the FIFO")
        tasks = [int(t) for t in os.listdir("/proc/%d/task" % proc.pid) if int(t) != proc.pid]
        if not tasks:
            proc.kill()
            sys.exit("FAIL: the player has no thread besides the main one")
        syscall = ctypes.CDLL(None, use_errno=True).syscall
        sys_tgkill = {"x86_64": 234, "aarch64": 131}[os.uname().machine]
        if syscall(sys_tgkill, proc.pid, tasks[0], signal.SIGTERM) != 0:
            proc.kill()
            sys.exit("FAIL: tgkill")
        sent = time.monotonic()
        try:
            out, err = proc.communicate(timeout=3)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
            sys.exit("FAIL: still running 3 s after SIGTERM")
        ms = int((time.monotonic() - sent) * 1000)
        failures = []
        if proc.returncode != 0:
            failures.append("exit status %d" % proc.returncode)
        if b"abandoned" not in err:
            failures.append("no 'abandoned' on standard error")
        if b"AddressSanitizer" in err or b"runtime error:" in err:
            failures.append("sanitizer report")
        path = os.path.join(root, "cdata", "hostile_stuck.obd.txt")
        data = open(path).read() if os.path.exists(path) else "(none)"
        if data != WANT:
            failures.append("cart data %r" % data[:40])
        config = os.path.join(root, "config.txt")
        if "host_framerate_control" not in open(config).read() or "// :: " not in open(config).read():
            failures.append("settings not written")
        if failures:
            print(err.decode(errors="replace")[-2000:])
            sys.exit("FAIL (%s): %s" % (mode, "; ".join(failures)))
        print("ok: %s abandoned %d ms after SIGTERM, cart data and settings saved" % (mode, ms))
    finally:
        for fd in writer:
            os.close(fd)
        shutil.rmtree(home, ignore_errors=True)


main()
