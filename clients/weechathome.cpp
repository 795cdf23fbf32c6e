#include "weechathome.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

namespace Velmira {

namespace {
// fifo.conf's default path: one FIFO per WeeChat process, named after it.
const QString DefaultFifoPath = QStringLiteral("${weechat_runtime_dir}/weechat_fifo_${info:pid}");
const QString PidVariable = QStringLiteral("${info:pid}");
// WeeChat's default anti-flood delay: 2 s.
constexpr int DefaultAntiFloodMs = 2000;
} // namespace

WeechatHome::WeechatHome(const QString &dir)
{
    const QString home = QDir::homePath();
    const QString given = dir.isEmpty() ? qEnvironmentVariable("WEECHAT_HOME") : dir;
    if (!given.isEmpty()) {
        QStringList parts = given.split(QLatin1Char(':'));
        if (parts.size() != 4)
            parts = QStringList(4, given);
        for (QString &part : parts)
            if (part.startsWith(QLatin1Char('~')))
                part.replace(0, 1, home);
        m_config = parts[0], m_data = parts[1], m_cache = parts[2], m_runtime = parts[3];
    } else if (QFileInfo::exists(home + QStringLiteral("/.weechat/weechat.conf"))) {
        m_config = m_data = m_cache = m_runtime = home + QStringLiteral("/.weechat");
    } else {
        const auto xdg = [&](const char *variable, const char *fallback) {
            const QString value = qEnvironmentVariable(variable);
            return (value.isEmpty() ? home + QLatin1String(fallback) : value) +
                   QStringLiteral("/weechat");
        };
        m_config = xdg("XDG_CONFIG_HOME", "/.config");
        m_data = xdg("XDG_DATA_HOME", "/.local/share");
        m_cache = xdg("XDG_CACHE_HOME", "/.cache");
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        m_runtime = runtime.isEmpty() ? m_cache : runtime + QStringLiteral("/weechat");
    }
}

QList<WeechatHome::Option> WeechatHome::read(const QString &file) const
{
    QList<Option> options;
    QFile in(m_config + QLatin1Char('/') + file + QStringLiteral(".conf"));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return options;
    QString section;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        // "name = value"; a comment, or a name alone (the option inherits its value), has none.
        const qsizetype equals = line.indexOf(QStringLiteral(" = "));
        if (line.startsWith(QLatin1Char('#')) || equals < 0)
            continue;
        QString value = line.mid(equals + 3);
        if (value.startsWith(QLatin1Char('"'))) {
            QString text;
            for (qsizetype i = 1; i < value.size() && value[i] != QLatin1Char('"'); ++i) {
                if (value[i] == QLatin1Char('\\') && i + 1 < value.size())
                    ++i;
                text += value[i];
            }
            value = text;
        }
        options.append({section, line.left(equals), value});
    }
    return options;
}

std::optional<QString> WeechatHome::value(const QString &file, const QString &section,
                                          const QString &name) const
{
    for (const Option &option : read(file))
        if (option.section == section && option.name == name)
            return option.value;
    return std::nullopt;
}

QString WeechatHome::evaluatePath(QString path) const
{
    if (path.startsWith(QLatin1Char('~')))
        path.replace(0, 1, QDir::homePath());
    return path.replace(QStringLiteral("${weechat_config_dir}"), m_config)
        .replace(QStringLiteral("${weechat_data_dir}"), m_data)
        .replace(QStringLiteral("${weechat_cache_dir}"), m_cache)
        .replace(QStringLiteral("${weechat_runtime_dir}"), m_runtime);
}

QString WeechatHome::fifoPath() const
{
    return evaluatePath(
        value(QStringLiteral("fifo"), QStringLiteral("file"), QStringLiteral("path"))
            .value_or(DefaultFifoPath));
}

QString WeechatHome::fifoFolder() const
{
    return QFileInfo(fifoPath()).path();
}

std::optional<WeechatHome::Fifo> WeechatHome::liveFifo() const
{
    if (value(QStringLiteral("fifo"), QStringLiteral("file"), QStringLiteral("enabled")) ==
        QLatin1String("off"))
        return std::nullopt;
    // The name's ${info:pid} is the WeeChat process.
    const QFileInfo pattern(fifoPath());
    const QRegularExpression name(
        QLatin1Char('^') +
        QRegularExpression::escape(pattern.fileName())
            .replace(QRegularExpression::escape(PidVariable), QStringLiteral("(\\d+)")) +
        QLatin1Char('$'));
    std::optional<Fifo> newest;
    QDateTime newestTime;
    const QDir folder(pattern.path());
    for (const QString &entry : folder.entryList(QDir::System | QDir::Hidden)) {
        const QRegularExpressionMatch match = name.match(entry);
        const QString path = folder.filePath(entry);
        struct stat status = {};
        if (!match.hasMatch() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
            !S_ISFIFO(status.st_mode))
            continue;
        // A FIFO outlives a killed WeeChat: its process, or another that took its number, is
        // asked what it is.
        QFile command(QStringLiteral("/proc/%1/comm").arg(match.captured(1)));
        if (!command.open(QIODevice::ReadOnly) || !command.readAll().startsWith("weechat"))
            continue;
        const QDateTime made = QFileInfo(path).lastModified();
        if (!newest || made > newestTime)
            newest = Fifo{path, match.captured(1).toLongLong()}, newestTime = made;
    }
    return newest;
}

QStringList WeechatHome::servers() const
{
    QStringList servers, first;
    for (const Option &option : read(QStringLiteral("irc"))) {
        const qsizetype dot = option.name.lastIndexOf(QLatin1Char('.'));
        if (option.section != QLatin1String("server") || dot < 0)
            continue;
        const QString server = option.name.left(dot);
        if (!servers.contains(server))
            servers << server;
        if (option.name.mid(dot + 1) == QLatin1String("autoconnect") &&
            option.value == QLatin1String("on"))
            first << server;
    }
    for (const QString &server : servers)
        if (!first.contains(server))
            first << server;
    return first;
}

QString WeechatHome::configuredNick(const QString &server) const
{
    const QString irc = QStringLiteral("irc");
    return value(irc, QStringLiteral("server"), server + QStringLiteral(".nicks"))
        .value_or(value(irc, QStringLiteral("server_default"), QStringLiteral("nicks"))
                      .value_or(QString()))
        .section(QLatin1Char(','), 0, 0)
        .trimmed();
}

int WeechatHome::antiFloodMs(const QString &server) const
{
    // Lines the user sends go to the queue of high priority.
    const QString irc = QStringLiteral("irc"), option = QStringLiteral("anti_flood_prio_high");
    std::optional<QString> seconds =
        value(irc, QStringLiteral("server"), server + QLatin1Char('.') + option);
    if (!seconds)
        seconds = value(irc, QStringLiteral("server_default"), option);
    return seconds ? seconds->toInt() * 1000 : DefaultAntiFloodMs;
}

QString WeechatHome::Relay::describe() const
{
    return socketPath.isEmpty() ? QStringLiteral("%1:%2").arg(host).arg(port) : socketPath;
}

std::optional<WeechatHome::Relay> WeechatHome::parseRelay(const QString &text)
{
    if (text.contains(QLatin1Char('/')))
        return Relay{{}, 0, text};
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const quint16 port = text.mid(colon + 1).toUShort(&ok);
    if (colon <= 0 || !ok || port == 0)
        return std::nullopt;
    return Relay{text.left(colon), port, {}};
}

std::optional<WeechatHome::Relay> WeechatHome::relay() const
{
    const QString relay = QStringLiteral("relay");
    const QString bound =
        value(relay, QStringLiteral("network"), QStringLiteral("bind_address")).value_or(QString());
    for (const Option &option : read(relay)) {
        // "[ipv4.][ipv6.][tls.]weechat" in [port], "unix.[tls.]weechat" in [path].
        const QStringList parts = option.name.split(QLatin1Char('.'));
        if (parts.last() != QLatin1String("weechat") || parts.contains(QLatin1String("ssl")) ||
            parts.contains(QLatin1String("tls")))
            continue;
        if (option.section == QLatin1String("path"))
            return Relay{{}, 0, evaluatePath(option.value)};
        const quint16 port = option.value.toUShort();
        if (option.section == QLatin1String("port") && port != 0)
            return Relay{bound.isEmpty() ? QStringLiteral("127.0.0.1") : bound, port, {}};
    }
    return std::nullopt;
}

std::optional<QString> WeechatHome::relayPassword() const
{
    const QString password =
        value(QStringLiteral("relay"), QStringLiteral("network"), QStringLiteral("password"))
            .value_or(QString());
    static const QRegularExpression secured(QStringLiteral("^\\$\\{sec\\.data\\.([^}]+)\\}$"));
    const QRegularExpressionMatch match = secured.match(password);
    const QString sec = QStringLiteral("sec"), data = QStringLiteral("data");
    // Readable only while WeeChat keeps its secured data without a passphrase.
    if (match.hasMatch())
        return value(sec, data, QStringLiteral("__passphrase__")) == QLatin1String("off")
                   ? value(sec, data, match.captured(1))
                   : std::nullopt;
    // Any other expression WeeChat evaluates in ways not followed here.
    if (password.contains(QStringLiteral("${")))
        return std::nullopt;
    return password;
}

} // namespace Velmira
