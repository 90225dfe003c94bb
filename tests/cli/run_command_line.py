"""Runs the built surfklocka as a command, with no display, on a temporary data folder.

Usage: run_command_line.py PATH-TO-SURFKLOCKA
Books the worked example of the month file through the command line, checks the month file's
bytes, and reads the JSON and CSV exports back with Python's own json and csv modules. Every
command runs without loading a Qt library, prints no line that ends in a blank, and prints the
same under C.UTF-8 and sv_SE.UTF-8.
"""

import csv
import fcntl
import glob
import io
import json
import os
import subprocess
import sys
import tempfile

from test_data import settings_bytes

PROGRAM = sys.argv[1]

# The month file after 50, 20 and 1 minutes on 2001-12-05 with the 1-hour plan: days 1-4
# empty, then 190.0 öre (float 0x433E0000), 4260 s, 660 extra seconds, day 5, over the allowance.
EXPECTED_MONTH = bytes(64) + bytes(
    [0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0, 0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF])


def expect(condition, what):
    if not condition:
        print("FEL: " + what, file=sys.stderr)
        sys.exit(1)


def run(environment, *arguments, stdout=subprocess.PIPE):
    result = subprocess.run([PROGRAM, *arguments], env=environment, stdout=stdout,
                            stderr=subprocess.PIPE, timeout=60, check=False)
    out = (result.stdout or b"").decode("utf-8")
    err = result.stderr.decode("utf-8")
    for text in (out, err):
        expect(not [line for line in text.split("\n") if line.endswith(" ")],
               "en rad slutar med blanktecken efter %r: %r" % (arguments, text))
    return result.returncode, out, err


def qt_libraries(environment, *arguments):
    """The Qt libraries the dynamic loader loads while the program runs the command."""
    with tempfile.TemporaryDirectory() as log:
        debug = dict(environment, LD_DEBUG="libs", LD_DEBUG_OUTPUT=os.path.join(log, "ld"))
        code, _, err = run(debug, *arguments)
        expect(code == 0, "%r gav %d: %s" % (arguments, code, err))
        names = set()
        for path in glob.glob(os.path.join(log, "ld*")):
            with open(path, encoding="utf-8", errors="replace") as lines:
                names.update(word for line in lines for word in line.split() if "libQt" in word)
        return names


def without_qt(environment):
    """No command loads a Qt library, and the program needs none."""
    libraries = subprocess.run(["ldd", PROGRAM], capture_output=True, text=True, check=False)
    expect(libraries.returncode == 0 and "libc.so" in libraries.stdout,
           "ldd: " + libraries.stderr)
    expect("libQt" not in libraries.stdout, "programmet länkar Qt:\n" + libraries.stdout)
    # A booking of ten minutes on a day without time leaves 50 of the hour: no notice.
    for arguments in (("--help",), ("--version",), ("boka", "--datum", "2001-12-20", "10m"),
                      ("visa", "2001-12"), ("summa",), ("avisering",), ("avisering", "på"),
                      ("exportera", "2001-12-01", "2001-12-31")):
        loaded = qt_libraries(environment, *arguments)
        expect(not loaded, "%s läste in %s" % (" ".join(arguments), ", ".join(sorted(loaded))))


def main():
    with tempfile.TemporaryDirectory() as home:
        environment = {key: value for key, value in os.environ.items()
                       if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        environment["XDG_DATA_HOME"] = home
        folder = os.path.join(home, "surfklocka")
        os.makedirs(folder, mode=0o700)
        with open(os.path.join(folder, "tid.it"), "wb") as settings:
            settings.write(settings_bytes())

        code, out, err = run(environment, "boka", "--datum", "2001-12-05", "0:20:00")
        expect(code == 0, "boka gav %d: %s" % (code, err))
        expect(out.startswith("Bokfört 2001-12-05: 20 m\n"), "boka skrev " + out)
        # 1200 s (0x04B0) on day 5, within the hour.
        with open(os.path.join(folder, "0112.tid"), "rb") as month:
            expect(month.read() == bytes(64) + bytes([0, 0, 0, 0, 0xB0, 0x04, 0, 0,
                                                      0, 0, 0, 0, 5, 0, 0, 0]),
                   "fel byte efter 0:20:00")
        for time in ("0:50:00", "0:01:00"):
            code, _, err = run(environment, "boka", "--datum", "2001-12-05", time)
            expect(code == 0, "boka %s gav %d: %s" % (time, code, err))
        code, _, err = run(environment, "boka", "--datum", "2001-12-05", "1:75:00")
        expect(code == 1 and err, "en omöjlig tid vägrades inte")
        # 1200 + 3000 + 60 = 4260 s: the window's worked example, 190 öre.
        with open(os.path.join(folder, "0112.tid"), "rb") as month:
            expect(month.read() == EXPECTED_MONTH, "fel byte i 0112.tid")

        code, out, err = run(environment, "exportera", "--format", "json",
                             "2001-12-01", "2001-12-31")
        expect(code == 0, "exportera json gav %d: %s" % (code, err))
        rows = json.loads(out)
        expect(rows == [{"datum": "2001-12-05", "ansluten_sekunder": 4260,
                         "extra_sekunder": 660, "kostnad_ore": 190, "kostnad_kr": 1.9,
                         "abonnemang": "1 h / dygn"}], "JSON: %r" % rows)

        code, out, err = run(environment, "exportera", "--format", "csv",
                             "2001-12-01", "2001-12-31")
        expect(code == 0, "exportera csv gav %d: %s" % (code, err))
        expect("\r\n" in out, "CSV utan CRLF")
        table = list(csv.reader(io.StringIO(out, newline="")))
        expect(table == [["datum", "ansluten_sekunder", "extra_sekunder", "kostnad_ore",
                          "kostnad_kr", "abonnemang"],
                         ["2001-12-05", "4260", "660", "190", "1.90", "1 h / dygn"]],
               "CSV: %r" % table)

        # For a spreadsheet program: a UTF-8 byte-order mark, semicolons, decimal commas, CRLF.
        result = subprocess.run([PROGRAM, "exportera", "--format", "kalkyl", "2001-12-01",
                                 "2001-12-31"], env=environment, capture_output=True, timeout=60,
                                check=False)
        expect(result.returncode == 0, "exportera kalkyl gav %d" % result.returncode)
        expect(result.stdout.startswith(b"\xef\xbb\xbfdatum;") and b"\r\n" in result.stdout,
               "kalkyl: %r" % result.stdout)
        table = list(csv.reader(io.StringIO(result.stdout.decode("utf-8-sig"), newline=""),
                                delimiter=";"))
        expect(table == [["datum", "ansluten_sekunder", "extra_sekunder", "kostnad_ore",
                          "kostnad_kr", "abonnemang"],
                         ["2001-12-05", "4260", "660", "190", "1,90", "1 h / dygn"]],
               "kalkyl: %r" % table)

        # The same output under both locales.
        for arguments in (("visa", "2001-12"), ("summa", "2001-12-01", "2001-12-31")):
            outputs = {run(dict(environment, LANG=name, LC_ALL=name), *arguments)
                       for name in ("C.UTF-8", "sv_SE.UTF-8")}
            expect(len(outputs) == 1, "%s skiljer sig mellan språkmiljöerna: %r"
                   % (arguments[0], outputs))

        # While a program that does not answer holds the lock, a booking waits in the data
        # folder and touches no month; reading still works. The next booking books it first.
        with open(os.path.join(folder, "surfklocka.lock"), "a+b") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            quick = dict(environment, SURFKLOCKA_HANDOFF_TIMEOUT_MS="200")
            code, out, err = run(quick, "boka", "--datum", "2001-12-06", "10s")
            expect(code == 0 and "väntar i datamappen" in out,
                   "boka med låset taget gav %d: %s %s" % (code, out, err))
            code, out, _ = run(environment, "visa", "2001-12")
            expect(code == 0 and "2001-12-05" in out, "visa med låset taget gav %d" % code)
        with open(os.path.join(folder, "0112.tid"), "rb") as month:
            expect(month.read() == EXPECTED_MONTH, "boka ändrade 0112.tid trots låset")
        waiting = [name for name in os.listdir(folder) if name.endswith(".vantande")]
        expect(len(waiting) == 1, "väntande: %r" % waiting)
        code, out, err = run(environment, "boka", "--datum", "2001-12-07", "20s")
        expect(code == 0 and out.startswith("Bokfört 2001-12-07: 20 s"),
               "boka efter låset gav %d: %s %s" % (code, out, err))
        with open(os.path.join(folder, "0112.tid"), "rb") as month:
            days = month.read()
        expect(int.from_bytes(days[16 * 5 + 4:16 * 5 + 8], "little") == 10 and
               int.from_bytes(days[16 * 6 + 4:16 * 6 + 8], "little") == 20,
               "den väntande bokningen bokfördes inte")
        expect(not [name for name in os.listdir(folder) if name.endswith(".vantande")],
               "något väntar ännu")
        with open(os.path.join(folder, "0112.tid"), "rb") as month:
            expect(month.read()[:80] == EXPECTED_MONTH, "dag 1-5 ändrades")

        code, out, err = run(environment, "exportera", "--format", "xml")
        expect((code, out, err) == (2, "", "surfklocka: Formatet \"xml\" finns inte: välj csv, "
                                           "kalkyl eller json.\nFörsök med \"surfklocka "
                                           "--help\" för mer information.\n"),
               "okänt format gav %d: %s" % (code, err))

        without_qt(environment)

        # Standard output on a full disk: the command fails and says why, once.
        with open("/dev/full", "wb") as full:
            for arguments in (("visa", "2001-12"), ("summa", "2001-12-01", "2001-12-31"),
                              ("exportera", "2001-12-01", "2001-12-31"), ("--help",)):
                code, _, err = run(environment, *arguments, stdout=full)
                expect((code, err) == (1, "surfklocka: Utdata kunde inte skrivas till standard "
                                          "ut: disken är full.\n"),
                       "%s till /dev/full gav %d: %s" % (arguments[0], code, err))

        # No display: a Swedish pointer to the commands instead of Qt's abort.
        code, out, err = run(environment)
        expect((code, out, err) == (1, "", "surfklocka: Fönstret kan inte visas, eftersom ingen "
                                           "skärm hittades: varken DISPLAY eller WAYLAND_DISPLAY "
                                           "är satt.\nKommandona fungerar utan skärm: se "
                                           "surfklocka --help.\n"),
               "utan skärm gav %d: %s" % (code, err))

        # A data folder that others may change is refused by reading and booking alike.
        before = sorted(os.listdir(folder))
        os.chmod(folder, 0o770)
        for arguments in (("visa",), ("boka", "10s")):
            code, out, err = run(environment, *arguments)
            expect((code, out, err) == (1, "", "surfklocka: Surfklocka kan inte använda sin "
                                               "datamapp.\nMappen " + folder + " kan ändras av "
                                               "andra användare än du.\n"),
                   "%s i en mapp som andra kan ändra gav %d: %s" % (arguments[0], code, err))
        expect(sorted(os.listdir(folder)) == before, "mappen ändrades")
        expect(os.stat(folder).st_mode & 0o777 == 0o770, "mappens rättigheter ändrades")
    print("ok")


main()
