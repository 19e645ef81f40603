#include "textlines.h"

#include <QFile>
#include <QFileInfo>

namespace Tunesmith
{

namespace
{

template<typename Sink>
void forEachLine(QByteArrayView bytes, QByteArray *firstEnd, bool *endsWithEnd, Sink sink)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    bool lastTerminated = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        qsizetype endLen = 1;
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            endLen = 2;
        if (firstEnd && firstEnd->isEmpty())
            *firstEnd = QByteArray(data + i, endLen);
        sink(QByteArrayView(data + start, i - start));
        i += endLen - 1;
        start = i + 1;
        lastTerminated = true;
    }
    if (start < size) {
        sink(QByteArrayView(data + start, size - start));
        lastTerminated = false;
    }
    if (endsWithEnd)
        *endsWithEnd = lastTerminated;
}

} // namespace

TextLines TextLines::split(const QByteArray &bytes)
{
    TextLines result;
    QByteArray firstEnd;
    forEachLine(bytes, &firstEnd, &result.endsWithLineEnd,
                [&](QByteArrayView line) { result.lines.append(line.toByteArray()); });
    if (!firstEnd.isEmpty())
        result.lineEnd = firstEnd;
    return result;
}

QByteArray TextLines::join() const
{
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + lineEnd.size();
    QByteArray out;
    out.reserve(total);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += lineEnd;
        out += lines[i];
    }
    if (endsWithLineEnd && !lines.isEmpty())
        out += lineEnd;
    return out;
}

QList<QByteArrayView> splitLineViews(QByteArrayView bytes)
{
    QList<QByteArrayView> result;
    forEachLine(bytes, nullptr, nullptr, [&](QByteArrayView line) { result.append(line); });
    return result;
}

bool isBlank(QByteArrayView line)
{
    for (char c : line) {
        if (c != ' ')
            return false;
    }
    return true;
}

QByteArray asciiLower(QByteArrayView text)
{
    QByteArray out = text.toByteArray();
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

std::optional<QByteArray> readWholeFile(const QString &path, QString *error)
{
    if (QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("%1 is a folder, not a file").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace Tunesmith
