#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Tunesmith
{

// The connection dialog's units and presets, and the conversion of a typed speed to bytes per second.
namespace SpeedUnits
{

// Positions 0..5: bit/s, Byte/s, kbit/s, kByte/s, Mbit/s, MByte/s. The download list writes the last two in
// lower case ("mbit/s", "mByte/s"); both lists convert alike.
QStringList uploadUnits();
QStringList downloadUnits();

struct ConnectionPreset
{
    QString name;
    int uploadKbit; // -1 for "Custom": the boxes stay as they are
    int downloadKbit;
};
QList<ConnectionPreset> connectionPresets();

// v in the unit at position unit (-1, none selected, counts as bytes per second) as bytes per second: bit/s
// divides by 8 rounding halves to even; nullopt when the result leaves the signed 32-bit range (for kbit/s, v * 1024
// must stay inside it too).
std::optional<qint32> toBytesPerSecond(qint32 value, int unit);

// A typed speed: a number text (a fraction rounds, halves to even) in a unit. Fills error with what is wrong:
// an empty box, a text that is not a number, or a speed too large.
std::optional<qint32> parseSpeed(const QByteArray &text, int unit, QString *error);

} // namespace SpeedUnits

} // namespace Tunesmith
