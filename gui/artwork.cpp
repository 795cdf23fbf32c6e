#include "gui/artwork.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPolygonF>
#include <QStyle>
#include <QStyleOption>

#include <array>
#include <map>

namespace Velmira {

namespace {

// The window icon's PNG files, each read the first time a size needs it. A size between the
// files is scaled down from the next larger one.
class WindowIconEngine final : public QIconEngine
{
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int wanted = qMax(1, qMin(size.width(), size.height()));
        int file = Sizes.back();
        for (int s : Sizes) {
            if (s >= wanted) {
                file = s;
                break;
            }
        }
        QPixmap &loaded = m_loaded[file];
        if (loaded.isNull())
            loaded = QPixmap(QStringLiteral(":/velmira/art/icon-%1.png").arg(file), "PNG");
        QPixmap result = file == wanted ? loaded
                                        : loaded.scaled(wanted, wanted, Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation);
        if (mode == QIcon::Disabled && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            result = QApplication::style()->generatedIconPixmap(mode, result, &option);
        }
        return result;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48)};
    }

    QIconEngine *clone() const override { return new WindowIconEngine(*this); }
    QString key() const override { return QStringLiteral("velmira-window-icon"); }

private:
    static constexpr std::array<int, 3> Sizes{16, 32, 48};
    std::map<int, QPixmap> m_loaded;
};

// Draws one toolbar image on a 16 x 16 grid, scaled to the rectangle it is given.
class ToolbarIconEngine final : public QIconEngine
{
public:
    explicit ToolbarIconEngine(ToolbarImage image) : m_image(image) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        draw(*painter, mode == QIcon::Disabled);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32)};
    }

    QIconEngine *clone() const override { return new ToolbarIconEngine(m_image); }
    QString key() const override { return QStringLiteral("velmira-toolbar"); }

private:
    void draw(QPainter &p, bool disabled) const
    {
        // Disabled images keep their shapes in greys of the same lightness, a little faded.
        const auto tone = [disabled](QRgb rgb) {
            if (!disabled)
                return QColor(rgb);
            const int grey = qGray(rgb) / 2 + 96;
            return QColor(grey, grey, grey, 170);
        };
        const auto outlined = [&p, &tone](QRgb fill, QRgb line, qreal width = 1.0) {
            p.setBrush(tone(fill));
            p.setPen(QPen(tone(line), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        };

        switch (m_image) {
        case ToolbarImage::Start:
            outlined(0xff3aa655, 0xff1f6e33);
            p.drawPolygon(QPolygonF{QPointF(4.0, 2.5), QPointF(13.5, 8.0), QPointF(4.0, 13.5)});
            break;
        case ToolbarImage::Stop:
            outlined(0xffd0453a, 0xff8a221b);
            p.drawRoundedRect(QRectF(3.0, 3.0, 10.0, 10.0), 1.5, 1.5);
            break;
        case ToolbarImage::Information:
            outlined(0xff3b78c9, 0xff1d4c8c);
            p.drawEllipse(QRectF(1.5, 1.5, 13.0, 13.0));
            p.setPen(Qt::NoPen);
            p.setBrush(tone(0xffffffff));
            p.drawEllipse(QPointF(8.0, 4.9), 1.25, 1.25);
            p.drawRoundedRect(QRectF(6.9, 6.9, 2.2, 5.6), 0.6, 0.6);
            break;
        case ToolbarImage::Load:
            // An open folder: the back with its tab, and the front tilted towards the viewer.
            outlined(0xffd9a033, 0xff8c6215);
            p.drawPolygon(QPolygonF{QPointF(1.5, 3.0), QPointF(6.0, 3.0), QPointF(7.5, 4.5),
                                    QPointF(13.0, 4.5), QPointF(13.0, 13.0), QPointF(1.5, 13.0)});
            outlined(0xfff4c75a, 0xff8c6215);
            p.drawPolygon(QPolygonF{QPointF(3.5, 7.0), QPointF(15.0, 7.0), QPointF(13.0, 13.0),
                                    QPointF(1.5, 13.0)});
            break;
        case ToolbarImage::Save:
            // A diskette: the body with one cut corner, the shutter at the top, the label below.
            outlined(0xff3e6fb8, 0xff1d3f73);
            p.drawPolygon(QPolygonF{QPointF(2.0, 2.0), QPointF(12.0, 2.0), QPointF(14.0, 4.0),
                                    QPointF(14.0, 14.0), QPointF(2.0, 14.0)});
            p.setPen(Qt::NoPen);
            p.setBrush(tone(0xffd5dbe3));
            p.drawRect(QRectF(4.5, 2.5, 6.5, 4.0));
            p.setBrush(tone(0xff3e6fb8));
            p.drawRect(QRectF(8.5, 3.2, 1.5, 2.6));
            p.setBrush(tone(0xffffffff));
            p.drawRoundedRect(QRectF(4.0, 8.5, 8.0, 5.0), 0.5, 0.5);
            break;
        }
    }

    ToolbarImage m_image;
};

} // namespace

QIcon windowIcon()
{
    // Built once: the application, the main window and the tray icon share it.
    static const QIcon icon(new WindowIconEngine);
    return icon;
}

QPixmap banner()
{
    return QPixmap(QStringLiteral(":/velmira/art/banner.png"), "PNG");
}

QIcon toolbarIcon(ToolbarImage image)
{
    return QIcon(new ToolbarIconEngine(image));
}

} // namespace Velmira
