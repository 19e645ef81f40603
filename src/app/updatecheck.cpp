#include "updatecheck.h"

#include "fileutil.h"
#include "numbertext.h"
#include "textlines.h"

#include <QList>

namespace Tunesmith
{

namespace UpdateCheck
{

QString requestUrl(const QString &url)
{
    QString result = url;
    return result.replace(QLatin1Char(' '), QStringLiteral("%20"));
}

bool isPlainFileName(const QByteArray &name)
{
    return !name.isEmpty() && !name.contains('/') && !name.contains('\\') && !name.contains('\0') && name != "." &&
           name != "..";
}

std::optional<bool> isLater(const QByteArray &manifestDate, const QByteArray &profileDate)
{
    const QList<QByteArray> a = manifestDate.split('-');
    const QList<QByteArray> b = profileDate.split('-');
    if (a.size() < 3 || b.size() < 3)
        return std::nullopt;
    qint16 left[3];
    qint16 right[3];
    for (int i = 0; i < 3; ++i) {
        const auto x = toInt16(a[i]);
        const auto y = toInt16(b[i]);
        if (!x || !y)
            return std::nullopt;
        left[i] = *x;
        right[i] = *y;
    }
    // Parts are day, month, year: compare from the year down.
    for (int i = 2; i >= 0; --i) {
        if (left[i] != right[i])
            return left[i] > right[i];
    }
    return false;
}

namespace
{

bool profileIsOlder(const QByteArray &profile, const QByteArray &manifestDate)
{
    const QList<QByteArrayView> lines = splitLineViews(profile);
    bool older = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!isKeyword(lines[i], "[title]"))
            continue;
        if (i + 2 >= lines.size())
            break;
        if (isLater(manifestDate, lines[i + 2].toByteArray()).value_or(false))
            older = true;
    }
    return older;
}

} // namespace

bool isUpdateNeeded(const QByteArray &manifest, int versionNumber,
                    const std::function<std::optional<QByteArray>(const QString &fileName)> &readProfile)
{
    bool needed = false;
    const QList<QByteArray> pieces = manifest.split(']');
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        QList<QByteArray> fields = pieces[i].split('|');
        const qsizetype bracket = fields[0].indexOf('[');
        if (bracket >= 0)
            fields[0] = fields[0].mid(bracket + 1);
        if (i == 0) {
            if (const auto latest = toInt32(fields[0]); latest && *latest > versionNumber)
                needed = true;
            continue;
        }
        if (fields.size() < 2 || !isPlainFileName(fields[1]))
            continue;
        const auto profile = readProfile(QString::fromUtf8(fields[1]));
        if (!profile)
            needed = true;
        else if (profileIsOlder(*profile, fields[0]))
            needed = true;
    }
    return needed;
}

bool isUpdateNeeded(const QByteArray &manifest, int versionNumber, const QString &profilesFolder)
{
    return isUpdateNeeded(manifest, versionNumber, [&](const QString &fileName) -> std::optional<QByteArray> {
        const QString path = profilesFolder + QLatin1Char('/') + fileName;
        if (!FileExists(path))
            return std::nullopt;
        return readWholeFile(path).value_or(QByteArray());
    });
}

} // namespace UpdateCheck

} // namespace Tunesmith
