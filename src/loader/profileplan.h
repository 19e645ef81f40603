#pragma once

#include "app/programstate.h"
#include "tweaks/tweakmodel.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace Tunesmith
{

// Sizes of the main window's tab strip and of the control templates, in twips.
namespace PageGeometry
{
constexpr int tabStripWidth = 10120;
constexpr int tabStripHeight = 5180;
constexpr int pageTabHeight = 520;
constexpr int verticalMargin = 200;
constexpr int horizontalMargin = 200;
constexpr int firstRowTop = pageTabHeight + verticalMargin + 50;
constexpr int twipsPerPixel = 15;
constexpr int labelWidth = 3105, labelHeight = 320;
constexpr int simpleWidth = 3100, simpleHeight = 270;
constexpr int multiWidth = 3100, multiHeight = 615;
constexpr int textWidth = 3100, textHeight = 615;
} // namespace PageGeometry

enum class ControlKind
{
    Label,
    Simple,
    Multi,
    Text,
};

// A problem of a malformed profile, at its 1-based line.
struct ProfileProblem
{
    int line = 0;
    QString message;
};

// One tweak as the profile defines it, before any control exists.
struct TweakDefinition
{
    TweakKind kind = TweakKind::Simple;
    int line = 0; // the keyword line
    QByteArray name;
    std::array<QByteArray, 4> presets; // default, quality, fps, die hard; empty texts for a ruled tweak
    QList<MultiTweakEntry> entries;
    QByteArray minValue;
    QByteArray maxValue;
    QByteArray rule; // as written; "" for none
    QByteArray shortDescription;
    QByteArray longDescription;
    QByteArray department;
};

} // namespace Tunesmith

// Its members are implicitly shared Qt values: a list of them grows by moving the bytes.
Q_DECLARE_TYPEINFO(Tunesmith::TweakDefinition, Q_RELOCATABLE_TYPE);

namespace Tunesmith
{

// A heading or tweak placed on a page, in creation order.
struct PlacedControl
{
    ControlKind kind = ControlKind::Label;
    int index = 0; // 1, 2, ... within its kind
    int page = 0;
    qint16 left = 0; // twips
    qint16 top = 0;  // twips
};

// A profile read and laid out: everything the main window builds, as plain data. Nothing is half-read: a profile
// with any problem gives problems and no plan.
struct ProfilePlan
{
    std::optional<QList<QByteArray>> title; // game, date, author of the last title block
    std::optional<QByteArray> gameConfigFileName;
    std::optional<ConfigSyntax> syntax;
    bool looseSpacing = false;      // "[loose spacing]": config lines may align their columns with blanks and tabs
    QList<QByteArray> installHints; // "[install hint]": folders where the game keeps its config, as written
    QByteArray finalDepartment;     // the current department after the load
    QList<QByteArray> pageCaptions;
    QList<PlacedControl> controls;
    QList<QByteArray> headings;          // heading texts by index - 1
    QList<TweakDefinition> simpleTweaks; // by index - 1
    QList<TweakDefinition> multiTweaks;
    QList<TweakDefinition> textTweaks;

    QString caption() const;   // "Tunesmith | game", or "Tunesmith"
    QByteArray status() const; // "game | Last updated on date by author", or ""
    int tweakCount() const { return int(simpleTweaks.size() + multiTweaks.size() + textTweaks.size()); }
};

// Reads a profile's bytes. departmentAtStart is the department the program state holds before this load (a
// profile without "[department]" inherits it). Returns nullopt and every problem found when the profile is
// malformed.
std::optional<ProfilePlan> planProfile(const QByteArray &bytes, const QByteArray &departmentAtStart,
                                       QList<ProfileProblem> *problems);

// Cuts a syntax template at the first "cvar" and the first "value"; nullopt unless "cvar" comes first.
std::optional<ConfigSyntax> parseSyntaxTemplate(const QByteArray &line);

} // namespace Tunesmith
