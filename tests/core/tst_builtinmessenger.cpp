#include "core/builtinmessenger.h"
#include "core/messengerops.h"

#include <QSignalSpy>
#include <QTest>

using namespace Velmira;

class TestBuiltinMessenger : public QObject
{
    Q_OBJECT

private slots:
    void startsSignedInWithTheLoginName()
    {
        qputenv("USER", "ann");
        BuiltinMessenger client;
        QVERIFY(MessengerOps::stateTest(client));
        QCOMPARE(MessengerOps::captureDisplayName(client), std::optional<QString>(u"ann"_qs));
    }

    // The change-result event comes later, through the event loop, carrying the previous name;
    // by then the local name is the new one.
    void writeRaisesTheEventLater()
    {
        BuiltinMessenger client(QStringLiteral("Ann"));
        QSignalSpy events(&client, &Messenger::OnLocalFriendlyNameChangeResult);
        MessengerOps::writeDisplayName(client, QStringLiteral("Bob"));
        MessengerOps::writeDisplayName(client, QString());
        QCOMPARE(events.count(), 0);
        QTRY_COMPARE(events.count(), 2);
        QCOMPARE(events.at(0).at(0).toInt(), ResultOk);
        QCOMPARE(events.at(0).at(2).toString(), QStringLiteral("Ann"));
        QCOMPARE(events.at(1).at(2).toString(), QStringLiteral("Bob"));
        QCOMPARE(client.localFriendlyName(), QString());
    }

    // A service kept past the client's end fails instead of crashing.
    void serviceOutlivingTheClient()
    {
        std::shared_ptr<MessengerService> service;
        {
            BuiltinMessenger client(QStringLiteral("Ann"));
            service = MessengerOps::primaryService(client);
        }
        QVERIFY_THROWS_EXCEPTION(MessengerError, service->setFriendlyName(QStringLiteral("Bob")));
    }
};

QTEST_GUILESS_MAIN(TestBuiltinMessenger)
#include "tst_builtinmessenger.moc"
