#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property every input must keep. A failure prints what was expected and aborts, so libFuzzer keeps the input
// as a crash to replay with the target.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace Tunesmith::Fuzz
{

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input cut at the first separator; tail is "" and found false when there is none.
struct Parts
{
    QByteArray head;
    QByteArray tail;
    bool found = false;
};

inline Parts splitAt(const QByteArray &input, QByteArrayView separator)
{
    const qsizetype at = input.indexOf(separator);
    if (at < 0)
        return {input, QByteArray(), false};
    return {input.first(at), input.sliced(at + separator.size()), true};
}

// Bytes shown in a failure message, line breaks and control bytes escaped.
inline void printEscaped(const char *label, const QByteArray &text)
{
    std::fprintf(stderr, "%s (%lld bytes): \"", label, static_cast<long long>(text.size()));
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            std::fputs("\\r", stderr);
        else if (c == '\n')
            std::fputs("\\n\n", stderr);
        else if (u < 32 || u >= 127 || c == '"' || c == '\\')
            std::fprintf(stderr, "\\x%02x", u);
        else
            std::fputc(c, stderr);
    }
    std::fputs("\"\n", stderr);
}

// A folder for the files a target writes, removed at exit. In memory when the machine has /dev/shm: every save
// flushes to disk, which on a real disk would make the target a hundred times slower.
inline QString scratchFolder()
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/tunesmith-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/tunesmith-fuzz-XXXXXX"));
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a scratch folder\n");
        std::abort();
    }
    return folder.path();
}

} // namespace Tunesmith::Fuzz
