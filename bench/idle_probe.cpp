// Loaded into a Qt program with LD_PRELOAD by bench_processes; the program itself is not changed.
// When the application object is made, it starts watching: once a window has been exposed (and so
// painted) and the event loop is then about to wait for more events, the program is shown and
// idle. It writes the CLOCK_MONOTONIC time of that moment, in nanoseconds, to the descriptor
// named by SURFKLOCKA_PROBE_FD, and ends the process at once. Without that variable it does
// nothing.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

class IdleProbe final : public QObject {
public:
    IdleProbe(QObject* parent, int fd) : QObject(parent), m_fd(fd) {}

    void aboutToBlock() {
        if (!m_shown) {
            return;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[64];
        const int length =
            std::snprintf(line, sizeof line, "%lld\n",
                          static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        const bool written = ::write(m_fd, line, static_cast<std::size_t>(length)) == length;
        ::_exit(written ? 0 : 3);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The filter sees the event before the window does; the window paints while handling it,
        // so the next time the loop is about to wait, the painting is done.
        if (event->type() == QEvent::Expose && watched->isWindowType() &&
            static_cast<QWindow*>(watched)->isExposed()) {
            m_shown = true;
        }
        return false;
    }

private:
    int m_fd;
    bool m_shown = false;
};

void startWatching() {
    const char* fdText = std::getenv("SURFKLOCKA_PROBE_FD");
    if (fdText == nullptr) {
        return;
    }
    auto* application = QCoreApplication::instance();
    auto* probe = new IdleProbe(application, std::atoi(fdText));
    application->installEventFilter(probe);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     probe, &IdleProbe::aboutToBlock);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startWatching)
