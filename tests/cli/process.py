# What the process tests of the command line share: the program, a data folder, a run.

import os
import subprocess
import sys

PROGRAM = os.path.abspath(sys.argv[1])
DEADLINE = 60.0
# The first-start mark, "1 h / dygn" at 30 and 3600 seconds a day at 60, little-endian.
SETTINGS = b"\xff\xff" + bytes(28) + b"1 h / dygn" + bytes(20) + b"\x10\x0e"


def expect(condition, what):
    if not condition:
        print("FEL: " + what, file=sys.stderr)
        sys.exit(1)


# The program's data folder under `home`, made with the 1-hour plan.
def data_folder(home, *under):
    folder = os.path.join(home, *under, "surfklocka")
    os.makedirs(folder, mode=0o700)
    with open(os.path.join(folder, "tid.it"), "wb") as settings:
        settings.write(SETTINGS)
    return folder


# This environment without a display, with the data folder under `home`.
def environment(home, **more):
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return dict(env, XDG_DATA_HOME=home, **more)


# The exit code, standard output and standard error of the program run with `arguments`, none
# of whose lines ends in a blank.
def run(env, *arguments, stdout=subprocess.PIPE):
    result = subprocess.run([PROGRAM, *arguments], env=env, stdout=stdout, stderr=subprocess.PIPE,
                            timeout=DEADLINE, check=False)
    out, err = (result.stdout or b"").decode("utf-8"), result.stderr.decode("utf-8")
    expect(not [line for line in (out + err).split("\n") if line.endswith(" ")],
           "en rad slutar med blanktecken efter %r: %r" % (arguments, out + err))
    return result.returncode, out, err


# A month file of days within the hour: day number to connected seconds.
def month_bytes(days):
    data = bytearray(16 * max(days))
    for day, connected in days.items():
        data[16 * day - 12:16 * day - 8] = connected.to_bytes(4, "little")
        data[16 * day - 4:16 * day - 2] = day.to_bytes(2, "little")
    return bytes(data)


def read(path):
    with open(path, "rb") as data:
        return data.read()
