// The yardstick for the start-up benchmark: the least a Qt Widgets program does to put a
// window on the screen. It shows an empty window and closes it from the event loop's first
// turn, as velmira does with --quit-when-shown.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(318, 296);
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
