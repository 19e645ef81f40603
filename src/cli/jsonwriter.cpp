#include "jsonwriter.h"

#include "app/textcodec.h"

namespace Tunesmith
{

void JsonWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_needComma)
        m_out += ',';
}

void JsonWriter::beginObject()
{
    separate();
    m_out += '{';
    m_needComma = false;
}

void JsonWriter::endObject()
{
    m_out += '}';
    m_needComma = true;
}

void JsonWriter::beginArray()
{
    separate();
    m_out += '[';
    m_needComma = false;
}

void JsonWriter::endArray()
{
    m_out += ']';
    m_needComma = true;
}

void JsonWriter::key(const char *name)
{
    separate();
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    separate();
    m_out += '"';
    // Runs without escapes are encoded whole, so a character outside the BMP (a surrogate pair) stays one character.
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u != '"' && u != '\\')
            continue;
        m_out += QStringView(text).sliced(plain, i - plain).toUtf8();
        plain = i + 1;
        switch (u) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default:
            m_out += QByteArray("\\u") + QByteArray::number(u, 16).rightJustified(4, '0');
        }
    }
    m_out += QStringView(text).sliced(plain).toUtf8();
    m_out += '"';
    m_needComma = true;
}

void JsonWriter::value(qint64 number)
{
    separate();
    m_out += QByteArray::number(number);
    m_needComma = true;
}

void JsonWriter::boolean(bool truth)
{
    separate();
    m_out += truth ? "true" : "false";
    m_needComma = true;
}

void JsonWriter::bytes(const QByteArray &text)
{
    value(decodeText(text));
}

} // namespace Tunesmith
