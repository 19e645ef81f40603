// The settings file: reading it at start-up and for the install directory, then every write the program makes to
// it, each checked byte for byte against one ReplaceOrAppend step done in memory.
#include "app/fileutil.h"
#include "app/numbertext.h"
#include "app/settings.h"
#include "fuzzsupport.h"
#include "memorymerge.h"

#include <QFile>

using namespace Tunesmith;

namespace
{

QByteArray readBack(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(unreadable)";
    return file.readAll();
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void checkSame(const QByteArray &actual, const QByteArray &expected, const char *what)
{
    if (actual != expected) {
        std::fprintf(stderr, "%s wrote other bytes than one step in memory\n", what);
        Fuzz::printEscaped("written", actual);
        Fuzz::printEscaped("expected", expected);
    }
    FUZZ_CHECK(actual == expected);
}

} // namespace

// Input: "PROFILE|DIR|UPLOAD|DOWNLOAD|SEARCH|REPLACEMENT\nSETTINGS FILE BYTES".
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Fuzz::Parts parts = Fuzz::splitAt(Fuzz::bytes(data, size), "\n");
    const QList<QByteArray> fields = parts.head.split('|');
    const QByteArray &settings = parts.tail;

    ProgramState state;
    state.programFolder = Fuzz::scratchFolder();
    const QString path = state.settingsPath();
    writeRaw(path, settings);

    // The start-up read gives what reading the bytes gives.
    Settings::read(state);
    ProgramState fromBytes;
    Settings::readFrom(settings, fromBytes);
    FUZZ_CHECK(state.uploadSpeed == fromBytes.uploadSpeed && state.downloadSpeed == fromBytes.downloadSpeed);
    FUZZ_CHECK(state.backups == fromBytes.backups && state.autoUpdate == fromBytes.autoUpdate &&
               state.descriptions == fromBytes.descriptions);

    state.currentProfile = QString::fromUtf8(fields.value(0));
    FUZZ_CHECK(Settings::lookupInstallDir(state));
    FUZZ_CHECK(readBack(path) == settings);

    QString error;
    QByteArray before = settings;
    const QByteArray profile = state.currentProfile.toUtf8();
    const QString dir = QString::fromUtf8(fields.value(1));
    QByteArray expected = replaceOrAppendBytes(before, profile + '|' + state.installDir.toUtf8(),
                                               profile + '|' + dir.toUtf8(), LineMatch::WholeLine);
    FUZZ_CHECK(Settings::storeInstallDir(state, state.currentProfile, state.installDir, dir, &error));
    FUZZ_CHECK(state.installDir == dir);
    checkSame(readBack(path), expected, "storeInstallDir");

    before = expected;
    const bool backups = state.backups;
    expected = replaceOrAppendBytes(before, backups ? "backups|1" : "backups|0", backups ? "backups|0" : "backups|1",
                                    LineMatch::WholeLine);
    FUZZ_CHECK(Settings::toggleOption(state, Option::Backups, &error));
    FUZZ_CHECK(state.backups != backups);
    checkSame(readBack(path), expected, "toggleOption");

    before = expected;
    const qint32 upload = toInt32(fields.value(2)).value_or(0);
    const qint32 download = toInt32(fields.value(3)).value_or(0);
    expected = replaceOrAppendBytes(before, "upload|" + numberText(state.uploadSpeed), "upload|" + numberText(upload),
                                    LineMatch::WholeLine);
    expected = replaceOrAppendBytes(expected, "download|" + numberText(state.downloadSpeed),
                                    "download|" + numberText(download), LineMatch::WholeLine);
    FUZZ_CHECK(Settings::storeSpeeds(state, upload, download, &error));
    FUZZ_CHECK(state.uploadSpeed == upload && state.downloadSpeed == download);
    checkSame(readBack(path), expected, "storeSpeeds");

    // ReplaceOrAppend as the game config writer calls it, a line's start matched.
    before = expected;
    const QByteArray search = fields.value(4);
    const QByteArray replacement = fields.value(5);
    expected = replaceOrAppendBytes(before, search, replacement, LineMatch::LineStart);
    FUZZ_CHECK(ReplaceOrAppend(path, search, replacement, LineMatch::LineStart, &error));
    checkSame(readBack(path), expected, "ReplaceOrAppend");

    return 0;
}
