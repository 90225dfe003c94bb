// The floor of a command: a minimal Qt program with no window, which makes its application object,
// prints one line and ends.

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    std::puts("Surfklocka");
    return 0;
}
