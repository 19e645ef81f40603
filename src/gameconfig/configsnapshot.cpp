#include "configsnapshot.h"

#include "app/fileutil.h"
#include "app/textlines.h"
#include "keyindex.h"

namespace Tunesmith
{

ConfigSnapshot::ConfigSnapshot(QByteArray bytes, bool existed)
    : m_bytes(std::move(bytes))
    , m_existed(existed)
{
    m_allLines = splitLineViews(m_bytes);
    m_lines.reserve(m_allLines.size());
    for (QByteArrayView line : m_allLines) {
        if (!isBlank(line))
            m_lines.append(line);
    }
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        if (m_bytes[i] == '\r' || m_bytes[i] == '\n') {
            m_lineEnd = (m_bytes[i] == '\r' && i + 1 < m_bytes.size() && m_bytes[i + 1] == '\n')
                            ? QByteArray("\r\n")
                            : QByteArray(1, m_bytes[i]);
            break;
        }
    }
    if (!m_allLines.isEmpty())
        m_endsWithLineEnd = m_bytes.endsWith('\n') || m_bytes.endsWith('\r');
}

std::optional<ConfigSnapshot> ConfigSnapshot::read(const QString &path, QString *error)
{
    if (!FileExists(path)) {
        if (FolderExists(path)) {
            if (error)
                *error = QStringLiteral("%1 is a folder, not a file").arg(path);
            return std::nullopt;
        }
        return ConfigSnapshot(QByteArray(), false);
    }
    auto bytes = readWholeFile(path, error);
    if (!bytes)
        return std::nullopt;
    return ConfigSnapshot(std::move(*bytes), true);
}

QByteArray ConfigSnapshot::text() const
{
    TextLines text;
    text.lineEnd = m_lineEnd;
    text.endsWithLineEnd = m_endsWithLineEnd;
    text.lines.reserve(m_lines.size());
    for (QByteArrayView line : m_lines)
        text.lines.append(line.toByteArray());
    return text.join();
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
    for (QByteArrayView line : snapshot.lines()) {
        if (line.startsWith(key))
            return valueAfterKey(line, key.size(), syntax.suffix);
    }
    return {};
}

namespace
{

bool continuesName(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The line begins with prefix + name, and the name ends there: "seta r_mode 3" holds r_mode, while
// "seta r_modex 3" belongs to another variable.
bool lineHoldsName(QByteArrayView line, qsizetype startLength, const QByteArray &key)
{
    return line.size() == startLength || !continuesName(line[startLength]) || line.startsWith(key);
}

} // namespace

bool holdsName(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name)
{
    const QByteArray start = syntax.prefix + name;
    const QByteArray key = syntax.key(name);
    for (QByteArrayView line : snapshot.lines()) {
        if (line.startsWith(start) && lineHoldsName(line, start.size(), key))
            return true;
    }
    return false;
}

ConfigLookup::ConfigLookup(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<QByteArray> &names)
    : m_holds(names.size(), false)
    , m_values(names.size())
{
    // Two indexes: prefix + name decides whether the config holds the tweak, the whole key gives its value.
    KeyIndex starts;
    KeyIndex keys;
    starts.setCommonAffixes(syntax.prefix, QByteArray());
    keys.setCommonAffixes(syntax.prefix, syntax.middle);
    QList<int> startIds(names.size());
    QList<int> keyIds(names.size());
    QList<QByteArray> startKeys; // by start id: the whole key of that name
    for (qsizetype i = 0; i < names.size(); ++i) {
        startIds[i] = starts.addKey(syntax.prefix + names[i]);
        if (startIds[i] == startKeys.size())
            startKeys.append(syntax.key(names[i]));
        keyIds[i] = keys.addKey(syntax.key(names[i]));
    }
    QList<bool> startSeen(starts.keyCount(), false);
    QList<int> firstLine(keys.keyCount(), -1);
    const QList<QByteArrayView> &lines = snapshot.lines();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        starts.forEachKeyAtStart(lines[l], [&](int id) {
            if (!startSeen[id] && lineHoldsName(lines[l], starts.key(id).size(), startKeys[id]))
                startSeen[id] = true;
        });
        keys.forEachKeyAtStart(lines[l], [&](int id) {
            if (firstLine[id] < 0)
                firstLine[id] = int(l);
        });
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_holds[i] = startSeen[startIds[i]];
        const int line = firstLine[keyIds[i]];
        if (line >= 0)
            m_values[i] = valueAfterKey(lines[line], keys.key(keyIds[i]).size(), syntax.suffix);
    }
}

} // namespace Tunesmith
