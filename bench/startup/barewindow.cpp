// The yardstick for the start-up benchmark: the least a Qt Widgets program does to put a
// window on the screen. It shows an empty window and quits as soon as the window is exposed.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Closes the window once the platform has exposed it.
class CloseWhenExposed : public QObject
{
public:
    explicit CloseWhenExposed(QWidget *widget) : widget_(widget) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && widget_->windowHandle()->isExposed())
            QMetaObject::invokeMethod(widget_, &QWidget::close, Qt::QueuedConnection);
        return false;
    }

private:
    QWidget *widget_;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(318, 296);
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.winId();
    CloseWhenExposed closer(&window);
    window.windowHandle()->installEventFilter(&closer);
    window.show();
    return app.exec();
}
