#include "textlines.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tunesmith
{

namespace
{

template<typename Sink>
void forEachLine(QByteArrayView bytes, QByteArray *firstEnd, bool *endsWithEnd, Sink sink)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    bool lastTerminated = false;
    // data[at] is a CR or an LF at or after start: it ends the line there, with the LF after it when it is a CR.
    const auto endLine = [&](qsizetype at) {
        const qsizetype endLength = data[at] == '\r' && at + 1 < size && data[at + 1] == '\n' ? 2 : 1;
        if (firstEnd && firstEnd->isEmpty())
            *firstEnd = QByteArray(data + at, endLength);
        sink(QByteArrayView(data + start, at - start));
        start = at + endLength;
        lastTerminated = true;
    };
    qsizetype at = 0;
#if defined(__SSE2__)
    // Sixteen bytes a step: the CR and LF bytes of each step as bits, taken in order. A bit before start is the LF
    // of a CR LF already taken.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 16 <= size; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
        auto ends = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        for (; ends != 0; ends &= ends - 1) {
            const qsizetype end = at + std::countr_zero(ends);
            if (end >= start)
                endLine(end);
        }
    }
#endif
    for (; at < size; ++at) {
        if ((data[at] == '\r' || data[at] == '\n') && at >= start)
            endLine(at);
    }
    if (start < size) {
        sink(QByteArrayView(data + start, size - start));
        lastTerminated = false;
    }
    if (endsWithEnd)
        *endsWithEnd = lastTerminated;
}

} // namespace

QByteArray rewriteLineEnd(QByteArrayView firstLineEnd, QByteArrayView text)
{
    if (firstLineEnd.isEmpty() || (firstLineEnd == "\r" && text.contains('\n')))
        return QByteArrayLiteral("\r\n");
    return firstLineEnd.toByteArray();
}

TextLines TextLines::split(const QByteArray &bytes)
{
    TextLines result;
    QByteArray firstEnd;
    forEachLine(bytes, &firstEnd, &result.endsWithLineEnd,
                [&](QByteArrayView line) { result.lines.append(line.toByteArray()); });
    result.lineEnd = rewriteLineEnd(firstEnd, bytes);
    return result;
}

QByteArray TextLines::join() const
{
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + lineEnd.size();
    QByteArray out;
    out.reserve(total);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += lineEnd;
        out += lines[i];
    }
    if (endsWithLineEnd && !lines.isEmpty())
        out += lineEnd;
    return out;
}

QList<QByteArrayView> splitLineViews(QByteArrayView bytes)
{
    QList<QByteArrayView> result;
    forEachLine(bytes, nullptr, nullptr, [&](QByteArrayView line) { result.append(line); });
    return result;
}

LineTable::LineTable(QByteArrayView bytes)
    : m_data(bytes.data())
{
    Q_ASSERT(bytes.size() < (qsizetype(1) << 32));
    // Room for lines of sixteen bytes on average: untouched room costs no memory, while growing copies the table.
    m_starts.clear();
    m_starts.reserve(std::size_t(bytes.size() / 16 + 2));
    // Without a CR anywhere, every line ends at an LF: the file is split at its LFs, and its lines are handed out
    // without looking at their ends again. (Splitting CR LF files the same way was no faster than the general
    // split below: their check costs what it saves.)
    m_lineFeedsOnly = bytes.isEmpty() || std::memchr(bytes.data(), '\r', std::size_t(bytes.size())) == nullptr;
    if (m_lineFeedsOnly) {
        splitAtLineFeeds(bytes);
    } else {
        forEachLine(bytes, nullptr, &m_endsWithLineEnd,
                    [&](QByteArrayView line) { m_starts.push_back(std::uint32_t(line.data() - m_data)); });
    }
    m_starts.push_back(std::uint32_t(bytes.size()));
    if (size() > 1 || m_endsWithLineEnd) {
        const QByteArrayView first = (*this)[0];
        const char *end = first.data() + first.size();
        m_firstLineEnd = QByteArrayView(end, m_data + m_starts[1] - end);
    }
}

void LineTable::splitAtLineFeeds(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    std::uint32_t start = 0;
    qsizetype at = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 16 <= size; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_data + at));
        for (auto ends = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf))); ends != 0; ends &= ends - 1) {
            m_starts.push_back(start);
            start = std::uint32_t(at + std::countr_zero(ends) + 1);
        }
    }
#endif
    for (; at < size; ++at) {
        if (m_data[at] == '\n') {
            m_starts.push_back(start);
            start = std::uint32_t(at + 1);
        }
    }
    m_endsWithLineEnd = size > 0 && start == size;
    if (start < size)
        m_starts.push_back(start);
}

bool isBlank(QByteArrayView line)
{
    for (char c : line) {
        if (c != ' ')
            return false;
    }
    return true;
}

bool isKeyword(QByteArrayView text, QByteArrayView keyword)
{
    if (text.size() != keyword.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != keyword[i])
            return false;
    }
    return true;
}

std::optional<QByteArray> readWholeFile(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "%1 is a folder, not a file").arg(path);
        return std::nullopt;
    }
    // A device or a named pipe given as a file (a profile naming /dev/zero as its game config) would be read for
    // ever or block: only regular files are read.
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "%1 is not a regular file").arg(path);
        return std::nullopt;
    }
    if (info.size() > maxReadSize) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith",
                                                 "%1 is too large: %2 bytes, more than the %3 MiB this program reads")
                         .arg(path)
                         .arg(info.size())
                         .arg(maxReadSize >> 20);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "cannot open %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // The size read first is a hint: the file may grow while it is read (and files under /proc say 0), so the
    // buffer grows as needed, never past the limit.
    QByteArray bytes(qsizetype(std::min(info.size(), maxReadSize)) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (error)
                *error = QCoreApplication::translate("Tunesmith", "cannot read %1: %2").arg(path, file.errorString());
            return std::nullopt;
        }
        if (got == 0)
            break;
        filled += qsizetype(got);
        if (filled < bytes.size())
            continue;
        if (filled > maxReadSize) {
            if (error)
                *error =
                    QCoreApplication::translate("Tunesmith", "%1 is too large: more than the %2 MiB this program reads")
                        .arg(path)
                        .arg(maxReadSize >> 20);
            return std::nullopt;
        }
        bytes.resize(qsizetype(std::min<qint64>(qint64(bytes.size()) * 2, maxReadSize + 1)));
    }
    bytes.truncate(filled);
    return bytes;
}

bool fileHoldsBytes(const QString &path, QByteArrayView bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qsizetype blockSize = 64 * 1024;
    const auto block = std::make_unique<char[]>(blockSize);
    qsizetype compared = 0;
    for (;;) {
        const qint64 got = file.read(block.get(), blockSize);
        if (got < 0)
            return false;
        if (got == 0)
            return compared == bytes.size();
        if (got > bytes.size() - compared || std::memcmp(block.get(), bytes.data() + compared, std::size_t(got)) != 0) {
            return false;
        }
        compared += qsizetype(got);
    }
}

} // namespace Tunesmith
