#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace Tunesmith
{

struct ProgramState;

// Fetches url (http or https) whole. Waits while letting window events run, never longer than timeoutMs, follows
// at most three redirects and reads at most maxBytes. nullopt on any failure: no answer in time, an HTTP error
// status, a body larger than maxBytes, another scheme.
std::optional<QByteArray> fetchManifest(const QUrl &url, int timeoutMs = 5000, qint64 maxBytes = 1 << 20);

// The update manifest URL: ours, unless the settings file has a line "updateurl|URL" (key exact and case-sensitive;
// the last such line with a URL wins; spaces around the URL are dropped).
QString manifestUrl(const ProgramState &state);

// The start-up update check: fetches the manifest and compares it with the program version and the local
// profiles. A manifest that cannot be fetched needs no update. Returns whether the updater should be started.
bool runUpdateCheck(ProgramState &state);

} // namespace Tunesmith
