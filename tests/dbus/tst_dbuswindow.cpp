// The main window on a client of its own process over a private session bus: the client's
// change event reaches Label1, which then shows the name the client reports.
#include "privatebus.h"
#include "windowfakes.h"

#include "rotation/dbus/dbusmessenger.h"
#include "windows/frmmain.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace Velmira;

class TestDBusWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void labelShowsTheClientsName_data();
    void labelShowsTheClientsName();

private:
    QTemporaryDir m_config;
    std::unique_ptr<PrivateBus> m_bus;
};

void TestDBusWindow::initTestCase()
{
    // The window loads and saves its settings: keep them away from the user's own.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isValid(), "the private session bus did not start");
}

void TestDBusWindow::labelShowsTheClientsName_data()
{
    QTest::addColumn<QString>("eventResult");

    QTest::newRow("the write succeeded") << "0";
    QTest::newRow("the client reports a failure") << "-2147467259";
}

void TestDBusWindow::labelShowsTheClientsName()
{
    QFETCH(QString, eventResult);

    ReferenceClientProcess client(
        *m_bus, {QStringLiteral("--name=Zed"), QStringLiteral("--event-result=") + eventResult});
    QVERIFY(client.isServing());
    CapturingMessageBoxes boxes;
    const QDBusConnection bus = m_bus->connection();
    frmMain window([bus] { return std::make_unique<DBusMessenger>(bus); }, &boxes);
    QVERIFY(window.Form_Load());
    auto *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label);
    const QString designCaption = label->text();
    QCOMPARE(window.engine().originalName().value_or(QString()), QStringLiteral("Zed"));

    QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\n"), QStringLiteral("3600000")));
    window.engine().Velmira_Timer();
    QTRY_COMPARE(label->text(), QStringLiteral("Ann"));
    window.engine().Velmira_Timer();
    QTRY_COMPARE(label->text(), QStringLiteral("Bob"));
    QVERIFY(designCaption != QLatin1String("Bob"));
    QVERIFY2(boxes.errors.isEmpty(), qPrintable(boxes.errors.join(u'\n')));
    window.engine().stop(0);
}

QTEST_MAIN(TestDBusWindow)
#include "tst_dbuswindow.moc"
