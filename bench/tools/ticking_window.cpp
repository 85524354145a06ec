// The baseline of the running figure: a window of the main window's size whose two large
// figures and title change every 20 ms, as a running watch's do. What it costs is the least a
// Qt Widgets window pays for that refresh, before any work of the watch itself.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {
QLabel* figure(QWidget* window, int pixels, int top) {
    auto* label = new QLabel("00:00:00:000", window);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(4, top, 240, pixels + 8);
    label->setAutoFillBackground(true); // the window need not paint beneath it

    return label;
}

QString elapsedText(qint64 ms) {
    return QString::asprintf("%02lld:%02lld:%02lld:%03lld", ms / 3600000, ms / 60000 % 60,
                             ms / 1000 % 60, ms % 1000);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1020, 763);
    QLabel* total = figure(&window, 34, 4);
    QLabel* lap = figure(&window, 26, 84);
    QElapsedTimer clock;
    clock.start();
    QTimer refresh;
    refresh.setTimerType(Qt::PreciseTimer);
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        const QString text = elapsedText(clock.elapsed());
        total->setText(text);
        lap->setText(text);
        window.setWindowTitle(text + " :: ticking window");
    });
    refresh.start(20);
    window.show();
    return app.exec();
}
