// The least a save can compute, as a whole process: the file work of bench_filework (the same Qt start, the same
// reader, the same safe writer) plus each tweak's name and default taken from the profile, one pass over the
// config that looks each line's name up, and the found lines replaced and the others appended as the config is
// written. Nothing else: the profile is not checked, laid out or described, no rule is evaluated (a ruled tweak
// keeps the config's value), the file is not checked again before it is written, and a line is replaced
// whatever else it holds. What tunesmith-cli save takes beyond this is the price of doing the save right.
//   bench_leastsave PROFILE_FILE CONFIG

#include "app/savefile.h"
#include "app/textlines.h"
#include "gameconfig/keyindex.h"
#include "loader/profileplan.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

using namespace Tunesmith;

namespace
{

struct Tweak
{
    std::string_view name;
    std::string_view value;
    qsizetype lineStart = -1; // of the line found in the config, and where it ends (before its line end)
    qsizetype lineEnd = -1;
};

// The lines of a text, one at a time, without their CR LF or LF.
class Lines
{
public:
    explicit Lines(QByteArrayView text)
        : m_at(text.data())
        , m_end(text.data() + text.size())
    {}
    bool atEnd() const { return m_at >= m_end; }
    std::string_view next()
    {
        const auto *feed = static_cast<const char *>(std::memchr(m_at, '\n', std::size_t(m_end - m_at)));
        const char *end = feed ? feed : m_end;
        std::string_view line(m_at, std::size_t(end - m_at));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_at = feed ? feed + 1 : m_end;
        return line;
    }
    const char *position() const { return m_at; }

private:
    const char *m_at;
    const char *m_end;
};

// For each tweak keyword, the data line of its presets after the name's (the default is the first field); 0 for a
// ruled tweak.
int presetLineOf(std::string_view keyword)
{
    if (keyword == "[add simple]")
        return 1;
    if (keyword == "[add multi]")
        return 3;
    if (keyword == "[add text]")
        return 2;
    if (keyword == "[add ping simple]" || keyword == "[add ping text]")
        return 0;
    return -1;
}

std::vector<Tweak> tweaksOf(QByteArrayView profile, ConfigSyntax *syntax)
{
    std::vector<Tweak> tweaks;
    Lines lines(profile);
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (line.empty() || line[0] != '[')
            continue;
        if (line == "[syntax]") {
            lines.next();
            const std::string_view pattern = lines.next();
            if (const auto parsed = parseSyntaxTemplate(QByteArray(pattern.data(), qsizetype(pattern.size()))))
                *syntax = *parsed;
            continue;
        }
        const int presets = presetLineOf(line);
        if (presets < 0)
            continue;
        Tweak tweak;
        tweak.name = lines.next();
        for (int i = 1; i <= presets; ++i) {
            const std::string_view data = lines.next();
            if (i == presets)
                tweak.value = data.substr(0, data.find('|'));
        }
        tweaks.push_back(tweak);
    }
    return tweaks;
}

// Finds each config line's tweak by its name and keeps the first line of each.
void findLines(QByteArrayView config, const ConfigSyntax &syntax, std::vector<Tweak> &tweaks)
{
    KeyIndex names;
    for (const Tweak &tweak : tweaks)
        names.addKey(QByteArrayView(tweak.name.data(), qsizetype(tweak.name.size())));
    const qsizetype prefix = syntax.prefix.size();
    Lines lines(config);
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const auto size = qsizetype(line.size());
        if (size < prefix || std::memcmp(line.data(), syntax.prefix.constData(), std::size_t(prefix)) != 0)
            continue;
        const qsizetype nameEnd = KeyIndex::nameEnd(line.data(), prefix, size);
        const qsizetype valueStart = nameEnd + syntax.middle.size();
        if (valueStart > size ||
            std::memcmp(line.data() + nameEnd, syntax.middle.constData(), std::size_t(syntax.middle.size())) != 0) {
            continue;
        }
        const int id = names.idOf(QByteArrayView(line.data() + prefix, nameEnd - prefix));
        if (id < 0 || tweaks[std::size_t(id)].lineStart >= 0)
            continue;
        Tweak &tweak = tweaks[std::size_t(id)];
        tweak.lineStart = line.data() - config.data();
        tweak.lineEnd = tweak.lineStart + size;
        const qsizetype valueEnd = size - syntax.suffix.size();
        if (valueEnd >= valueStart)
            tweak.value = line.substr(std::size_t(valueStart), std::size_t(valueEnd - valueStart));
    }
}

bool writeMerged(QByteArrayView config, const ConfigSyntax &syntax, const std::vector<Tweak> &tweaks,
                 const PieceWriter &write)
{
    std::vector<const Tweak *> found;
    for (const Tweak &tweak : tweaks) {
        if (tweak.lineStart >= 0)
            found.push_back(&tweak);
    }
    std::sort(found.begin(), found.end(), [](const Tweak *a, const Tweak *b) { return a->lineStart < b->lineStart; });
    const auto view = [](std::string_view text) { return QByteArrayView(text.data(), qsizetype(text.size())); };
    const auto writeLine = [&](const Tweak &tweak) {
        return write(syntax.prefix) && write(view(tweak.name)) && write(syntax.middle) && write(view(tweak.value)) &&
               write(syntax.suffix);
    };
    qsizetype at = 0;
    for (const Tweak *tweak : found) {
        if (!write(config.sliced(at, tweak->lineStart - at)) || !writeLine(*tweak))
            return false;
        at = tweak->lineEnd;
    }
    if (!write(config.sliced(at)))
        return false;
    for (const Tweak &tweak : tweaks) {
        if (tweak.lineStart < 0 && !(writeLine(tweak) && write("\n")))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fputs("usage: bench_leastsave PROFILE_FILE CONFIG\n", stderr);
        return 2;
    }
    QString error;
    const auto profile = readWholeFile(args[0], &error);
    ConfigSyntax syntax;
    std::vector<Tweak> tweaks;
    if (profile)
        tweaks = tweaksOf(*profile, &syntax);
    const auto config = profile ? readWholeFile(args[1], &error) : std::nullopt;
    if (config)
        findLines(*config, syntax, tweaks);
    if (!config ||
        !saveFilePieces(
            args[1], [&](const PieceWriter &write) { return writeMerged(*config, syntax, tweaks, write); }, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::puts("Config saved!");
    return 0;
}
