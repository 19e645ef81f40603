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
    for (const QChar c : text) {
        const char16_t u = c.unicode();
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
            if (u < 0x20)
                m_out += QByteArray("\\u") + QByteArray::number(u, 16).rightJustified(4, '0');
            else
                m_out += QString(c).toUtf8();
        }
    }
    m_out += '"';
    m_needComma = true;
}

void JsonWriter::value(qint64 number)
{
    separate();
    m_out += QByteArray::number(number);
    m_needComma = true;
}

void JsonWriter::bytes(const QByteArray &text)
{
    value(decodeText(text));
}

} // namespace Tunesmith
