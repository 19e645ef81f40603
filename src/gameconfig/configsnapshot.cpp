#include "configsnapshot.h"

#include "app/fileutil.h"
#include "app/rangework.h"
#include "app/textlines.h"
#include "configline.h"
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

QByteArray lookupValue(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name)
{
    const LineTable &lines = snapshot.allLines();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const qsizetype start = ConfigLine::valueStart(lines[l], syntax, name);
        if (start >= 0 && !isBlank(lines[l]))
            return ConfigLine::valueAt(lines[l], start, syntax.suffix).toByteArray();
    }
    return {};
}

bool holdsName(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name)
{
    const LineTable &lines = snapshot.allLines();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        if (!isBlank(lines[l]) && ConfigLine::holdsName(lines[l], syntax, name))
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
    // name goes on with, such a line's name ends there too, so the index need only try where names end. With loose
    // spacing a line's prefix is matched first, and the index holds the names alone.
    const bool loose = syntax.looseSpacing;
    const QByteArray keyPrefix = loose ? QByteArray() : syntax.prefix;
    m_starts.setCommonAffixes(keyPrefix, QByteArrayView());
    m_starts.setWholeNamesOnly(!syntax.middle.isEmpty() && !KeyIndex::continuesName(syntax.middle[0]));
    qsizetype nameBytes = 0;
    for (const QByteArray &name : names)
        nameBytes += name.size();
    m_starts.reserve(names.size(), nameBytes + names.size() * keyPrefix.size());
    QList<int> ids(names.size());
    std::string key;
    for (qsizetype i = 0; i < names.size(); ++i) {
        key.assign(keyPrefix.constData(), std::size_t(keyPrefix.size()));
        key.append(names[i].constData(), std::size_t(names[i].size()));
        ids[i] = m_starts.addKey(key);
    }
    // Each range of lines notes what it finds, in file order; the first line of each name is then picked in order.
    struct Hit
    {
        int id;
        int line;
        int valueStart; // -1 when the middle does not follow the name
        bool blank;
        bool holdsName;
    };
    const LineTable &lines = snapshot.allLines();
    std::vector<std::vector<Hit>> found(std::size_t(rangeCount(lines.size(), linesPerPassRange)));
    forEachRange(lines.size(), linesPerPassRange, [&](qsizetype begin, qsizetype end, qsizetype range) {
        std::vector<Hit> &hits = found[std::size_t(range)];
        for (qsizetype l = begin; l < end; ++l) {
            const QByteArrayView line = lines[l];
            const qsizetype from = loose ? ConfigLine::pieceEnd(line, 0, syntax.prefix, true) : 0;
            if (from < 0)
                continue;
            m_starts.forEachKeyAtStart(line.sliced(from), [&](int id) {
                const qsizetype nameEnd = from + m_starts.key(id).size();
                const qsizetype start = ConfigLine::pieceEnd(line, nameEnd, syntax.middle, loose);
                // Blank lines hold nothing, but a save rewrites them too when they begin with a whole key.
                const bool blank = isBlank(line);
                hits.push_back(
                    {id, int(l), int(start), blank,
                     !blank && (nameEnd == line.size() || !KeyIndex::continuesName(line[nameEnd]) || start >= 0)});
            });
        }
    });
    QList<bool> seen(m_starts.keyCount(), false);
    QList<qsizetype> firstLine(m_starts.keyCount(), -1);
    QList<qsizetype> valueStart(m_starts.keyCount(), -1);
    std::vector<std::pair<int, int>> keyHits; // key id, line: lines where the middle follows the name
    keyHits.reserve(std::size_t(names.size()));
    for (const std::vector<Hit> &hits : found) {
        for (const Hit &hit : hits) {
            if (hit.valueStart >= 0)
                keyHits.emplace_back(hit.id, hit.line);
            if (hit.blank)
                continue;
            if (hit.holdsName)
                seen[hit.id] = true;
            if (firstLine[hit.id] < 0 && hit.valueStart >= 0) {
                firstLine[hit.id] = hit.line;
                valueStart[hit.id] = hit.valueStart;
            }
        }
    }
    m_keyLines = KeyLineLists(m_starts.keyCount(), keyHits);
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_holds[i] = seen[ids[i]];
        const qsizetype line = firstLine[ids[i]];
        if (line >= 0)
            m_values[i] = ConfigLine::valueAt(lines[line], valueStart[ids[i]], syntax.suffix).toByteArray();
    }
}

bool ConfigLookup::linesWithKey(QByteArrayView key, std::pair<const int *, const int *> *lines) const
{
    if (m_syntax.looseSpacing || !key.startsWith(m_syntax.prefix) || !key.endsWith(m_syntax.middle))
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
