#include "configsnapshot.h"

#include "app/fileutil.h"
#include "app/rangework.h"
#include "app/textlines.h"
#include "keyindex.h"

#include <QCoreApplication>

#include <string>

namespace Tunesmith
{

ConfigSnapshot::ConfigSnapshot(QByteArray bytes, bool existed)
    : m_bytes(std::move(bytes))
    , m_allLines(m_bytes)
    , m_existed(existed)
{
    for (qsizetype l = 0; l < m_allLines.size(); ++l) {
        const QByteArrayView line = m_allLines[l];
        m_contentSize += line.size();
        if (!isBlank(line))
            ++m_nonBlankCount;
    }
    m_lineEnd = rewriteLineEnd(m_allLines.firstLineEnd(), m_bytes);
    if (!m_allLines.isEmpty())
        m_endsWithLineEnd = m_allLines.endsWithLineEnd();
    // Line ends are the only CR and LF bytes. With CR LF, every end is CR LF when the ends take two bytes each;
    // otherwise, when the other byte never occurs.
    const qsizetype ends = m_allLines.size() - (m_endsWithLineEnd ? 0 : 1);
    if (m_lineEnd.size() == 2)
        m_uniformLineEnds = m_bytes.size() - m_contentSize == 2 * ends;
    else
        m_uniformLineEnds = !m_bytes.contains(m_lineEnd[0] == '\n' ? '\r' : '\n');
}

namespace
{

// A config file's bytes, and whether it exists: a missing file has none. Nullopt when it cannot be read.
std::optional<QByteArray> readConfigBytes(const QString &path, bool *existed, QString *error)
{
    *existed = FileExists(path);
    if (!*existed) {
        if (FolderExists(path)) {
            if (error)
                *error = QCoreApplication::translate("Tunesmith", "%1 is a folder, not a file").arg(path);
            return std::nullopt;
        }
        return QByteArray();
    }
    return readWholeFile(path, error);
}

} // namespace

std::optional<ConfigSnapshot> ConfigSnapshot::read(const QString &path, QString *error)
{
    bool existed = false;
    auto bytes = readConfigBytes(path, &existed, error);
    if (!bytes)
        return std::nullopt;
    return ConfigSnapshot(std::move(*bytes), existed);
}

QByteArray ConfigSnapshot::text() const
{
    QByteArray out;
    if (m_nonBlankCount == 0)
        return out;
    out.reserve(m_contentSize + m_nonBlankCount * m_lineEnd.size());
    qsizetype written = 0;
    for (qsizetype l = 0; l < m_allLines.size(); ++l) {
        const QByteArrayView line = m_allLines[l];
        if (isBlank(line))
            continue;
        if (written++ > 0)
            out += m_lineEnd;
        out += line;
    }
    if (m_endsWithLineEnd)
        out += m_lineEnd;
    return out;
}

QByteArray valueAfterKey(QByteArrayView line, qsizetype keyLength, const QByteArray &suffix)
{
    const QByteArrayView rest = line.sliced(keyLength);
    if (suffix.isEmpty())
        return rest.toByteArray();
    const qsizetype end = rest.indexOf(suffix);
    return (end < 0 ? rest : rest.first(end)).toByteArray();
}

QByteArray lookupValue(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name)
{
    const QByteArray key = syntax.key(name);
    const LineTable &lines = snapshot.allLines();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        if (lines[l].startsWith(key) && !isBlank(lines[l]))
            return valueAfterKey(lines[l], key.size(), syntax.suffix);
    }
    return {};
}

namespace
{

// The line begins with prefix + name (startLength bytes), and the name ends there: "seta r_mode 3" holds r_mode,
// while "seta r_modex 3" belongs to another variable. A name followed by the template's middle ends too.
bool lineHoldsName(QByteArrayView line, qsizetype startLength, const QByteArray &middle)
{
    return line.size() == startLength || !KeyIndex::continuesName(line[startLength]) ||
           line.sliced(startLength).startsWith(middle);
}

} // namespace

bool holdsName(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name)
{
    const QByteArray start = syntax.prefix + name;
    const LineTable &lines = snapshot.allLines();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        if (lines[l].startsWith(start) && !isBlank(lines[l]) && lineHoldsName(lines[l], start.size(), syntax.middle))
            return true;
    }
    return false;
}

ConfigLookup::ConfigLookup(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<QByteArray> &names)
    : m_syntax(syntax)
    , m_lineCount(snapshot.allLines().size())
    , m_holds(names.size(), false)
    , m_values(names.size())
{
    // One index of prefix + name answers both questions: a line holds the name when the name ends there, and the
    // value comes from the first line where the template's middle follows. When the middle begins with a byte no
    // name goes on with, such a line's name ends there too, so the index need only try where names end.
    m_starts.setCommonAffixes(syntax.prefix, QByteArrayView());
    m_starts.setWholeNamesOnly(!syntax.middle.isEmpty() && !KeyIndex::continuesName(syntax.middle[0]));
    qsizetype nameBytes = 0;
    for (const QByteArray &name : names)
        nameBytes += name.size();
    m_starts.reserve(names.size(), nameBytes + names.size() * syntax.prefix.size());
    QList<int> ids(names.size());
    std::string key;
    for (qsizetype i = 0; i < names.size(); ++i) {
        key.assign(syntax.prefix.constData(), std::size_t(syntax.prefix.size()));
        key.append(names[i].constData(), std::size_t(names[i].size()));
        ids[i] = m_starts.addKey(key);
    }
    // Each range of lines notes what it finds, in file order; the first line of each name is then picked in order.
    struct Hit
    {
        int id;
        int line;
        bool middleFollows;
        bool blank;
        bool holdsName;
    };
    const LineTable &lines = snapshot.allLines();
    std::vector<std::vector<Hit>> found(std::size_t(rangeCount(lines.size(), linesPerPassRange)));
    forEachRange(lines.size(), linesPerPassRange, [&](qsizetype begin, qsizetype end, qsizetype range) {
        std::vector<Hit> &hits = found[std::size_t(range)];
        for (qsizetype l = begin; l < end; ++l) {
            const QByteArrayView line = lines[l];
            m_starts.forEachKeyAtStart(line, [&](int id) {
                const qsizetype length = m_starts.key(id).size();
                // Blank lines hold nothing, but a save rewrites them too when they begin with a whole key.
                const bool blank = isBlank(line);
                hits.push_back({id, int(l), line.sliced(length).startsWith(syntax.middle), blank,
                                !blank && lineHoldsName(line, length, syntax.middle)});
            });
        }
    });
    QList<bool> seen(m_starts.keyCount(), false);
    QList<qsizetype> firstLine(m_starts.keyCount(), -1);
    std::vector<std::pair<int, int>> keyHits; // key id, line: lines where the middle follows the name
    keyHits.reserve(std::size_t(names.size()));
    for (const std::vector<Hit> &hits : found) {
        for (const Hit &hit : hits) {
            if (hit.middleFollows)
                keyHits.emplace_back(hit.id, hit.line);
            if (hit.blank)
                continue;
            if (hit.holdsName)
                seen[hit.id] = true;
            if (firstLine[hit.id] < 0 && hit.middleFollows)
                firstLine[hit.id] = hit.line;
        }
    }
    m_keyLines = KeyLineLists(m_starts.keyCount(), keyHits);
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_holds[i] = seen[ids[i]];
        const qsizetype line = firstLine[ids[i]];
        if (line >= 0)
            m_values[i] = valueAfterKey(lines[line], m_starts.key(ids[i]).size() + syntax.middle.size(), syntax.suffix);
    }
}

bool ConfigLookup::linesWithKey(QByteArrayView key, std::pair<const int *, const int *> *lines) const
{
    if (!key.startsWith(m_syntax.prefix) || !key.endsWith(m_syntax.middle))
        return false;
    const int id = m_starts.idOf(key.chopped(m_syntax.middle.size()));
    if (id < 0)
        return false;
    *lines = m_keyLines.lines(id);
    return true;
}

std::shared_ptr<const ScannedConfig> readConfigForSave(const QString &path, std::shared_ptr<const ScannedConfig> kept,
                                                       QString *error)
{
    // Compared without reading the file into memory a second time.
    if (kept && kept->snapshot.existed() && fileHoldsBytes(path, kept->snapshot.bytes()))
        return kept;
    bool existed = false;
    auto bytes = readConfigBytes(path, &existed, error);
    if (!bytes)
        return nullptr;
    auto scanned = std::make_shared<ScannedConfig>();
    scanned->snapshot = ConfigSnapshot(std::move(*bytes), existed);
    return scanned;
}

} // namespace Tunesmith
