#include "savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

namespace Tunesmith
{

namespace
{

struct Fault
{
    SaveFileFaults::Step step = SaveFileFaults::Step::Open;
    QString folder; // absolute and clean; "" for every folder
    int skip = 0;
};

struct FaultSeam
{
    std::optional<Fault> fault;
    int attempts = 0;
};

// Test seam state, set only by tests through SaveFileFaults; everything runs on one thread.
FaultSeam &seam()
{
    static FaultSeam instance;
    return instance;
}

std::optional<SaveFileFaults::Step> faultFor(const QString &path)
{
    FaultSeam &s = seam();
    ++s.attempts;
    if (!s.fault)
        return std::nullopt;
    if (!s.fault->folder.isEmpty() && QDir::cleanPath(QFileInfo(path).absolutePath()) != s.fault->folder)
        return std::nullopt;
    if (s.fault->skip > 0) {
        --s.fault->skip;
        return std::nullopt;
    }
    return s.fault->step;
}

} // namespace

namespace SaveFileFaults
{

void set(Step step, const QString &folder, int skip)
{
    seam().fault =
        Fault{step, folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), skip};
    seam().attempts = 0;
}

void clear()
{
    seam().fault.reset();
    seam().attempts = 0;
}

int attempts()
{
    return seam().attempts;
}

} // namespace SaveFileFaults

bool saveFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return saveFilePieces(
        path, [&bytes](const PieceWriter &write) { return write(bytes); }, error);
}

bool saveFilePieces(const QString &path, const std::function<bool(const PieceWriter &)> &produce, QString *error)
{
    using Step = SaveFileFaults::Step;
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "Cannot write %1: %2").arg(path, reason);
        return false;
    };
    const QFileInfo info(path);
    if (info.isDir()) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "Cannot write %1: it is a folder.").arg(path);
        return false;
    }
    const std::optional<Step> fault = faultFor(path);
    if (fault == Step::Open)
        return fail(QStringLiteral("Permission denied"));
    // QSaveFile resolves a symbolic link itself and writes the link's target, copying the old permissions. Until
    // commit() nothing is visible in the folder; leaving without it discards the temporary file.
    // Unbuffered: every chunk goes to the system in one write, and a failing write keeps the system's reason (a
    // full disk, a file size limit) instead of the "Unknown error" of a failing buffer flush inside commit().
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());

    QString reason;
    const auto writeChunk = [&](QByteArrayView bytes) {
        if (fault == Step::Write || fault == Step::DiskFull) {
            const qsizetype part = fault == Step::Write ? bytes.size() / 4 : bytes.size() / 2;
            reason = file.write(bytes.data(), part) != part ? file.errorString()
                     : fault == Step::Write                 ? QStringLiteral("Input/output error")
                                                            : QStringLiteral("No space left on device");
            return false;
        }
        // A write that stops part way (a full disk, a file size limit) leaves Qt without a reason; the system has
        // one.
        errno = 0;
        if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
            reason = errno != 0 ? qt_error_string(errno) : file.errorString();
            return false;
        }
        return true;
    };
    // Small pieces are gathered into chunks; a piece of a chunk's size or more is written as it is.
    constexpr qsizetype chunkSize = 256 * 1024;
    // Made for the first small piece (after the producer has built what it needs); its pages are touched only as
    // they fill.
    std::unique_ptr<char[]> chunk;
    qsizetype filled = 0;
    const auto gathered = [&] { return chunk ? QByteArrayView(chunk.get(), filled) : QByteArrayView(""); };
    const PieceWriter write = [&](QByteArrayView piece) {
        if (!reason.isEmpty())
            return false;
        if (piece.isEmpty()) // an empty text may have no bytes at all to copy from
            return true;
        if (filled + piece.size() > chunkSize && filled > 0) {
            if (!writeChunk(gathered()))
                return false;
            filled = 0;
        }
        if (piece.size() >= chunkSize)
            return writeChunk(piece);
        if (!chunk)
            chunk = std::make_unique_for_overwrite<char[]>(chunkSize);
        std::memcpy(chunk.get() + filled, piece.data(), std::size_t(piece.size()));
        filled += piece.size();
        return true;
    };
    // The last chunk goes out even when empty, so an injected write fault strikes an empty file too.
    if (!produce(write) || !writeChunk(gathered()))
        return fail(reason.isEmpty() ? file.errorString() : reason);
    if (fault == Step::Flush || fault == Step::Rename) {
        if (!file.flush())
            return fail(file.errorString());
        return fail(fault == Step::Flush ? QStringLiteral("Input/output error") : QStringLiteral("Permission denied"));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace Tunesmith
