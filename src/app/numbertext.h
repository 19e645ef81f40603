#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace Tunesmith
{

// Number texts as players and profiles write them: optional spaces, an optional sign, digits with "." as the
// decimal point, optional spaces. A fractional part rounds to the nearest whole number, halves to the even
// neighbour ("2.5" -> 2, "3.5" -> 4). Anything else, and anything outside the target range, is a failure
// (std::nullopt); no exponent, hex or thousands separators are taken.
std::optional<qint32> toInt32(QByteArrayView text);
std::optional<qint16> toInt16(QByteArrayView text);
// As toInt32, but a number outside the signed 32-bit range gives the end of the range it lies beyond: for
// comparing with a bound, which any such number passes.
std::optional<qint32> toInt32Saturated(QByteArrayView text);

// The exact rounding as above, for a double: nullopt when not finite or outside the signed 32-bit range.
std::optional<qint32> roundToInt32(double value);

// Decimal text of a whole number, minus sign when negative, no separators.
QByteArray numberText(qint64 value);

} // namespace Tunesmith
