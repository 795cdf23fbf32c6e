// The real program on a private session bus: one Velmira per session, the requests of a second
// one (--start, --stop, --show, --quit) and the tray icon's menu as a desktop panel reads it over
// D-Bus (StatusNotifierItem and its dbusmenu), with a StatusNotifierWatcher of the test's own.
#include "privatebus.h"
#include "testfiles.h"

#include "core/settingsstore.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString Service = QStringLiteral("org.velmira.Velmira");
const QString Path = QStringLiteral("/org/velmira/Velmira");
const QString Interface = QStringLiteral("org.velmira.Velmira1");
constexpr int Patience = 30000;
} // namespace

// The desktop panel's side of the notification area over D-Bus: items register with it.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return registered; }
    QStringList registered;

public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        // An item names its object path, or its bus name (then /StatusNotifierItem).
        registered << (service.startsWith(u'/') ? message.service() + service
                                                : service + QStringLiteral("/StatusNotifierItem"));
    }
    void RegisterStatusNotifierHost(const QString &) {}
};

struct MenuItem
{
    int id = 0;
    QString label;
    bool enabled = true;
};

class TestRemoteControl : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<QTemporaryDir> m_home;

    void startVelmira(QProcess &velmira, const QStringList &arguments)
    {
        QProcessEnvironment environment = m_bus->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->path());
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        velmira.setProcessEnvironment(environment);
        velmira.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        velmira.start(QStringLiteral(VELMIRA_PATH),
                      QStringList{QStringLiteral("--messenger=builtin")} + arguments);
    }
    // A second velmira with `arguments`: its exit status.
    int request(const QStringList &arguments)
    {
        QProcess second;
        startVelmira(second, arguments);
        return second.waitForFinished(Patience) ? second.exitCode() : -1;
    }
    QVariant property(const QString &name)
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            Service, Path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << Interface << name;
        return m_bus->connection().call(get).arguments().value(0).value<QDBusVariant>().variant();
    }
    // The menu's top-level items, as com.canonical.dbusmenu gives them.
    QList<MenuItem> menu(const QString &service, const QString &path)
    {
        QDBusMessage layout = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("GetLayout"));
        layout << 0 << -1 << QStringList();
        const QDBusMessage reply = m_bus->connection().call(layout);
        QList<MenuItem> items;
        if (reply.arguments().size() < 2)
            return items;
        // (u revision, (i id, a{sv} properties, av children)); every part read to its end.
        const QDBusArgument root = reply.arguments().at(1).value<QDBusArgument>();
        int id = 0;
        QVariantMap properties;
        root.beginStructure();
        root >> id >> properties;
        root.beginArray();
        while (!root.atEnd()) {
            QDBusVariant child;
            root >> child;
            const QDBusArgument item = child.variant().value<QDBusArgument>();
            MenuItem entry;
            QVariantMap itemProperties;
            item.beginStructure();
            item >> entry.id >> itemProperties;
            item.beginArray();
            while (!item.atEnd()) {
                QDBusVariant grandchild;
                item >> grandchild;
            }
            item.endArray();
            item.endStructure();
            entry.label = itemProperties.value(QStringLiteral("label")).toString();
            entry.enabled = itemProperties.value(QStringLiteral("enabled"), true).toBool();
            items << entry;
        }
        root.endArray();
        root.endStructure();
        return items;
    }
    void click(const QString &service, const QString &path, int id)
    {
        QDBusMessage event = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"));
        event << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
        m_bus->connection().call(event);
    }

private slots:
    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_home = std::make_unique<QTemporaryDir>();
        // Names to rotate, and the window's interval, from the settings.
        Velmira::Settings values;
        values.names = QStringLiteral("Ann\r\nBob\r\n");
        QVERIFY(Velmira::SettingsStore(m_home->filePath(QStringLiteral("Velmira/Vuzerer4.ini")))
                    .save(values)
                    .ok);
    }
    void cleanup()
    {
        m_bus.reset();
        m_home.reset();
    }

    // A second velmira hands its request to the first and ends: Show brings the window out of
    // hiding, --start and --stop change the rotation, --quit closes it the normal way. With none
    // running, --stop and --quit have nobody to ask.
    void secondLaunch()
    {
        QCOMPARE(request({QStringLiteral("--stop")}), 3);
        QProcess first;
        startVelmira(first, {QStringLiteral("--in-tray")});
        QVERIFY(m_bus->waitForName(Service, true, Patience));
        QTRY_COMPARE(property(QStringLiteral("Running")).toBool(), false);
        QCOMPARE(request({}), 0);
        QTRY_VERIFY(property(QStringLiteral("Shown")).toBool());
        QCOMPARE(request({QStringLiteral("--start")}), 0);
        QCOMPARE(property(QStringLiteral("Running")).toBool(), true);
        QCOMPARE(request({QStringLiteral("--toggle")}), 0);
        QCOMPARE(property(QStringLiteral("Running")).toBool(), false);
        QCOMPARE(request({QStringLiteral("--toggle")}), 0);
        QCOMPARE(request({QStringLiteral("--stop")}), 0);
        QCOMPARE(property(QStringLiteral("Running")).toBool(), false);
        QCOMPARE(request({QStringLiteral("--quit")}), 0);
        QVERIFY(first.waitForFinished(Patience));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(QFile::exists(m_home->filePath(QStringLiteral("Velmira/Vuzerer4.ini"))));
    }

    // In the notification area, a desktop panel that speaks StatusNotifierItem finds Velmira's
    // icon titled "Velmira", its tooltip with the name and the state, and a menu whose Start and
    // Stop follow the rotation; its items do what the window's buttons do, and one starts
    // Velmira with the session.
    void trayMenu()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under scripts/with-desktop)");
        StatusNotifierWatcher watcher;
        QVERIFY(
            m_bus->connection().registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QVERIFY(m_bus->connection().registerObject(
            QStringLiteral("/StatusNotifierWatcher"), &watcher,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QProcess velmira;
        startVelmira(velmira, {QStringLiteral("--in-tray")});
        QTRY_COMPARE_WITH_TIMEOUT(watcher.registered.size(), 1, Patience);
        const QString item = watcher.registered.first();
        const QString service = item.section(u'/', 0, 0);
        const QString itemPath = u'/' + item.section(u'/', 1);
        const auto itemProperty = [&](const char *name) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                service, itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("Get"));
            get << QStringLiteral("org.kde.StatusNotifierItem") << QString::fromLatin1(name);
            return m_bus->connection()
                .call(get)
                .arguments()
                .value(0)
                .value<QDBusVariant>()
                .variant();
        };
        QCOMPARE(itemProperty("Title").toString(), QStringLiteral("Velmira"));
        const QString menuPath = itemProperty("Menu").value<QDBusObjectPath>().path();
        QVERIFY(!menuPath.isEmpty() && menuPath != QLatin1String("/NO_DBUSMENU"));

        const auto find = [&](const QString &label) {
            for (const MenuItem &entry : menu(service, menuPath))
                if (QString(entry.label).remove(u'_') == label)
                    return entry;
            return MenuItem{};
        };
        QTRY_VERIFY(find(QStringLiteral("Start")).id != 0);
        QVERIFY(find(QStringLiteral("Start")).enabled);
        QVERIFY(!find(QStringLiteral("Stop")).enabled);
        click(service, menuPath, find(QStringLiteral("Start")).id);
        QTRY_VERIFY(property(QStringLiteral("Running")).toBool());
        QTRY_VERIFY(!find(QStringLiteral("Start")).enabled);
        QVERIFY(find(QStringLiteral("Stop")).enabled);
        // The tool tip: (s icon, a(iiay) image, s title, s text).
        const auto toolTip = [&] {
            const QDBusArgument tip = itemProperty("ToolTip").value<QDBusArgument>();
            QString icon, title, text;
            tip.beginStructure();
            tip >> icon;
            tip.beginArray();
            while (!tip.atEnd()) {
                int width = 0, height = 0;
                QByteArray pixels;
                tip.beginStructure();
                tip >> width >> height >> pixels;
                tip.endStructure();
            }
            tip.endArray();
            tip >> title >> text;
            tip.endStructure();
            return title + u' ' + text;
        };
        QTRY_VERIFY2(toolTip().contains(QLatin1String("Velmira: Ann (rotating)")),
                     qPrintable(toolTip()));
        // Starting with the session: an autostart entry that starts Velmira in the tray.
        const QString entry = m_home->filePath(QStringLiteral("autostart/velmira.desktop"));
        for (const bool on : {true, false}) {
            click(service, menuPath, find(QStringLiteral("Start with the Session")).id);
            QTRY_COMPARE(QFile::exists(entry), on);
            if (on)
                QVERIFY(TestFiles::read(entry).contains("\nExec=velmira --in-tray\n"));
        }
        click(service, menuPath, find(QStringLiteral("Quit")).id);
        QVERIFY(velmira.waitForFinished(Patience));
        QCOMPARE(velmira.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRemoteControl)
#include "tst_remotecontrol.moc"
