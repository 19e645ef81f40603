// Reading a game config into a loaded profile ("Load Config" and the starting values): the one-pass lookup
// against looking every tweak up on its own, and the save's merge of the profile's tweaks into the same config.
#include "fuzzsupport.h"
#include "gameconfig/configmerge.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "loader/loadedprofile.h"
#include "memorymerge.h"

#include <QDir>
#include <QStringList>

using namespace Tunesmith;

namespace
{

// The well-formed profiles of the sample folder and the tests, in a fixed order.
const QStringList &profilePaths()
{
    static const QStringList paths = [] {
        QStringList found;
        const QStringList folders{QStringLiteral(TUNESMITH_SAMPLE_PROFILES),
                                  QStringLiteral(TUNESMITH_TEST_DATA "/profiles"),
                                  QStringLiteral(TUNESMITH_TEST_DATA "/cli")};
        for (const QString &folder : folders) {
            for (const QString &name : QDir(folder).entryList({QStringLiteral("*.tsm")}, QDir::Files, QDir::Name))
                found.append(folder + QLatin1Char('/') + name);
        }
        const QDir merges(QStringLiteral(TUNESMITH_TEST_DATA "/merge"));
        for (const QString &name : merges.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            found.append(merges.filePath(name) + QStringLiteral("/profile.tsm"));
        found.removeIf([](const QString &path) {
            ProgramState state;
            return !loadProfile(
                path, state, [](const QString &) {}, nullptr, nullptr);
        });
        if (found.isEmpty())
            std::abort();
        return found;
    }();
    return paths;
}

std::unique_ptr<LoadedProfile> load(const QString &path, ProgramState &state)
{
    return loadProfile(
        path, state, [](const QString &) {}, nullptr, nullptr);
}

} // namespace

// Input: one byte choosing the profile, then the config's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString &path = profilePaths()[data[0] % profilePaths().size()];
    const QByteArray config = Fuzz::bytes(data + 1, size - 1);
    const ConfigSnapshot snapshot(config);

    ProgramState state;
    ProgramState literalState;
    const std::unique_ptr<LoadedProfile> fast = load(path, state);
    const std::unique_ptr<LoadedProfile> literal = load(path, literalState);
    FUZZ_CHECK(fast && literal);

    GameConfigReader::applySnapshot(*fast, state.syntax, snapshot);
    for (const auto &tweak : literal->simple) {
        if (holdsName(snapshot, state.syntax, tweak->Tweak()))
            tweak->setValue(lookupValue(snapshot, state.syntax, tweak->Tweak()));
    }
    for (const auto &tweak : literal->text) {
        if (holdsName(snapshot, state.syntax, tweak->Tweak()))
            tweak->setValue(lookupValue(snapshot, state.syntax, tweak->Tweak()));
    }
    for (const auto &tweak : literal->multi) {
        if (holdsName(snapshot, state.syntax, tweak->Tweak()))
            tweak->SetDesAsValue(lookupValue(snapshot, state.syntax, tweak->Tweak()));
    }
    const QList<TweakModel *> a = fast->saveOrder();
    const QList<TweakModel *> b = literal->saveOrder();
    FUZZ_CHECK(a.size() == b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i]->Value() != b[i]->Value()) {
            Fuzz::printEscaped("tweak", a[i]->Tweak());
            Fuzz::printEscaped("one-pass lookup", a[i]->Value());
            Fuzz::printEscaped("lookup by name", b[i]->Value());
        }
        FUZZ_CHECK(a[i]->Value() == b[i]->Value());
    }
    for (std::size_t i = 0; i < fast->multi.size(); ++i)
        FUZZ_CHECK(fast->multi[i]->selected() == literal->multi[i]->selected());

    // Saving the values just read back into the same config.
    const QList<MergeItem> items = GameConfigWriter::mergeItems(*fast);
    const QByteArray merged = mergeConfig(snapshot, state.syntax, items);
    const QByteArray expected = literalMergeBytes(config, state.syntax, items);
    if (merged != expected) {
        Fuzz::printEscaped("config", config);
        Fuzz::printEscaped("fast merge", merged);
        Fuzz::printEscaped("one by one", expected);
    }
    FUZZ_CHECK(merged == expected);
    return 0;
}
