// Number texts: toInt32 and toInt16 against the C library's reading of the same text, and the rounding of doubles
// against the rounding of their exact decimal text.
#include "app/numbertext.h"
#include "fuzzsupport.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

using namespace Tunesmith;

namespace
{

// What toInt32 should give, worked out by strtod and nearbyint (halves to even). Known only for texts of the
// accepted shape with at most 15 significant digits, where a double holds the value closely enough that rounding
// cannot come out differently.
struct Expected
{
    bool known = false;
    std::optional<qint32> value;
};

Expected expectedInt32(const QByteArray &text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    const QByteArray body = text.sliced(i, end - i);
    qsizetype p = 0;
    if (p < body.size() && (body[p] == '+' || body[p] == '-'))
        ++p;
    int digits = 0;
    int significant = 0;
    bool dot = false;
    for (; p < body.size(); ++p) {
        const char c = body[p];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (significant > 0 || c != '0')
                ++significant;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            return {true, std::nullopt}; // anything else is refused: no exponent, no hex, no other spaces
        }
    }
    if (digits == 0)
        return {true, std::nullopt};
    if (significant > 15)
        return {};
    const double value = std::strtod(std::string(body.constData(), std::size_t(body.size())).c_str(), nullptr);
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return {true, std::nullopt};
    return {true, qint32(rounded)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text = Fuzz::bytes(data, size);
    const std::optional<qint32> value = toInt32(text);
    const std::optional<qint16> narrow = toInt16(text);

    const Expected expected = expectedInt32(text);
    if (expected.known && expected.value != value) {
        Fuzz::printEscaped("text", text);
        std::fprintf(stderr, "toInt32 gave %s%d, expected %s%d\n", value ? "" : "nothing ", value.value_or(0),
                     expected.value ? "" : "nothing ", expected.value.value_or(0));
    }
    FUZZ_CHECK(!expected.known || expected.value == value);

    // toInt16 is toInt32 with the narrower range.
    if (value && *value >= std::numeric_limits<qint16>::min() && *value <= std::numeric_limits<qint16>::max())
        FUZZ_CHECK(narrow && *narrow == *value);
    else
        FUZZ_CHECK(!narrow);

    // The text of a number reads back as that number, with spaces around it too.
    if (value) {
        FUZZ_CHECK(toInt32(numberText(*value)) == value);
        FUZZ_CHECK(toInt32(" " + numberText(*value) + "  ") == value);
    }

    // A double's exact decimal text rounds as the double does. Eight bytes of the input make the double; with 60
    // fraction digits the text of any double below 2^31 is exact.
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        const std::optional<qint32> direct = roundToInt32(d);
        if (std::isfinite(d) && std::fabs(d) < 4.0e9) {
            char buffer[128];
            std::snprintf(buffer, sizeof buffer, "%.60f", d);
            const std::optional<qint32> viaText = toInt32(QByteArrayView(buffer));
            if (direct != viaText)
                std::fprintf(stderr, "double %s: roundToInt32 %d, toInt32 %d\n", buffer, direct.value_or(-1),
                             viaText.value_or(-1));
            FUZZ_CHECK(direct == viaText);
        } else if (!std::isfinite(d)) {
            FUZZ_CHECK(!direct);
        }
    }
    return 0;
}
