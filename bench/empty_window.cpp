// The start-up baseline: a minimal Qt Widgets program showing one empty window.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    return application.exec();
}
