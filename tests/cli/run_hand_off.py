# Bookings from the command line with real processes: a hundred at once with no window and with the
# window open, a window that does not answer and is then killed, and the pppd ip-down script booking
# a connection that crossed midnight.
#
# Usage: run_hand_off.py PATH-TO-SURFKLOCKA PATH-TO-IP-DOWN-SCRIPT
#
# The windows run on Qt's offscreen platform; the commands run with no display. Nothing sleeps:
# the test waits for files to appear or go with inotify, with a deadline that only a fault reaches.

import ctypes
import glob
import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time

from process import (DEADLINE, PROGRAM, data_folder, environment, expect, month_bytes, read,
                     run)

IP_DOWN = os.path.abspath(sys.argv[2])
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
LIBC = ctypes.CDLL(None, use_errno=True)


# Waits for the condition, looked at again at each change of a name in the folder.
def until(folder, condition, what):
    watch = LIBC.inotify_init()
    # IN_MOVED_FROM, IN_MOVED_TO, IN_CREATE and IN_DELETE.
    expect(watch >= 0 and LIBC.inotify_add_watch(watch, folder.encode(), 0x3C0) >= 0, "inotify")
    end = time.monotonic() + DEADLINE
    while not condition():
        expect(time.monotonic() < end, "väntade förgäves på: " + what)
        if select.select([watch], [], [], end - time.monotonic())[0]:
            os.read(watch, 65536)
    os.close(watch)


def listening(path):
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as client:
        return client.connect_ex(path) == 0


# Starts the window and waits until its socket takes calls: it then listens.
def start_window(home, folder, **more):
    window = subprocess.Popen([PROGRAM], env=environment(home, QT_QPA_PLATFORM="offscreen", **more),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    until(folder, lambda: window.poll() is not None or
          listening(os.path.join(folder, "surfklocka.sock")), "fönstrets uttag")
    expect(window.poll() is None, "fönstret slutade")
    return window


def stop(window):
    window.kill()
    window.wait(timeout=DEADLINE)


def hung_and_killed_window():
    with tempfile.TemporaryDirectory() as home:
        folder = data_folder(home)
        window = start_window(home, folder)
        # The window does not answer: the booking waits, and the command says so.
        window.send_signal(signal.SIGSTOP)
        quick = environment(home, SURFKLOCKA_HANDOFF_TIMEOUT_MS="300")
        code, out, err = run(quick, "boka", "--datum", "2001-12-05", "0:20:00")
        expect(code == 0 and "väntar i datamappen" in out, "boka mot ett hängt fönster gav "
                                                            "%d: %s %s" % (code, out, err))
        waiting = lambda: glob.glob(os.path.join(folder, "*.vantande"))
        expect(len(waiting()) == 1, "väntande: %r" % waiting())
        # Killed before it ever looked at it: nothing is lost, and the next start books it.
        stop(window)
        window = start_window(home, folder)
        until(folder, lambda: not waiting(), "de väntande bokningarna")
        stop(window)
        expect(read(os.path.join(folder, "0112.tid")) == month_bytes({5: 1200}), "fel byte")


# A hundred bookings at once, with no window and with the window open: every one booked
# exactly once, every command told its own booking, nothing left waiting.
def hundred_at_once():
    for with_window in (False, True):
        with tempfile.TemporaryDirectory() as home:
            folder = data_folder(home)
            # The bound is long here: what is tested is that every booking is booked once and
            # answered right, not how quickly.
            slow = {"SURFKLOCKA_HANDOFF_TIMEOUT_MS": "60000"}
            window = start_window(home, folder, **slow) if with_window else None
            env = environment(home, **slow)
            commands = [subprocess.Popen(
                [PROGRAM, "boka", "--datum", "2001-12-05", "0:%02d:%02d" % divmod(seconds, 60)],
                env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                for seconds in range(1, 101)]
            wrong = []
            for seconds, command in enumerate(commands, start=1):
                out, err = command.communicate(timeout=DEADLINE * 2)
                # The time as the booking tells it: "1 m 5 s", "59 s", "1 m".
                told = " ".join("%d %s" % pair for pair in zip(divmod(seconds, 60), "ms") if pair[0])
                if (command.returncode, err) != (0, b"") or not out.decode().startswith(
                        "Bokfört 2001-12-05: %s\n" % told):
                    wrong.append((seconds, command.returncode, out, err))
            # 1 + 2 + … + 100 = 5050 seconds on the day, each booking once.
            booked = int.from_bytes(read(os.path.join(folder, "0112.tid"))[68:72], "little")
            expect(booked == 5050, "dag 5 har %d s (fönster: %s)"
                   % (booked, with_window))
            expect(not wrong, "fel svar (fönster: %s): %r" % (with_window, wrong[:3]))
            left = [name for name in os.listdir(folder) if name.endswith((".vantande", ".svar"))]
            expect(not left, "kvar i datamappen: %r" % left)
            if window:
                stop(window)


# The pppd script with the real program, its clock at 00:10 on 6 December 2001.
def ip_down_over_midnight():
    with tempfile.TemporaryDirectory() as work:
        home = os.path.join(work, "anna")
        folder = data_folder(home, ".local", "share")
        scripts = {
            # runuser: already the user here; runs what follows "-u anna --".
            "runuser": '#!/bin/sh\nshift 3\nexec "$@"\n',
            "getent": "#!/bin/sh\necho 'anna:x:1000:1000:Anna:%s:/bin/sh'\n" % home,
            # The real program with only its clock set: the script gives it a clean environment.
            "surfklocka": "#!/bin/sh\nexec env LD_PRELOAD=%s FAKETIME='@2001-12-06 00:10:00' "
                          "ASAN_OPTIONS=verify_asan_link_order=0 %s \"$@\"\n" % (FAKETIME, PROGRAM),
            "defaults": "SURFKLOCKA_ANVANDARE=anna\n",
        }
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "CONNECT_TIME": "1800"}
        for name, text in scripts.items():
            env["SURFKLOCKA_IP_DOWN_" + name.upper()] = path = os.path.join(work, name)
            with open(path, "w", encoding="utf-8") as script:
                script.write(text)
            os.chmod(path, 0o755)
        result = subprocess.run(["sh", IP_DOWN], env=env, capture_output=True,
                                timeout=DEADLINE, check=False)
        expect(result.returncode == 0, "ip-down gav %d" % result.returncode)
        # 30 minutes that ended at 00:10: 20 minutes on the 5th and 10 on the 6th.
        got = read(os.path.join(folder, "0112.tid"))
        expect(got == month_bytes({5: 1200, 6: 600}),
               "fel byte efter ip-down: %s (%s)" % (got.hex(), result.stderr.decode()))


def main():
    hundred_at_once()
    hung_and_killed_window()
    if not os.path.exists(FAKETIME):
        print("libfaketime saknas: ip-down över midnatt prövas inte", file=sys.stderr)
        sys.exit(77)
    ip_down_over_midnight()
    print("ok")


main()
