# Runs the built surfklocka as a command, with no display, on a temporary data folder.
#
# Usage: run_command_line.py PATH-TO-SURFKLOCKA
# A booking while the folder is free and while another holds it, wrong use, a full standard output,
# no display and a folder others may change. Every command runs without loading a Qt library,
# prints no line that ends in a blank, and prints the same under C.UTF-8 and sv_SE.UTF-8.

import fcntl
import glob
import os
import tempfile

from process import data_folder, environment, expect, month_bytes, read, run


# No command loads a Qt library.
def without_qt(env):
    # A booking of ten minutes on a day without time leaves 50 of the hour: no notice.
    for arguments in (("--help",), ("--version",), ("boka", "--datum", "2001-12-20", "10m"),
                      ("visa", "2001-12"), ("summa",), ("avisering",), ("avisering", "på"),
                      ("exportera", "2001-12-01", "2001-12-31")):
        with tempfile.TemporaryDirectory() as log:
            code, _, err = run(dict(env, LD_DEBUG="libs",
                                        LD_DEBUG_OUTPUT=os.path.join(log, "ld")), *arguments)
            expect(code == 0, "%r gav %d: %s" % (arguments, code, err))
            loaded = {word for path in glob.glob(os.path.join(log, "ld*"))
                      for word in open(path, encoding="utf-8", errors="replace").read().split()
                      if "libQt" in word}
        expect(not loaded, "%s läste in %s" % (" ".join(arguments), ", ".join(sorted(loaded))))


def main():
    with tempfile.TemporaryDirectory() as home:
        env = environment(home)
        folder = data_folder(home)
        month = os.path.join(folder, "0112.tid")
        with open(month, "wb") as data:
            data.write(month_bytes({5: 1200}))
        for arguments in (("visa", "2001-12"), ("summa", "2001-12-01", "2001-12-31")):
            outputs = {run(dict(env, LANG=name, LC_ALL=name), *arguments)
                       for name in ("C.UTF-8", "sv_SE.UTF-8")}
            expect(len(outputs) == 1, "%s skiljer sig mellan språkmiljöerna: %r"
                   % (arguments[0], outputs))

        # While a program that does not answer holds the lock, a booking waits in the data
        # folder and touches no month; reading still works. The next booking books it first.
        with open(os.path.join(folder, "surfklocka.lock"), "a+b") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            code, out, err = run(dict(env, SURFKLOCKA_HANDOFF_TIMEOUT_MS="200"), "boka", "--datum", "2001-12-06", "10s")
            expect(code == 0 and "väntar i datamappen" in out,
                   "boka med låset taget gav %d: %s %s" % (code, out, err))
            code, out, _ = run(env, "visa", "2001-12")
            expect(code == 0 and "2001-12-05" in out, "visa med låset taget gav %d" % code)
            expect(read(month) == month_bytes({5: 1200}), "boka ändrade 0112.tid trots låset")
            expect(len(glob.glob(os.path.join(folder, "*.vantande"))) == 1, "inget väntar")
        code, out, err = run(env, "boka", "--datum", "2001-12-07", "20s")
        expect(code == 0 and out.startswith("Bokfört 2001-12-07: 20 s"),
               "boka efter låset gav %d: %s %s" % (code, out, err))
        expect(read(month) == month_bytes({5: 1200, 6: 10, 7: 20}), "den väntande bokfördes inte")
        expect(not glob.glob(os.path.join(folder, "*.vantande")), "något väntar ännu")

        # Wrong use: on standard error only, with exit code 2.
        expect(run(env, "exportera", "--format", "xml") ==
               (2, "", "surfklocka: Formatet \"xml\" finns inte: välj csv, kalkyl eller json.\n"
                       "Försök med \"surfklocka --help\" för mer information.\n"), "okänt format")
        without_qt(env)

        # Standard output on a full disk: the command fails and says why, once.
        with open("/dev/full", "wb") as full:
            for arguments in (("visa", "2001-12"), ("summa", "2001-12-01", "2001-12-31"),
                              ("exportera", "2001-12-01", "2001-12-31"), ("--help",)):
                code, _, err = run(env, *arguments, stdout=full)
                expect((code, err) == (1, "surfklocka: Utdata kunde inte skrivas till standard "
                                          "ut: disken är full.\n"),
                       "%s till /dev/full gav %d: %s" % (arguments[0], code, err))

        # No display: a Swedish pointer to the commands instead of Qt's abort.
        expect(run(env) == (1, "", "surfklocka: Fönstret kan inte visas, eftersom ingen "
                                       "skärm hittades: varken DISPLAY eller WAYLAND_DISPLAY är "
                                       "satt.\nKommandona fungerar utan skärm: se surfklocka "
                                       "--help.\n"), "utan skärm")

        # A data folder that others may change is refused by reading and booking alike.
        before = sorted(os.listdir(folder))
        os.chmod(folder, 0o770)
        for arguments in (("visa",), ("boka", "10s")):
            code, out, err = run(env, *arguments)
            expect((code, out, err) == (1, "", "surfklocka: Surfklocka kan inte använda sin "
                                               "datamapp.\nMappen " + folder + " kan ändras av "
                                               "andra användare än du.\n"),
                   "%s i en mapp som andra kan ändra gav %d: %s" % (arguments[0], code, err))
        expect(sorted(os.listdir(folder)) == before, "mappen ändrades")
        expect(os.stat(folder).st_mode & 0o777 == 0o770, "mappens rättigheter ändrades")
    print("ok")


main()
