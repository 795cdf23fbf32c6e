#include "frmoptions.h"

#include "gui/accessibility.h"
#include "twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

// A check box the user toggles between unchecked and checked; the greyed state comes only from
// a stored value, and a click on it checks the box.
class TwoWayCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        const bool check = checkState() != Qt::Checked;
        setTristate(false);
        setCheckState(check ? Qt::Checked : Qt::Unchecked);
    }
};

template <typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    using namespace Velmira::Twips;
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    return widget;
}

} // namespace

frmOptions::frmOptions(std::function<bool()> mayClose, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_mayClose(std::move(mayClose))
{
    using namespace Velmira::Twips;
    setObjectName(QStringLiteral("frmOptions"));
    Velmira::Accessibility::install();
    setWindowTitle(tr("Options"));
    setAccessibleDescription(tr("How Velmira rotates your display name"));
    setFont(Velmira::Twips::smallFont());

    // Created bottom of the stack first, so the frame lies under the controls it surrounds.
    Label1 = place(new QLabel(this), "Label1", 120, 120, 5055, 2055);
    Label1->setFrameShape(QFrame::Box);
    Label2 = place(new QLabel(tr("&Interval (sec)"), this), "Label2", 240, 240, 735, 375);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label3 = place(new QLabel(tr("Minimize to:"), this), "Label3", 240, 1200, 975, 375);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Slider1 = place(new QSlider(Qt::Horizontal, this), "Slider1", 1920, 240, 3135, 255);
    Slider1->setRange(1, 10);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(1);
    Slider1->setTickInterval(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setAccessibleName(tr("Interval in seconds"));
    Label2->setBuddy(Slider1);
    // The slider's value, beside it.
    Label4 = place(new QLabel(this), "Label4", 1095, 240, 705, 255);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
    showSeconds(Slider1->value());

    chkResetNick = place(new TwoWayCheckBox(tr("&Reset name when stopped."), this), "chkResetNick",
                         240, 840, 4695, 255);
    chkResetNick->setChecked(true);
    chkResetNick->setAccessibleDescription(
        tr("When the rotation stops, put back the name you had when Velmira started"));

    cmdOk = place(new QPushButton(tr("OK"), this), "cmdOk", 1958, 2280, 1335, 375);
    cmdOk->setAutoDefault(false);
    cmdOk->setDefault(false);

    chkMin[0] = place(new QRadioButton(tr("&Taskbar"), this), "chkMin0", 3120, 1200, 1815, 255);
    chkMin[1] = place(new QRadioButton(tr("&System Tray"), this), "chkMin1", 3120, 1560, 1815, 255);
    chkMin[0]->setAccessibleDescription(tr("Minimizing leaves the window on the taskbar"));
    chkMin[1]->setAccessibleDescription(
        tr("Minimizing hides the window; its icon in the notification area brings it back"));
    cmdOk->setAccessibleDescription(tr("Close the options; every change is already in force"));

    // Tab order as the controls stand on the screen, top to bottom: slider, check box, Taskbar,
    // System Tray, OK.
    setTabOrder(Slider1, chkResetNick);
    setTabOrder(chkResetNick, chkMin[0]);
    setTabOrder(chkMin[0], chkMin[1]);
    setTabOrder(chkMin[1], cmdOk);

    fitCaptions();

    connect(Slider1, &QSlider::valueChanged, this, &frmOptions::showSeconds);
    connect(Slider1, &QSlider::valueChanged, this, &frmOptions::Slider1_Change);
    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
}

void frmOptions::fitCaptions()
{
    using namespace Velmira::Twips;
    // A caption wider than its control as drawn (a translation, a large desktop font) widens the
    // control to the right; the window and its frame grow with the widest, and OK stays centred.
    int right = Slider1->geometry().right() + 1;
    for (QWidget *control :
         std::initializer_list<QWidget *>{Label3, chkResetNick, chkMin[0], chkMin[1], cmdOk}) {
        control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
        right = std::max(right, control->geometry().right() + 1);
    }
    const int grown = right - (Slider1->geometry().right() + 1);
    setFixedSize(toPixels(5250) + grown, toPixels(2715));
    if (grown > 0 || cmdOk->width() > toPixels(1335)) {
        Label1->resize(Label1->width() + grown, Label1->height());
        cmdOk->move((width() - cmdOk->width()) / 2, cmdOk->y());
    }
}

void frmOptions::showSeconds(int value)
{
    Label4->setText(QString::number(value));
    // Read with the slider: its value, and what it means.
    Slider1->setAccessibleDescription(
        tr("%1 s: each name stays that many seconds, from 1 to 10").arg(value));
}

int frmOptions::resetNickValue() const
{
    switch (chkResetNick->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void frmOptions::setResetNickValue(int value)
{
    chkResetNick->setTristate(value == 2);
    chkResetNick->setCheckState(value == 2   ? Qt::PartiallyChecked
                                : value == 0 ? Qt::Unchecked
                                             : Qt::Checked);
}

bool frmOptions::minToTray() const
{
    return chkMin[1]->isChecked();
}

void frmOptions::setMinToTray(bool tray)
{
    chkMin[tray ? 1 : 0]->setChecked(true);
}

void frmOptions::setSliderFromLoad(int seconds)
{
    const QSignalBlocker blocker(Slider1);
    Slider1->setValue(seconds); // QSlider keeps the value within its range
    showSeconds(Slider1->value());
}

void frmOptions::cmdOk_Click()
{
    hide();
}

void frmOptions::Slider1_Change(int value)
{
    qint32 milliseconds = 0;
    if (qMulOverflow(qint32(value), qint32(1000), &milliseconds))
        return; // out of reach for the slider's range of 1 to 10
    emit intervalTextChanged(QString::number(milliseconds));
}

void frmOptions::keyPressEvent(QKeyEvent *event)
{
    // Escape does what the close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    Form_Unload(event);
}

void frmOptions::Form_Unload(QCloseEvent *event)
{
    if (m_mayClose && m_mayClose()) {
        event->accept();
        return;
    }
    event->ignore();
    hide();
}
