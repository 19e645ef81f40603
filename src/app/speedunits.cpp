#include "speedunits.h"

#include "numbertext.h"

#include <QCoreApplication>

#include <limits>

namespace Tunesmith
{

namespace SpeedUnits
{

QStringList uploadUnits()
{
    return {QStringLiteral("bit/s"),   QStringLiteral("Byte/s"), QStringLiteral("kbit/s"),
            QStringLiteral("kByte/s"), QStringLiteral("Mbit/s"), QStringLiteral("MByte/s")};
}

QStringList downloadUnits()
{
    return {QStringLiteral("bit/s"),   QStringLiteral("Byte/s"), QStringLiteral("kbit/s"),
            QStringLiteral("kByte/s"), QStringLiteral("mbit/s"), QStringLiteral("mByte/s")};
}

QList<ConnectionPreset> connectionPresets()
{
    return {
        {QStringLiteral("Custom"), -1, -1},
        {QCoreApplication::translate("Tunesmith", "Modem (56k) - Optimized"), 21, 42},
        {QCoreApplication::translate("Tunesmith", "ISDN (64k) - Optimized"), 21, 42},
        {QCoreApplication::translate("Tunesmith", "Dual Line ISDN (128k) - Optimized"), 42, 85},
        {QCoreApplication::translate("Tunesmith", "ADSL (256k)"), 64, 256},
        {QCoreApplication::translate("Tunesmith", "ADSL (512k)"), 128, 512},
        {QCoreApplication::translate("Tunesmith", "T1 (1M)"), 256, 1024},
        {QCoreApplication::translate("Tunesmith", "T3 (3M)"), 512, 3072},
    };
}

std::optional<qint32> toBytesPerSecond(qint32 value, int unit)
{
    qint64 bytes = value;
    switch (unit) {
    case 0:
        return roundToInt32(double(value) / 8.0);
    case 2:
        // v * 1024 is taken before the division by 8 and must fit too, so kbit/s stop where kByte/s do (2097151).
        bytes = qint64(value) * 1024;
        if (bytes < std::numeric_limits<qint32>::min() || bytes > std::numeric_limits<qint32>::max())
            return std::nullopt;
        bytes /= 8;
        break;
    case 3:
        bytes = qint64(value) * 1024;
        break;
    case 4:
        bytes = qint64(value) * 131072;
        break;
    case 5:
        bytes = qint64(value) * 1048576;
        break;
    default:
        break;
    }
    if (bytes < std::numeric_limits<qint32>::min() || bytes > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(bytes);
}

std::optional<qint32> parseSpeed(const QByteArray &text, int unit, QString *error)
{
    if (text.trimmed().isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "Please enter a speed.");
        return std::nullopt;
    }
    const auto value = toInt32(text);
    if (!value) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "\"%1\" is not a number.").arg(QString::fromUtf8(text));
        return std::nullopt;
    }
    const auto bytes = toBytesPerSecond(*value, unit);
    if (!bytes && error)
        *error = QCoreApplication::translate("Tunesmith", "This speed is too large.");
    return bytes;
}

} // namespace SpeedUnits

} // namespace Tunesmith
