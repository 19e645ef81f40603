#include "profilescaffold.h"

#include "app/numbertext.h"
#include "app/textcodec.h"
#include "app/textlines.h"
#include "gameconfig/configline.h"
#include "profileplan.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>

namespace Tunesmith
{

namespace ProfileScaffold
{

namespace
{

// Variables that share a prefix get a heading of their own from this many on.
constexpr int commonPrefixCount = 3;

// Commands of game consoles whose lines look like a variable's when the template has no prefix.
const char *const consoleCommands[] = {"alias",  "aliasa",  "bind",       "cmd",    "connect",   "echo",    "exec",
                                       "map",    "say",     "set",        "seta",   "sets",      "setinfo", "setu",
                                       "toggle", "unalias", "unaliasall", "unbind", "unbindall", "vstr",    "wait"};

struct PrefixPage
{
    const char *prefix;
    const char *page;
};

// What the common prefixes of the console-variable engines are about.
constexpr PrefixPage prefixPages[] = {
    {"r_", "Graphics"},  {"gl_", "Graphics"}, {"vid_", "Graphics"}, {"mat_", "Graphics"}, {"scr_", "Graphics"},
    {"s_", "Sound"},     {"snd_", "Sound"},   {"sound_", "Sound"},  {"mus_", "Sound"},    {"music_", "Sound"},
    {"net_", "Network"}, {"in_", "Input"},    {"m_", "Input"},      {"joy_", "Input"},    {"mouse_", "Input"},
    {"key_", "Input"},   {"cl_", "Client"},   {"cg_", "Client"},    {"hud_", "Client"},   {"con_", "Client"},
    {"ui_", "Client"},   {"sv_", "Server"},   {"g_", "Server"},     {"bot_", "Server"},
};

bool isAsciiLetter(char c)
{
    const char lower = char(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

bool startsName(char c)
{
    return isAsciiLetter(c) || c == '_';
}

bool continuesName(char c)
{
    return startsName(c) || (c >= '0' && c <= '9') || c == '.';
}

struct Setting
{
    QByteArray name;
    QByteArray value;
};

// The settings of the config in its order, the first line of each variable only. Sets spaced when a line fits only
// because runs of blanks and tabs are read loosely.
QList<Setting> readSettings(const QByteArray &config, const ConfigSyntax &syntax, bool *spaced)
{
    QList<Setting> settings;
    QSet<QByteArray> named;
    const LineTable lines(config);
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QByteArrayView line = lines[l];
        const qsizetype nameAt = ConfigLine::pieceEnd(line, 0, syntax.prefix, syntax.looseSpacing);
        if (nameAt < 0 || nameAt == line.size() || !startsName(line[nameAt]))
            continue;
        qsizetype nameEnd = nameAt + 1;
        while (nameEnd < line.size() && continuesName(line[nameEnd]))
            ++nameEnd;
        const qsizetype start = ConfigLine::pieceEnd(line, nameEnd, syntax.middle, syntax.looseSpacing);
        const QByteArray name = line.sliced(nameAt, nameEnd - nameAt).toByteArray();
        // A config's value is that of the first line of the variable; a later one is not the tweak's.
        if (start < 0 || named.contains(name))
            continue;
        named.insert(name);
        const QByteArrayView value = ConfigLine::valueAt(line, start, syntax.suffix);
        const bool suffixFollows = line.sliced(start + value.size()).startsWith(syntax.suffix);
        const bool command = std::any_of(std::begin(consoleCommands), std::end(consoleCommands), [&](const char *word) {
            return name.compare(word, Qt::CaseInsensitive) == 0;
        });
        // Without its suffix a save would not find the value again; a "|" would split a profile's field.
        if (!suffixFollows || value.contains('|') || command)
            continue;
        if (line.first(nameAt) != syntax.prefix || line.sliced(nameEnd, start - nameEnd) != syntax.middle)
            *spaced = true;
        settings.append({name, value.toByteArray()});
    }
    return settings;
}

// "r_" of "r_picmip", in lower case; "" when the name has no "_" after its first byte.
QByteArray prefixOf(const QByteArray &name)
{
    const qsizetype bar = name.indexOf('_', 1);
    return bar > 0 && bar + 1 < name.size() ? name.first(bar + 1).toLower() : QByteArray();
}

QByteArray pageOf(const QByteArray &prefix)
{
    for (const PrefixPage &known : prefixPages) {
        if (prefix == known.prefix)
            return known.page;
    }
    return "Other";
}

// Pages come in the order of the table, Other last.
int pageRank(const QByteArray &caption)
{
    const auto known = std::find_if(std::begin(prefixPages), std::end(prefixPages),
                                    [&](const PrefixPage &entry) { return caption == entry.page; });
    return int(known - std::begin(prefixPages));
}

struct Group
{
    QByteArray heading;
    QList<const Setting *> settings;
};

struct Page
{
    QByteArray caption;
    QList<QByteArray> groupKeys; // in the order they first come
    QHash<QByteArray, Group> groups;
};

// Pages, their headings and the tweaks under them; headings and tweaks in the order the config first has them.
QList<Page> arrange(const QList<Setting> &settings)
{
    QHash<QByteArray, int> prefixCounts;
    for (const Setting &setting : settings)
        ++prefixCounts[prefixOf(setting.name)];
    QList<Page> pages;
    for (const Setting &setting : settings) {
        QByteArray key = prefixOf(setting.name);
        if (prefixCounts.value(key) < commonPrefixCount)
            key.clear();
        const QByteArray caption = key.isEmpty() ? QByteArray("Other") : pageOf(key);
        auto page = std::find_if(pages.begin(), pages.end(), [&](const Page &p) { return p.caption == caption; });
        if (page == pages.end())
            page = pages.insert(pages.end(), Page{caption, {}, {}});
        if (!page->groups.contains(key)) {
            page->groupKeys.append(key);
            page->groups.insert(key, {key.isEmpty() ? QByteArray("Other") : setting.name.first(key.size()) + '*', {}});
        }
        page->groups[key].settings.append(&setting);
    }
    std::stable_sort(pages.begin(), pages.end(),
                     [](const Page &a, const Page &b) { return pageRank(a.caption) < pageRank(b.caption); });
    return pages;
}

class Writer
{
public:
    void line(QByteArrayView text) { m_bytes.append(text).append("\r\n"); }
    void block(const char *keyword, std::initializer_list<QByteArrayView> data)
    {
        line(keyword);
        for (const QByteArrayView text : data)
            line(text);
    }
    void tweak(const Setting &setting);
    QByteArray &bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
};

void Writer::tweak(const Setting &setting)
{
    const QByteArray &name = setting.name;
    const QByteArray &value = setting.value;
    const QByteArray presets = value + '|' + value + '|' + value + '|' + value;
    const auto number = toInt32(value);
    if (value == "0" || value == "1")
        block("[add simple]", {name, presets, name, name});
    else if (number && numberText(*number) == value)
        block("[add text]", {name, "|", presets, name, name});
    else
        block("[add multi]", {name, value.isEmpty() ? QByteArrayView("(empty)") : value, value, "0|0|0|0", name, name});
}

} // namespace

std::optional<QString> templateProblem(const QByteArray &syntaxTemplate)
{
    const auto syntax = parseSyntaxTemplate(syntaxTemplate);
    if (syntax && !syntax->middle.isEmpty())
        return std::nullopt;
    return coreText(
        "the syntax template needs the word \"cvar\", then what stands between a variable and its value, then "
        "the word \"value\"");
}

std::optional<QByteArray> make(const Request &request, QString *error)
{
    if (const auto problem = templateProblem(request.syntaxTemplate)) {
        if (error)
            *error = *problem;
        return std::nullopt;
    }
    auto syntax = parseSyntaxTemplate(request.syntaxTemplate);
    // Read loosely where the template has blanks, and so written only when a line needs it.
    syntax->looseSpacing = std::any_of(request.syntaxTemplate.begin(), request.syntaxTemplate.end(),
                                       [](char c) { return c == ' ' || c == '\t'; });
    bool spaced = false;
    const QList<Setting> settings = readSettings(request.config, *syntax, &spaced);
    if (settings.isEmpty()) {
        if (error)
            *error = coreText("no line sets a variable as the syntax template \"%1\" writes it")
                         .arg(QString::fromUtf8(request.syntaxTemplate));
        return std::nullopt;
    }

    Writer out;
    // Notes: lines where a keyword could stand that are none are skipped. They alone make the profile larger than
    // the 512 bytes of a broken download.
    out.line("This profile was started by tunesmith-cli scaffold from " + request.configFileName + ":");
    out.line("a tweak for every line of it that fits the syntax template, with the config's values as defaults");
    out.line("and presets. Lines like these, where a keyword could stand, are notes for the author.");
    out.line("Still to do: write the short and long description of every tweak (each holds the variable's name),");
    out.line("give list entries readable texts, set High Quality, FPS Boost and Die Hard FPS to taste, and run");
    out.line("tunesmith-cli check --strict on the profile until it warns no more.");
    out.block("[title]", {request.game, request.date.toString(QStringLiteral("d-M-yyyy")).toLatin1(), "Your Name"});
    out.block("[syntax]", {request.configFileName, request.syntaxTemplate});
    if (spaced)
        out.line("[loose spacing]");
    for (const Page &page : arrange(settings)) {
        out.block("[add tab]", {page.caption});
        for (const QByteArray &key : page.groupKeys) {
            const Group &group = page.groups[key];
            out.block("[add label]", {group.heading});
            for (const Setting *setting : group.settings)
                out.tweak(*setting);
        }
    }
    return out.bytes();
}

} // namespace ProfileScaffold

} // namespace Tunesmith
