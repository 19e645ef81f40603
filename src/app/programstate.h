#pragma once

#include <QByteArray>
#include <QString>

namespace Tunesmith
{

// How one line of a game config is written: prefix, name, middle, value, suffix.
struct ConfigSyntax
{
    QByteArray prefix;
    QByteArray middle;
    QByteArray suffix;
    // Reading a config, each run of blanks and tabs in the prefix and the middle matches any run of them in a line
    // (hand-aligned columns). Lines the program writes anew are written as the template is.
    bool looseSpacing = false;

    QByteArray key(const QByteArray &name) const { return prefix + name + middle; }
    QByteArray line(const QByteArray &name, const QByteArray &value) const { return key(name) + value + suffix; }
    bool operator==(const ConfigSyntax &) const = default;
};

// The values the whole program shares for one run. Owned by the application and passed by reference.
struct ProgramState
{
    static constexpr int versionNumber = 103;

    QString programFolder;  // without a trailing separator
    QString currentProfile; // profile file name with ".tsm", no folder
    QString installDir;     // as the player chose it
    QByteArray gameConfigFileName;
    ConfigSyntax syntax;
    QByteArray department;
    qint32 uploadSpeed = 0;   // bytes per second
    qint32 downloadSpeed = 0; // bytes per second
    bool descriptions = true;
    bool backups = true;
    bool autoUpdate = true;
    bool preview = false; // "Preview Changes": off unless the settings file holds "preview|1"

    QString settingsPath() const { return programFolder + QStringLiteral("/config.cfg"); }
    QString profilesPath() const { return programFolder + QStringLiteral("/profiles"); }
    QString backupsPath() const { return programFolder + QStringLiteral("/backups"); }
    QString versionPath() const { return programFolder + QStringLiteral("/version.cfg"); }
    QString updaterPath() const { return programFolder + QStringLiteral("/Update.exe"); }
    QString tunePath() const { return programFolder + QStringLiteral("/tsm.mid"); }

    // Install directory + "/" + game config file name, every "//" then reduced to "/", so a directory stored with
    // a trailing separator still gives one. "" when no install directory is known.
    QString gameConfigPath() const;
};

} // namespace Tunesmith
