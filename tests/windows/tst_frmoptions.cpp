#include "scriptedmessenger.h"
#include "windowfakes.h"

#include "windows/frmmain.h"
#include "windows/frmoptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

namespace {

struct Harness
{
    Harness()
        : window([] { return std::make_unique<ScriptedMessenger>(); }, &boxes),
          options(window.options())
    {}
    CapturingMessageBoxes boxes;
    frmMain window;
    frmOptions *options;
};

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private slots:
    void designState();
    void sliderWritesInterval_data();
    void sliderWritesInterval();
    void loadedSliderLeavesIntervalAlone_data();
    void loadedSliderLeavesIntervalAlone();
    void resetNickClicks_data();
    void resetNickClicks();
    void closeBoxHidesWhileRunning();
    void okChangesNothing();
};

void TestFrmOptions::designState()
{
    Harness h;
    frmOptions &o = *h.options;
    QCOMPARE(o.windowTitle(), QStringLiteral("Options"));
    QVERIFY(o.windowFlags() & Qt::Tool);
    QCOMPARE(o.minimumSize(), QSize(350, 181));
    QCOMPARE(o.maximumSize(), QSize(350, 181));
    QCOMPARE(o.resetNickValue(), 1);
    QVERIFY(!o.chkMin[0]->isChecked() && !o.chkMin[1]->isChecked());
    QCOMPARE(o.chkMin[0]->text(), QStringLiteral("Taskbar"));
    QCOMPARE(o.chkMin[1]->text(), QStringLiteral("System Tray"));
    QCOMPARE(o.Slider1->minimum(), 1);
    QCOMPARE(o.Slider1->maximum(), 10);
    QVERIFY(!o.cmdOk->isDefault());
    // The frame surrounds every control but OK.
    for (QWidget *control : std::initializer_list<QWidget *>{
             o.chkMin[0], o.chkMin[1], o.chkResetNick, o.Slider1, o.Label2, o.Label3})
        QVERIFY2(o.Label1->geometry().contains(control->geometry()),
                 qPrintable(control->objectName()));
    QVERIFY(!o.Label1->geometry().intersects(o.cmdOk->geometry()));
    QVERIFY(o.rect().contains(o.cmdOk->geometry()));
}

void TestFrmOptions::sliderWritesInterval_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one step up from 1") << int(Qt::Key_Right) << 1 << QStringLiteral("2000");
    QTest::newRow("to 7") << int(Qt::Key_Right) << 6 << QStringLiteral("7000");
    QTest::newRow("past the end") << int(Qt::Key_Right) << 15 << QStringLiteral("10000");
    QTest::newRow("to the end") << int(Qt::Key_End) << 1 << QStringLiteral("10000");
}

void TestFrmOptions::sliderWritesInterval()
{
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, expected);
    Harness h;
    QVERIFY(h.window.Form_Load());
    h.options->setSliderFromLoad(1);
    h.window.setIntervalText(QStringLiteral("1"));
    h.options->show();
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(h.options->Slider1, Qt::Key(key));
    // In force at once, without OK.
    QCOMPARE(h.window.intervalText(), expected);

    // A running rotation keeps its period until the next Start.
    h.window.setNamesText(QStringLiteral("Ann"));
    QVERIFY(h.window.engine().start(h.window.namesText(), h.window.intervalText()));
    const int period = h.window.engine().timer().interval();
    QTest::keyClick(h.options->Slider1, Qt::Key_Home);
    QCOMPARE(h.window.intervalText(), QStringLiteral("1000"));
    QCOMPARE(h.window.engine().timer().interval(), period);
}

void TestFrmOptions::loadedSliderLeavesIntervalAlone_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("shown");
    QTest::newRow("in range") << 4 << 4;
    QTest::newRow("zero, from a short stored interval") << 0 << 1;
    QTest::newRow("above the range") << 25 << 10;
}

void TestFrmOptions::loadedSliderLeavesIntervalAlone()
{
    QFETCH(int, seconds);
    QFETCH(int, shown);
    Harness h;
    h.window.setIntervalText(QStringLiteral("500"));
    h.options->setSliderFromLoad(seconds);
    QCOMPARE(h.options->Slider1->value(), shown);
    QCOMPARE(h.window.intervalText(), QStringLiteral("500"));
}

void TestFrmOptions::resetNickClicks_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QList<int>>("afterClicks");
    QTest::newRow("checked toggles") << 1 << QList<int>{0, 1, 0};
    QTest::newRow("unchecked toggles") << 0 << QList<int>{1, 0, 1};
    // The greyed state comes only from a stored value; a click leaves it for good.
    QTest::newRow("greyed becomes checked") << 2 << QList<int>{1, 0, 1};
}

void TestFrmOptions::resetNickClicks()
{
    QFETCH(int, stored);
    QFETCH(QList<int>, afterClicks);
    Harness h;
    h.options->setResetNickValue(stored);
    QCOMPARE(h.options->resetNickValue(), stored);
    h.options->show();
    QList<int> seen;
    for (int i = 0; i < afterClicks.size(); ++i) {
        QTest::mouseClick(h.options->chkResetNick, Qt::LeftButton, {}, {5, 5});
        seen << h.options->resetNickValue();
    }
    QCOMPARE(seen, afterClicks);
}

void TestFrmOptions::closeBoxHidesWhileRunning()
{
    Harness h;
    QVERIFY(h.window.Form_Load());
    QPointer<frmOptions> options = h.options;
    options->setMinToTray(true);
    options->setSliderFromLoad(6);
    options->show();
    QVERIFY(!options->close());
    QVERIFY(options);
    QVERIFY(options->isHidden());
    QVERIFY(!h.window.Quitting);
    h.window.show();
    QVERIFY(h.window.isVisible());

    options->show();
    QVERIFY(options->minToTray());
    QCOMPARE(options->Slider1->value(), 6);

    // The main window's unload closes it for good.
    h.window.close();
    QVERIFY(!options);
}

void TestFrmOptions::okChangesNothing()
{
    Harness h;
    frmOptions &o = *h.options;
    o.setResetNickValue(2);
    o.setMinToTray(false);
    o.setSliderFromLoad(3);
    h.window.setIntervalText(QStringLiteral("2500"));
    o.show();
    QTest::mouseClick(o.cmdOk, Qt::LeftButton);
    QVERIFY(o.isHidden());
    QCOMPARE(o.resetNickValue(), 2);
    QVERIFY(o.chkMin[0]->isChecked());
    QCOMPARE(o.Slider1->value(), 3);
    QCOMPARE(h.window.intervalText(), QStringLiteral("2500"));
}

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
