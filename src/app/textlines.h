#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace Tunesmith
{

// The line end a rewrite of text uses: its first line end, so that a file keeps its own, or CR LF when it has
// none. Every line end of a rewrite is the same, so a lone CR is kept only in a text of lone CRs: one that also
// has LFs (a stray carriage return on its first line, a doubled conversion to "\r\r\n") is rewritten with CR LF,
// or a game that reads lines at LF would find the whole file on one line.
QByteArray rewriteLineEnd(QByteArrayView firstLineEnd, QByteArrayView text);

// A text file as lines of bytes. A line ends at CR LF, at a lone CR or at a lone LF; the terminator is not part
// of the line. The line end of a rewrite is taken from the first terminator found, as above.
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

// The lines of a text as views, split as above, for large files: four bytes a line instead of a view's sixteen
// (fresh memory is what a large load or save mostly waits for). The bytes must outlive the table, stay where
// they are, and be shorter than 4 GiB.
class LineTable
{
public:
    LineTable() = default;
    explicit LineTable(QByteArrayView bytes);

    qsizetype size() const { return qsizetype(m_starts.size()) - 1; }
    bool isEmpty() const { return size() <= 0; }
    QByteArrayView operator[](qsizetype line) const
    {
        const std::uint32_t start = m_starts[std::size_t(line)];
        std::uint32_t end = m_starts[std::size_t(line) + 1];
        if (line + 1 < size() || m_endsWithLineEnd)
            end -= m_lineFeedsOnly ? 1 : endLength(start, end);
        return QByteArrayView(m_data + start, end - start);
    }
    // The first line end, "" when there is none.
    QByteArrayView firstLineEnd() const { return m_firstLineEnd; }
    // The last line had a terminator.
    bool endsWithLineEnd() const { return m_endsWithLineEnd; }

private:
    const char *m_data = nullptr;
    std::vector<std::uint32_t> m_starts{0}; // where each line starts, then where the text ends
    QByteArrayView m_firstLineEnd;
    bool m_endsWithLineEnd = false;
    bool m_lineFeedsOnly = false; // no CR anywhere: every line end is one LF

    std::uint32_t endLength(std::uint32_t start, std::uint32_t end) const
    {
        return end >= start + 2 && m_data[end - 1] == '\n' && m_data[end - 2] == '\r' ? 2 : 1;
    }
    // Splits a file without a CR.
    void splitAtLineFeeds(QByteArrayView bytes);
};

// A line is blank when it is empty or holds only space characters (a tab counts as content).
bool isBlank(QByteArrayView line);

// Whether text is the lower-case keyword with any of its ASCII letters in either case, as keyword and title
// matching expect.
bool isKeyword(QByteArrayView text, QByteArrayView keyword);

// The largest file readWholeFile reads: far above any profile, settings file or game config, far below what
// would exhaust memory once the file is split into lines and merged.
constexpr qint64 maxReadSize = qint64(256) << 20;

// Reads a whole regular file. Returns nullopt and fills error when it cannot be opened or read, when it is a
// folder, a device or a named pipe, or when it is larger than maxReadSize.
std::optional<QByteArray> readWholeFile(const QString &path, QString *error = nullptr);

// Whether the regular file at path holds exactly bytes, compared a block at a time, so that checking a large file
// against a copy already in memory does not read it into memory again. False when it cannot be read.
bool fileHoldsBytes(const QString &path, QByteArrayView bytes);

} // namespace Tunesmith
