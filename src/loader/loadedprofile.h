#pragma once

#include "gameconfig/configsnapshot.h"
#include "profileplan.h"
#include "tweaks/multitweak.h"
#include "tweaks/simpletweak.h"
#include "tweaks/texttweak.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace Tunesmith
{

// A profile loaded into tweak models: the plan (pages, positions, headings, caption, status) and one model per
// tweak, by kind and index. The main window and the command-line tool both work on this. The plan's tweak
// definitions are let go once the models hold what they held: ask the models, not the plan, about tweaks.
class LoadedProfile
{
public:
    QString path;
    QString fileName; // with ".tsm"
    ProfilePlan plan;
    TweakContext context;
    std::vector<std::unique_ptr<SimpleTweak>> simple; // index - 1
    std::vector<std::unique_ptr<MultiTweak>> multi;
    std::vector<std::unique_ptr<TextTweak>> text;
    // The game config last read into the tweaks, with the lookup's pass over it, for a save of the same bytes.
    std::shared_ptr<const ScannedConfig> lastConfig;

    // On/off by index, then numeric, then list: the order a save writes them.
    QList<TweakModel *> saveOrder() const;
    // On/off, list, numeric: the order the presets set them.
    QList<TweakModel *> presetOrder() const;
    TweakModel *model(TweakKind kind, int index) const;
    int tweakCount() const { return int(simple.size() + multi.size() + text.size()); }
};

// Reads and lays out the profile, then builds its tweaks as a fresh main window does (properties in the
// profile's order, rules evaluated as they come) and gives them their starting values. Sets the game config
// file name, syntax and department of state from the profile. A profile that cannot be read or is malformed
// gives nullptr, with every problem (line numbers from 1) or the read error, and leaves state untouched.
std::unique_ptr<LoadedProfile> loadProfile(const QString &path, ProgramState &state,
                                           std::function<void(const QString &)> reportRuleError,
                                           QList<ProfileProblem> *problems, QString *error);

// The values a freshly loaded profile starts from: the defaults, then the game config in the install directory,
// then every ruled tweak back to its rule's result.
void applyStartingValues(LoadedProfile &profile, const ProgramState &state);

// "Example Game.tsm:57: message" lines for a malformed profile; with a limit, the first limit problems and a line
// that counts the rest (a message box of thousands of lines would reach past the screen and hide its button).
QString describeProblems(const QString &fileName, const QList<ProfileProblem> &problems, qsizetype limit = -1);

} // namespace Tunesmith
