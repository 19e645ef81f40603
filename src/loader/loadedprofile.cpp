#include "loadedprofile.h"

#include "app/fileutil.h"
#include "app/textlines.h"
#include "gameconfig/configreader.h"
#include "gameconfig/presets.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace Tunesmith
{

QList<TweakModel *> LoadedProfile::saveOrder() const
{
    QList<TweakModel *> order;
    order.reserve(qsizetype(simple.size() + text.size() + multi.size()));
    for (const auto &tweak : simple)
        order.append(tweak.get());
    for (const auto &tweak : text)
        order.append(tweak.get());
    for (const auto &tweak : multi)
        order.append(tweak.get());
    return order;
}

QList<TweakModel *> LoadedProfile::presetOrder() const
{
    QList<TweakModel *> order;
    order.reserve(qsizetype(simple.size() + text.size() + multi.size()));
    for (const auto &tweak : simple)
        order.append(tweak.get());
    for (const auto &tweak : multi)
        order.append(tweak.get());
    for (const auto &tweak : text)
        order.append(tweak.get());
    return order;
}

TweakModel *LoadedProfile::model(TweakKind kind, int index) const
{
    const auto at = std::size_t(index - 1);
    switch (kind) {
    case TweakKind::Simple:
        return at < simple.size() ? simple[at].get() : nullptr;
    case TweakKind::Multi:
        return at < multi.size() ? multi[at].get() : nullptr;
    case TweakKind::Text:
        return at < text.size() ? text[at].get() : nullptr;
    }
    return nullptr;
}

namespace
{

// The fill functions take the definition's texts over: it is let go once its model is built.
void fillCommon(TweakModel &model, TweakDefinition &definition)
{
    if (definition.rule.isEmpty()) {
        model.setDefault(std::move(definition.presets[0]));
        model.setPreset_Quality(std::move(definition.presets[1]));
        model.setPreset_FPS(std::move(definition.presets[2]));
        model.setPreset_DieHard(std::move(definition.presets[3]));
    }
}

void fillDescriptions(TweakModel &model, TweakDefinition &definition)
{
    model.setShortDescription(std::move(definition.shortDescription));
    model.setLongDescription(std::move(definition.longDescription));
    model.setDepartment(std::move(definition.department));
}

} // namespace

std::unique_ptr<LoadedProfile> loadProfile(const QString &path, ProgramState &state,
                                           std::function<void(const QString &)> reportRuleError,
                                           QList<ProfileProblem> *problems, QString *error)
{
    auto bytes = readWholeFile(path, error);
    if (!bytes)
        return nullptr;
    auto plan = planProfile(*bytes, state.department, problems);
    bytes.reset(); // the plan holds copies of what it needs; the tweaks and the config can use the room
    if (!plan) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "The profile is malformed.");
        return nullptr;
    }

    auto profile = std::make_unique<LoadedProfile>();
    profile->path = path;
    profile->fileName = QFileInfo(path).fileName();
    profile->plan = std::move(*plan);
    profile->context.state = &state;
    profile->context.reportRuleError = std::move(reportRuleError);
    ProfilePlan &p = profile->plan;
    if (p.gameConfigFileName)
        state.gameConfigFileName = *p.gameConfigFileName;
    if (p.syntax)
        state.syntax = *p.syntax;
    else if (p.looseSpacing)
        state.syntax.looseSpacing = true;
    state.department = p.finalDepartment;

    // Controls are made in the profile's order, so rules are evaluated in that order too.
    for (const PlacedControl &control : p.controls) {
        const auto at = std::size_t(control.index - 1);
        switch (control.kind) {
        case ControlKind::Label:
            break;
        case ControlKind::Simple: {
            TweakDefinition &d = p.simpleTweaks[qsizetype(at)];
            auto model = std::make_unique<SimpleTweak>(control.index, &profile->context);
            model->setTweak(std::move(d.name));
            fillCommon(*model, d);
            if (!d.rule.isEmpty()) {
                model->setPing(d.rule);
                model->SetPing();
            }
            fillDescriptions(*model, d);
            profile->simple.push_back(std::move(model));
            break;
        }
        case ControlKind::Multi: {
            TweakDefinition &d = p.multiTweaks[qsizetype(at)];
            auto model = std::make_unique<MultiTweak>(control.index, &profile->context);
            model->setTweak(std::move(d.name));
            model->AddCVars(std::move(d.entries));
            fillCommon(*model, d);
            fillDescriptions(*model, d);
            profile->multi.push_back(std::move(model));
            break;
        }
        case ControlKind::Text: {
            TweakDefinition &d = p.textTweaks[qsizetype(at)];
            auto model = std::make_unique<TextTweak>(control.index, &profile->context);
            model->setTweak(std::move(d.name));
            model->setMinValue(std::move(d.minValue));
            model->setMaxValue(std::move(d.maxValue));
            fillCommon(*model, d);
            if (!d.rule.isEmpty()) {
                model->setPing(d.rule);
                model->SetPing();
            }
            fillDescriptions(*model, d);
            profile->text.push_back(std::move(model));
            break;
        }
        }
    }

    // The models took the definitions' texts and entry lists over; the definitions' own room (megabytes for a large
    // profile) goes back before the game config is read into memory.
    profile->plan.simpleTweaks = {};
    profile->plan.multiTweaks = {};
    profile->plan.textTweaks = {};

    applyStartingValues(*profile, state);
    return profile;
}

void applyStartingValues(LoadedProfile &profile, const ProgramState &state)
{
    Presets::apply(profile, Preset::Default);
    const QString configPath = state.gameConfigPath();
    if (FileExists(configPath))
        GameConfigReader::apply(profile, state.syntax, configPath);
    for (const auto &tweak : profile.simple) {
        if (tweak->hasRule())
            tweak->setValue(tweak->Default());
    }
    for (const auto &tweak : profile.text) {
        if (tweak->hasRule())
            tweak->setValue(tweak->Default());
    }
}

QString describeProblems(const QString &fileName, const QList<ProfileProblem> &problems, qsizetype limit)
{
    const qsizetype shown = limit < 0 ? problems.size() : std::min(limit, problems.size());
    QStringList lines;
    for (qsizetype i = 0; i < shown; ++i) {
        const ProfileProblem &problem = problems[i];
        lines.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(problem.line).arg(problem.message));
    }
    if (shown < problems.size()) {
        lines.append(
            QCoreApplication::translate("Tunesmith", "... and %n more", nullptr, int(problems.size() - shown)));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace Tunesmith
