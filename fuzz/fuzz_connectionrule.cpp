// Connection rules: both kinds evaluated for the speeds in the input, the arithmetic one against an evaluation in
// exact integers, and both run through the tweak models that hold them.
#include "app/numbertext.h"
#include "app/programstate.h"
#include "fuzzsupport.h"
#include "tweaks/connectionrule.h"
#include "tweaks/simpletweak.h"
#include "tweaks/texttweak.h"

#include <QList>

#include <limits>
#include <optional>

using namespace Tunesmith;

namespace
{

__extension__ typedef __int128 Wide;

std::optional<qint32> inRange(Wide value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

// a / b rounded to the nearest whole number, halves to the even one, in integers only.
std::optional<qint32> divided(qint32 a, qint32 b)
{
    if (b == 0)
        return std::nullopt;
    Wide q = Wide(a) / b;
    const Wide r = Wide(a) % b; // has the sign of a
    const Wide twice = 2 * (r < 0 ? -r : r);
    const Wide divisor = b < 0 ? -Wide(b) : Wide(b);
    const int direction = (a < 0) != (b < 0) ? -1 : 1;
    if (twice > divisor || (twice == divisor && q % 2 != 0))
        q += direction;
    return inRange(q);
}

// a ^ b: exact for whole powers; a negative power is 1 / a^-b, rounded.
std::optional<qint32> power(qint32 a, qint32 b)
{
    if (b < 0) {
        if (a == 0)
            return std::nullopt; // infinite
        if (a == 1)
            return 1;
        if (a == -1)
            return (-Wide(b)) % 2 == 0 ? 1 : -1;
        return 0; // at most a half in size, and a half rounds to 0
    }
    if (a == 0 || a == 1)
        return b == 0 ? 1 : a;
    if (a == -1)
        return b % 2 == 0 ? 1 : -1;
    Wide result = 1;
    for (qint32 i = 0; i < b; ++i) {
        result *= a;
        if (result > std::numeric_limits<qint32>::max() || result < std::numeric_limits<qint32>::min())
            return std::nullopt;
    }
    return inRange(result);
}

// The rule's operands and operators from left to right, as the program reads them: the first token is a number,
// every later token that is an operator takes the token after it.
std::optional<qint32> expectedArithmetic(const QByteArray &split, qint32 upload, qint32 download)
{
    QList<QByteArray> t = split.split('|');
    for (QByteArray &token : t) {
        if (token == "us")
            token = QByteArray::number(upload);
        else if (token == "ds")
            token = QByteArray::number(download);
    }
    std::optional<qint32> r = toInt32(t[0]);
    for (qsizetype i = 0; r && i < t.size(); ++i) {
        const QByteArray &op = t[i];
        if (op != "+" && op != "-" && op != "*" && op != "/" && op != "^")
            continue;
        if (i + 1 >= t.size())
            return std::nullopt;
        const std::optional<qint32> x = toInt32(t[i + 1]);
        if (!x)
            return std::nullopt;
        if (op == "+")
            r = inRange(Wide(*r) + *x);
        else if (op == "-")
            r = inRange(Wide(*r) - *x);
        else if (op == "*")
            r = inRange(Wide(*r) * *x);
        else if (op == "/")
            r = divided(*r, *x);
        else
            r = power(*r, *x);
    }
    return r;
}

qint32 speedFrom(const QByteArray &text)
{
    return toInt32(text).value_or(0);
}

} // namespace

// Input: "UPLOAD DOWNLOAD\nMIN|MAX\nRULE".
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    const Fuzz::Parts first = Fuzz::splitAt(input, "\n");
    const Fuzz::Parts second = Fuzz::splitAt(first.tail, "\n");
    const QByteArray rule = second.tail;
    const Fuzz::Parts speeds = Fuzz::splitAt(first.head, " ");
    const Fuzz::Parts bounds = Fuzz::splitAt(second.head, "|");

    ProgramState state;
    state.uploadSpeed = speedFrom(speeds.head);
    state.downloadSpeed = speedFrom(speeds.tail);

    const QByteArray comparison = ConnectionRule::splitComparison(rule);
    const std::optional<QByteArray> onOff =
        ConnectionRule::evaluateComparison(comparison, state.uploadSpeed, state.downloadSpeed);
    FUZZ_CHECK(!onOff || *onOff == "1" || *onOff == "0");

    const QByteArray arithmetic = ConnectionRule::splitArithmetic(rule);
    const std::optional<qint32> number =
        ConnectionRule::evaluateArithmetic(arithmetic, state.uploadSpeed, state.downloadSpeed);
    const std::optional<qint32> expected = expectedArithmetic(arithmetic, state.uploadSpeed, state.downloadSpeed);
    if (number != expected) {
        Fuzz::printEscaped("rule", arithmetic);
        std::fprintf(stderr, "us %d ds %d: gave %s%d, expected %s%d\n", state.uploadSpeed, state.downloadSpeed,
                     number ? "" : "nothing ", number.value_or(0), expected ? "" : "nothing ", expected.value_or(0));
    }
    FUZZ_CHECK(number == expected);
    FUZZ_CHECK(!ConnectionRule::failureMessage(arithmetic).isEmpty());

    // The same rules held by tweaks: an on/off tweak takes the comparison's result, a numeric one the
    // arithmetic result as its default and, within its bounds, as its value.
    int reported = 0;
    TweakContext context{&state, [&](const QString &) { ++reported; }};
    SimpleTweak simple(1, &context);
    simple.setPing(rule);
    simple.SetPing();
    FUZZ_CHECK(simple.Value() == onOff.value_or(QByteArray()));
    FUZZ_CHECK(simple.Default() == onOff.value_or(QByteArray()));

    TextTweak text(1, &context);
    text.setMinValue(bounds.head);
    text.setMaxValue(bounds.tail);
    text.setPing(rule);
    text.SetPing();
    FUZZ_CHECK(reported == (number ? 0 : 1));
    if (number) {
        FUZZ_CHECK(text.Default() == numberText(*number));
        const auto min = toInt32(bounds.head);
        const auto max = toInt32(bounds.tail);
        const auto value = toInt32(text.Value());
        if (min && max && *min <= *max && !bounds.head.contains('.') && !bounds.tail.contains('.') && value &&
            !text.Value().contains('.')) {
            FUZZ_CHECK(*value >= *min && *value <= *max);
        }
    }
    return 0;
}
