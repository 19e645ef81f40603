#include "savepreview.h"

#include "configmerge.h"
#include "configsnapshot.h"
#include "configwriter.h"
#include "linediff.h"
#include "loader/loadedprofile.h"

#include <QCoreApplication>

namespace Tunesmith
{

namespace SavePreview
{

QString lineEndNote(const QByteArray &lineEnd)
{
    const QString name = lineEnd == "\r\n" ? QStringLiteral("CR LF")
                         : lineEnd == "\n" ? QStringLiteral("LF")
                                           : QStringLiteral("CR");
    return QCoreApplication::translate("Tunesmith", "The file mixes line ends; after the save every line ends in %1.")
        .arg(name);
}

std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error)
{
    const auto preview = GameConfigWriter::preview(profile, state, path, error);
    if (!preview)
        return std::nullopt;
    const QByteArray label = path.toUtf8();
    // A tab ends the name for patch, which takes what follows as a date.
    QByteArray diff = LineDiff::unified(preview->before, preview->after,
                                        preview->existed ? label : QByteArray("/dev/null"), label + "\t(after save)");
    // The diff compares lines, whatever ends them. Said before the diff, where patch skips what is not one.
    if (!preview->newLineEnd.isEmpty())
        diff.prepend(lineEndNote(preview->newLineEnd).toUtf8() + '\n');
    return diff;
}

} // namespace SavePreview

} // namespace Tunesmith
