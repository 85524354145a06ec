// The baseline of the start-up figures: an empty Qt Widgets window of the main window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1020, 763);
    window.show();
    return app.exec();
}
