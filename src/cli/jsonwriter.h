#pragma once

#include <QByteArray>
#include <QString>

namespace Tunesmith
{

// A small JSON writer that keeps members in the order they are written (QJsonObject sorts them).
class JsonWriter
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(const char *name);
    void value(const QString &text);
    void value(qint64 number);
    void boolean(bool truth);
    // Texts from files are bytes: shown as UTF-8 where valid, otherwise as Windows-1252.
    void bytes(const QByteArray &text);

    const QByteArray &result() const { return m_out; }

private:
    void separate();

    QByteArray m_out;
    bool m_needComma = false;
    bool m_afterKey = false;
};

} // namespace Tunesmith
