#include "tweakpage.h"

#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Tunesmith;

// The caption's events: the popup menu a button release brings up, and MouseMove.
class TestTweakMenu : public QObject
{
    Q_OBJECT

private slots:
    void menuOnAndOff_selectTheButtons();
    void menuDefaultAndPresets_applyTheModelsTexts_data();
    void menuDefaultAndPresets_applyTheModelsTexts();
    void rightReleaseOverCaption_popsUpActionsAtThePointer();
    void firstReleaseOverRuledCaption_marksOptimized_data();
    void firstReleaseOverRuledCaption_marksOptimized();
    void releaseOverAButton_neitherMarksNorOpensTheMenu();
    void menuKey_opensTheMenuFromTheFocusedChild();
    void mouseMoveOverCaption_reportsTwipsInTheCaptionsCoordinates();
    void mouseMoveOverOtherChildren_reportsNothing_data();
    void mouseMoveOverOtherChildren_reportsNothing();
    void mouseMove_reportsButtonsAndKeysAsCodes_data();
    void mouseMove_reportsButtonsAndKeysAsCodes();
};

void TestTweakMenu::menuOnAndOff_selectTheButtons()
{
    TweakPage page;
    menuEntry(page.simple, "mnuOff")->trigger();
    QCOMPARE(page.simpleModel.Value(), QByteArray("0"));
    verifyShows(page.simple, Shown::Off);
    menuEntry(page.simple, "mnuOn")->trigger();
    QCOMPARE(page.simpleModel.Value(), QByteArray("1"));
    verifyShows(page.simple, Shown::On);

    QVERIFY(!menuEntry(page.multi, "mnuOn"));
    QVERIFY(!menuEntry(page.text, "mnuOff"));
}

void TestTweakMenu::menuDefaultAndPresets_applyTheModelsTexts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shown");

    // Default "0", High Quality "1", High FPS "2", Die Hard FPS "1"; list entries A, B, C.
    const struct
    {
        const char *entry;
        const char *onOff;
        const char *list;
        const char *number;
    } rows[] = {
        {"mnuDefault", "off", "A", "0"},
        {"mnuHighQuality", "on", "B", "1"},
        {"mnuHighFPS", "on", "C", "2"},
        {"mnuDieHardFPS", "on", "B", "1"},
    };
    for (const auto &row : rows) {
        QTest::addRow("on/off %s", row.entry) << "cvarSimple" << row.entry << row.onOff;
        QTest::addRow("list %s", row.entry) << "cvarMulti" << row.entry << row.list;
        QTest::addRow("numeric %s", row.entry) << "cvarText" << row.entry << row.number;
    }
}

void TestTweakMenu::menuDefaultAndPresets_applyTheModelsTexts()
{
    QFETCH(QString, control);
    QFETCH(QString, entry);
    QFETCH(QString, shown);

    TweakPage page;
    for (const char *name : {"A", "B", "C"})
        page.multiModel.AddCVar(name, name);
    page.multiModel.pick(-1); // nothing selected, so every entry shows a change
    page.textModel.setValue("77");
    page.simpleModel.setValue(shown == QLatin1String("off") ? "1" : "0");
    for (TweakModel *model :
         std::initializer_list<TweakModel *>{&page.simpleModel, &page.multiModel, &page.textModel}) {
        model->setDefault("0");
        model->setPreset_Quality("1");
        model->setPreset_FPS(model == &page.simpleModel ? "1" : "2");
        model->setPreset_DieHard("1");
    }

    QWidget *widget = page.window.findChild<QWidget *>(control);
    menuEntry(widget, entry.toLatin1().constData())->trigger();
    if (control == QLatin1String("cvarSimple"))
        verifyShows(page.simple, shown == QLatin1String("on") ? Shown::On : Shown::Off);
    else if (control == QLatin1String("cvarMulti"))
        QCOMPARE(cmbValue(widget)->currentText(), shown);
    else
        QCOMPARE(txtValue(widget)->text(), shown);
}

void TestTweakMenu::rightReleaseOverCaption_popsUpActionsAtThePointer()
{
    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    QLabel *label = caption(page.multi);
    const QPoint at(30, 8);
    QTest::mouseClick(label, Qt::RightButton, {}, at);

    QMenu *menu = page.multi->findChild<QMenu *>(QStringLiteral("mnuActions"));
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), label->mapToGlobal(at));
    QCOMPARE(menu, page.multi->popupMenu());
    QVERIFY(menuEntry(page.multi, "mnuPreset")->isEnabled());
    menu->close();
}

void TestTweakMenu::firstReleaseOverRuledCaption_marksOptimized_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("menuShown");

    for (const char *control : {"cvarSimple", "cvarText"}) {
        QTest::addRow("%s left", control) << control << int(Qt::LeftButton) << false;
        QTest::addRow("%s middle", control) << control << int(Qt::MiddleButton) << false;
        QTest::addRow("%s right", control) << control << int(Qt::RightButton) << true;
    }
}

void TestTweakMenu::firstReleaseOverRuledCaption_marksOptimized()
{
    QFETCH(QString, control);
    QFETCH(int, button);
    QFETCH(bool, menuShown);

    TweakPage page;
    page.simpleModel.setPing("us>6000");
    page.textModel.setPing("ds/8");
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    auto *widget = page.window.findChild<TweakControl *>(control);
    QCOMPARE(menuEntry(widget, "mnuDefault")->text(), QStringLiteral("Default"));
    QVERIFY(menuEntry(widget, "mnuPreset")->isEnabled());

    QTest::mouseClick(caption(widget), Qt::MouseButton(button), {}, {20, 8});
    QMenu *menu = widget->findChild<QMenu *>(QStringLiteral("mnuActions"));
    QCOMPARE(menu->isVisible(), menuShown);
    QCOMPARE(menuEntry(widget, "mnuDefault")->text(), QStringLiteral("Optimized"));
    QVERIFY(!menuEntry(widget, "mnuPreset")->isEnabled());
    QVERIFY(!menuEntry(widget, "mnuHighQuality")->isEnabled());
    menu->close();

    // Triggered anyway, a preset still leaves a ruled tweak alone.
    TweakModel *model = widget->tweakModel();
    const QByteArray before = model->Value();
    model->setPreset_Quality("1");
    model->setPreset_FPS("2");
    model->setPreset_DieHard("3");
    for (const char *preset : {"mnuHighQuality", "mnuHighFPS", "mnuDieHardFPS"}) {
        menuEntry(widget, preset)->setEnabled(true);
        menuEntry(widget, preset)->trigger();
    }
    QCOMPARE(model->Value(), before);
}

void TestTweakMenu::releaseOverAButton_neitherMarksNorOpensTheMenu()
{
    TweakPage page;
    page.simpleModel.setPing("us>6000");
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    QTest::mouseClick(optCVar(page.simple, 0), Qt::RightButton);
    QVERIFY(!page.simple->popupMenu()->isVisible());
    QCOMPARE(menuEntry(page.simple, "mnuDefault")->text(), QStringLiteral("Default"));
    QCOMPARE(page.simpleModel.Value(), QByteArray());
}

void TestTweakMenu::menuKey_opensTheMenuFromTheFocusedChild()
{
    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    for (QWidget *child :
         {static_cast<QWidget *>(optCVar(page.simple, 1)), static_cast<QWidget *>(txtValue(page.text))}) {
        child->setFocus();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, child->rect().center(),
                                  child->mapToGlobal(child->rect().center()));
        QApplication::sendEvent(child, &request);
        QMenu *menu = child->parentWidget()->findChild<QMenu *>(QStringLiteral("mnuActions"));
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }
}

void TestTweakMenu::mouseMoveOverCaption_reportsTwipsInTheCaptionsCoordinates()
{
    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page.window));
    for (TweakControl *control : std::initializer_list<TweakControl *>{page.simple, page.multi, page.text}) {
        QSignalSpy moves(control, &TweakControl::MouseMove);
        QTest::mouseMove(caption(control), {10, 5});
        QTRY_COMPARE(moves.size(), 1);
        QCOMPARE(moves.last(), QVariantList({qint16(0), qint16(0), 150.0f, 75.0f}));
        QTest::mouseMove(caption(control), {11, 6});
        QTRY_COMPARE(moves.size(), 2);
        QCOMPARE(moves.last(), QVariantList({qint16(0), qint16(0), 165.0f, 90.0f}));
    }
}

void TestTweakMenu::mouseMoveOverOtherChildren_reportsNothing_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("child");
    QTest::addColumn<int>("index");
    QTest::newRow("on button") << "cvarSimple" << QStringLiteral("optCVar") << 1;
    QTest::newRow("off marker rim") << "cvarSimple" << QStringLiteral("shpOff") << -1;
    QTest::newRow("list") << "cvarMulti" << QStringLiteral("cmbValue") << -1;
    QTest::newRow("box") << "cvarText" << QStringLiteral("txtValue") << -1;
}

void TestTweakMenu::mouseMoveOverOtherChildren_reportsNothing()
{
    QFETCH(QString, control);
    QFETCH(QString, child);
    QFETCH(int, index);

    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page.window));
    auto *widget = page.window.findChild<TweakControl *>(control);
    QWidget *part = index >= 0 ? optCVar(widget, index) : widget->findChild<QWidget *>(child);
    QSignalSpy moves(widget, &TweakControl::MouseMove);
    QTest::mouseMove(part, {1, 2});
    QTest::mouseMove(part, {3, 4});
    QTest::qWait(20);
    QCOMPARE(moves.size(), 0);
}

void TestTweakMenu::mouseMove_reportsButtonsAndKeysAsCodes_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("shift");

    QTest::newRow("left") << int(Qt::LeftButton) << 0 << 1 << 0;
    QTest::newRow("right") << int(Qt::RightButton) << 0 << 2 << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << 0 << 4 << 0;
    QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << 0 << 3 << 0;
    QTest::newRow("ctrl") << 0 << int(Qt::ControlModifier) << 0 << 2;
    QTest::newRow("all keys, back button")
        << int(Qt::BackButton) << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << 0 << 7;
}

void TestTweakMenu::mouseMove_reportsButtonsAndKeysAsCodes()
{
    QFETCH(int, buttons);
    QFETCH(int, modifiers);
    QFETCH(int, button);
    QFETCH(int, shift);

    TweakPage page;
    QLabel *label = caption(page.text);
    QSignalSpy moves(page.text, &TweakControl::MouseMove);
    const QPointF at(4, 2);
    QMouseEvent move(QEvent::MouseMove, at, label->mapToGlobal(at), Qt::NoButton, Qt::MouseButtons(buttons),
                     Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(label, &move);
    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves.last(), QVariantList({qint16(button), qint16(shift), 60.0f, 30.0f}));
}

QTEST_MAIN(TestTweakMenu)
#include "tst_tweakmenu.moc"
