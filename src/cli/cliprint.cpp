#include "app/textcodec.h"
#include "clicommands.h"
#include "jsonwriter.h"
#include "loader/loadedprofile.h"

namespace Tunesmith
{

namespace Cli
{

namespace
{

const char *kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::Simple:
        return "simple";
    case ControlKind::Multi:
        return "multi";
    case ControlKind::Text:
        return "text";
    }
    return "";
}

const char *kindName(TweakKind kind)
{
    switch (kind) {
    case TweakKind::Simple:
        return "simple";
    case TweakKind::Multi:
        return "multi";
    case TweakKind::Text:
        return "text";
    }
    return "";
}

} // namespace

void printJson(const LoadedProfile &profile, const ProgramState &state, QTextStream &out)
{
    JsonWriter json;
    json.beginObject();
    json.key("profile");
    json.value(state.currentProfile);
    json.key("caption");
    json.value(profile.plan.caption());
    json.key("status");
    json.bytes(profile.plan.status());
    json.key("gameConfigFile");
    json.bytes(state.gameConfigFileName);
    json.key("syntax");
    json.beginObject();
    json.key("prefix");
    json.bytes(state.syntax.prefix);
    json.key("middle");
    json.bytes(state.syntax.middle);
    json.key("suffix");
    json.bytes(state.syntax.suffix);
    json.key("looseSpacing");
    json.boolean(state.syntax.looseSpacing);
    json.endObject();
    json.key("installDir");
    json.value(state.installDir);
    json.key("upload");
    json.value(state.uploadSpeed);
    json.key("download");
    json.value(state.downloadSpeed);
    json.key("pages");
    json.beginArray();
    // The controls of each page in creation order, found in one pass: a profile may have thousands of pages.
    QList<QList<const PlacedControl *>> pageControls(profile.plan.pageCaptions.size());
    for (const PlacedControl &control : profile.plan.controls) {
        if (control.page >= 0 && control.page < pageControls.size())
            pageControls[control.page].append(&control);
    }
    for (qsizetype page = 0; page < profile.plan.pageCaptions.size(); ++page) {
        json.beginObject();
        json.key("caption");
        json.bytes(profile.plan.pageCaptions[page]);
        json.key("controls");
        json.beginArray();
        for (const PlacedControl *placed : pageControls[page]) {
            const PlacedControl &control = *placed;
            json.beginObject();
            json.key("kind");
            json.value(QString::fromLatin1(kindName(control.kind)));
            json.key("index");
            json.value(control.index);
            json.key("left");
            json.value(control.left);
            json.key("top");
            json.value(control.top);
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.key("tweaks");
    json.beginArray();
    for (const TweakModel *tweak : profile.saveOrder()) {
        const auto *text = tweakAs<TextTweak>(tweak);
        const auto *multi = tweakAs<MultiTweak>(tweak);
        json.beginObject();
        json.key("kind");
        json.value(QString::fromLatin1(kindName(tweak->kind())));
        json.key("index");
        json.value(tweak->index());
        json.key("tweak");
        json.bytes(tweak->Tweak());
        json.key("value");
        json.bytes(tweak->Value());
        json.key("default");
        json.bytes(tweak->Default());
        json.key("presetQuality");
        json.bytes(tweak->Preset_Quality());
        json.key("presetFps");
        json.bytes(tweak->Preset_FPS());
        json.key("presetDieHard");
        json.bytes(tweak->Preset_DieHard());
        json.key("ping");
        json.bytes(tweak->Ping());
        json.key("department");
        json.bytes(tweak->Department());
        json.key("shortDescription");
        json.bytes(tweak->ShortDescription());
        json.key("longDescription");
        json.bytes(tweak->LongDescription());
        json.key("min");
        json.bytes(text ? text->MinValue() : QByteArray());
        json.key("max");
        json.bytes(text ? text->MaxValue() : QByteArray());
        json.key("entries");
        json.beginArray();
        if (multi) {
            for (const MultiTweakEntry &entry : multi->entries()) {
                json.beginObject();
                json.key("text");
                json.bytes(entry.description);
                json.key("value");
                json.bytes(entry.value);
                json.endObject();
            }
        }
        json.endArray();
        json.key("selected");
        json.value(multi ? multi->selected() : -1);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out << QString::fromUtf8(json.result()) << '\n';
}

void printTable(const LoadedProfile &profile, const ProgramState &state, QTextStream &out)
{
    out << state.currentProfile << " - " << profile.plan.caption() << '\n';
    out << decodeText(profile.plan.status()) << '\n';
    out << "Game config: " << decodeText(state.gameConfigFileName) << " in "
        << (state.installDir.isEmpty() ? QStringLiteral("(no install directory)") : state.installDir) << '\n';
    out << "Speeds: upload " << state.uploadSpeed << " B/s, download " << state.downloadSpeed << " B/s\n";
    out << "Pages:";
    for (const QByteArray &caption : profile.plan.pageCaptions)
        out << " [" << decodeText(caption) << ']';
    out << "\n\n";
    out << qSetFieldWidth(7) << Qt::left << "KIND" << qSetFieldWidth(6) << "INDEX" << qSetFieldWidth(28) << "TWEAK"
        << qSetFieldWidth(16) << "VALUE" << qSetFieldWidth(0) << "DESCRIPTION\n";
    for (const TweakModel *tweak : profile.saveOrder()) {
        out << qSetFieldWidth(7) << kindName(tweak->kind()) << qSetFieldWidth(6) << tweak->index() << qSetFieldWidth(28)
            << decodeText(tweak->Tweak()) << qSetFieldWidth(16) << decodeText(tweak->Value()) << qSetFieldWidth(0)
            << decodeText(tweak->ShortDescription()) << '\n';
    }
}

} // namespace Cli

} // namespace Tunesmith
