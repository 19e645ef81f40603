#include "installhints.h"

#include "app/fileutil.h"
#include "app/textlines.h"
#include "profileplan.h"

#include <QDir>

#include <optional>

namespace Tunesmith
{

namespace InstallHints
{

namespace
{

bool continuesVariable(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The value of a variable, with the XDG base folders' own defaults when they are unset or empty.
std::optional<QString> variable(const QString &name, const QProcessEnvironment &environment, const QString &home)
{
    const QString value = environment.value(name);
    if (!value.isEmpty())
        return value;
    static const QList<std::pair<QString, QString>> defaults = {
        {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/.local/share")},
        {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/.config")},
        {QStringLiteral("XDG_STATE_HOME"), QStringLiteral("/.local/state")},
        {QStringLiteral("XDG_CACHE_HOME"), QStringLiteral("/.cache")},
    };
    for (const auto &[key, folder] : defaults) {
        if (key == name && !home.isEmpty())
            return home + folder;
    }
    return std::nullopt;
}

} // namespace

QString expand(const QByteArray &hint, const QProcessEnvironment &environment)
{
    const QString text = QString::fromUtf8(hint);
    const QString home = environment.value(QStringLiteral("HOME"));
    QString out;
    qsizetype i = 0;
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/"))) {
        if (home.isEmpty())
            return {};
        out = home;
        i = 1;
    }
    while (i < text.size()) {
        if (text[i] != QLatin1Char('$')) {
            out += text[i++];
            continue;
        }
        const bool braced = i + 1 < text.size() && text[i + 1] == QLatin1Char('{');
        const qsizetype from = i + (braced ? 2 : 1);
        qsizetype end = from;
        while (end < text.size() && continuesVariable(text[end]))
            ++end;
        if (end == from || (braced && (end == text.size() || text[end] != QLatin1Char('}'))))
            return {};
        const auto value = variable(text.sliced(from, end - from), environment, home);
        if (!value)
            return {};
        out += *value;
        i = end + (braced ? 1 : 0);
    }
    if (!QDir::isAbsolutePath(out))
        return {};
    return QDir::cleanPath(out);
}

QString find(const QList<QByteArray> &hints, const QByteArray &configFileName, const QProcessEnvironment &environment)
{
    if (configFileName.isEmpty())
        return {};
    for (const QByteArray &hint : hints) {
        const QString folder = expand(hint, environment);
        if (!folder.isEmpty() && FileExists(folder + QLatin1Char('/') + QString::fromUtf8(configFileName)))
            return folder;
    }
    return {};
}

QString findForProfile(const QString &path, const QProcessEnvironment &environment)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return {};
    const auto plan = planProfile(*bytes, QByteArray(), nullptr);
    if (!plan || !plan->gameConfigFileName)
        return {};
    return find(plan->installHints, *plan->gameConfigFileName, environment);
}

} // namespace InstallHints

} // namespace Tunesmith
