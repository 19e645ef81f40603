#include "savefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace Tunesmith
{

bool saveFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: it is a folder.").arg(path);
        return false;
    }
    // QSaveFile resolves a symbolic link itself and writes the link's target, copying the old permissions.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace Tunesmith
