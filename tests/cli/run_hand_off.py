"""Bookings from the command line with real processes: a hundred at once with no window and with the
window open, a window that does not answer, a window killed in between, and the pppd ip-down
script booking a connection that crossed midnight.

Usage: run_hand_off.py PATH-TO-SURFKLOCKA PATH-TO-IP-DOWN-SCRIPT

The windows run on Qt's offscreen platform; the commands run with no display. Nothing sleeps:
the test waits for files to appear or go with inotify, with a deadline that only a fault reaches.
"""

import ctypes
import ctypes.util
import glob
import os
import select
import signal
import stat
import subprocess
import sys
import tempfile

from test_data import settings_bytes
import time

PROGRAM = os.path.abspath(sys.argv[1])
IP_DOWN = os.path.abspath(sys.argv[2])
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
DEADLINE = 60.0

LIBC = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
IN_MOVED_TO = 0x80
IN_CREATE = 0x100
IN_DELETE = 0x200
IN_MOVED_FROM = 0x40


def expect(condition, what):
    if not condition:
        print("FEL: " + what, file=sys.stderr)
        sys.exit(1)


class FolderWatch:
    """Waits for a condition on a folder, woken by each change in it."""

    def __init__(self, folder):
        self.fd = LIBC.inotify_init()
        expect(self.fd >= 0, "inotify_init")
        mask = IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM
        expect(LIBC.inotify_add_watch(self.fd, folder.encode(), mask) >= 0, "inotify_add_watch")

    def until(self, condition, what):
        end = time.monotonic() + DEADLINE
        while not condition():
            left = end - time.monotonic()
            expect(left > 0, "väntade förgäves på: " + what)
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                os.read(self.fd, 65536)

    def close(self):
        os.close(self.fd)


def day_record(connected, day):
    # A day within the hour: no cost, no extra seconds, not over the allowance.
    return bytes(4) + connected.to_bytes(4, "little") + bytes(4) + day.to_bytes(2, "little") + bytes(2)


def month_bytes(days):
    data = bytearray(16 * max(days))
    for day, connected in days.items():
        data[16 * (day - 1):16 * day] = day_record(connected, day)
    return bytes(data)


def environment(home, **more):
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env["XDG_DATA_HOME"] = home
    env.update(more)
    return env


def run(env, *arguments):
    result = subprocess.run([PROGRAM, *arguments], env=env, capture_output=True, timeout=DEADLINE,
                            check=False)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def waiting(folder):
    return sorted(glob.glob(os.path.join(folder, "*.vantande")))


def is_socket(path):
    try:
        return stat.S_ISSOCK(os.lstat(path).st_mode)
    except FileNotFoundError:
        return False


def start_window(home, folder, watch, **more):
    """Starts the window and waits until its socket is in place: it then listens."""
    socket = os.path.join(folder, "surfklocka.sock")
    window = subprocess.Popen([PROGRAM], env=environment(home, QT_QPA_PLATFORM="offscreen", **more),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A socket left by a window that was killed is replaced under the same name: wait for the
    # window's own, which is renamed into place.
    watch.until(lambda: window.poll() is not None or is_socket(socket) and listening(socket),
                "fönstrets uttag")
    expect(window.poll() is None, "fönstret slutade")
    return window


def listening(path):
    import socket as sockets
    client = sockets.socket(sockets.AF_UNIX, sockets.SOCK_STREAM)
    try:
        client.connect(path)
        return True
    except OSError:
        return False
    finally:
        client.close()


def stop(window):
    if window.poll() is None:
        window.kill()
    window.wait(timeout=DEADLINE)


def hung_and_killed_windows():
    with tempfile.TemporaryDirectory() as home:
        folder = os.path.join(home, "surfklocka")
        os.makedirs(folder, mode=0o700)
        with open(os.path.join(folder, "tid.it"), "wb") as settings:
            settings.write(settings_bytes())
        watch = FolderWatch(folder)
        month = os.path.join(folder, "0112.tid")

        window = start_window(home, folder, watch)
        # The window does not answer: the booking waits, and the command says so.
        window.send_signal(signal.SIGSTOP)
        quick = environment(home, SURFKLOCKA_HANDOFF_TIMEOUT_MS="300")
        code, out, err = run(quick, "boka", "--datum", "2001-12-05", "0:20:00")
        expect(code == 0, "boka mot ett hängt fönster gav %d: %s" % (code, err))
        expect("väntar i datamappen" in out, "boka skrev: " + out)
        code, out, err = run(quick, "boka", "--datum", "2001-12-05", "0:00:30")
        expect(code == 0, "andra boka gav %d: %s" % (code, err))
        expect(len(waiting(folder)) == 2, "väntande: %r" % waiting(folder))
        expect(not os.path.exists(month), "något bokfördes medan fönstret hängde")
        # Killed before it ever looked at them: nothing is lost.
        window.send_signal(signal.SIGKILL)
        window.wait(timeout=DEADLINE)
        expect(len(waiting(folder)) == 2, "väntande efter kill: %r" % waiting(folder))

        # The next start books both, in order, once.
        window = start_window(home, folder, watch)
        watch.until(lambda: not waiting(folder), "de väntande bokningarna")
        stop(window)
        with open(month, "rb") as data:
            expect(data.read() == month_bytes({5: 1200 + 30}), "fel byte efter omstart")
        # 1200 then 30: the undo copy is the month after the first of them.
        with open(os.path.join(folder, "0112.tmp"), "rb") as data:
            expect(data.read() == month_bytes({5: 1200}), "fel ångra-kopia")

        # And again: nothing waits, so nothing is booked twice.
        window = start_window(home, folder, watch)
        code, out, err = run(environment(home), "boka", "--datum", "2001-12-05", "10s")
        expect(code == 0 and out.startswith("Bokfört 2001-12-05: 10 s\n"),
               "boka till fönstret gav %d: %s %s" % (code, out, err))
        stop(window)
        with open(month, "rb") as data:
            expect(data.read() == month_bytes({5: 1240}), "fel byte till sist")
        watch.close()


def duration_text(seconds):
    hours, rest = divmod(seconds, 3600)
    minutes, seconds = divmod(rest, 60)
    return " ".join("%d %s" % (value, unit)
                    for value, unit in ((hours, "h"), (minutes, "m"), (seconds, "s")) if value)


def connected_on(folder, day):
    with open(os.path.join(folder, "0112.tid"), "rb") as data:
        record = data.read()[16 * (day - 1):16 * day]
    return int.from_bytes(record[4:8], "little")


def hundred_at_once():
    """A hundred bookings at once, with no window and with the window open: every one booked
    exactly once, every command told its own booking, nothing left waiting."""
    count = 100
    for with_window in (False, True):
        with tempfile.TemporaryDirectory() as home:
            folder = os.path.join(home, "surfklocka")
            os.makedirs(folder, mode=0o700)
            with open(os.path.join(folder, "tid.it"), "wb") as settings:
                settings.write(settings_bytes())
            watch = FolderWatch(folder)
            # The bound is long here: what is tested is that every booking is booked once and
            # answered right, not how quickly.
            slow = {"SURFKLOCKA_HANDOFF_TIMEOUT_MS": "60000"}
            window = start_window(home, folder, watch, **slow) if with_window else None
            env = environment(home, **slow)
            commands = [subprocess.Popen(
                [PROGRAM, "boka", "--datum", "2001-12-05", "0:%02d:%02d" % divmod(seconds, 60)],
                env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                for seconds in range(1, count + 1)]
            retry = []
            for seconds, command in enumerate(commands, start=1):
                out, err = command.communicate(timeout=DEADLINE * 2)
                out, err = out.decode("utf-8"), err.decode("utf-8")
                booked = "Bokfört 2001-12-05: %s\n" % duration_text(seconds)
                if command.returncode != 0 or not out.startswith(booked) or err:
                    retry.append((seconds, command.returncode, out, err))
            # Whatever said anything but booked is tried again: nothing may be booked twice.
            for seconds, _, _, _ in retry:
                run(env, "boka", "--datum", "2001-12-05", "0:%02d:%02d" % divmod(seconds, 60))
            expect(connected_on(folder, 5) == count * (count + 1) // 2,
                   "dag 5 har %d s (fönster: %s)" % (connected_on(folder, 5), with_window))
            expect(not retry, "fel svar (fönster: %s): %r" % (with_window, retry[:3]))
            left = [name for name in os.listdir(folder)
                    if name.endswith(".vantande") or name.endswith(".svar")]
            expect(not left, "kvar i datamappen: %r" % left)
            if window:
                stop(window)
            watch.close()


def ip_down_over_midnight():
    """The pppd script with the real program, its clock at 00:10 on 6 December 2001."""
    with tempfile.TemporaryDirectory() as work:
        home = os.path.join(work, "anna")
        folder = os.path.join(home, ".local", "share", "surfklocka")
        os.makedirs(folder, mode=0o700)
        with open(os.path.join(folder, "tid.it"), "wb") as settings:
            settings.write(settings_bytes())
        scripts = {
            # runuser: already the user here; runs what follows "--".
            "runuser": '#!/bin/sh\nwhile [ $# -gt 0 ] && [ "$1" != -- ]; do shift; done\n'
                       'shift\nexec "$@"\n',
            "getent": "#!/bin/sh\n[ \"$1\" = passwd ] && [ \"$2\" = anna ] || exit 2\n"
                      "echo 'anna:x:1000:1000:Anna:%s:/bin/sh'\n" % home,
            # The real program with only its clock set: the script gives it a clean environment.
            "surfklocka": "#!/bin/sh\nexec env LD_PRELOAD=%s FAKETIME='@2001-12-06 00:10:00' "
                          "ASAN_OPTIONS=verify_asan_link_order=0 %s \"$@\"\n" % (FAKETIME, PROGRAM),
        }
        for name, text in scripts.items():
            path = os.path.join(work, name)
            with open(path, "w", encoding="utf-8") as script:
                script.write(text)
            os.chmod(path, 0o755)
        with open(os.path.join(work, "defaults"), "w", encoding="utf-8") as defaults:
            defaults.write("SURFKLOCKA_ANVANDARE=anna\n")
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "CONNECT_TIME": "1800",
            "SURFKLOCKA_IP_DOWN_DEFAULTS": os.path.join(work, "defaults"),
            "SURFKLOCKA_IP_DOWN_SURFKLOCKA": os.path.join(work, "surfklocka"),
            "SURFKLOCKA_IP_DOWN_RUNUSER": os.path.join(work, "runuser"),
            "SURFKLOCKA_IP_DOWN_GETENT": os.path.join(work, "getent"),
        }
        result = subprocess.run(["sh", IP_DOWN], env=env, capture_output=True,
                                timeout=DEADLINE, check=False)
        expect(result.returncode == 0, "ip-down gav %d" % result.returncode)
        # 30 minutes that ended at 00:10: 20 minutes on the 5th and 10 on the 6th.
        with open(os.path.join(folder, "0112.tid"), "rb") as data:
            got = data.read()
        expect(got == month_bytes({5: 1200, 6: 600}),
               "fel byte efter ip-down: %s (%s)" % (got.hex(), result.stderr.decode()))


def main():
    hundred_at_once()
    hung_and_killed_windows()
    if os.path.exists(FAKETIME):
        ip_down_over_midnight()
    else:
        print("libfaketime saknas: ip-down över midnatt prövas inte", file=sys.stderr)
        sys.exit(77)
    print("ok")


main()
