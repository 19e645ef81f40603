#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace Tunesmith
{

// A text file as lines of bytes. A line ends at CR LF, at a lone CR or at a lone LF; the terminator is not part
// of the line. The first terminator found is remembered so a rewritten file keeps its own line end; a file
// without any gets CR LF.
struct TextLines
{
    QList<QByteArray> lines;
    QByteArray lineEnd = "\r\n";
    bool endsWithLineEnd = false; // the last line had a terminator

    static TextLines split(const QByteArray &bytes);
    // Lines joined with lineEnd, with a final lineEnd when endsWithLineEnd is set.
    QByteArray join() const;
};

// Splits without copying: views into bytes, which must outlive the result.
QList<QByteArrayView> splitLineViews(QByteArrayView bytes);

// A line is blank when it is empty or holds only space characters (a tab counts as content).
bool isBlank(QByteArrayView line);

// Lower-cases ASCII letters only, as keyword and title matching expect.
QByteArray asciiLower(QByteArrayView text);

// Reads a whole file. Returns nullopt and fills error when it cannot be opened or read (a folder included).
std::optional<QByteArray> readWholeFile(const QString &path, QString *error = nullptr);

} // namespace Tunesmith
