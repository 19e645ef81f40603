// The update manifest: the update decision never asks for a profile by a name that could leave the profiles
// folder, and deciding from a real profiles folder gives what deciding from the same profiles in memory gives.
#include "app/programstate.h"
#include "app/updatecheck.h"
#include "fuzzsupport.h"

#include <QFile>
#include <QMap>

using namespace Tunesmith;

namespace
{

// The local profiles a manifest is compared with: one dated, one cut short inside its title block, one without a
// title block at all.
const QMap<QString, QByteArray> &profiles()
{
    static const QMap<QString, QByteArray> map{
        {QStringLiteral("a.tsm"),
         "[title]\r\nGame A\r\n5-6-2004\r\nSomeone\r\n[syntax]\r\na.cfg\r\nseta cvar value\r\n"},
        {QStringLiteral("b.tsm"), "[TITLE]\nGame B\n"},
        {QStringLiteral("c d.tsm"), "no title here\r\n"},
    };
    return map;
}

QString profilesFolder()
{
    static const QString folder = [] {
        const QString path = Fuzz::scratchFolder() + QStringLiteral("/profiles");
        QDir().mkpath(path);
        for (auto it = profiles().begin(); it != profiles().end(); ++it) {
            QFile file(path + QLatin1Char('/') + it.key());
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
                std::abort();
        }
        return path;
    }();
    return folder;
}

bool plainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0)) && name != QLatin1String(".") && name != QLatin1String("..");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray manifest = Fuzz::bytes(data, size);
    bool badName = false;
    const bool inMemory =
        UpdateCheck::isUpdateNeeded(manifest, ProgramState::versionNumber, [&](const QString &fileName) {
            if (!plainName(fileName))
                badName = true;
            const auto found = profiles().constFind(fileName);
            return found == profiles().constEnd() ? std::nullopt : std::optional<QByteArray>(*found);
        });
    FUZZ_CHECK(!badName);
    const bool fromFolder = UpdateCheck::isUpdateNeeded(manifest, ProgramState::versionNumber, profilesFolder());
    FUZZ_CHECK(inMemory == fromFolder);

    // Dates: never later both ways, never later than themselves.
    const Fuzz::Parts dates = Fuzz::splitAt(manifest, "|");
    const std::optional<bool> forward = UpdateCheck::isLater(dates.head, dates.tail);
    const std::optional<bool> backward = UpdateCheck::isLater(dates.tail, dates.head);
    FUZZ_CHECK(forward.has_value() == backward.has_value());
    FUZZ_CHECK(!(forward.value_or(false) && backward.value_or(false)));
    FUZZ_CHECK(!UpdateCheck::isLater(dates.head, dates.head).value_or(false));

    const QString url = UpdateCheck::requestUrl(QString::fromUtf8(manifest));
    FUZZ_CHECK(!url.contains(QLatin1Char(' ')));
    return 0;
}
