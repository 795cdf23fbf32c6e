#include "namesfile.h"

#include "cp1252.h"
#include "fileerror.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace Velmira::NamesFile {

namespace {

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");
constexpr QStringView CrLf(u"\r\n");

QString tr(const char *text)
{
    return QCoreApplication::translate("Velmira::NamesFile", text);
}

Result loadFailure(const QString &path, const QString &reason)
{
    return Result::failure(tr("Could not load the names from \"%1\": %2").arg(path, reason));
}

// The text of `bytes` when they are valid UTF-8, or nullopt.
std::optional<QString> utf8Text(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

QString decode(const QByteArray &bytes)
{
    // A file that only looks like UTF-8 is taken byte for byte, so nothing of it is lost. The
    // decoder itself drops the leading byte order mark.
    if (bytes.startsWith(Utf8Bom)) {
        if (auto text = utf8Text(bytes))
            return *std::move(text);
        return Cp1252::decode(bytes);
    }
    // Text editors here write UTF-8 without a mark. Windows-1252 text with accents is almost
    // never valid UTF-8 (an accented letter would have to be followed by one or two of the
    // code page's rarely used bytes 0x80 to 0xBF), so valid UTF-8 is taken as UTF-8. Plain
    // ASCII reads the same either way.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        if (auto text = utf8Text(bytes))
            return *std::move(text);
    }
    return Cp1252::decode(bytes);
}

} // namespace

Loaded<QString> load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, loadFailure(path, tr("the file does not exist."))};
    if (info.isDir())
        return {{}, loadFailure(path, tr("this is a folder, not a file."))};
    if (info.size() > MaxFileSize) {
        return {{},
                loadFailure(path, tr("the file is larger than %1 MiB.").arg(MaxFileSize >> 20))};
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, loadFailure(path, file.errorString())};
    // Read one byte past the limit so a file that grew since the check is still refused.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, loadFailure(path, file.errorString())};
    if (bytes.size() > MaxFileSize) {
        return {{},
                loadFailure(path, tr("the file is larger than %1 MiB.").arg(MaxFileSize >> 20))};
    }
    return {decode(bytes), Result::success()};
}

QByteArray encode(const QString &text)
{
    const bool addLineEnd = !text.isEmpty() && !text.endsWith(CrLf);
    const QString whole = addLineEnd ? text + CrLf.toString() : text;
    if (auto bytes = Cp1252::encode(whole))
        return *std::move(bytes);
    return Utf8Bom.toByteArray() + whole.toUtf8();
}

Result save(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Result::failure(
            tr("Could not save the names to \"%1\": %2").arg(path, fileErrorText(file)));
    }
    const QByteArray bytes = encode(text);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = fileErrorText(file);
        file.cancelWriting();
        return Result::failure(tr("Could not save the names to \"%1\": %2").arg(path, reason));
    }
    return Result::success();
}

} // namespace Velmira::NamesFile
