#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Tunesmith
{

namespace
{

// Parses into a 64-bit magnitude with sign; saturates above 2^40 so that any range check fails cleanly.
std::optional<qint64> parseRounded(QByteArrayView text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    if (i == end)
        return std::nullopt;

    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }

    constexpr qint64 saturated = qint64(1) << 40;
    qint64 magnitude = 0;
    int intDigits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
        magnitude = std::min(saturated, magnitude * 10 + (text[i] - '0'));
        ++intDigits;
        ++i;
    }

    int fracDigits = 0;
    int firstFrac = 0;
    bool restNonZero = false;
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            const int digit = text[i] - '0';
            if (fracDigits == 0)
                firstFrac = digit;
            else if (digit != 0)
                restNonZero = true;
            ++fracDigits;
            ++i;
        }
    }
    if (i != end || (intDigits == 0 && fracDigits == 0))
        return std::nullopt;

    // Halves go to the even neighbour; anything above a half goes up.
    const bool roundUp = firstFrac > 5 || (firstFrac == 5 && (restNonZero || (magnitude % 2) == 1));
    if (roundUp)
        magnitude = std::min(saturated, magnitude + 1);
    return negative ? -magnitude : magnitude;
}

} // namespace

std::optional<qint32> toInt32(QByteArrayView text)
{
    const auto value = parseRounded(text);
    if (!value || *value < std::numeric_limits<qint32>::min() || *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*value);
}

std::optional<qint32> toInt32Saturated(QByteArrayView text)
{
    const auto value = parseRounded(text);
    if (!value)
        return std::nullopt;
    return qint32(std::clamp<qint64>(*value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

std::optional<qint16> toInt16(QByteArrayView text)
{
    const auto value = parseRounded(text);
    if (!value || *value < std::numeric_limits<qint16>::min() || *value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(*value);
}

std::optional<qint32> roundToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // nearbyint uses the default rounding mode, round half to even.
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(rounded);
}

QByteArray numberText(qint64 value)
{
    return QByteArray::number(value);
}

} // namespace Tunesmith
