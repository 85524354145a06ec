// The baselines of the start-up figures: an empty Qt Widgets window of the main window's size,
// and with --label the same window showing one line of text, which makes it load the fonts
// (as any window with text must) before its first paint.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1020, 763);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        new QLabel("00:00:00:000", &window);
    window.show();
    return app.exec();
}
