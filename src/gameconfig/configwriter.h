#pragma once

#include "app/clock.h"
#include "app/programstate.h"
#include "configmerge.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Tunesmith
{

class LoadedProfile;

namespace GameConfigWriter
{

// The tweaks' names and values in the order a save writes them.
QList<MergeItem> mergeItems(const LoadedProfile &profile);

// The save: reads the file at path once (a missing file is created), writes a backup of it first when the
// Backups option is on and the file exists, merges every tweak's line and writes the file through the safe
// writer. Returns false with the reason when anything fails: a backup that cannot be written stops the save
// before the config is touched, and a failed write leaves the config as it was.
bool save(const LoadedProfile &profile, const ProgramState &state, const Clock &clock, const QString &path,
          QString *error, QString *backupPath = nullptr);

// What a save to path would do, worked out as the save works it out, without writing anything.
struct Preview
{
    QByteArray before; // the file's bytes now; "" for a missing file
    bool existed = false;
    QByteArray after;           // the bytes the save would write
    QList<MergeChange> changes; // the lines it would change or append, in save order; lines it keeps left out
    QByteArray newLineEnd;      // the one line end it gives a file of mixed line ends (lineEndsMadeOne), or ""
};
// nullopt with the reason when a value holds a line break or the file cannot be read, as the save would refuse.
std::optional<Preview> preview(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                               QString *error);

// The file dialogs' filter entries: the exact file name, then "<ext> files" with "*.<ext>", where the extension
// is everything after the name's first ".".
struct DialogFilter
{
    QString exactName;
    QString extensionLabel;   // "cfg files"
    QString extensionPattern; // "*.cfg"

    // The two entries as file dialogs take them, "label (pattern)". A blank would split a pattern in two, so a
    // pattern has "?" in its place.
    QStringList entries() const;
};
DialogFilter dialogFilter(const QByteArray &gameConfigFileName);

} // namespace GameConfigWriter

} // namespace Tunesmith
