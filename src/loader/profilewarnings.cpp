#include "profilewarnings.h"

#include "app/numbertext.h"
#include "app/textcodec.h"
#include "app/textlines.h"
#include "tweaks/connectionrule.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace Tunesmith
{

namespace
{

QString quoted(QByteArrayView text)
{
    return QLatin1Char('"') + decodeText(text) + QLatin1Char('"');
}

// The presets in the order a definition holds them.
const char *const presetNames[] = {"Default Settings", "High Quality", "FPS Boost", "Die Hard FPS"};

// Where a tweak's data lines are, from its keyword line: the line of its bounds (numeric tweaks), of its presets or
// rule, of its short description.
struct DataLines
{
    int bounds = 0;
    int setting = 0;
    int shortDescription = 0;
};

DataLines dataLines(const TweakDefinition &tweak)
{
    const int at = tweak.line;
    switch (tweak.kind) {
    case TweakKind::Simple:
        return {0, at + 2, at + 3};
    case TweakKind::Multi:
        return {0, at + 4, at + 5};
    case TweakKind::Text:
        return {at + 2, at + 3, at + 4};
    }
    return {};
}

// Whether the rule gives a result for at least one pair of the speeds a player may have, slow to fast.
bool evaluatesForSomeSpeed(const QByteArray &rule, bool onOff)
{
    const QByteArray split = onOff ? ConnectionRule::splitComparison(rule) : ConnectionRule::splitArithmetic(rule);
    constexpr qint32 speeds[] = {0, 1, 100, 1000, 2000, 6000, 8000, 25000, 100000, 1000000, 100000000};
    for (const qint32 up : speeds) {
        for (const qint32 down : speeds) {
            if (onOff ? ConnectionRule::evaluateComparison(split, up, down).has_value()
                      : ConnectionRule::evaluateArithmetic(split, up, down).has_value()) {
                return true;
            }
        }
    }
    return false;
}

class Checker
{
public:
    Checker(const QByteArray &bytes, const ProfilePlan &plan)
        : m_lines(bytes)
        , m_plan(plan)
    {}

    QList<ProfileProblem> run();

private:
    void warn(int line, const QString &message) { m_warnings.append({line, message}); }
    bool isRuled(const TweakDefinition &tweak) const;
    void checkBounds(const TweakDefinition &tweak, const DataLines &lines);
    void checkPositions(const TweakDefinition &tweak, const DataLines &lines);
    void checkDescriptions(const TweakDefinition &tweak, const DataLines &lines);

    LineTable m_lines;
    const ProfilePlan &m_plan;
    QList<ProfileProblem> m_warnings;
};

QList<ProfileProblem> Checker::run()
{
    QList<const TweakDefinition *> tweaks;
    for (const auto *list : {&m_plan.simpleTweaks, &m_plan.multiTweaks, &m_plan.textTweaks}) {
        for (const TweakDefinition &tweak : *list)
            tweaks.append(&tweak);
    }
    std::sort(tweaks.begin(), tweaks.end(), [](const auto *a, const auto *b) { return a->line < b->line; });

    QHash<QByteArray, int> nameLines; // where each variable is named first
    for (const TweakDefinition *tweak : tweaks) {
        const DataLines lines = dataLines(*tweak);
        const int nameLine = tweak->line + 1;
        if (const auto first = nameLines.constFind(tweak->name); first != nameLines.cend())
            warn(nameLine, coreText("the variable %1 is the variable of the tweak at line %2 too")
                               .arg(quoted(tweak->name))
                               .arg(*first));
        else
            nameLines.insert(tweak->name, nameLine);
        if (isRuled(*tweak)) {
            if (!evaluatesForSomeSpeed(tweak->rule, tweak->kind == TweakKind::Simple))
                warn(lines.setting,
                     coreText("the connection rule %1 cannot be worked out for any speed").arg(quoted(tweak->rule)));
        } else if (tweak->kind == TweakKind::Multi) {
            checkPositions(*tweak, lines);
        }
        if (tweak->kind == TweakKind::Text)
            checkBounds(*tweak, lines);
        checkDescriptions(*tweak, lines);
    }
    std::stable_sort(m_warnings.begin(), m_warnings.end(),
                     [](const auto &a, const auto &b) { return a.line < b.line; });
    return m_warnings;
}

bool Checker::isRuled(const TweakDefinition &tweak) const
{
    const QByteArrayView keyword = m_lines[tweak.line - 1];
    return isKeyword(keyword, "[add ping simple]") || isKeyword(keyword, "[add ping text]");
}

void Checker::checkBounds(const TweakDefinition &tweak, const DataLines &lines)
{
    std::optional<qint32> bounds[2];
    const QByteArray texts[2] = {tweak.minValue, tweak.maxValue};
    for (int b = 0; b < 2; ++b) {
        if (isBlank(texts[b]))
            continue;
        bounds[b] = toInt32(texts[b]);
        if (!bounds[b] || texts[b].contains('.'))
            warn(lines.bounds, coreText("the bound %1 is not a whole number").arg(quoted(texts[b])));
    }
    if (isRuled(tweak))
        return;
    for (std::size_t p = 0; p < tweak.presets.size(); ++p) {
        // An empty preset is taken as 0.
        const QByteArray text = tweak.presets[p].isEmpty() ? QByteArray("0") : tweak.presets[p];
        const auto value = toInt32Saturated(text);
        if (!value)
            continue;
        if (bounds[0] && *value < *bounds[0])
            warn(lines.setting, coreText("the %1 value %2 is below the minimum %3")
                                    .arg(QLatin1String(presetNames[p]), decodeText(text), decodeText(texts[0])));
        if (bounds[1] && *value > *bounds[1])
            warn(lines.setting, coreText("the %1 value %2 is above the maximum %3")
                                    .arg(QLatin1String(presetNames[p]), decodeText(text), decodeText(texts[1])));
    }
}

void Checker::checkPositions(const TweakDefinition &tweak, const DataLines &lines)
{
    const qsizetype count = tweak.entries.size();
    for (std::size_t p = 0; p < tweak.presets.size(); ++p) {
        const auto position = toInt16(tweak.presets[p]);
        if (!position || *position < -1)
            warn(lines.setting, coreText("the %1 position %2 is not an entry's position")
                                    .arg(QLatin1String(presetNames[p]), quoted(tweak.presets[p])));
        else if (*position >= count)
            warn(lines.setting, coreText("the %1 position %2 is beyond the %3 entries (positions from 0)")
                                    .arg(QLatin1String(presetNames[p]), decodeText(tweak.presets[p]))
                                    .arg(count));
    }
    QSet<QByteArray> seen;
    QSet<QByteArray> repeated;
    for (const MultiTweakEntry &entry : tweak.entries) {
        if (!seen.contains(entry.value)) {
            seen.insert(entry.value);
        } else if (!repeated.contains(entry.value)) {
            repeated.insert(entry.value);
            warn(lines.setting - 1,
                 coreText("the entry value %1 repeats: a config's value selects only the last of its "
                          "entries")
                     .arg(quoted(entry.value)));
        }
    }
}

void Checker::checkDescriptions(const TweakDefinition &tweak, const DataLines &lines)
{
    const QByteArray descriptions[2] = {tweak.shortDescription, tweak.longDescription};
    for (int d = 0; d < 2; ++d) {
        const QString which = d == 0 ? coreText("short") : coreText("long");
        const int line = lines.shortDescription + d;
        if (isBlank(descriptions[d]))
            warn(line, coreText("the %1 description is empty").arg(which));
        else if (descriptions[d].trimmed() == tweak.name)
            warn(line, coreText("the %1 description is only the variable's name").arg(which));
    }
}

} // namespace

QList<ProfileProblem> profileWarnings(const QByteArray &bytes, const ProfilePlan &plan)
{
    return Checker(bytes, plan).run();
}

} // namespace Tunesmith
