#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

// Whole files for the tests, as bytes: what is on disk, or "(missing)" when there is nothing to read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

inline bool writeAll(const QString &path, const QByteArray &bytes, const QDateTime &written = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    // Written out first: the buffered bytes would otherwise make the file new again when it closes.
    return !written.isValid() || (file.flush() && file.setFileTime(written, QFileDevice::FileModificationTime));
}

// A test profile written as players' profiles are, with CR LF, and padded with notes past the 512 bytes below
// which start-up deletes a profile. text uses LF.
inline QByteArray keptProfile(QByteArray text)
{
    text += QByteArray("Notes at keyword position are skipped.\n").repeated(12);
    return text.replace("\n", "\r\n");
}
