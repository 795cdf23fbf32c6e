#include "gui/frmabout.h"

#include "gui/accessibility.h"
#include "gui/artwork.h"
#include "gui/twips.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>

#ifndef VELMIRA_AUTHOR_URL
#define VELMIRA_AUTHOR_URL "https://author.example.org/"
#endif
#ifndef VELMIRA_MAKER_URL
#define VELMIRA_MAKER_URL "https://www.example.org/"
#endif

namespace {

using Velmira::Twips::smallFont;
using Velmira::Twips::toPixels;

// A web address as the panel shows it: without the scheme and the trailing slash.
QString shownAddress(const QString &address)
{
    const QUrl url(address);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return address;
    QString shown = url.toDisplayString(QUrl::RemoveScheme).mid(2);
    if (shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    return shown;
}

// An outline rectangle drawn over what lies beneath it; clicks pass through to the window.
class Outline : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

QString frmAbout::authorUrl()
{
    return QStringLiteral(VELMIRA_AUTHOR_URL);
}

QString frmAbout::makerUrl()
{
    return QStringLiteral(VELMIRA_MAKER_URL);
}

frmAbout::frmAbout(std::function<void(const QString &)> openUrl, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("frmAbout"));
    Velmira::Accessibility::install();
    setWindowTitle(tr("About Velmira"));
    setAccessibleDescription(tr("Velmira's version and web addresses. Escape closes it."));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(toPixels(0, 0, 7920, 1935).size());
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    // Created bottom first: later siblings are stacked above earlier ones.
    Image1 = new QLabel(this);
    // The banner grows with the design, smoothly.
    const QRect bannerArea = toPixels(0, 0, 7905, 1185);
    QPixmap picture = Velmira::banner();
    if (Velmira::Twips::scale() > 1)
        picture = picture.scaled(bannerArea.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image1->setPixmap(picture);
    Image1->setGeometry(bannerArea);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setAccessibleName(tr("Velmira banner"));

    Shape1 = new Outline(this);
    Shape1->setGeometry(toPixels(0, 0, 7920, 1200));
    Shape2 = new Outline(this);
    Shape2->setGeometry(toPixels(0, 1180, 7920, 735));
    for (QWidget *shape : {Shape1, Shape2})
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto label = [this](const QString &text, const QRect &geometry, const QFont &font,
                        Qt::Alignment align, QLabel *l = nullptr) {
        if (!l)
            l = new QLabel(this);
        l->setText(text);
        l->setGeometry(geometry);
        l->setFont(font);
        l->setAlignment(align | Qt::AlignTop);
        l->setForegroundRole(QPalette::ButtonText);
        return l;
    };
    const QFont small = smallFont();
    QFont link = small;
    link.setUnderline(true);
    QFont title = smallFont(8.25);
    title.setBold(true);
    Label1 = label(QString(), toPixels(120, 1520, 1575, 255), small, Qt::AlignLeft);
    Label2 = label(shownAddress(makerUrl()), toPixels(5760, 1520, 2055, 255), link, Qt::AlignRight);
    Label3 = label(shownAddress(authorUrl()), toPixels(5880, 1320, 1935, 255), link, Qt::AlignRight,
                   new Velmira::Accessibility::LinkLabel(this));
    Label4 = label(QStringLiteral("Velmira"), toPixels(120, 1320, 1815, 255), title, Qt::AlignLeft,
                   new Velmira::Accessibility::LinkLabel(this));

    const std::pair<QWidget *, const char *> names[] = {
        {Image1, "Image1"}, {Shape1, "Shape1"}, {Shape2, "Shape2"}, {Label1, "Label1"},
        {Label2, "Label2"}, {Label3, "Label3"}, {Label4, "Label4"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    // The two links take the keyboard focus and open with Enter or Space; a screen reader hears
    // them as links, with the address as their description.
    for (QLabel *link : {Label3, Label4})
        link->setFocusPolicy(Qt::StrongFocus);
    Label3->setAccessibleName(tr("Author's home page"));
    Label3->setAccessibleDescription(authorUrl());
    Label4->setAccessibleName(tr("Velmira web site"));
    Label4->setAccessibleDescription(makerUrl());
    setTabOrder(Label4, Label3);
    // A text taller or wider than its label as drawn (a large desktop font, a long address)
    // makes the label taller and wider, towards the left for the right-aligned addresses; an
    // address that would then reach into the left half still keeps both its ends readable.
    for (QLabel *text : {Label2, Label3, Label4}) {
        const QFontMetrics metrics(text->font());
        QRect area = text->geometry();
        area.setHeight(std::max(area.height(), metrics.height()));
        const int wanted = std::max(area.width(), metrics.horizontalAdvance(text->text()) + 1);
        if (text->alignment() & Qt::AlignRight) {
            area.setLeft(std::max(area.right() + 1 - wanted, width() / 2));
            text->setText(metrics.elidedText(text->text(), Qt::ElideMiddle, area.width()));
        } else {
            area.setWidth(wanted);
        }
        text->setGeometry(area);
    }
    for (QLabel *clickable : {Image1, Label1, Label2, Label3, Label4})
        clickable->installEventFilter(this);

    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

// A click is a left-button press and release over the same element, as on a push button.
void frmAbout::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressedOn = this;
}

void frmAbout::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressedOn == this && rect().contains(event->pos()))
        clicked(this);
    m_pressedOn = nullptr;
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label3 || watched == Label4) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
                break;
            clicked(watched);
            return true;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            // The focused link is drawn in the selection colours, so a keyboard user sees it.
            auto *link = static_cast<QLabel *>(watched);
            const bool focused = event->type() == QEvent::FocusIn;
            link->setAutoFillBackground(focused);
            link->setBackgroundRole(focused ? QPalette::Highlight : QPalette::Window);
            link->setForegroundRole(focused ? QPalette::HighlightedText : QPalette::ButtonText);
            break;
        }
        default:
            break;
        }
    }
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return true;
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressedOn = watched;
    } else {
        const bool inside = static_cast<QWidget *>(watched)->rect().contains(mouse->pos());
        const bool click = m_pressedOn == watched && inside;
        m_pressedOn = nullptr;
        if (click)
            clicked(watched);
    }
    return true;
}

void frmAbout::clicked(QObject *target)
{
    if (target == this)
        Form_Click();
    else if (target == Image1)
        Image1_Click();
    else if (target == Label1)
        Label1_Click();
    else if (target == Label2)
        Label2_Click();
    else if (target == Label3)
        Label3_Click();
    else if (target == Label4)
        Label4_Click();
}

void frmAbout::Form_Click()
{
    close();
}

void frmAbout::Image1_Click()
{
    close();
}

void frmAbout::Label1_Click()
{
    close();
}

void frmAbout::Label2_Click()
{
    close();
}

void frmAbout::Label3_Click()
{
    if (m_openUrl)
        m_openUrl(authorUrl());
}

void frmAbout::Label4_Click()
{
    if (m_openUrl)
        m_openUrl(makerUrl());
}
