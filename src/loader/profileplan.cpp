#include "profileplan.h"

#include "app/numbertext.h"
#include "app/textcodec.h"
#include "app/textlines.h"
#include "gameconfig/keyindex.h"

#include <QCoreApplication>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace Tunesmith
{

namespace
{

enum class Keyword
{
    Title,
    Syntax,
    Department,
    AddTab,
    AddLabel,
    AddSimple,
    AddMulti,
    AddText,
    AddPingSimple,
    AddPingText,
    NextColumn,
    AddSpace,
    LooseSpacing,
    InstallHint,
};

struct KeywordInfo
{
    const char *text;
    Keyword keyword;
    int dataLines;
};

constexpr KeywordInfo keywords[] = {
    {"[title]", Keyword::Title, 3},
    {"[syntax]", Keyword::Syntax, 2},
    {"[department]", Keyword::Department, 1},
    {"[add tab]", Keyword::AddTab, 1},
    {"[add label]", Keyword::AddLabel, 1},
    {"[add simple]", Keyword::AddSimple, 4},
    {"[add multi]", Keyword::AddMulti, 6},
    {"[add text]", Keyword::AddText, 5},
    {"[add ping simple]", Keyword::AddPingSimple, 4},
    {"[add ping text]", Keyword::AddPingText, 5},
    {"[next column]", Keyword::NextColumn, 0},
    {"[add space]", Keyword::AddSpace, 1},
    {"[loose spacing]", Keyword::LooseSpacing, 0},
    {"[install hint]", Keyword::InstallHint, 1},
};

const KeywordInfo *findKeyword(QByteArrayView line)
{
    // Every keyword starts with "[" and is short; most lines of a profile are data, so check cheaply first.
    constexpr qsizetype longest = 20;
    if (line.isEmpty() || line[0] != '[' || line.size() > longest)
        return nullptr;
    // Lower-cased once, then compared whole with each keyword of its length.
    char lower[longest];
    for (qsizetype i = 0; i < line.size(); ++i)
        lower[i] = line[i] >= 'A' && line[i] <= 'Z' ? char(line[i] - 'A' + 'a') : line[i];
    for (const KeywordInfo &info : keywords) {
        if (line.size() == qsizetype(std::char_traits<char>::length(info.text)) &&
            std::memcmp(lower, info.text, std::size_t(line.size())) == 0) {
            return &info;
        }
    }
    return nullptr;
}

// Short texts a profile repeats over and over (preset values, bounds, list entries: "0", "1", "Off", "High"),
// kept once and shared by every tweak that has them. A profile of thousands of tweaks would otherwise hold tens of
// thousands of separately allocated copies of a few dozen texts.
class SharedTexts
{
public:
    QByteArray get(QByteArrayView text)
    {
        if (text.isEmpty())
            return {};
        if (text.size() == 1) {
            // Most are one digit: found without hashing.
            QByteArray &single = m_singles[static_cast<unsigned char>(text[0])];
            if (single.isNull())
                single = text.toByteArray();
            return single;
        }
        if (text.size() > maxShared)
            return text.toByteArray();
        const int id = m_index.addKey(text);
        if (std::size_t(id) == m_texts.size())
            m_texts.push_back(text.toByteArray());
        return m_texts[std::size_t(id)];
    }

private:
    static constexpr qsizetype maxShared = 16;
    std::array<QByteArray, 256> m_singles; // one-byte texts, by their byte
    KeyIndex m_index;
    std::vector<QByteArray> m_texts; // by id in the index
};

// The fields of a data line between its "|" separators, an empty line being one empty field.
using Fields = QVarLengthArray<QByteArrayView, 8>;
Fields fieldsOf(QByteArrayView line)
{
    Fields fields;
    const char *end = line.data() + line.size();
    for (const char *from = line.data();;) {
        const auto *bar = static_cast<const char *>(std::memchr(from, '|', std::size_t(end - from)));
        fields.append(QByteArrayView(from, (bar ? bar : end) - from));
        if (!bar)
            break;
        from = bar + 1;
    }
    return fields;
}

class Planner
{
public:
    Planner(const QByteArray &bytes, const QByteArray &department, QList<ProfileProblem> *problems)
        : m_lines(bytes)
        , m_department(department)
        , m_problems(problems)
    {
        m_plan.pageCaptions.append("General");
    }

    std::optional<ProfilePlan> run();

private:
    void problem(int line, const QString &message)
    {
        ++m_problemCount;
        if (m_problems)
            m_problems->append({line, message});
    }
    QByteArray data(int i) const { return m_lines[m_dataStart + i].toByteArray(); }
    Fields fieldsAt(int i) const { return fieldsOf(m_lines[m_dataStart + i]); }
    int dataLine(int i) const { return m_dataStart + i + 1; }

    void handle(const KeywordInfo &info);
    void placeControl(ControlKind kind, int index, int width, int height);
    void makeRoom(int height, int width);
    bool setPosition(qint16 &field, int value);
    std::array<QByteArray, 4> presetLine(int i);
    void boundsLine(int i, TweakDefinition &tweak);
    TweakDefinition &newTweak(TweakKind kind, ControlKind control, int width, int height);

    void reserve();

    LineTable m_lines;
    SharedTexts m_texts;
    QByteArray m_department;
    QList<ProfileProblem> *m_problems;
    int m_problemCount = 0;
    ProfilePlan m_plan;
    int m_keywordLine = 0;
    int m_dataStart = 0;

    qint16 m_nextLeft = PageGeometry::horizontalMargin;
    qint16 m_nextTop = PageGeometry::firstRowTop;
    int m_overflowCount = 0;
    int m_currentPage = 0;
    bool m_firstSection = true;
    bool m_layoutBroken = false;
};

// Room for every heading, tweak and control, so the lists are not copied as they grow: a large profile's
// definitions take megabytes.
void Planner::reserve()
{
    qsizetype counts[int(ControlKind::Text) + 1] = {};
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const KeywordInfo *info = findKeyword(m_lines[i]);
        if (!info)
            continue;
        switch (info->keyword) {
        case Keyword::AddLabel:
            ++counts[int(ControlKind::Label)];
            break;
        case Keyword::AddSimple:
        case Keyword::AddPingSimple:
            ++counts[int(ControlKind::Simple)];
            break;
        case Keyword::AddMulti:
            ++counts[int(ControlKind::Multi)];
            break;
        case Keyword::AddText:
        case Keyword::AddPingText:
            ++counts[int(ControlKind::Text)];
            break;
        default:
            break;
        }
    }
    m_plan.headings.reserve(counts[int(ControlKind::Label)]);
    m_plan.simpleTweaks.reserve(counts[int(ControlKind::Simple)]);
    m_plan.multiTweaks.reserve(counts[int(ControlKind::Multi)]);
    m_plan.textTweaks.reserve(counts[int(ControlKind::Text)]);
    m_plan.controls.reserve(counts[0] + counts[1] + counts[2] + counts[3]);
}

std::optional<ProfilePlan> Planner::run()
{
    reserve();
    const int count = int(m_lines.size());
    int i = 0;
    while (i < count) {
        const KeywordInfo *info = findKeyword(m_lines[i]);
        ++i;
        if (!info)
            continue;
        m_keywordLine = i;
        if (i + info->dataLines > count) {
            problem(m_keywordLine,
                    QCoreApplication::translate("Tunesmith", "\"%1\" needs %2 data lines; the file ends after %3")
                        .arg(QLatin1String(info->text))
                        .arg(info->dataLines)
                        .arg(count - i));
            break;
        }
        m_dataStart = i;
        handle(*info);
        i += info->dataLines;
    }
    if (m_problemCount > 0)
        return std::nullopt;
    m_plan.finalDepartment = m_department;
    if (m_plan.syntax)
        m_plan.syntax->looseSpacing = m_plan.looseSpacing;
    return m_plan;
}

void Planner::handle(const KeywordInfo &info)
{
    using namespace PageGeometry;
    switch (info.keyword) {
    case Keyword::Title:
        m_plan.title = QList<QByteArray>{data(0), data(1), data(2)};
        break;
    case Keyword::Syntax: {
        m_plan.gameConfigFileName = data(0);
        const auto syntax = parseSyntaxTemplate(data(1));
        if (!syntax)
            problem(dataLine(1), QCoreApplication::translate(
                                     "Tunesmith", "the syntax template needs the word \"cvar\" followed by the word "
                                                  "\"value\""));
        else
            m_plan.syntax = *syntax;
        break;
    }
    case Keyword::Department:
        m_department = data(0);
        break;
    case Keyword::LooseSpacing:
        m_plan.looseSpacing = true;
        break;
    case Keyword::InstallHint: {
        // A line cut short (a stray line break) leaves an empty hint, or one with a control byte.
        const QByteArray hint = data(0);
        if (isBlank(hint) || std::any_of(hint.begin(), hint.end(), [](char c) { return uchar(c) < 0x20; }))
            problem(dataLine(0), QCoreApplication::translate(
                                     "Tunesmith", "the install hint \"%1\" is empty or broken by a control character")
                                     .arg(QString::fromUtf8(hint)));
        else
            m_plan.installHints.append(hint);
        break;
    }
    case Keyword::AddTab:
        m_overflowCount = 0;
        // The first section names page 0 rather than adding a page, unless something already stands there: the
        // new section's controls would be drawn over those, out of the player's sight and reach.
        if (!m_firstSection || !m_plan.controls.isEmpty()) {
            m_plan.pageCaptions.append(QByteArray());
            m_currentPage = int(m_plan.pageCaptions.size() - 1);
        }
        m_firstSection = false;
        m_plan.pageCaptions[m_currentPage] = data(0);
        m_nextTop = firstRowTop;
        m_nextLeft = horizontalMargin;
        break;
    case Keyword::AddLabel:
        placeControl(ControlKind::Label, int(m_plan.headings.size() + 1), labelWidth, labelHeight);
        m_plan.headings.append(data(0));
        break;
    case Keyword::AddSimple: {
        TweakDefinition &tweak = newTweak(TweakKind::Simple, ControlKind::Simple, simpleWidth, simpleHeight);
        tweak.presets = presetLine(1);
        tweak.shortDescription = data(2);
        tweak.longDescription = data(3);
        break;
    }
    case Keyword::AddMulti: {
        TweakDefinition &tweak = newTweak(TweakKind::Multi, ControlKind::Multi, multiWidth, multiHeight);
        const Fields texts = fieldsAt(1);
        const Fields values = fieldsAt(2);
        if (values.size() < texts.size()) {
            problem(dataLine(2), QCoreApplication::translate(
                                     "Tunesmith", "the entry values line has %1 fields, fewer than the %2 entry texts")
                                     .arg(values.size())
                                     .arg(texts.size()));
        } else {
            tweak.entries.reserve(texts.size());
            for (qsizetype e = 0; e < texts.size(); ++e)
                tweak.entries.append({m_texts.get(texts[e]), m_texts.get(values[e])});
        }
        tweak.presets = presetLine(3);
        tweak.shortDescription = data(4);
        tweak.longDescription = data(5);
        break;
    }
    case Keyword::AddText: {
        TweakDefinition &tweak = newTweak(TweakKind::Text, ControlKind::Text, textWidth, textHeight);
        boundsLine(1, tweak);
        tweak.presets = presetLine(2);
        tweak.shortDescription = data(3);
        tweak.longDescription = data(4);
        break;
    }
    case Keyword::AddPingSimple: {
        TweakDefinition &tweak = newTweak(TweakKind::Simple, ControlKind::Simple, simpleWidth, simpleHeight);
        tweak.rule = data(1);
        tweak.shortDescription = data(2);
        tweak.longDescription = data(3);
        break;
    }
    case Keyword::AddPingText: {
        TweakDefinition &tweak = newTweak(TweakKind::Text, ControlKind::Text, textWidth, textHeight);
        boundsLine(1, tweak);
        tweak.rule = data(2);
        tweak.shortDescription = data(3);
        tweak.longDescription = data(4);
        break;
    }
    case Keyword::NextColumn:
        setPosition(m_nextLeft, m_nextLeft + horizontalMargin + simpleWidth);
        m_nextTop = firstRowTop;
        break;
    case Keyword::AddSpace: {
        const QByteArray gap = data(0);
        if (gap.size() >= 4)
            break;
        const auto pixels = toInt32(gap);
        if (!pixels || gap.contains('.'))
            problem(dataLine(0), QCoreApplication::translate("Tunesmith", "the gap \"%1\" is not a whole number")
                                     .arg(QString::fromUtf8(gap)));
        else
            setPosition(m_nextTop, m_nextTop + *pixels * twipsPerPixel);
        break;
    }
    }
}

TweakDefinition &Planner::newTweak(TweakKind kind, ControlKind control, int width, int height)
{
    QList<TweakDefinition> &list = kind == TweakKind::Simple  ? m_plan.simpleTweaks
                                   : kind == TweakKind::Multi ? m_plan.multiTweaks
                                                              : m_plan.textTweaks;
    placeControl(control, int(list.size() + 1), width, height);
    TweakDefinition &tweak = list.emplace_back();
    tweak.kind = kind;
    tweak.line = m_keywordLine;
    tweak.name = data(0);
    tweak.department = m_department;
    return tweak;
}

std::array<QByteArray, 4> Planner::presetLine(int i)
{
    const Fields fields = fieldsAt(i);
    if (fields.size() < 4) {
        problem(dataLine(i),
                QCoreApplication::translate("Tunesmith", "the preset line needs 4 fields separated by \"|\"; it has %1")
                    .arg(fields.size()));
    }
    std::array<QByteArray, 4> presets;
    for (qsizetype f = 0; f < std::min<qsizetype>(fields.size(), 4); ++f)
        presets[std::size_t(f)] = m_texts.get(fields[f]);
    return presets;
}

void Planner::boundsLine(int i, TweakDefinition &tweak)
{
    const Fields fields = fieldsAt(i);
    if (fields.size() < 2) {
        problem(dataLine(i),
                QCoreApplication::translate("Tunesmith", "the bounds line needs 2 fields separated by \"|\"; it has %1")
                    .arg(fields.size()));
        return;
    }
    tweak.minValue = m_texts.get(fields[0]);
    tweak.maxValue = m_texts.get(fields[1]);
    const auto min = toInt32(fields[0]);
    const auto max = toInt32(fields[1]);
    if (min && max && *min > *max) {
        problem(dataLine(i), QCoreApplication::translate("Tunesmith", "the minimum %1 is greater than the maximum %2")
                                 .arg(QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1])));
    }
}

void Planner::placeControl(ControlKind kind, int index, int width, int height)
{
    makeRoom(height, width + PageGeometry::horizontalMargin);
    m_plan.controls.append({kind, index, m_currentPage, m_nextLeft, m_nextTop});
    setPosition(m_nextTop, m_nextTop + height);
}

void Planner::makeRoom(int height, int width)
{
    using namespace PageGeometry;
    if (m_nextTop + height <= tabStripHeight - verticalMargin)
        return;
    m_nextTop = firstRowTop;
    if (!setPosition(m_nextLeft, m_nextLeft + width))
        return;
    if (m_nextLeft + width <= tabStripWidth)
        return;
    ++m_overflowCount;
    const int lastIndex = int(m_plan.pageCaptions.size());
    const QByteArray sectionCaption = m_plan.pageCaptions[lastIndex - m_overflowCount];
    m_plan.pageCaptions.append(sectionCaption + " (" + QByteArray::number(m_overflowCount + 1) + ")");
    m_currentPage = lastIndex;
    m_nextLeft = horizontalMargin;
}

bool Planner::setPosition(qint16 &field, int value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        if (!m_layoutBroken)
            problem(m_keywordLine, QCoreApplication::translate(
                                       "Tunesmith", "the layout position %1 twips leaves the range -32768 to 32767")
                                       .arg(value));
        m_layoutBroken = true;
        return false;
    }
    field = qint16(value);
    return true;
}

} // namespace

QString ProfilePlan::caption() const
{
    if (!title)
        return QStringLiteral("Tunesmith");
    return QStringLiteral("Tunesmith | ") + decodeText((*title)[0]);
}

QByteArray ProfilePlan::status() const
{
    if (!title)
        return {};
    return (*title)[0] + " | Last updated on " + (*title)[1] + " by " + (*title)[2];
}

std::optional<ProfilePlan> planProfile(const QByteArray &bytes, const QByteArray &departmentAtStart,
                                       QList<ProfileProblem> *problems)
{
    return Planner(bytes, departmentAtStart, problems).run();
}

std::optional<ConfigSyntax> parseSyntaxTemplate(const QByteArray &line)
{
    const qsizetype cvar = line.indexOf("cvar");
    const qsizetype value = line.indexOf("value");
    if (cvar < 0 || value < cvar + 4)
        return std::nullopt;
    ConfigSyntax syntax;
    syntax.prefix = line.first(cvar);
    syntax.middle = line.sliced(cvar + 4, value - cvar - 4);
    syntax.suffix = line.sliced(value + 5);
    return syntax;
}

} // namespace Tunesmith
