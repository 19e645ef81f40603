// Game profiles: reading and laying out, loading into tweak models, starting values from a game config, the
// presets and the save's merge, for any bytes. A profile is either refused with problems on its lines or loaded
// whole, consistent with its plan.
#include "app/textlines.h"
#include "fuzzsupport.h"
#include "gameconfig/configmerge.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/presets.h"
#include "loader/loadedprofile.h"
#include "memorymerge.h"

#include <QFile>

using namespace Tunesmith;

namespace
{

const QByteArray configMarker("\0--config--\0", 12);

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

// Input: the profile's bytes, optionally followed by the marker and the bytes of the game config it starts from.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Fuzz::Parts parts = Fuzz::splitAt(Fuzz::bytes(data, size), configMarker);
    const QByteArray &profileBytes = parts.head;
    const QByteArray &config = parts.tail;
    const QString folder = Fuzz::scratchFolder();
    const QString profilePath = folder + QStringLiteral("/Fuzz Game.tsm");
    const QString configPath = folder + QStringLiteral("/game.cfg");
    writeRaw(profilePath, profileBytes);
    writeRaw(configPath, config);

    QList<ProfileProblem> planProblems;
    const std::optional<ProfilePlan> plan = planProfile(profileBytes, QByteArray(), &planProblems);

    ProgramState state;
    state.programFolder = folder;
    state.currentProfile = QStringLiteral("Fuzz Game.tsm");
    QList<ProfileProblem> problems;
    QString error;
    const std::unique_ptr<LoadedProfile> profile = loadProfile(
        profilePath, state, [](const QString &message) { FUZZ_CHECK(!message.isEmpty()); }, &problems, &error);
    FUZZ_CHECK(bool(plan) == bool(profile));

    if (!profile) {
        // Refused: every problem names a line of the file, and nothing of the profile reached the state.
        const qsizetype lineCount = splitLineViews(profileBytes).size();
        FUZZ_CHECK(!problems.isEmpty());
        FUZZ_CHECK(problems.size() == planProblems.size());
        for (const ProfileProblem &problem : std::as_const(problems)) {
            FUZZ_CHECK(problem.line >= 1 && problem.line <= lineCount);
            FUZZ_CHECK(!problem.message.isEmpty());
        }
        FUZZ_CHECK(!describeProblems(QStringLiteral("Fuzz Game.tsm"), problems).isEmpty());
        FUZZ_CHECK(state.gameConfigFileName.isEmpty() && state.syntax == ConfigSyntax());
        return 0;
    }

    // Loaded: one model per tweak control of the plan, every control on an existing page with an index of its kind.
    const ProfilePlan &p = profile->plan;
    FUZZ_CHECK(!p.pageCaptions.isEmpty());
    qsizetype labels = 0;
    std::size_t tweaksOfKind[3] = {};
    for (const PlacedControl &control : p.controls) {
        FUZZ_CHECK(control.page >= 0 && control.page < p.pageCaptions.size());
        FUZZ_CHECK(control.index >= 1);
        if (control.kind == ControlKind::Label) {
            ++labels;
        } else {
            const auto kind = TweakKind(int(control.kind) - 1);
            ++tweaksOfKind[int(kind)];
            FUZZ_CHECK(profile->model(kind, control.index) != nullptr);
        }
    }
    FUZZ_CHECK(labels == p.headings.size());
    FUZZ_CHECK(profile->simple.size() == tweaksOfKind[int(TweakKind::Simple)]);
    FUZZ_CHECK(profile->multi.size() == tweaksOfKind[int(TweakKind::Multi)]);
    FUZZ_CHECK(profile->text.size() == tweaksOfKind[int(TweakKind::Text)]);
    FUZZ_CHECK(!p.caption().isEmpty());

    // Starting values from the config given with the profile, then every preset, each followed by the save's merge
    // into that config, fast against one by one.
    state.installDir = folder;
    state.gameConfigFileName = "game.cfg";
    applyStartingValues(*profile, state);
    const ConfigSnapshot snapshot(config);
    for (Preset preset : {Preset::HighQuality, Preset::Default, Preset::FpsBoost, Preset::DieHard}) {
        Presets::apply(*profile, preset);
        const QList<MergeItem> items = GameConfigWriter::mergeItems(*profile);
        FUZZ_CHECK(items.size() == profile->tweakCount());
        for (const MergeItem &item : items)
            FUZZ_CHECK(!item.value.contains('\r') && !item.value.contains('\n'));
        const QByteArray fast = mergeConfig(snapshot, state.syntax, items);
        const QByteArray literal = literalMergeBytes(config, state.syntax, items);
        if (fast != literal) {
            Fuzz::printEscaped("fast merge", fast);
            Fuzz::printEscaped("one by one", literal);
        }
        FUZZ_CHECK(fast == literal);
    }
    return 0;
}
