#include "cli/output.h"

#include "platform/system_errors.h"

#include <cerrno>
#include <cstdio>

namespace cli {

namespace {

// Why standard output could not be written, as an errno value: the first failure only, so that
// its message is given once, at the end. 0 while every write went well.
int outputFailure = 0;

void write(std::FILE* stream, const std::string& text) {
    if (text.empty()) {
        return;
    }
    if ((std::fwrite(text.data(), 1, text.size(), stream) != text.size() ||
         std::fflush(stream) != 0) &&
        stream == stdout && outputFailure == 0) {
        outputFailure = errno != 0 ? errno : EIO;
    }
}

} // namespace

int print(const CommandOutput& output) {
    write(stdout, output.out);
    write(stderr, output.err);
    return output.exitCode;
}

int failed(const std::string& reason) {
    write(stderr, "surfklocka: " + reason + "\n");
    return kExitRefused;
}

int closeOutput(int exitCode) {
    if (std::fclose(stdout) != 0 && errno != EBADF && outputFailure == 0) {
        outputFailure = errno != 0 ? errno : EIO;
    }
    if (outputFailure == 0) {
        return exitCode;
    }
    write(stderr, "surfklocka: Utdata kunde inte skrivas till standard ut: " +
                      platform::systemErrorText(outputFailure) + ".\n");
    return kExitRefused;
}

} // namespace cli
