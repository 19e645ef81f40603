#pragma once

#include "app/programstate.h"
#include "app/textlines.h"
#include "keyindex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace Tunesmith
{

// A game config as read at the start of a save or a load: the file's bytes once, its lines as views into them,
// and the line end the file uses. Lookups see only the non-blank lines.
class ConfigSnapshot
{
public:
    ConfigSnapshot() = default;
    explicit ConfigSnapshot(QByteArray bytes, bool existed = true);

    // A missing file gives the empty snapshot; a file that exists but cannot be read gives nullopt and error.
    static std::optional<ConfigSnapshot> read(const QString &path, QString *error);

    bool existed() const { return m_existed; }
    const QByteArray &bytes() const { return m_bytes; }
    // Every line, blank ones too, as a rewrite needs them. Lookups skip the blank ones.
    const LineTable &allLines() const { return m_allLines; }
    bool isEmpty() const { return m_nonBlankCount == 0; } // no non-blank line
    QByteArray lineEnd() const { return m_lineEnd; }
    bool endsWithLineEnd() const { return m_endsWithLineEnd; }
    // Every line end in the file is lineEnd(): then the bytes from one line to a later one can be copied as they
    // are into a rewrite joined with that line end.
    bool uniformLineEnds() const { return m_uniformLineEnds; }
    // The bytes of all lines, line ends not counted.
    qsizetype contentSize() const { return m_contentSize; }

    // The non-blank lines joined with the file's line end, ending as a rewritten file ends: a backup's content.
    QByteArray text() const;

private:
    QByteArray m_bytes;
    LineTable m_allLines; // views into m_bytes, whose data never moves: it is shared, never written
    qsizetype m_nonBlankCount = 0;
    qsizetype m_contentSize = 0;
    QByteArray m_lineEnd = "\r\n";
    bool m_endsWithLineEnd = true;
    bool m_uniformLineEnds = true;
    bool m_existed = false;
};

// Value lookup of one name: the value (ConfigLine::valueLength) on the first non-blank line of the name, "" when
// there is none.
QByteArray lookupValue(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name);

// Whether a non-blank line holds name (ConfigLine::holdsName): a config holds a tweak only then.
bool holdsName(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QByteArray &name);

// Looks up many names with one pass over the snapshot. The same pass finds, for each name, the lines that begin
// with its whole key (prefix, name, middle): the lines a save of the same bytes rewrites, so that the save need
// not pass over the file again.
class ConfigLookup
{
public:
    ConfigLookup(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<QByteArray> &names);

    bool holds(int nameIndex) const { return m_holds[nameIndex]; }
    QByteArray value(int nameIndex) const { return m_values[nameIndex]; }

    const ConfigSyntax &syntax() const { return m_syntax; }
    // The lines of the snapshot it passed over, blank ones too.
    qsizetype lineCount() const { return m_lineCount; }
    // The snapshot's lines, blank ones too, that begin with the key prefix + name + middle, in file order. False
    // when the key does not have this lookup's prefix and middle around one of the names looked up, and with loose
    // spacing, where a line's key is no longer its first bytes.
    bool linesWithKey(QByteArrayView key, std::pair<const int *, const int *> *lines) const;

private:
    ConfigSyntax m_syntax;
    qsizetype m_lineCount;
    KeyIndex m_starts; // prefix + name; with loose spacing the name alone
    KeyLineLists m_keyLines;
    QList<bool> m_holds;
    QList<QByteArray> m_values;
};

// A game config as last read into a profile's tweaks: its bytes and the lookup's pass over them. A save of a file
// that still holds these bytes takes the lines to rewrite from the lookup.
struct ScannedConfig
{
    ConfigSnapshot snapshot;
    std::optional<ConfigLookup> lookup;

    const ConfigLookup *scan() const { return lookup ? &*lookup : nullptr; }
};

// The file at path as a save or a preview starts from: kept itself when the file still holds exactly its bytes,
// otherwise read afresh (without a lookup). A missing file reads as the empty snapshot; a file that cannot be
// read gives nullptr and error.
std::shared_ptr<const ScannedConfig> readConfigForSave(const QString &path, std::shared_ptr<const ScannedConfig> kept,
                                                       QString *error);

} // namespace Tunesmith
