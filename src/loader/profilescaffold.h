#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace Tunesmith
{

// A starting profile made from a game's own config file, for a profile's author to finish.
namespace ProfileScaffold
{

struct Request
{
    QByteArray config;         // the config file's bytes
    QByteArray configFileName; // the game config file the profile names
    QByteArray syntaxTemplate; // one line, such as: seta cvar "value"
    QByteArray game;           // one line
    QDate date;                // the title's date
};

// Why a syntax template cannot read a config's lines into tweaks, nullopt when it can: it needs the word "cvar",
// then what stands between a variable and its value, then the word "value".
std::optional<QString> templateProblem(const QByteArray &syntaxTemplate);

// The profile's bytes (CR LF line ends, more than 512 bytes): a tweak for every line of the config that fits the
// template, in the config's order, the first line of a variable only; an on/off tweak for a value of 0 or 1, a
// numeric tweak for another whole number, a list tweak with the value as its one entry otherwise. Every preset is
// the config's value and both descriptions are the variable's name. Tweaks are grouped under headings by the
// prefix of their names (r_, cl_, ...) on pages by what such variables are about. Lines that are console commands
// (bind, exec, ...), and values a profile's fields cannot hold or a save would not find again, are left out.
// Returns nullopt and error when the template has a problem or no line fits it.
std::optional<QByteArray> make(const Request &request, QString *error);

} // namespace ProfileScaffold

} // namespace Tunesmith
