#include "settings.h"

#include "fileutil.h"
#include "numbertext.h"
#include "savefile.h"
#include "textcodec.h"
#include "textlines.h"

namespace Tunesmith
{

QString ProgramState::gameConfigPath() const
{
    // Without an install directory there is no game config to read: "/" + the name would look in the root folder.
    if (installDir.isEmpty())
        return {};
    QString path = installDir + QLatin1Char('/') + decodeText(gameConfigFileName);
    return path.replace(QStringLiteral("//"), QStringLiteral("/"));
}

namespace Settings
{

namespace
{

bool *optionFlag(ProgramState &state, Option option)
{
    switch (option) {
    case Option::AutoUpdate:
        return &state.autoUpdate;
    case Option::Backups:
        return &state.backups;
    case Option::Descriptions:
        return &state.descriptions;
    case Option::Preview:
        return &state.preview;
    }
    return nullptr;
}

} // namespace

QByteArray optionKey(Option option)
{
    switch (option) {
    case Option::AutoUpdate:
        return "update";
    case Option::Backups:
        return "backups";
    case Option::Descriptions:
        return "descriptions";
    case Option::Preview:
        return "preview";
    }
    return {};
}

bool optionValue(const ProgramState &state, Option option)
{
    return *optionFlag(const_cast<ProgramState &>(state), option);
}

void readFrom(const QByteArray &bytes, ProgramState &state)
{
    for (QByteArrayView line : splitLineViews(bytes)) {
        if (isBlank(line))
            continue;
        const qsizetype bar = line.indexOf('|');
        if (bar < 0)
            continue;
        const QByteArrayView key = line.first(bar);
        const QByteArrayView value = line.sliced(bar + 1);
        if (key == "upload" || key == "download") {
            if (const auto speed = toInt32(value))
                (key == "upload" ? state.uploadSpeed : state.downloadSpeed) = *speed;
        } else if (key == "preview") {
            if (value == "1")
                state.preview = true;
        } else if (value == "0") {
            if (key == "descriptions")
                state.descriptions = false;
            else if (key == "backups")
                state.backups = false;
            else if (key == "update")
                state.autoUpdate = false;
        }
    }
}

void read(ProgramState &state)
{
    state.descriptions = true;
    state.backups = true;
    state.autoUpdate = true;
    state.preview = false;
    if (!FileExists(state.settingsPath()))
        return;
    if (const auto bytes = readWholeFile(state.settingsPath()))
        readFrom(*bytes, state);
}

bool lookupInstallDir(ProgramState &state)
{
    state.installDir.clear();
    const QString path = state.settingsPath();
    if (!FileExists(path)) {
        // Nothing is lost by re-creating a file that is not there.
        saveFile(path, "upload|0\r\ndownload|0\r\n", nullptr);
        return false;
    }
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return false;
    state.installDir = installDirIn(*bytes, state.currentProfile);
    return true;
}

QString storedInstallDir(const ProgramState &state, const QString &profileFileName)
{
    const auto bytes = readWholeFile(state.settingsPath());
    return bytes ? installDirIn(*bytes, profileFileName) : QString();
}

QString installDirIn(const QByteArray &settings, const QString &profileFileName)
{
    QString dir;
    const QByteArray profile = profileFileName.toUtf8();
    for (QByteArrayView line : splitLineViews(settings)) {
        if (isBlank(line))
            continue;
        const qsizetype bar = line.indexOf('|');
        if (bar >= 0 && line.first(bar) == profile)
            dir = QString::fromUtf8(line.sliced(bar + 1));
    }
    return dir;
}

bool toggleOption(ProgramState &state, Option option, QString *error)
{
    bool *flag = optionFlag(state, option);
    *flag = !*flag;
    const QByteArray key = optionKey(option);
    if (*flag)
        return ReplaceOrAppend(state.settingsPath(), key + "|0", key + "|1", LineMatch::WholeLine, error);
    return ReplaceOrAppend(state.settingsPath(), key + "|1", key + "|0", LineMatch::WholeLine, error);
}

bool storeInstallDir(ProgramState &state, const QString &profile, const QString &oldDir, const QString &dir,
                     QString *error)
{
    const QByteArray key = profile.toUtf8() + '|';
    if (!ReplaceOrAppend(state.settingsPath(), key + oldDir.toUtf8(), key + dir.toUtf8(), LineMatch::WholeLine, error))
        return false;
    if (profile == state.currentProfile)
        state.installDir = dir;
    return true;
}

bool storeSpeeds(ProgramState &state, qint32 upload, qint32 download, QString *error)
{
    // Both lines in one write: a failed write must not leave the new upload speed beside the old download speed.
    const QList<LineEdit> edits{
        {"upload|" + numberText(state.uploadSpeed), "upload|" + numberText(upload)},
        {"download|" + numberText(state.downloadSpeed), "download|" + numberText(download)},
    };
    if (!ReplaceOrAppendAll(state.settingsPath(), edits, LineMatch::WholeLine, error))
        return false;
    state.uploadSpeed = upload;
    state.downloadSpeed = download;
    return true;
}

} // namespace Settings

} // namespace Tunesmith
