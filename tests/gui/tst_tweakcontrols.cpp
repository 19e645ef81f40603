#include "app/programstate.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/palettecolours.h"
#include "tweaks/widgets/cvarmulti.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/cvartext.h"
#include "tweaks/widgets/lbllabel.h"
#include "tweaks/widgets/pagetabs.h"
#include "tweaks/widgets/tweakparts.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

// A small page with one control of each kind over its own models, as the main window builds them.
struct TweakPage
{
    ProgramState state;
    TweakContext context;
    SimpleTweak simpleModel{1, &context};
    MultiTweak multiModel{2, &context};
    TextTweak textModel{3, &context};
    QWidget window; // after the models: the controls go before their models do
    lblLabel *heading = new lblLabel(1, &window);
    cvarSimple *simple = new cvarSimple(&simpleModel, &window);
    cvarMulti *multi = new cvarMulti(&multiModel, &window);
    cvarText *text = new cvarText(&textModel, &window);

    TweakPage()
    {
        context.state = &state;
        heading->move(10, 10);
        simple->move(10, 40);
        multi->move(10, 70);
        text->move(10, 120);
        window.resize(240, 170);
    }

    QComboBox *list() const { return multi->findChild<QComboBox *>(u"cmbValue"_s); }
    QLineEdit *box() const { return text->findChild<QLineEdit *>(u"txtValue"_s); }

    // Shows the page and waits until it takes the keyboard.
    bool showActive()
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
};

QLabel *caption(QWidget *control)
{
    return control->findChild<QLabel *>(u"lblShortDescription"_s);
}

// What the player sees of an on/off control whose value is "1" (On), "0" (Off) or none, checked on the widgets and on
// the painted pixels.
void verifyShows(cvarSimple *control, const QByteArray &value)
{
    const auto pixel = [control](QPoint at) { return control->grab().toImage().pixelColor(at); };
    const bool on = value == "1";
    const bool off = value == "0";
    QCOMPARE(control->optCVar(1)->isChecked(), on);
    QCOMPARE(control->optCVar(0)->isChecked(), off);

    QWidget *focused = QApplication::focusWidget();
    if (focused)
        focused->clearFocus(); // the focus frame would cover the corners looked at below
    // Column 17, between the two markers, shows the page.
    const QColor page = pixel({17, 8});
    // Just inside each marker's rim, beside its button: the marker's colour when filled, the page's otherwise.
    QCOMPARE(pixel({1, 1}), on ? QColor(0, 128, 0) : page);
    QCOMPARE(pixel({19, 1}), off ? QColor(192, 64, 0) : page);
    // A corner of each button, outside its round indicator: green, red or the page.
    QCOMPARE(pixel({3, 4}), on ? QColor(0, 128, 0) : page);
    QCOMPARE(pixel({21, 4}), off ? QColor(192, 0, 0) : page);
    if (focused)
        focused->setFocus();
}

// An entry of the control's popup menu, which the control builds on first use.
QAction *menuEntry(TweakControl *control, const char *name)
{
    control->popupMenu();
    return control->findChild<QAction *>(QString::fromLatin1(name));
}

void pickWithTheMouse(QComboBox *list, int position)
{
    list->showPopup();
    QAbstractItemView *view = list->view();
    QTRY_VERIFY(view->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(position, 0)).center());
    QTRY_VERIFY(!view->isVisible());
}

// Types text into box key by key; "^A" and "^V" are Ctrl+A and Ctrl+V, "\b" is Backspace.
void type(QLineEdit *box, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'^' && i + 1 < text.size()) {
            QTest::keyClick(box, Qt::Key(text[++i].unicode()), Qt::ControlModifier);
        } else if (text[i].unicode() < 0x80) {
            QTest::keyClick(box, text[i].toLatin1());
        } else {
            // QTest types ASCII only; a layout's other letters arrive as key events with their text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(text[i]));
            QApplication::sendEvent(box, &press);
        }
    }
}

} // namespace

// The three tweak controls, as the player sees and drives them with the mouse, the keyboard and the clipboard, the
// popup menu and pointer reports of their captions, and their own colours on light and dark palettes.
class TestTweakControls : public QObject
{
    Q_OBJECT

private:
    QPalette m_original = QApplication::palette();

private slots:
    void init() { Dialogs::setRecording(true); }
    void cleanup()
    {
        QApplication::setPalette(m_original);
        QCOMPARE(Dialogs::takeMessages().size(), 0);
    }

    void onOff_clicksAndKeysShowTheLastChoice_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("focused"); // the button a key goes to after the clicks; -1 for no key
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("value");

        QTest::newRow("nothing") << QList<int>{} << -1 << 0 << QByteArray();
        QTest::newRow("off, then on: off is plain again") << QList<int>{0, 1} << -1 << 0 << QByteArray("1");
        QTest::newRow("on, then off") << QList<int>{1, 0} << -1 << 0 << QByteArray("0");
        QTest::newRow("the selected button again") << QList<int>{0, 0} << -1 << 0 << QByteArray("0");
        QTest::newRow("space") << QList<int>{} << 0 << int(Qt::Key_Space) << QByteArray("0");
        // An arrow key moves the focus and the choice to the other button.
        QTest::newRow("left from on") << QList<int>{} << 1 << int(Qt::Key_Left) << QByteArray("0");
        QTest::newRow("right from off") << QList<int>{} << 0 << int(Qt::Key_Right) << QByteArray("1");
        QTest::newRow("up from off") << QList<int>{} << 0 << int(Qt::Key_Up) << QByteArray("1");
        QTest::newRow("down from on") << QList<int>{1} << 1 << int(Qt::Key_Down) << QByteArray("0");
    }

    void onOff_clicksAndKeysShowTheLastChoice()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, focused);
        QFETCH(int, key);
        QFETCH(QByteArray, value);
        TweakPage page;
        QVERIFY(page.showActive());
        for (int button : clicks)
            QTest::mouseClick(page.simple->optCVar(button), Qt::LeftButton);
        if (focused >= 0) {
            page.simple->optCVar(focused)->setFocus();
            QTest::keyClick(page.simple->optCVar(focused), Qt::Key(key));
            QCOMPARE(QApplication::focusWidget(), page.simple->optCVar(key == Qt::Key_Space ? focused : 1 - focused));
        }
        QCOMPARE(page.simpleModel.Value(), value);
        verifyShows(page.simple, value);
    }

    void list_showsDecodedEntries_followsMouseAndModel_repairsARestoredValue()
    {
        TweakPage page;
        QComboBox *list = page.list();
        page.multiModel.AddCVar("Low", "25");
        page.multiModel.AddCVar("Caf\xe9", "100"); // Windows-1252 from an old profile
        page.multiModel.AddCVar("High", "200");
        QCOMPARE(list->itemText(1), u"Caf\u00e9"_s);

        QVERIFY(page.showActive());
        for (int position : {1, 0}) {
            pickWithTheMouse(list, position);
            QCOMPARE(page.multiModel.selected(), position);
            QCOMPARE(page.multiModel.Value(), position == 1 ? QByteArray("100") : QByteArray("25"));
        }

        page.multiModel.setValue("2");
        QCOMPARE(list->currentText(), u"High"_s);

        // A restored value no entry has: picking the entry that shows selected takes that entry's value again.
        page.multi->readProperties({{u"Value"_s, "stale"}});
        QCOMPARE(page.multiModel.Value(), QByteArray("stale"));
        pickWithTheMouse(list, list->currentIndex());
        QCOMPARE(page.multiModel.Value(), QByteArray("200"));
    }

    void numericBox_keysAndClipboard_data()
    {
        QTest::addColumn<QByteArray>("max");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        using B = QByteArray;
        const QString none;
        QTest::newRow("a zero after 50 passes the maximum") << B("100") << B("50") << none << u"0"_s << u"100"_s;
        QTest::newRow("letters are swallowed") << B() << B() << none << u"1a2Bz"_s << u"12"_s;
        QTest::newRow("non-ASCII letters") << B() << B("4") << none << u"\u00e9\u20ac"_s << u"4"_s;
        QTest::newRow("backspace over all shows 0") << B() << B("50") << none << u"^A\b"_s << u"0"_s;
        QTest::newRow("then a digit replaces the 0") << B() << B("50") << none << u"^A\b7"_s << u"7"_s;
        // Pasted text reaches the model unfiltered: letters are never compared with a bound.
        QTest::newRow("pasted letters") << B("100") << B("31") << u"abc"_s << u"^A^V"_s << u"abc"_s;
        QTest::newRow("empty clipboard over all") << B() << B("31") << u""_s << u"^A^V"_s << u"0"_s;
    }

    void numericBox_keysAndClipboard()
    {
        QFETCH(QByteArray, max);
        QFETCH(QByteArray, start);
        QFETCH(QString, clipboard);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TweakPage page;
        page.textModel.setMaxValue(max);
        if (!start.isNull())
            page.textModel.setValue(start);
        if (!clipboard.isNull())
            QGuiApplication::clipboard()->setText(clipboard);
        QVERIFY(page.showActive());
        QLineEdit *box = page.box();
        box->setFocus();
        box->end(false);
        type(box, typed);
        QCOMPARE(box->text(), shown);
        QCOMPARE(page.textModel.Value(), shown.toUtf8());
    }

    void accessibleNames_comeFromTheDecodedShortDescription()
    {
        // The controls exist before assistive technology starts; they are named when it does, and follow the model.
        TweakPage page;
        page.simpleModel.setShortDescription("Caf\xe9 lights");
        page.multiModel.setShortDescription("Detail");
        page.textModel.setShortDescription("Rate");
        QAccessible::setActive(true);
        const auto inactive = qScopeGuard([] { QAccessible::setActive(false); });
        const QString cafe = u"Caf\u00e9 lights"_s;
        QCOMPARE(page.simple->accessibleName(), cafe);
        QCOMPARE(page.simple->optCVar(1)->accessibleName(), cafe + u": On"_s);
        QCOMPARE(page.simple->optCVar(0)->accessibleName(), cafe + u": Off"_s);
        QCOMPARE(page.list()->accessibleName(), u"Detail"_s);
        QCOMPARE(page.box()->accessibleName(), u"Rate"_s);
        page.textModel.setShortDescription("Rate limit");
        QCOMPARE(page.box()->accessibleName(), u"Rate limit"_s);
    }

    void pageTabs_measureAsPlainTabsDo()
    {
        // The page tabs remember sizes; they must still be the sizes Qt gives, for every place and after a font
        // change.
        PageTabs remembering;
        QTabWidget plain;
        for (const QString &caption :
             {u"Graphics"_s, u"Graphics (2)"_s, u"Sound"_s, u"Graphics"_s, u"A longer caption"_s}) {
            remembering.addTab(new QWidget, caption);
            plain.addTab(new QWidget, caption);
        }
        QFont larger = plain.tabBar()->font();
        larger.setPointSizeF(larger.pointSizeF() * 2);
        for (const QString &change : {u"none"_s, u"current tab"_s, u"font"_s}) {
            if (change == u"current tab"_s) {
                remembering.setCurrentIndex(3);
                plain.setCurrentIndex(3);
            } else if (change == u"font"_s) {
                remembering.tabBar()->setFont(larger);
                plain.tabBar()->setFont(larger);
            }
            for (int i = 0; i < plain.count(); ++i)
                QCOMPARE(remembering.tabBar()->tabRect(i).size(), plain.tabBar()->tabRect(i).size());
        }
    }

    void menu_setsOnOffDefaultAndEachPreset()
    {
        TweakPage page;
        menuEntry(page.simple, "mnuOff")->trigger();
        verifyShows(page.simple, "0");
        menuEntry(page.simple, "mnuOn")->trigger();
        QCOMPARE(page.simpleModel.Value(), QByteArray("1"));
        verifyShows(page.simple, "1");
        QVERIFY(!menuEntry(page.multi, "mnuOn"));
        QVERIFY(!menuEntry(page.text, "mnuOff"));

        // Each entry applies its own text; the list's entries tell which one came.
        for (const char *entry : {"A", "B", "C", "D"})
            page.multiModel.AddCVar(entry, entry);
        page.multiModel.setDefault("0");
        page.multiModel.setPreset_Quality("1");
        page.multiModel.setPreset_FPS("2");
        page.multiModel.setPreset_DieHard("3");
        const std::pair<const char *, QString> entries[] = {
            {"mnuHighQuality", u"B"_s}, {"mnuHighFPS", u"C"_s}, {"mnuDieHardFPS", u"D"_s}, {"mnuDefault", u"A"_s}};
        for (const auto &[entry, shown] : entries) {
            menuEntry(page.multi, entry)->trigger();
            QCOMPARE(page.list()->currentText(), shown);
        }
    }

    void release_opensMenuOverCaptionOnRightButton_marksRuledTweaksOptimized_data()
    {
        QTest::addColumn<QString>("control"); // the on/off and the numeric tweak are ruled, the list is not
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("overCaption"); // or over the off button
        QTest::addColumn<bool>("menuShown");
        QTest::newRow("list, right") << u"cvarMulti"_s << int(Qt::RightButton) << true << true;
        QTest::newRow("ruled on/off, left") << u"cvarSimple"_s << int(Qt::LeftButton) << true << false;
        QTest::newRow("ruled numeric, middle") << u"cvarText"_s << int(Qt::MiddleButton) << true << false;
        QTest::newRow("ruled numeric, right") << u"cvarText"_s << int(Qt::RightButton) << true << true;
        QTest::newRow("ruled on/off, right over a button") << u"cvarSimple"_s << int(Qt::RightButton) << false << false;
    }

    void release_opensMenuOverCaptionOnRightButton_marksRuledTweaksOptimized()
    {
        QFETCH(QString, control);
        QFETCH(int, button);
        QFETCH(bool, overCaption);
        QFETCH(bool, menuShown);
        TweakPage page;
        page.simpleModel.setPing("us>6000");
        page.textModel.setPing("ds/8");
        QVERIFY(page.showActive());
        auto *widget = page.window.findChild<TweakControl *>(control);
        QWidget *target = overCaption ? static_cast<QWidget *>(caption(widget)) : page.simple->optCVar(0);
        const QPoint at(10, 8);
        QTest::mouseClick(target, Qt::MouseButton(button), {}, at);
        QMenu *menu = widget->popupMenu();
        QTRY_COMPARE(menu->isVisible(), menuShown);
        if (menuShown)
            QCOMPARE(menu->pos(), target->mapToGlobal(at));
        menu->close();
        const bool optimized = control != u"cvarMulti"_s && overCaption;
        QCOMPARE(menuEntry(widget, "mnuDefault")->text(), optimized ? u"Optimized"_s : u"Default"_s);
        QCOMPARE(menuEntry(widget, "mnuPreset")->isEnabled(), !optimized);
        QCOMPARE(page.simpleModel.Value(), QByteArray()); // no button was selected
    }

    void menuKey_opensTheMenuFromTheFocusedChild()
    {
        TweakPage page;
        QVERIFY(page.showActive());
        for (QWidget *child : std::initializer_list<QWidget *>{page.simple->optCVar(1), page.box()}) {
            child->setFocus();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, {2, 2}, child->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(child, &request);
            QMenu *menu = child->parentWidget()->findChild<QMenu *>(u"mnuActions"_s);
            QTRY_VERIFY(menu->isVisible());
            menu->close();
        }
    }

    void mouseMove_overTheCaption_reportedInTwips()
    {
        TweakPage page;
        page.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page.window));
        for (TweakControl *control : std::initializer_list<TweakControl *>{page.simple, page.multi, page.text}) {
            QSignalSpy moves(control, &TweakControl::MouseMove);
            QTest::mouseMove(caption(control), {11, 6});
            QTRY_COMPARE(moves.size(), 1);
            QCOMPARE(moves.last(), QVariantList({qint16(0), qint16(0), 165.0f, 90.0f}));
        }
    }

    void darkPalette_headingsMarkersAndSelectedButtonsStandOutFromThePage()
    {
        QApplication::setPalette(QPalette(QColor(60, 60, 60), QColor(53, 53, 53)));
        TweakPage page;
        const QColor window = page.window.palette().color(QPalette::Window);
        const auto *heading = page.heading->findChild<QLabel *>(u"lblCaption"_s);
        QVERIFY(PaletteColours::contrast(heading->palette().color(QPalette::WindowText), window) >= 4.5);
        const QColor on = page.simple->findChild<ColorMarker *>(u"shpOn"_s)->colour();
        const QColor off = page.simple->findChild<ColorMarker *>(u"shpOff"_s)->colour();
        QVERIFY2(PaletteColours::contrast(on, window) >= 3, qPrintable(on.name()));
        QVERIFY2(PaletteColours::contrast(off, window) >= 3, qPrintable(off.name()));
        // Green stays green and red-brown stays red-brown.
        QCOMPARE(on.hslHue(), QColor(0, 128, 0).hslHue());
        QCOMPARE(off.hslHue(), QColor(192, 64, 0).hslHue());

        page.simpleModel.clickButton(1);
        QVERIFY(PaletteColours::contrast(page.simple->optCVar(1)->background(), window) >= 3);
        page.simpleModel.clickButton(0);
        QVERIFY(PaletteColours::contrast(page.simple->optCVar(0)->background(), window) >= 3);
    }
};

QTEST_MAIN(TestTweakControls)
#include "tst_tweakcontrols.moc"
