#pragma once

#include <QByteArrayView>
#include <QString>

namespace Tunesmith
{

// Texts from profiles and game configs are bytes. For showing them: UTF-8 where the bytes are valid UTF-8,
// otherwise Windows-1252, the code page older profiles were written in.
QString decodeText(QByteArrayView bytes);

// A message of the core in the player's language, from the translations of the context "Tunesmith".
QString coreText(const char *text);

} // namespace Tunesmith
