#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>

namespace Velmira::Accessibility {

namespace {

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Link) {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget(), &press);
    }
};

// Qt asks every factory for each class of an object, the most derived first, so the classes
// named here are answered before Qt's own factory answers for QWidget or QLabel.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("frmMain"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("frmOptions") || className == QLatin1String("frmAbout"))
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    if (className == QLatin1String(ToolBar::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()))
        return new LinkAccessible(widget);
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace Velmira::Accessibility
