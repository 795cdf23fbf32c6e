#include "frmmain.h"

#include "core/namesfile.h"
#include "core/restorerecord.h"
#include "core/settingsstore.h"
#include "gui/accessibility.h"
#include "gui/artwork.h"
#include "gui/dropdownbutton.h"
#include "gui/frmabout.h"
#include "gui/frmoptions.h"
#include "gui/messageboxes.h"
#include "gui/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

using Velmira::RotationEngine;
using namespace Velmira::Twips;

namespace {

// The reset option's check box value that asks for the original name back (0 unchecked, 2 greyed).
constexpr int ResetChecked = 1;

// The client area of the design, in twips. Label1 and txtNames keep their design distance to
// its right and bottom edges; everything else keeps its design place.
constexpr int DesignClientWidth = 4650;
constexpr int DesignClientHeight = 4035;
constexpr int NamesLeft = 120, NamesTop = 960, NamesWidth = 4455, NamesHeight = 3015;
constexpr int LabelLeft = 120, LabelTop = 600, LabelHeight = 255;
// Where the row of toolbars ends as drawn.
constexpr int RowRight = 4575;

// The height Start and Stop give the window; the minimum lifts both at once.
constexpr double RunningTwipsHeight = 1290;
constexpr double IdleTwipsHeight = 4425;

// Toolbar buttons are told apart by their caption in the source language, kept beside the shown
// (translated) caption, so a translation cannot change what a button does.
constexpr char CaptionKey[] = "captionKey";
// The ampersand marks the caption's mnemonic (Alt+letter); it is not shown.
constexpr char StartKey[] = QT_TRANSLATE_NOOP("frmMain", "&Start");
constexpr char StopKey[] = QT_TRANSLATE_NOOP("frmMain", "S&top");
constexpr char LoadKey[] = QT_TRANSLATE_NOOP("frmMain", "&Load");
constexpr char SaveKey[] = QT_TRANSLATE_NOOP("frmMain", "Sa&ve");
constexpr char AboutKey[] = QT_TRANSLATE_NOOP("frmMain", "&About");
const QString LineBreak = QStringLiteral("\r\n");

// A names text of more than ManyLines line breaks is shown LinesPerParagraph lines to a
// paragraph; a line of more than LongLine characters is shown in paragraphs of LongLine
// characters, each after the first marked ContinuedLine.
constexpr qsizetype ManyLines = 4096;
constexpr int LinesPerParagraph = 64;
constexpr qsizetype LongLine = 10000;
constexpr int ContinuedLine = 1; // the paragraph's user state

bool hasKey(const QAbstractButton *button, const char *key)
{
    return button->property(CaptionKey).toByteArray() == key;
}

QWidget *makeToolbar(QWidget *parent, const char *name, const QString &accessibleName, int left,
                     int top, int width, int height)
{
    auto *bar = new Velmira::Accessibility::ToolBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setAccessibleName(accessibleName);
    bar->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    bar->setFont(smallFont());
    return bar;
}

template <typename Button>
Button *makeButton(Button *button, const char *name, const char *key, const QString &description,
                   Velmira::ToolbarImage image, int left, int width)
{
    QWidget *bar = button->parentWidget();
    button->setObjectName(QLatin1String(name));
    button->setProperty(CaptionKey, QByteArray(key));
    button->setText(frmMain::tr(key));
    button->setAccessibleDescription(description);
    button->setIcon(Velmira::toolbarIcon(image));
    button->setIconSize(QSize(toPixels(240), toPixels(240))); // 16 pixels as drawn
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    // Buttons of 330 twips in a bar of 360, centred.
    button->setGeometry(toPixels(left), (bar->height() - toPixels(330)) / 2, toPixels(width),
                        toPixels(330));
    return button;
}

// The width a toolbar button needs for its image and its whole caption: its frame, the image
// and the gap the style leaves after it, the caption, and the arrow of a drop-down button.
int neededWidth(const QToolButton *button)
{
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const auto *dropDown = qobject_cast<const DropDownButton *>(button);
    const int arrow = dropDown ? button->width() - dropDown->arrowRect().left() : 0;
    // The style elides a caption by its width with the mnemonic's ampersand counted.
    return 2 * frame + button->iconSize().width() + 4 +
           QFontMetrics(button->font()).horizontalAdvance(button->text()) + arrow;
}

} // namespace

frmMain::frmMain(MessengerFactory createMessenger, Velmira::MessageBoxes *boxes, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_createMessenger(std::move(createMessenger)), m_boxes(boxes)
{
    if (!m_boxes) {
        m_ownBoxes = std::make_unique<Velmira::QtMessageBoxes>();
        m_boxes = m_ownBoxes.get();
    }
    setObjectName(QStringLiteral("frmMain"));
    Velmira::Accessibility::install();
    setAccessibleDescription(tr("Rotates your display name through a list of names"));
    setWindowTitle(QStringLiteral("Velmira 4.1"));
    setWindowIcon(Velmira::windowIcon());

    buildControls();
    buildMenus();
    fitToolbars();
    applyMinimumSize();
    resize(minimumSize());

    connect(&m_engine, &RotationEngine::stateChanged, this, &frmMain::engineStateChanged);
    connect(&m_engine, &RotationEngine::errorOccurred, this, &frmMain::reportError);
    connect(&m_engine, &RotationEngine::noticeGiven, this, &frmMain::reportNotice);
    connect(&m_engine, &RotationEngine::clientLost, this, [this](const QString &client) {
        setClientNote(
            tr("%1 is no longer running: Velmira uses it again when it is back.").arg(client));
    });
    connect(&m_sysTray, &Velmira::SysTray::activated, this, &frmMain::sysTray_Activated);
}

frmMain::~frmMain()
{
    m_engine.setMessenger(nullptr);
    m_messenger.reset();
    delete m_about.data();
    delete m_options.data();
}

void frmMain::buildControls()
{
    Toolbar1 = makeToolbar(this, "Toolbar1", tr("Rotation"), 2760, 120, 1815, 360);
    Toolbar1Start = makeButton(new DropDownButton(Toolbar1), "Toolbar1Start", StartKey,
                               tr("Start rotating your display name. Alt+Down opens the options"),
                               Velmira::ToolbarImage::Start, 0, 765 + 240);
    Toolbar1Stop = makeButton(new QToolButton(Toolbar1), "Toolbar1Stop", StopKey,
                              tr("Stop rotating your display name"), Velmira::ToolbarImage::Stop,
                              765 + 240, 765);

    Toolbar2 = makeToolbar(this, "Toolbar2", tr("Names lists"), 120, 120, 1575, 360);
    Toolbar2Load = makeButton(new QToolButton(Toolbar2), "Toolbar2Load", LoadKey,
                              tr("Load the names from a preset or a file"),
                              Velmira::ToolbarImage::Load, 0, 765);
    Toolbar2Save = makeButton(new QToolButton(Toolbar2), "Toolbar2Save", SaveKey,
                              tr("Save the names to a preset or a file"),
                              Velmira::ToolbarImage::Save, 765, 765);

    Toolbar3 = makeToolbar(this, "Toolbar3", tr("Help"), 1800, 120, 840, 360);
    Toolbar3About = makeButton(new QToolButton(Toolbar3), "Toolbar3About", AboutKey,
                               tr("About Velmira"), Velmira::ToolbarImage::Information, 0, 840);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(tr("Display name"));
    Label1->setAccessibleDescription(tr("Your display name as the Messenger client shows it"));
    // A display name is shown as it is, never as markup.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFrameShape(QFrame::Box);
    Label1->setFont(smallFont());

    txtNames = new QPlainTextEdit(this);
    txtNames->setObjectName(QStringLiteral("txtNames"));
    txtNames->setAccessibleName(tr("Names, one per line"));
    txtNames->setAccessibleDescription(
        tr("Start shows these names as your display name, one after the other"));
    txtNames->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtNames->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtNames->setFont(smallFont());
    txtNames->setTabChangesFocus(true);
    // Wrapping at word boundaries searches each overlong word for one: a line without spaces
    // would take time growing with the square of its length.
    txtNames->setWordWrapMode(QTextOption::WrapAnywhere);

    int3rval = new QLineEdit(this);
    int3rval->setObjectName(QStringLiteral("int3rval"));
    int3rval->setAccessibleName(tr("Interval in milliseconds"));
    int3rval->setGeometry(toPixels(5880), toPixels(3120), toPixels(2055), toPixels(375));
    int3rval->setFocusPolicy(Qt::NoFocus);
    int3rval->hide();

    // Tab order as the controls stand on the screen, left to right, then the names box.
    setTabOrder(Toolbar2Load, Toolbar2Save);
    setTabOrder(Toolbar2Save, Toolbar3About);
    setTabOrder(Toolbar3About, Toolbar1Start);
    setTabOrder(Toolbar1Start, Toolbar1Stop);
    setTabOrder(Toolbar1Stop, txtNames);

    layoutControls();

    connect(Toolbar1Start, &QToolButton::clicked, this,
            [this] { Toolbar1_ButtonClick(Toolbar1Start); });
    connect(Toolbar1Stop, &QToolButton::clicked, this,
            [this] { Toolbar1_ButtonClick(Toolbar1Stop); });
    connect(Toolbar1Start, &DropDownButton::dropDownClicked, this,
            [this] { Toolbar1_ButtonDropDown(Toolbar1Start); });
    connect(Toolbar2Load, &QToolButton::clicked, this,
            [this] { Toolbar2_ButtonClick(Toolbar2Load); });
    connect(Toolbar2Save, &QToolButton::clicked, this,
            [this] { Toolbar2_ButtonClick(Toolbar2Save); });
    connect(Toolbar3About, &QToolButton::clicked, this,
            [this] { Toolbar3_ButtonClick(Toolbar3About); });
}

void frmMain::buildMenus()
{
    auto makeMenu = [this](const char *name, const QString &title, const QString &description) {
        auto *menu = new QMenu(title, this);
        menu->setObjectName(QLatin1String(name));
        menu->setAccessibleName(QString(title).remove(u'&'));
        menu->setAccessibleDescription(description);
        return menu;
    };
    auto makeItem = [this](QMenu *menu, const char *name, const QString &caption,
                           void (frmMain::*handler)()) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    mnuLoad = makeMenu("mnuLoad", tr(LoadKey), tr("Where to load the names from"));
    mnuLoad1 = makeItem(mnuLoad, "mnuLoad1", tr("Preset 1"), &frmMain::mnuLoad1_Click);
    mnuLoad2 = makeItem(mnuLoad, "mnuLoad2", tr("Preset 2"), &frmMain::mnuLoad2_Click);
    mnuLoad3 = makeItem(mnuLoad, "mnuLoad3", tr("Preset 3"), &frmMain::mnuLoad3_Click);
    mnuLoadFile = makeItem(mnuLoad, "mnuLoadFile", tr("From file"), &frmMain::mnuLoadFile_Click);
    mnuSave = makeMenu("mnuSave", tr(SaveKey), tr("Where to save the names to"));
    mnuSave1 = makeItem(mnuSave, "mnuSave1", tr("Preset 1"), &frmMain::mnuSave1_Click);
    mnuSave2 = makeItem(mnuSave, "mnuSave2", tr("Preset 2"), &frmMain::mnuSave2_Click);
    mnuSave3 = makeItem(mnuSave, "mnuSave3", tr("Preset 3"), &frmMain::mnuSave3_Click);
    mnuSaveFile = makeItem(mnuSave, "mnuSaveFile", tr("To File"), &frmMain::mnuSaveFile_Click);
}

bool frmMain::Form_Load()
{
    // The rotation starts Idle: timer off, Stop disabled.
    Toolbar1Stop->setEnabled(false);

    try {
        if (m_createMessenger)
            m_messenger = m_createMessenger();
    } catch (const Velmira::MessengerError &error) {
        reportError(tr("Could not start the Messenger client: %1").arg(error.report()));
        return false;
    }
    if (!m_messenger) {
        reportError(tr("Could not start the Messenger client: no client is available."));
        return false;
    }
    connect(m_messenger.get(), &Velmira::Messenger::OnLocalFriendlyNameChangeResult, this,
            &frmMain::messenger_OnLocalFriendlyNameChangeResult);
    m_engine.setMessenger(m_messenger.get());
    m_engine.setRestoreRecordPath(Velmira::RestoreRecord::pathBeside(settingsStore().filePath()));
    m_engine.captureOriginalName();

    options();
    loadSettings();
    m_loaded = true;
    return true;
}

void frmMain::bindMessenger(std::unique_ptr<Velmira::Messenger> messenger)
{
    if (!messenger || m_quitting)
        return;
    if (m_engine.state() == RotationEngine::State::Running)
        m_waitingMessenger = std::move(messenger);
    else
        bindNow(std::move(messenger));
}

void frmMain::bindNow(std::unique_ptr<Velmira::Messenger> messenger)
{
    m_waitingMessenger.reset();
    connect(messenger.get(), &Velmira::Messenger::OnLocalFriendlyNameChangeResult, this,
            &frmMain::messenger_OnLocalFriendlyNameChangeResult);
    m_engine.setMessenger(messenger.get());
    m_messenger = std::move(messenger);
    setClientNote(QString());
    m_engine.captureOriginalName();
    // The label may still show what the last client showed before it went.
    messenger_OnLocalFriendlyNameChangeResult(Velmira::ResultOk, QString(), QString());
}

void frmMain::setClientNote(const QString &text)
{
    // Label1 shows the display name from the first change on; the note stays as its tool tip.
    Label1->setToolTip(text);
    if (!text.isEmpty())
        Label1->setText(text);
}

void frmMain::showCentred()
{
    if (QScreen *where = screen()) {
        const QRect area = where->availableGeometry();
        const QSize outer = size() + m_frameExtra;
        move(area.x() + (area.width() - outer.width()) / 2,
             area.y() + (area.height() - outer.height()) / 2);
    }
    show();
}

frmOptions *frmMain::options()
{
    if (!m_options) {
        // A dialog of the main window: the desktop places it over the main window.
        m_options = new frmOptions([this] { return m_quitting; }, this);
        connect(m_options, &frmOptions::intervalTextChanged, this, &frmMain::setIntervalText);
    }
    return m_options;
}

void frmMain::OpenUrl(const QString &url)
{
    // A refusal changes nothing in the windows; it is told on stderr only.
    if (!QDesktopServices::openUrl(QUrl(url)))
        qWarning(
            "%s",
            qPrintable(tr("Could not open %1: the desktop did not accept the address.").arg(url)));
}

QString frmMain::namesText() const
{
    if (m_pendingNames)
        return *m_pendingNames;
    // Paragraphs and line separators become CR LF, but not where a paragraph continues a long
    // line. Splitting a paragraph (Enter, a paste) leaves the new part unmarked: a line break.
    const QTextDocument *document = txtNames->document();
    QString text;
    text.reserve(document->characterCount() + document->blockCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin() && block.userState() != ContinuedLine)
            text.append(LineBreak);
        const QString part = block.text(); // keeps no-break spaces
        qsizetype start = 0;
        for (qsizetype i = part.indexOf(QChar::LineSeparator); i >= 0;
             i = part.indexOf(QChar::LineSeparator, start)) {
            text.append(QStringView(part).sliced(start, i - start)).append(LineBreak);
            start = i + 1;
        }
        text.append(QStringView(part).sliced(start));
    }
    return text;
}

void frmMain::setNamesText(QString text)
{
    // The box lays its text out again at every change of its width; a long text given before
    // the window is first shown waits for the window's final size, so it is laid out once.
    if (!isVisible() && text.size() > LongLine) {
        m_pendingNames = std::move(text);
        txtNames->clear();
        return;
    }
    m_pendingNames.reset();
    showNames(std::move(text));
}

void frmMain::showNames(QString text)
{
    // Each line break becomes a paragraph break, except in a text of many lines: there runs of
    // lines share a paragraph, joined by line separators. A long line is cut into paragraphs.
    // The box lays out a paragraph whole, and only the paragraphs it shows: millions of
    // paragraphs (a 15 MiB list of short names), or one of millions of characters, would take
    // seconds and hundreds of megabytes.
    const qsizetype breaks = text.count(u'\n') + text.count(u'\r');
    const int linesPerParagraph = breaks > ManyLines ? LinesPerParagraph : 1;
    QString lines;
    lines.reserve(text.size() + text.size() / LongLine);
    QList<int> continued; // the numbers of the paragraphs that continue a line
    int paragraph = 0, inParagraph = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        for (; end - start > LongLine; start += LongLine) {
            lines.append(QStringView(text).sliced(start, LongLine)).append(u'\n');
            continued.append(++paragraph);
        }
        lines.append(QStringView(text).sliced(start, end - start));
        if (end == text.size())
            break;
        start =
            end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
        if (++inParagraph == linesPerParagraph) {
            lines.append(u'\n');
            ++paragraph;
            inParagraph = 0;
        } else {
            lines.append(QChar(QChar::LineSeparator));
        }
    }
    text = QString(); // not held beside the document
    // Through the document, with the cursor put back at the start: the box's own setPlainText()
    // lays the text out twice. Undoing a split of a continued paragraph would lose its mark.
    QTextDocument *document = txtNames->document();
    document->setUndoRedoEnabled(continued.isEmpty());
    document->setPlainText(lines);
    for (const int number : continued)
        document->findBlockByNumber(number).setUserState(ContinuedLine);
    txtNames->setTextCursor(QTextCursor(document));
}

QString frmMain::intervalText() const
{
    return int3rval->text();
}

void frmMain::setIntervalText(const QString &text)
{
    int3rval->setText(text);
}

double frmMain::twipsWidth() const
{
    return fromPixels(width() + m_frameExtra.width());
}

double frmMain::twipsHeight() const
{
    return fromPixels(height() + m_frameExtra.height());
}

void frmMain::setTwipsWidth(double twips)
{
    // resize() keeps the size within the minimum, so a smaller width snaps to it.
    resize(toPixels(twips) - m_frameExtra.width(), height());
}

void frmMain::setTwipsHeight(double twips)
{
    resize(width(), toPixels(twips) - m_frameExtra.height());
}

void frmMain::frameChanged()
{
    if (!isVisible())
        return;
    const QSize extra = (frameGeometry().size() - geometry().size()).expandedTo(QSize(0, 0));
    if (extra == m_frameExtra)
        return;
    // Keep the outer size (and the outer minimum) now that the frame is known.
    const QSize grown = extra - m_frameExtra;
    m_frameExtra = extra;
    applyMinimumSize();
    resize(size() - grown);
}

void frmMain::fitToolbars()
{
    // A caption wider than its button as drawn (a translation, a large desktop font) widens the
    // button. The buttons of a bar stay side by side, each bar keeps its room after its last
    // button, each bar keeps its gap to the bar on its left, and the window's minimum width
    // grows with the row.
    int right = 0, designRight = 0;
    for (QWidget *bar : {Toolbar2, Toolbar3, Toolbar1}) {
        const QRect design = bar->geometry();
        const int gap = designRight ? design.left() - designRight : 0;
        designRight = design.right() + 1;
        int x = 0;
        const auto buttons = bar->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
        const int trailing = design.width() - (buttons.last()->geometry().right() + 1);
        for (QToolButton *button : buttons) {
            const int width = std::max(button->width(), neededWidth(button));
            button->setGeometry(x, button->y(), width, button->height());
            x += width;
        }
        bar->setGeometry(std::max(design.left(), right + gap), design.top(), x + trailing,
                         design.height());
        right = bar->geometry().right() + 1;
    }
    m_rowWidth = right + toPixels(DesignClientWidth - RowRight);
}

void frmMain::applyMinimumSize()
{
    setMinimumSize(std::max(toPixels(MinimumTwipsWidth) - m_frameExtra.width(), m_rowWidth),
                   toPixels(MinimumTwipsHeight) - m_frameExtra.height());
}

void frmMain::layoutControls()
{
    const int rightMargin = toPixels(DesignClientWidth - NamesLeft - NamesWidth);
    const int bottomMargin = toPixels(DesignClientHeight - NamesTop - NamesHeight);
    const int stretchedWidth = width() - toPixels(NamesLeft) - rightMargin;
    Label1->setGeometry(toPixels(LabelLeft), toPixels(LabelTop), stretchedWidth,
                        toPixels(LabelHeight));
    txtNames->setGeometry(toPixels(NamesLeft), toPixels(NamesTop), stretchedWidth,
                          height() - toPixels(NamesTop) - bottomMargin);
}

void frmMain::Form_Resize()
{
    if (windowState() & Qt::WindowMinimized) {
        // Without a notification area a hidden window would have no way back: then minimising
        // is an ordinary minimise whatever the choice.
        if (options()->minToTray() && m_sysTray.isAvailable()) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            m_sysTray.AddTrayIcon(windowIcon(), QString());
            hide();
        }
        // A minimised window keeps its size and layout for its restore.
        return;
    }
    frameChanged();
    if (width() < minimumWidth() || height() < minimumHeight()) {
        resize(size().expandedTo(minimumSize()));
        return; // the nested resize has laid the window out
    }
    layoutControls();
}

void frmMain::Form_Unload(UnloadMode mode)
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_unattended = mode == UnloadMode::Program;
    // No tick may run while a report of the save or the reset waits for the user.
    m_engine.freeze();
    // A failed save is reported; the shutdown goes on, so the name is still put back.
    saveSettings();
    m_engine.restoreOriginalName(options()->resetNickValue() == ResetChecked);
    m_engine.setMessenger(nullptr);
    m_messenger.reset();
    m_waitingMessenger.reset();
    // The program's icon leaves the notification area with the program.
    m_sysTray.RemoveTrayIcon();
    if (m_options) {
        m_options->close(); // accepted now that the window is quitting
        delete m_options.data();
    }
    if (m_about)
        m_about->close(); // deletes itself
    emit unloaded();
}

void frmMain::Toolbar1_ButtonClick(QAbstractButton *button)
{
    if (hasKey(button, StartKey))
        startRotation();
    else if (hasKey(button, StopKey))
        stopRotation();
}

bool frmMain::startRotation()
{
    if (m_quitting || m_engine.state() == RotationEngine::State::Running)
        return false;
    if (m_waitingMessenger)
        bindNow(std::move(m_waitingMessenger));
    return m_engine.start(namesText(), intervalText());
}

void frmMain::stopRotation()
{
    m_engine.stop(options()->resetNickValue() == ResetChecked);
}

void frmMain::Toolbar1_ButtonDropDown(QAbstractButton *button)
{
    // The arrow belongs to Start and works only while Start can be clicked.
    if (!hasKey(button, StartKey) || !button->isEnabled())
        return;
    frmOptions *window = options();
    window->show();
    window->raise();
    window->activateWindow();
}

void frmMain::Toolbar2_ButtonClick(QAbstractButton *button)
{
    if (hasKey(button, LoadKey))
        mnuLoad->exec(popupPosition(button));
    if (hasKey(button, SaveKey))
        mnuSave->exec(popupPosition(button));
}

QPoint frmMain::popupPosition(const QAbstractButton *button) const
{
    // A click leaves the pointer on the button: the menu opens there. A key (Space) may come
    // with the pointer anywhere: the menu opens under the button.
    const QPoint pointer = QCursor::pos();
    if (button->rect().contains(button->mapFromGlobal(pointer)))
        return pointer;
    return button->mapToGlobal(button->rect().bottomLeft());
}

void frmMain::Toolbar3_ButtonClick(QAbstractButton *button)
{
    Q_UNUSED(button); // the toolbar holds "About" only
    if (!m_about)
        m_about = new frmAbout([this](const QString &url) { OpenUrl(url); });
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmMain::sysTray_Activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        bringBack();
}

void frmMain::bringBack()
{
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    m_sysTray.RemoveTrayIcon();
}

void frmMain::sendToTray()
{
    // Without a notification area a hidden window would have no way back: minimised instead.
    if (!m_sysTray.isAvailable()) {
        showMinimized();
        return;
    }
    m_sysTray.AddTrayIcon(windowIcon(), QString());
    hide();
}

void frmMain::messenger_OnLocalFriendlyNameChangeResult(qint32 hr, const QString &service,
                                                        const QString &prevFriendlyName)
{
    Q_UNUSED(hr);
    Q_UNUSED(service);
    Q_UNUSED(prevFriendlyName);
    if (!m_messenger || m_engine.clientGone())
        return;
    try {
        // A client that cannot be asked gives the name it last sent: said as such.
        const QString name =
            m_messenger->readsNameInForce()
                ? m_messenger->localFriendlyName()
                : tr("%1 (sent; %2 cannot confirm it)")
                      .arg(m_messenger->localFriendlyName(), m_messenger->clientName());
        Label1->setText(name);
        // Read aloud with what it is; the text alone would be a bare name.
        Label1->setAccessibleName(tr("Display name: %1").arg(name));
        emit displayNameShown(name);
    } catch (const Velmira::MessengerError &error) {
        // A client that has gone is told once, by the engine.
        if (!error.isGone())
            reportError(tr("Could not read the display name: %1").arg(error.report()));
    }
}

void frmMain::setSettingsStore(Velmira::SettingsStore *store)
{
    m_store = store;
}

Velmira::SettingsStore &frmMain::settingsStore()
{
    if (m_store)
        return *m_store;
    if (!m_ownStore)
        m_ownStore = std::make_unique<Velmira::SettingsStore>();
    return *m_ownStore;
}

void frmMain::loadSettings()
{
    Velmira::LoadedSettings loaded = settingsStore().load();
    for (const QString &warning : loaded.warnings)
        qWarning().noquote() << warning;
    Velmira::Settings &stored = loaded.settings;

    setIntervalText(stored.interval);
    frmOptions *window = options();
    window->setResetNickValue(stored.resetNick);
    setNamesText(std::move(stored.names));
    window->setMinToTray(stored.minimizeToTray);
    // An interval that is no number shows as the slider's low end; the text stays as stored and
    // Start reports it.
    const std::optional<int> seconds = Velmira::SettingsStore::sliderSeconds(intervalText());
    if (!seconds) {
        qWarning().noquote() << tr("Settings \"%1\": \"Interval\" is \"%2\", not a number of "
                                   "milliseconds; the Options slider shows its low end.")
                                    .arg(settingsStore().filePath(), intervalText());
    }
    window->setSliderFromLoad(seconds.value_or(0));

    // A window larger than the screen's free area would open partly out of reach.
    double widthLimit = stored.widthTwips, heightLimit = stored.heightTwips;
    if (QScreen *where = screen()) {
        const QRect area = where->availableGeometry();
        widthLimit = fromPixels(area.width());
        heightLimit = fromPixels(area.height());
    }
    setTwipsWidth(std::min(stored.widthTwips, widthLimit));
    setTwipsHeight(std::min(stored.heightTwips, heightLimit));
}

void frmMain::saveSettings()
{
    Velmira::Settings current;
    current.interval = intervalText();
    current.resetNick = options()->resetNickValue();
    current.names = namesText();
    current.minimizeToTray = options()->minToTray();
    current.widthTwips = twipsWidth();
    current.heightTwips = twipsHeight();
    const Velmira::Result saved = settingsStore().save(current);
    // A failure, or the note that an unreadable file was kept before it was replaced; on stderr
    // too, which an unattended report writes to anyway.
    if (saved.message.isEmpty())
        return;
    if (!m_unattended)
        qWarning().noquote() << saved.message;
    reportError(saved.message);
}

void frmMain::loadPreset(int number)
{
    Velmira::Loaded<QString> preset = settingsStore().loadPreset(number);
    if (!preset.result.ok) {
        reportError(preset.result.message);
        return;
    }
    setNamesText(std::move(preset.value));
}

void frmMain::savePreset(int number)
{
    const Velmira::Result saved = settingsStore().savePreset(number, namesText());
    if (!saved.message.isEmpty())
        reportError(saved.message);
}

void frmMain::mnuLoad1_Click()
{
    loadPreset(1);
}

void frmMain::mnuLoad2_Click()
{
    loadPreset(2);
}

void frmMain::mnuLoad3_Click()
{
    loadPreset(3);
}

void frmMain::mnuSave1_Click()
{
    savePreset(1);
}

void frmMain::mnuSave2_Click()
{
    savePreset(2);
}

void frmMain::mnuSave3_Click()
{
    savePreset(3);
}

void frmMain::mnuLoadFile_Click()
{
    CD.DialogTitle = tr("Load preset...");
    if (!CD.ShowOpen() || CD.FileName.isEmpty())
        return;
    Velmira::Loaded<QString> file = Velmira::NamesFile::load(CD.FileName);
    if (!file.result.ok) {
        reportError(file.result.message);
        return;
    }
    setNamesText(std::move(file.value));
}

void frmMain::mnuSaveFile_Click()
{
    CD.DialogTitle = tr("Save preset as...");
    if (!CD.ShowSave() || CD.FileName.isEmpty())
        return;
    const Velmira::Result saved = Velmira::NamesFile::save(CD.FileName, namesText());
    if (!saved.ok)
        reportError(saved.message);
}

void frmMain::engineStateChanged(RotationEngine::State state)
{
    if (state == RotationEngine::State::Running) {
        Toolbar1Stop->setEnabled(true);
        Toolbar1Start->setEnabled(false);
        setTwipsHeight(RunningTwipsHeight);
    } else {
        Toolbar1Stop->setEnabled(false);
        Toolbar1Start->setEnabled(true);
        setTwipsHeight(IdleTwipsHeight);
    }
}

void frmMain::reportError(const QString &text)
{
    if (m_unattended) {
        m_boxes->notice(text);
        return;
    }
    // Hidden in the notification area, the window's box would go unseen.
    if (m_loaded && !isVisible())
        m_boxes->notice(text);
    if (m_quitting || !m_loaded) // the program may end right after: read first
        m_boxes->error(this, text);
    else // the window stays usable meanwhile, and can be closed
        m_boxes->warn(this, text);
}

void frmMain::reportNotice(const QString &text)
{
    m_boxes->information(this, text);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The window offers no maximise button; a maximise that the window manager lets through
    // anyway (a double click on the title bar, a key) is undone at once.
    const Qt::WindowStates large = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (windowState() & large) {
        setWindowState(windowState() & ~large); // the nested change runs Form_Resize
        return;
    }
    Form_Resize();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The window system's close (close box, window menu) arrives as a spontaneous event; close()
    // called by the program (termination signals, the session's end) does not.
    Form_Unload(event->spontaneous() ? UnloadMode::User : UnloadMode::Program);
    event->accept();
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    frameChanged();
    if (m_pendingNames) {
        showNames(*std::exchange(m_pendingNames, std::nullopt));
    }
}

void frmMain::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager's frame becomes known once the window is placed.
    frameChanged();
}

frmAbout *frmMain::about() const
{
    return m_about;
}
