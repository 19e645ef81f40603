#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Tunesmith
{

// Connection rules: a comparison (on/off tweaks) or a left-to-right arithmetic expression (numeric tweaks) over
// the upload speed "us" and the download speed "ds", both in bytes per second.
namespace ConnectionRule
{

// The split form kept in Ping: "|" around every operator character ("us>6000" -> "us|>|6000").
QByteArray splitComparison(const QByteArray &written);
QByteArray splitArithmetic(const QByteArray &written);

// "1" or "0"; nullopt when the rule cannot be evaluated (no "<" or ">" as the second token, fewer than three
// tokens, or an operand that is not a number after the speeds are put in).
std::optional<QByteArray> evaluateComparison(const QByteArray &split, qint32 upload, qint32 download);

// The whole-number result; nullopt on any failure: an operand that is not a number, an operator at the end,
// a result outside the signed 32-bit range, division by zero.
std::optional<qint32> evaluateArithmetic(const QByteArray &split, qint32 upload, qint32 download);

// The message shown when a numeric rule fails.
QString failureMessage(const QByteArray &split);

} // namespace ConnectionRule

} // namespace Tunesmith
