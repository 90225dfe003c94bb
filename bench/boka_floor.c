/* The floor of `surfklocka boka`: a plain C program, linked with the C library alone, that does
 * the file work of one booking and nothing else. In the data folder ($XDG_DATA_HOME/surfklocka)
 * it reads the settings file and the day's month file, adds the seconds to the day's record,
 * writes the new month to a temporary file with one fdatasync, gives the month as it was the
 * undo copy's name as a hard link (after deleting the old copy), renames the new month over the
 * old, flushes the folder once and prints one line. It checks only what the calls return.
 *
 * Usage: bench_boka_floor ÅÅÅÅ-MM-DD SECONDS */

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kRecord = 16, kMonthMax = 31 * kRecord, kSettingsMax = 90 };

static ssize_t readAll(int dir, const char* name, unsigned char* buffer, size_t size) {
    const int fd = openat(dir, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    size_t total = 0;
    ssize_t got = 0;
    while (total < size && (got = read(fd, buffer + total, size - total)) > 0) {
        total += (size_t)got;
    }
    close(fd);
    return got < 0 ? -1 : (ssize_t)total;
}

static int writeTemporary(int dir, const char* name, const unsigned char* bytes, size_t size) {
    const int fd = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    const int written = write(fd, bytes, size) == (ssize_t)size && fdatasync(fd) == 0;
    return close(fd) == 0 && written ? 0 : -1;
}

int main(int argc, char* argv[]) {
    int year = 0, month = 0, day = 0;
    if (argc != 3 || sscanf(argv[1], "%4d-%2d-%2d", &year, &month, &day) != 3 || day < 1 ||
        day > 31) {
        fputs("usage: bench_boka_floor ÅÅÅÅ-MM-DD SECONDS\n", stderr);
        return 2;
    }
    const int32_t seconds = (int32_t)atoi(argv[2]);
    const char* home = getenv("XDG_DATA_HOME");
    char folder[4096];
    snprintf(folder, sizeof folder, "%s/surfklocka", home != NULL ? home : ".");
    const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    unsigned char settings[kSettingsMax + 1];
    unsigned char bytes[kMonthMax + 1];
    char file[16], copy[16];
    snprintf(file, sizeof file, "%02d%02d.tid", year % 100, month);
    snprintf(copy, sizeof copy, "%02d%02d.tmp", year % 100, month);
    if (dir < 0 || readAll(dir, "tid.it", settings, sizeof settings) < 0) {
        return 1;
    }
    ssize_t length = readAll(dir, file, bytes, sizeof bytes);
    const size_t end = (size_t)day * kRecord;
    if (length < 0 || length > kMonthMax) {
        return 1;
    }
    if ((size_t)length < end) {
        memset(bytes + length, 0, end - (size_t)length);
        length = (ssize_t)end;
    }
    int32_t connected = 0;
    memcpy(&connected, bytes + end - kRecord + 4, sizeof connected);
    connected += seconds;
    memcpy(bytes + end - kRecord + 4, &connected, sizeof connected);
    const int16_t dayNumber = (int16_t)day;
    memcpy(bytes + end - kRecord + 12, &dayNumber, sizeof dayNumber);

    const char* temporary = ".boka-floor.part";
    if (writeTemporary(dir, temporary, bytes, (size_t)length) != 0) {
        unlinkat(dir, temporary, 0);
        return 1;
    }
    unlinkat(dir, copy, 0);
    if (linkat(dir, file, dir, copy, 0) != 0 || renameat(dir, temporary, dir, file) != 0 ||
        fsync(dir) != 0) {
        return 1;
    }
    printf("Bokfört %04d-%02d-%02d: %d s\n", year, month, day, (int)seconds);
    return close(dir) == 0 ? 0 : 1;
}
