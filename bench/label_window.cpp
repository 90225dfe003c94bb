// The floor of the window's start: a minimal Qt Widgets program showing one window with one line
// of text. Unlike the empty window it must set up the system's fonts and lay out and draw text,
// which every window that shows text pays for.

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Surfklocka"));
    window.show();
    return application.exec();
}
