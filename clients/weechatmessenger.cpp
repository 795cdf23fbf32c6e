#include "weechatmessenger.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Velmira {

namespace {
// The relay's first answer, and a relay still opening after its WeeChat has just started, are
// waited for this long.
constexpr int RelayPatienceMs = 2000;
// A longer relay message is taken for a broken stream.
constexpr quint32 LargestMessage = 64 * 1024 * 1024;

struct Malformed
{};

// The objects of one message of the relay's binary protocol (integers big-endian), as QVariants:
// an hdata as a list of maps from key to value, a hashtable as a map, an info as [name, value].
class Reader
{
public:
    explicit Reader(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool atEnd() const { return m_at >= m_bytes.size(); }
    QByteArray take(qsizetype count)
    {
        if (count < 0 || count > m_bytes.size() - m_at)
            throw Malformed{};
        m_at += count;
        return m_bytes.sliced(m_at - count, count);
    }
    qint32 integer() { return qFromBigEndian<qint32>(take(4).constData()); }
    QString text()
    {
        const qint32 size = integer(); // -1: null
        return size < 0 ? QString() : QString::fromUtf8(take(size));
    }
    // Containers inside containers go two levels deep at most.
    QVariant object(const QByteArray &type, int nesting = 0)
    {
        if (nesting > 2)
            throw Malformed{};
        if (type == "chr")
            return int(quint8(take(1).at(0)));
        if (type == "int")
            return integer();
        if (type == "str" || type == "buf")
            return text();
        if (type == "lon" || type == "tim" || type == "ptr")
            return QString::fromLatin1(take(quint8(take(1).at(0))));
        if (type == "inf") {
            const QString name = text();
            return QVariantList{name, text()};
        }
        QVariantList list;
        if (type == "arr") {
            const QByteArray element = take(3);
            for (qint32 count = integer(); count > 0; --count)
                list << object(element, nesting + 1);
            return list;
        }
        if (type == "htb") {
            const QByteArray key = take(3), value = take(3);
            QVariantMap map;
            for (qint32 count = integer(); count > 0; --count) {
                const QString name = object(key, nesting + 1).toString();
                map.insert(name, object(value, nesting + 1));
            }
            return map;
        }
        if (type != "hda")
            throw Malformed{};
        const qsizetype depth = text().count(QLatin1Char('/')) + 1; // pointers per item
        const QStringList keys = text().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (qint32 count = integer(); count > 0; --count) {
            for (qsizetype pointer = 0; pointer < depth; ++pointer)
                object("ptr");
            QVariantMap item;
            for (const QString &key : keys)
                item.insert(key.section(QLatin1Char(':'), 0, 0),
                            object(key.section(QLatin1Char(':'), 1).toLatin1(), nesting + 1));
            list << item;
        }
        return list;
    }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};
} // namespace

WeechatMessenger::WeechatMessenger(const QString &home, const QString &server, const QString &relay,
                                   QObject *parent)
    : Messenger(parent), m_home(home), m_fifo(m_home.liveFifo()), m_server(server)
{
    if (!m_fifo)
        return; // every call says that WeeChat is not running
    m_exitHandle = int(::syscall(SYS_pidfd_open, pid_t(m_fifo->pid), 0));
    if (m_exitHandle >= 0) {
        m_exitNotifier = new QSocketNotifier(m_exitHandle, QSocketNotifier::Read, this);
        connect(m_exitNotifier, &QSocketNotifier::activated, this, &WeechatMessenger::leave);
    }
    if (relay.isEmpty()) {
        if (const std::optional<WeechatHome::Relay> configured = m_home.relay())
            connectRelay(*configured);
    } else if (const std::optional<WeechatHome::Relay> given = WeechatHome::parseRelay(relay)) {
        connectRelay(*given);
    }
    if (m_server.isEmpty())
        m_server = m_home.servers().value(0);
}

WeechatMessenger::~WeechatMessenger()
{
    delete m_exitNotifier;
    if (m_exitHandle >= 0)
        ::close(m_exitHandle);
}

void WeechatMessenger::connectRelay(const WeechatHome::Relay &relay)
{
    const std::optional<QString> password = qEnvironmentVariableIsSet(PasswordVariable)
                                                ? qEnvironmentVariable(PasswordVariable)
                                                : m_home.relayPassword();
    if (!password) {
        m_relayProblem = tr("its password is kept encrypted in WeeChat's secured data; give it "
                            "to Velmira in the environment variable %1")
                             .arg(QLatin1String(PasswordVariable));
        return;
    }
    QDeadlineTimer deadline(RelayPatienceMs);
    const auto opened = [&](auto *socket) -> QIODevice * {
        using Socket = std::remove_pointer_t<decltype(socket)>;
        if (socket->waitForConnected(int(deadline.remainingTime()))) {
            connect(socket, &Socket::disconnected, this, &WeechatMessenger::onRelayClosed);
            return socket;
        }
        delete socket;
        return nullptr;
    };
    while (!m_relay && !deadline.hasExpired()) {
        if (relay.socketPath.isEmpty()) {
            auto *socket = new QTcpSocket(this);
            socket->connectToHost(relay.host, relay.port);
            m_relay = opened(socket);
        } else {
            auto *socket = new QLocalSocket(this);
            socket->connectToServer(relay.socketPath);
            m_relay = opened(socket);
        }
        if (!m_relay) // a WeeChat that has just started opens its relay after its FIFO
            QThread::msleep(100);
    }
    if (!m_relay) {
        m_relayProblem = tr("nothing answers at %1").arg(relay.describe());
        return;
    }
    connect(m_relay, &QIODevice::readyRead, this, &WeechatMessenger::readRelay);
    QString escaped = *password;
    send("init password=" + escaped.replace(QLatin1Char(','), QStringLiteral("\\,")).toUtf8() +
         ",compression=off\n(servers) hdata irc_server:irc_servers(*) name,nick,is_connected\n");
    // A wrong password closes the connection without a word.
    deadline.setRemainingTime(RelayPatienceMs);
    while (!m_serversRead && m_relay->waitForReadyRead(int(deadline.remainingTime())))
        ;
    if (!m_serversRead) {
        m_relayProblem = tr("the relay at %1 did not accept the password, or did not answer")
                             .arg(relay.describe());
        delete m_relay.data();
        return;
    }
    m_relayAddress = relay.describe();
    // The server buffer's lines; its local variables, and the news that it has opened (a
    // buffer that does not exist yet cannot be synchronised), come with those of all buffers.
    const QByteArray buffer = "irc.server." + m_server.toUtf8();
    send("sync * buffers\nsync " + buffer + " buffer\n(nicklen) info irc_server_isupport_value " +
         m_server.toUtf8() + ",NICKLEN\n");
}

void WeechatMessenger::send(const QByteArray &commands)
{
    if (m_relay)
        m_relay->write(commands);
}

void WeechatMessenger::readRelay()
{
    m_incoming += m_relay->readAll();
    // Each message: its length (with these 4 bytes), a compression byte, its id, its objects.
    while (m_incoming.size() >= 5) {
        const quint32 length = qFromBigEndian<quint32>(m_incoming.constData());
        if (length < 5 || length > LargestMessage) {
            m_incoming.clear();
            return;
        }
        if (quint32(m_incoming.size()) < length)
            return;
        const bool compressed = m_incoming.at(4) != 0; // off, as asked at init
        Reader reader(m_incoming.sliced(5, length - 5));
        m_incoming.remove(0, length);
        try {
            const QString id = compressed ? QString() : reader.text();
            while (!compressed && !reader.atEnd())
                onMessage(id, reader.object(reader.take(3)));
        } catch (const Malformed &) {
        }
    }
}

void WeechatMessenger::onMessage(const QString &id, const QVariant &object)
{
    const QVariantList items = object.toList();
    const QString buffer = QStringLiteral("irc.server.") + m_server;
    if (id == QLatin1String("servers")) {
        m_serversRead = true;
        for (const QVariant &item : items) {
            m_servers << item.toMap().value(QStringLiteral("name")).toString();
            if (m_server.isEmpty() && item.toMap().value(QStringLiteral("is_connected")) == 1)
                m_server = m_servers.last();
        }
        if (m_server.isEmpty())
            m_server = m_home.servers().value(0);
        for (const QVariant &item : items)
            if (item.toMap().value(QStringLiteral("name")) == m_server &&
                !item.toMap().value(QStringLiteral("nick")).toString().isEmpty())
                m_nick = item.toMap().value(QStringLiteral("nick")).toString();
    } else if (id == QLatin1String("nicklen")) {
        bool ok = false;
        const int length = items.value(1).toString().toInt(&ok);
        if (ok && length > 0)
            m_nickLength = length;
    } else if (id.startsWith(QLatin1String("_buffer_localvar_")) ||
               id == QLatin1String("_buffer_opened")) {
        for (const QVariant &item : items) {
            if (item.toMap().value(QStringLiteral("full_name")) != buffer)
                continue;
            if (id == QLatin1String("_buffer_opened"))
                send("sync " + buffer.toUtf8() + " buffer\n");
            const QString nick = item.toMap()
                                     .value(QStringLiteral("local_variables"))
                                     .toMap()
                                     .value(QStringLiteral("nick"))
                                     .toString();
            if (!nick.isEmpty())
                nickInForce(nick);
        }
    } else if (id == QLatin1String("_buffer_line_added") && !m_sent.isEmpty()) {
        // The error numerics a server answers NICK with; most name the nick in their text.
        static const QList<int> refusals{431, 432, 433, 436, 437, 438, 447, 484};
        for (const QVariant &item : items) {
            const QVariantMap line = item.toMap();
            for (const QVariant &tag : line.value(QStringLiteral("tags_array")).toList()) {
                const int numeric = tag.toString().startsWith(QLatin1String("irc_"))
                                        ? tag.toString().mid(4).toInt()
                                        : 0;
                // 438, 447 and 484 need not name it.
                if (refusals.contains(numeric) &&
                    (numeric > 437 ||
                     line.value(QStringLiteral("message")).toString().contains(m_sent))) {
                    refused(numeric);
                    return;
                }
            }
        }
    }
}

void WeechatMessenger::nickInForce(const QString &nick)
{
    if (m_nick == nick)
        return;
    const QString previous = m_nick.value_or(QString());
    m_nick = nick;
    if (!m_sent.isEmpty() && nick.compare(m_sent, Qt::CaseInsensitive) == 0)
        emit changeConfirmed(std::exchange(m_sent, QString()));
    emit OnLocalFriendlyNameChangeResult(ResultOk, m_server, previous);
}

void WeechatMessenger::refused(int numeric)
{
    QString reason = tr("the server answered with error %1").arg(numeric);
    if (numeric == 433)
        reason = tr("already in use");
    else if (numeric == 432)
        reason = tr("not a valid nickname there");
    else if (numeric == 436 || numeric == 437)
        reason = tr("temporarily unavailable");
    emit changeRefused(std::exchange(m_sent, QString()), reason);
    emit OnLocalFriendlyNameChangeResult(refusalCode(numeric), m_server,
                                         m_nick.value_or(QString()));
}

void WeechatMessenger::onRelayClosed()
{
    // By a WeeChat that quits (gone() comes as its process ends), by the user, or at once for a
    // wrong password.
    m_relayLost = true;
}

void WeechatMessenger::leave()
{
    if (std::exchange(m_gone, true))
        return;
    if (m_exitNotifier)
        m_exitNotifier->setEnabled(false);
    if (m_relay)
        disconnect(m_relay, nullptr, this, nullptr);
    emit gone();
}

void WeechatMessenger::checkRunning() const
{
    if (m_gone || !m_fifo)
        throw MessengerError(
            ResultGone,
            m_fifo ? tr("WeeChat process %1 has ended").arg(m_fifo->pid)
                   : tr("No FIFO of a running WeeChat in %1").arg(m_home.fifoFolder()),
            tr("WeeChat is no longer running."));
}

qint32 WeechatMessenger::localState()
{
    checkRunning();
    return MessengerStateSignedIn;
}

QString WeechatMessenger::localFriendlyName()
{
    checkRunning();
    if (m_relay && m_nick)
        return *m_nick;
    if (!m_relay && !m_sent.isEmpty())
        return m_sent;
    return m_home.configuredNick(m_server);
}

void WeechatMessenger::setFriendlyName(const QString &name)
{
    checkRunning();
    if (m_relay && m_relayLost) {
        // Closed by a WeeChat that is quitting, or by the user.
        pollfd exit{m_exitHandle, POLLIN, 0};
        if (m_exitHandle >= 0 ? ::poll(&exit, 1, RelayPatienceMs) > 0
                              : ::kill(pid_t(m_fifo->pid), 0) != 0) {
            leave();
            checkRunning();
        }
        throw MessengerError(ResultFail, tr("The relay closed the connection"),
                             tr("WeeChat's relay closed the connection: changes can no longer be "
                                "confirmed. Start Velmira again to go on without it."));
    }
    if (m_relay && m_nick == name) {
        // The server does not answer a change to the nick in force.
        QTimer::singleShot(0, this, [this, name] {
            emit changeConfirmed(name);
            emit OnLocalFriendlyNameChangeResult(ResultOk, m_server, name);
        });
        return;
    }
    const QString previous = localFriendlyName();
    const QByteArray line =
        QStringLiteral("irc.server.%1 */nick %2\n").arg(m_server, name).toUtf8();
    // Without blocking: a FIFO with no reader (its WeeChat was killed) fails at once with ENXIO.
    const int fifo =
        ::open(QFile::encodeName(m_fifo->path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const ssize_t written = fifo < 0 ? -1 : ::write(fifo, line.constData(), size_t(line.size()));
    const int error = errno;
    if (fifo >= 0)
        ::close(fifo);
    if (fifo < 0 && (error == ENXIO || error == ENOENT)) {
        leave();
        checkRunning();
    }
    if (written != line.size())
        throw MessengerError(
            written < 0 && error == EAGAIN ? ResultTimeout : ResultFail,
            tr("%1: %2").arg(m_fifo->path, QString::fromLocal8Bit(std::strerror(error))),
            written < 0 && error == EAGAIN
                ? tr("WeeChat does not read its FIFO: it may be hanging.")
                : tr("Could not write to WeeChat's FIFO."));
    m_sent = name;
    if (!m_relay)
        QTimer::singleShot(0, this, [this, previous] {
            emit OnLocalFriendlyNameChangeResult(ResultOk, m_server, previous);
        });
}

QString WeechatMessenger::clientName() const
{
    return QStringLiteral("WeeChat");
}

QString WeechatMessenger::identity()
{
    return QStringLiteral("weechat:") + m_server;
}

std::optional<QString> WeechatMessenger::checkName(const QString &name) const
{
    if (name.isEmpty())
        return tr("an IRC nickname cannot be empty");
    if (name.contains(QLatin1Char(' ')))
        return tr("an IRC nickname cannot contain a space");
    // A line break would end the command written to the FIFO.
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return tr("an IRC nickname cannot contain a control character");
    if (m_nickLength && name.size() > *m_nickLength)
        return tr("the network allows nicknames of at most %n characters", nullptr, *m_nickLength);
    return std::nullopt;
}

std::optional<QString> WeechatMessenger::refusalAtStart()
{
    if (m_server.isEmpty())
        return tr("WeeChat has no IRC server.");
    if (!m_servers.contains(m_server) && !m_home.servers().contains(m_server))
        return tr("WeeChat has no IRC server \"%1\".").arg(m_server);
    return std::nullopt;
}

int WeechatMessenger::sendIntervalMs() const
{
    // With the relay each change is waited for instead.
    return m_relay ? 0 : m_home.antiFloodMs(m_server);
}

QString WeechatMessenger::warningAtStart()
{
    if (m_relay)
        return {};
    const QString unconfirmed =
        tr("WeeChat is driven through its FIFO alone: Velmira cannot see whether a nickname "
           "change reached the server, nor read the nickname in force. A relay in WeeChat lets "
           "it confirm each change.");
    return m_relayProblem.isEmpty()
               ? unconfirmed
               : tr("WeeChat's relay cannot be used: %1.").arg(m_relayProblem) + QLatin1Char(' ') +
                     unconfirmed;
}

} // namespace Velmira
