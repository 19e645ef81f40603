#include "playerpresets.h"

#include "app/savefile.h"
#include "app/textcodec.h"
#include "configmerge.h"
#include "configwriter.h"
#include "loader/loadedprofile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Tunesmith
{

namespace PlayerPresets
{

namespace
{

constexpr qsizetype longestName = 100;
const QString extension = QStringLiteral(".cfg");

QString profileName(const QString &profileFileName)
{
    return profileFileName.endsWith(QLatin1String(".tsm")) ? profileFileName.chopped(4) : profileFileName;
}

} // namespace

QString folder(const ProgramState &state, const QString &profileFileName)
{
    return state.programFolder + QStringLiteral("/presets/") + profileName(profileFileName);
}

QString path(const ProgramState &state, const QString &profileFileName, const QString &name)
{
    return folder(state, profileFileName) + QLatin1Char('/') + name + extension;
}

QStringList names(const ProgramState &state, const QString &profileFileName)
{
    QStringList found;
    const QDir presets(folder(state, profileFileName));
    for (const QString &file : presets.entryList({QLatin1Char('*') + extension}, QDir::Files | QDir::Readable)) {
        const QString name = file.chopped(extension.size());
        if (!nameProblem(name))
            found.append(name);
    }
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return found;
}

std::optional<QString> nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return coreText("A preset needs a name.");
    if (name != name.trimmed())
        return coreText("A preset's name cannot begin or end with a blank.");
    if (name.size() > longestName)
        return coreText("A preset's name can have at most %1 characters.").arg(longestName);
    if (name.startsWith(QLatin1Char('.')))
        return coreText("A preset's name cannot begin with \".\".");
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return coreText(
                "A preset's name is a plain file name: \"/\", \"\\\" and control characters cannot be in it.");
    }
    return std::nullopt;
}

bool save(const LoadedProfile &profile, const ProgramState &state, const QString &name, QString *error)
{
    if (const auto problem = nameProblem(name)) {
        if (error)
            *error = *problem;
        return false;
    }
    const QString target = path(state, profile.fileName, name);
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        if (error)
            *error = coreText("The folder %1 could not be created.").arg(QFileInfo(target).absolutePath());
        return false;
    }
    // Written as a save writes the tweaks into a config that does not exist yet: one line each, in save order.
    const QByteArray lines =
        mergeConfig(ConfigSnapshot(QByteArray(), false), state.syntax, GameConfigWriter::mergeItems(profile));
    return saveFile(target, lines, error);
}

bool rename(const ProgramState &state, const QString &profileFileName, const QString &name, const QString &newName,
            QString *error)
{
    if (const auto problem = nameProblem(newName)) {
        if (error)
            *error = *problem;
        return false;
    }
    const QString from = path(state, profileFileName, name);
    const QString to = path(state, profileFileName, newName);
    if (QFileInfo::exists(to) && QFileInfo(to) != QFileInfo(from)) {
        if (error)
            *error = coreText("There is a preset called %1 already.").arg(newName);
        return false;
    }
    if (!QFile::rename(from, to)) {
        if (error)
            *error = coreText("The preset %1 could not be renamed.").arg(name);
        return false;
    }
    return true;
}

bool remove(const ProgramState &state, const QString &profileFileName, const QString &name, QString *error)
{
    if (!QFile::remove(path(state, profileFileName, name))) {
        if (error)
            *error = coreText("The preset %1 could not be deleted.").arg(name);
        return false;
    }
    return true;
}

} // namespace PlayerPresets

} // namespace Tunesmith
