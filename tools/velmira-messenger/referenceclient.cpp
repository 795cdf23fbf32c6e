#include "referenceclient.h"

#include "clients/dbusmessenger.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QFile>
#include <QTimer>

using namespace Velmira;

const QString ReferenceClient::ServicesPath = QStringLiteral("/org/velmira/Messenger/Services");
const QString ReferenceClient::PrimaryPath =
    QStringLiteral("/org/velmira/Messenger/Services/Primary");

namespace {
const QString FailedError = QStringLiteral("org.velmira.Messenger1.Error.Failed");

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\\\"))
        .replace(u'"', QLatin1String("\\\""))
        .replace(u'\r', QLatin1String("\\r"))
        .replace(u'\n', QLatin1String("\\n"));
    return u'"' + escaped + u'"';
}
// One interface element of the committed introspection file, which is built in: the client
// describes itself with the very text that documents the interface.
QString interfaceXml(const QString &name)
{
    static const QString xml = [] {
        QFile file(QStringLiteral(":/velmira/org.velmira.Messenger1.xml"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    const QString end = QStringLiteral("</interface>");
    const qsizetype from = xml.indexOf(QStringLiteral("<interface name=\"%1\">").arg(name));
    const qsizetype to = from < 0 ? -1 : xml.indexOf(end, from);
    return to < 0 ? QString() : xml.mid(from, to + end.size() - from) + u'\n';
}
} // namespace

ReferenceClient::ReferenceClient(QTextStream &out, QObject *parent)
    : QDBusVirtualObject(parent), m_out(out)
{}

bool ReferenceClient::shouldFail(const QString &method)
{
    const auto it = failures.find(method);
    if (it == failures.end() || it.value() == 0)
        return false;
    if (it.value() > 0)
        --it.value();
    return true;
}

void ReferenceClient::answer(const QDBusMessage &message, const QDBusConnection &connection,
                             const QVariantList &results)
{
    connection.send(message.createReply(results));
}

bool ReferenceClient::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    const QString path = message.path();
    const QString interface = message.interface();
    const QString method = message.member();

    QString expectedInterface;
    QString expectedSignature;
    if (path == MessengerBus::ObjectPath &&
        (method == QLatin1String("LocalFriendlyName") || method == QLatin1String("LocalState") ||
         method == QLatin1String("Services")))
        expectedInterface = MessengerBus::Interface;
    else if (path == ServicesPath && method == QLatin1String("PrimaryService"))
        expectedInterface = MessengerBus::ServicesInterface;
    else if (path == PrimaryPath && method == QLatin1String("SetFriendlyName"))
        expectedInterface = MessengerBus::ServiceInterface, expectedSignature = QStringLiteral("s");
    else if (path == PrimaryPath && method == QLatin1String("FriendlyName"))
        expectedInterface = MessengerBus::ServiceInterface;
    else
        return false; // QtDBus answers with UnknownObject / UnknownMethod

    if (!interface.isEmpty() && interface != expectedInterface)
        return false;
    if (message.signature() != expectedSignature) {
        m_out << method << " called with the signature " << quoted(message.signature())
              << ": refused" << Qt::endl;
        connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
            QStringLiteral("%1 takes the signature \"%2\"").arg(method, expectedSignature)));
        return true;
    }

    const QString argument = method == QLatin1String("SetFriendlyName")
                                 ? u'(' + quoted(message.arguments().constFirst().toString()) + u')'
                                 : QString();
    if (hangs.contains(method)) {
        m_out << method << argument << ": not answering in time" << Qt::endl;
        message.setDelayedReply(true);
        QTimer::singleShot(LateAnswerMs, this,
                           [message, connection] { connection.send(message.createReply()); });
        return true;
    }
    if (shouldFail(method)) {
        m_out << method << argument << ": failing" << Qt::endl;
        connection.send(
            message.createErrorReply(FailedError, QStringLiteral("%1 refused").arg(method)));
        return true;
    }

    if (method == QLatin1String("LocalFriendlyName")) {
        m_out << method << " -> " << quoted(displayName) << Qt::endl;
        answer(message, connection, {displayName});
    } else if (method == QLatin1String("LocalState")) {
        const qint32 state =
            stateReadings.size() > 1 ? stateReadings.takeFirst() : stateReadings.constFirst();
        m_out << method << " -> " << state << Qt::endl;
        answer(message, connection, {state});
    } else if (method == QLatin1String("Services")) {
        m_out << method << " -> " << ServicesPath << Qt::endl;
        answer(message, connection, {QVariant::fromValue(QDBusObjectPath(ServicesPath))});
    } else if (method == QLatin1String("PrimaryService")) {
        m_out << method << " -> " << PrimaryPath << Qt::endl;
        answer(message, connection, {QVariant::fromValue(QDBusObjectPath(PrimaryPath))});
    } else if (method == QLatin1String("FriendlyName")) {
        m_out << method << " -> " << quoted(displayName) << Qt::endl;
        answer(message, connection, {displayName});
    } else { // SetFriendlyName
        const QString previous = displayName;
        displayName = message.arguments().constFirst().toString();
        m_out << method << argument << Qt::endl;
        answer(message, connection, {});
        // The event follows the reply, as a client that works asynchronously would raise it.
        if (raiseEvents) {
            QDBusMessage event = QDBusMessage::createSignal(
                MessengerBus::ObjectPath, MessengerBus::Interface, MessengerBus::ChangeSignal);
            event << eventResult << QVariant::fromValue(QDBusObjectPath(PrimaryPath)) << previous;
            connection.send(event);
        }
        if (quitAfterWrites > 0 && ++m_writes >= quitAfterWrites) {
            m_out << "quitting" << Qt::endl;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }
    return true;
}

QString ReferenceClient::introspect(const QString &path) const
{
    // QtDBus wraps this in the <node> element and adds the standard interfaces.
    if (path == MessengerBus::ObjectPath)
        return interfaceXml(QStringLiteral("org.velmira.Messenger1")) +
               QStringLiteral("<node name=\"Services\"/>\n");
    if (path == ServicesPath)
        return interfaceXml(QStringLiteral("org.velmira.Messenger1.Services")) +
               QStringLiteral("<node name=\"Primary\"/>\n");
    if (path == PrimaryPath)
        return interfaceXml(QStringLiteral("org.velmira.Messenger1.Service"));
    return QString();
}
