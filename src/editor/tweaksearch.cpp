#include "tweaksearch.h"

#include "app/textcodec.h"
#include "loader/loadedprofile.h"

#include <algorithm>

namespace Tunesmith
{

namespace
{

bool holds(const QByteArray &field, const QString &text)
{
    return decodeText(field).contains(text, Qt::CaseInsensitive);
}

} // namespace

QList<TweakMatch> findTweaks(const LoadedProfile &profile, const QString &text)
{
    QList<TweakMatch> matches;
    if (text.isEmpty())
        return matches;
    for (const PlacedControl &control : profile.plan.controls) {
        if (control.kind == ControlKind::Label)
            continue;
        const TweakKind kind = control.kind == ControlKind::Simple  ? TweakKind::Simple
                               : control.kind == ControlKind::Multi ? TweakKind::Multi
                                                                    : TweakKind::Text;
        const TweakModel *tweak = profile.model(kind, control.index);
        if (tweak && (holds(tweak->Tweak(), text) || holds(tweak->ShortDescription(), text) ||
                      holds(tweak->LongDescription(), text))) {
            matches.append({kind, control.index, control.page});
        }
    }
    std::stable_sort(matches.begin(), matches.end(),
                     [](const TweakMatch &a, const TweakMatch &b) { return a.page < b.page; });
    return matches;
}

} // namespace Tunesmith
