#include "connectionrule.h"

#include "app/numbertext.h"
#include "app/textcodec.h"

#include <QCoreApplication>
#include <QList>

#include <cmath>

namespace Tunesmith
{

namespace ConnectionRule
{

namespace
{

QList<QByteArray> tokens(const QByteArray &split, qint32 upload, qint32 download)
{
    QList<QByteArray> result = split.split('|');
    for (QByteArray &token : result) {
        if (token == "us")
            token = numberText(upload);
        else if (token == "ds")
            token = numberText(download);
    }
    return result;
}

std::optional<qint32> checked(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

QByteArray splitComparison(const QByteArray &written)
{
    QByteArray split = written;
    split.replace("<", "|<|");
    split.replace(">", "|>|");
    return split;
}

QByteArray splitArithmetic(const QByteArray &written)
{
    QByteArray split = written;
    for (const char *op : {"+", "-", "*", "/", "^"})
        split.replace(op, QByteArray("|") + op + "|");
    return split;
}

std::optional<QByteArray> evaluateComparison(const QByteArray &split, qint32 upload, qint32 download)
{
    const QList<QByteArray> t = tokens(split, upload, download);
    if (t.size() < 3 || (t[1] != ">" && t[1] != "<"))
        return std::nullopt;
    const auto a = toInt32(t[0]);
    const auto b = toInt32(t[2]);
    if (!a || !b)
        return std::nullopt;
    if (t[1] == ">")
        return QByteArray(*b > *a ? "1" : "0");
    return QByteArray(*b < *a ? "1" : "0");
}

std::optional<qint32> evaluateArithmetic(const QByteArray &split, qint32 upload, qint32 download)
{
    const QList<QByteArray> t = tokens(split, upload, download);
    auto r = toInt32(t[0]);
    if (!r)
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QByteArray &op = t[i];
        if (op != "*" && op != "/" && op != "+" && op != "-" && op != "^")
            continue;
        if (i + 1 >= t.size())
            return std::nullopt;
        const auto x = toInt32(t[i + 1]);
        if (!x)
            return std::nullopt;
        if (op == "*")
            r = checked(qint64(*r) * *x);
        else if (op == "+")
            r = checked(qint64(*r) + *x);
        else if (op == "-")
            r = checked(qint64(*r) - *x);
        else if (op == "/")
            r = *x == 0 ? std::nullopt : roundToInt32(double(*r) / double(*x));
        else
            r = roundToInt32(std::pow(double(*r), double(*x)));
        if (!r)
            return std::nullopt;
    }
    return r;
}

QString failureMessage(const QByteArray &split)
{
    return QCoreApplication::translate("Tunesmith", "Decimal value detected in condition: ") + decodeText(split) +
           QCoreApplication::translate("Tunesmith", ". Please avoid using decimal value's.");
}

} // namespace ConnectionRule

} // namespace Tunesmith
