#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace Tunesmith
{

namespace UpdateCheck
{

// The manifest URL as it is requested: every space becomes "%20".
QString requestUrl(const QString &url);

// Whether a profile name from a manifest is a plain file name that may be looked up in the profiles folder:
// not empty, no "/" or "\", not "." or "..".
bool isPlainFileName(const QByteArray &name);

// A manifest date later than a profile date: both day-month-year, each part a 16-bit number, compared year,
// then month, then day. nullopt when either date has fewer than three numeric parts.
std::optional<bool> isLater(const QByteArray &manifestDate, const QByteArray &profileDate);

// The update decision. Records "[...]"; the first holds the latest version number, every later one a date and a
// profile file name. readProfile gives a profile's bytes by file name, nullopt when the file does not exist; it
// is only asked for plain file names. A record with a problem (no number, a missing field, a bad date, a name
// that is not a plain file name) never asks for an update.
bool isUpdateNeeded(const QByteArray &manifest, int versionNumber,
                    const std::function<std::optional<QByteArray>(const QString &fileName)> &readProfile);

// The same, reading profiles from a profiles folder. A profile that exists but cannot be read needs no update.
bool isUpdateNeeded(const QByteArray &manifest, int versionNumber, const QString &profilesFolder);

} // namespace UpdateCheck

} // namespace Tunesmith
