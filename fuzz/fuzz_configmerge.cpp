// The game config merge: the fast merge of a save against the literal one-by-one save (every difference is a
// failure), the one-pass lookup against one lookup per name, and the backup text against the file's lines.
#include "backupreference.h"
#include "fuzzsupport.h"
#include "gameconfig/configmerge.h"
#include "gameconfig/configsnapshot.h"
#include "loader/profileplan.h"
#include "memorymerge.h"

#include <QList>

using namespace Tunesmith;

namespace
{

void report(const ConfigSyntax &syntax, const QList<MergeItem> &items, const QByteArray &config)
{
    Fuzz::printEscaped("prefix", syntax.prefix);
    Fuzz::printEscaped("middle", syntax.middle);
    Fuzz::printEscaped("suffix", syntax.suffix);
    for (const MergeItem &item : items) {
        Fuzz::printEscaped("name", item.name);
        Fuzz::printEscaped("value", item.value);
    }
    Fuzz::printEscaped("config", config);
}

} // namespace

// Input: a syntax template line ("seta cvar \"value\"", after "[loose spacing]" for a profile with that block), then
// one "NAME\tVALUE" line per tweak, an empty line, and the config file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Fuzz::Parts parts = Fuzz::splitAt(Fuzz::bytes(data, size), "\n\n");
    const QByteArray &config = parts.tail;
    QList<QByteArray> head = parts.head.split('\n');
    // Profile lines never hold a line break, and the writer refuses values that do.
    if (parts.head.contains('\r'))
        return 0;
    QByteArray templateLine = head.takeFirst();
    const bool loose = templateLine.startsWith("[loose spacing]");
    std::optional<ConfigSyntax> syntax = parseSyntaxTemplate(loose ? templateLine.sliced(15) : templateLine);
    if (!syntax)
        return 0;
    syntax->looseSpacing = loose;
    QList<MergeItem> items;
    QList<QByteArray> names;
    for (const QByteArray &line : std::as_const(head)) {
        const Fuzz::Parts item = Fuzz::splitAt(line, "\t");
        items.append({item.head, item.tail});
        names.append(item.head);
    }

    const ConfigSnapshot snapshot(config);
    const QByteArray fast = mergeConfig(snapshot, *syntax, items);
    const QByteArray literal = literalMergeBytes(config, *syntax, items);
    if (fast != literal) {
        report(*syntax, items, config);
        Fuzz::printEscaped("fast merge", fast);
        Fuzz::printEscaped("one by one", literal);
    }
    FUZZ_CHECK(fast == literal);

    // A save writes the same bytes piece by piece.
    QByteArray pieces;
    FUZZ_CHECK(writeMergedConfig(snapshot, *syntax, items, [&pieces](QByteArrayView piece) {
        pieces += piece;
        return true;
    }));
    FUZZ_CHECK(pieces == fast);

    // The changes listed for a preview come from the same merge.
    QList<MergeChange> changes;
    FUZZ_CHECK(mergeConfig(snapshot, *syntax, items, &changes) == fast);

    // A missing file merges as an empty one.
    if (config.isEmpty())
        FUZZ_CHECK(mergeConfig(ConfigSnapshot(QByteArray(), false), *syntax, items) == fast);

    const ConfigLookup lookup(snapshot, *syntax, names);
    // A save after a load takes the lines to rewrite from the load's lookup.
    FUZZ_CHECK(mergeConfig(snapshot, *syntax, items, nullptr, &lookup) == fast);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool holds = holdsName(snapshot, *syntax, names[i]);
        const QByteArray value = lookupValue(snapshot, *syntax, names[i]);
        if (lookup.holds(int(i)) != holds || lookup.value(int(i)) != value) {
            report(*syntax, items, config);
            Fuzz::printEscaped("lookup of", names[i]);
        }
        FUZZ_CHECK(lookup.holds(int(i)) == holds);
        FUZZ_CHECK(lookup.value(int(i)) == value);
    }

    const QByteArray backup = snapshot.text();
    if (backup != expectedBackup(config)) {
        Fuzz::printEscaped("config", config);
        Fuzz::printEscaped("backup", backup);
        Fuzz::printEscaped("expected", expectedBackup(config));
    }
    FUZZ_CHECK(backup == expectedBackup(config));
    return 0;
}
