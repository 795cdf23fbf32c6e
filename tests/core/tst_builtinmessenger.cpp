#include "core/builtinmessenger.h"

#include <QSignalSpy>
#include <QTest>

using namespace Velmira;

class TestBuiltinMessenger : public QObject
{
    Q_OBJECT

private slots:
    // Signed in from the start with the login name; the change-result event comes later,
    // through the event loop, carrying the previous name; by then the name is the new one.
    void writeRaisesTheEventLater()
    {
        qputenv("USER", "ann");
        BuiltinMessenger client;
        QVERIFY(passesStateTest(client));
        QCOMPARE(client.localFriendlyName(), QStringLiteral("ann"));
        QSignalSpy events(&client, &Messenger::OnLocalFriendlyNameChangeResult);
        client.setFriendlyName(QStringLiteral("Bob"));
        client.setFriendlyName(QString());
        QCOMPARE(events.count(), 0);
        QTRY_COMPARE(events.count(), 2);
        QCOMPARE(events.at(0).at(0).toInt(), ResultOk);
        QCOMPARE(events.at(0).at(2).toString(), QStringLiteral("ann"));
        QCOMPARE(events.at(1).at(2).toString(), QStringLiteral("Bob"));
        QCOMPARE(client.localFriendlyName(), QString());
    }
};

QTEST_GUILESS_MAIN(TestBuiltinMessenger)
#include "tst_builtinmessenger.moc"
