#pragma once

#include <QByteArrayView>
#include <QString>

namespace Tunesmith
{

// Texts from profiles and game configs are bytes. For showing them: UTF-8 where the bytes are valid UTF-8,
// otherwise Windows-1252, the code page older profiles were written in.
QString decodeText(QByteArrayView bytes);

} // namespace Tunesmith
