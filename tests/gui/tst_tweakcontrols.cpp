#include "app/widgets/dialogs.h"
#include "tweakpage.h"
#include "tweaks/widgets/pagetabs.h"
#include "tweaks/widgets/ruleerror.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace Tunesmith;

// The three tweak controls and the heading, as the player sees and drives them.
class TestTweakControls : public QObject
{
    Q_OBJECT

private slots:
    void init() { Dialogs::setRecording(true); }
    void cleanup() { QCOMPARE(Dialogs::takeMessages().size(), 0); }

    void layout_placesChildrenAtTwipPositions_data();
    void layout_placesChildrenAtTwipPositions();

    void clicks_showTheLastClickedButton_data();
    void clicks_showTheLastClickedButton();
    void valueSetInCode_looksExactlyLikeTheClick_data() { buttons_data(); }
    void valueSetInCode_looksExactlyLikeTheClick();
    void otherValueText_isStoredButTheButtonsStay();
    void spaceBar_selectsTheFocusedButton_data() { buttons_data(); }
    void spaceBar_selectsTheFocusedButton();
    void arrowKey_movesFocusAndSelectionToTheOtherButton_data();
    void arrowKey_movesFocusAndSelectionToTheOtherButton();
    void tab_reachesEveryControlInPageOrder();

    void newList_showsEntriesWithTheFirstSelected();
    void pickingWithTheMouse_setsTheValueText();
    void arrowKeysOnTheList_pickEntries();
    void modelSelection_showsInTheList();
    void pickingTheSelectedEntryAgain_repairsARestoredValue();

    void readProperties_showsCaptionAndBoxButNotOnOffValue();
    void writeProperties_takesCaptionAndTypedBoxText();
    void accessibleNames_comeFromTheDecodedShortDescription();

    void heading_showsValueInBoldColouredCaptionAboveARule();
    void pageTabs_measureAsPlainTabsDo();
    void ruleError_showsCriticalBoxTitledError();

private:
    static void buttons_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("on") << 1;
        QTest::newRow("off") << 0;
    }
};

void TestTweakControls::layout_placesChildrenAtTwipPositions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QRect>("pixels");

    // Pixel edges are the twip edges / 15, rounded.
    QTest::newRow("on/off size") << "cvarSimple" << QString() << QRect(0, 0, 207, 17);
    QTest::newRow("off marker") << "cvarSimple" << QStringLiteral("shpOff") << QRect(18, 0, 17, 17);
    QTest::newRow("list size") << "cvarMulti" << QString() << QRect(0, 0, 207, 37);
    QTest::newRow("numeric size") << "cvarText" << QString() << QRect(0, 0, 207, 35);
    QTest::newRow("box") << "cvarText" << QStringLiteral("txtValue") << QRect(0, 16, 205, 19);
    QTest::newRow("heading caption") << "lblLabel" << QStringLiteral("lblCaption") << QRect(0, -4, 207, 25);
}

void TestTweakControls::layout_placesChildrenAtTwipPositions()
{
    QFETCH(QString, control);
    QFETCH(QString, child);
    QFETCH(QRect, pixels);

    TweakPage page;
    QWidget *widget = page.window.findChild<QWidget *>(control);
    QVERIFY(widget);
    if (child.isEmpty()) {
        QCOMPARE(widget->size(), pixels.size());
        QCOMPARE(widget->sizeHint(), pixels.size());
        return;
    }
    QWidget *part = widget->findChild<QWidget *>(child);
    QVERIFY(part);
    QCOMPARE(part->geometry(), pixels);
}

void TestTweakControls::clicks_showTheLastClickedButton_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("none") << QList<int>{} << QByteArray();
    QTest::newRow("on") << QList<int>{1} << QByteArray("1");
    QTest::newRow("off") << QList<int>{0} << QByteArray("0");
    QTest::newRow("off then on: off is plain again") << QList<int>{0, 1} << QByteArray("1");
    QTest::newRow("on then off") << QList<int>{1, 0} << QByteArray("0");
    QTest::newRow("selected button clicked again stays selected") << QList<int>{1, 1} << QByteArray("1");
    QTest::newRow("off clicked again stays selected") << QList<int>{0, 0} << QByteArray("0");
}

void TestTweakControls::clicks_showTheLastClickedButton()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QByteArray, value);

    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page.window));
    for (int button : clicks)
        QTest::mouseClick(optCVar(page.simple, button), Qt::LeftButton);

    QCOMPARE(page.simpleModel.Value(), value);
    verifyShows(page.simple, value.isEmpty() ? Shown::None : value == "1" ? Shown::On : Shown::Off);
}

void TestTweakControls::valueSetInCode_looksExactlyLikeTheClick()
{
    QFETCH(int, button);

    TweakPage clicked;
    TweakPage coded;
    clicked.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&clicked.window));
    QTest::mouseClick(optCVar(clicked.simple, button), Qt::LeftButton);
    optCVar(clicked.simple, button)->clearFocus();
    coded.simpleModel.setValue(QByteArray::number(button));

    QCOMPARE(coded.simpleModel.Value(), clicked.simpleModel.Value());
    QCOMPARE(coded.simple->grab().toImage(), clicked.simple->grab().toImage());
}

// Texts other than "1" and "0" are stored, but the buttons keep showing the last value they could show.
void TestTweakControls::otherValueText_isStoredButTheButtonsStay()
{
    TweakPage page;
    page.simpleModel.setValue("0");
    page.simpleModel.setValue(" 1");
    QCOMPARE(page.simpleModel.Value(), QByteArray(" 1"));
    verifyShows(page.simple, Shown::Off);
}

void TestTweakControls::spaceBar_selectsTheFocusedButton()
{
    QFETCH(int, button);

    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    optCVar(page.simple, button)->setFocus();
    QTest::keyClick(optCVar(page.simple, button), Qt::Key_Space);
    QCOMPARE(page.simpleModel.Value(), QByteArray::number(button));
    verifyShows(page.simple, button == 1 ? Shown::On : Shown::Off);
    // Space on the selected button keeps it selected.
    QTest::keyClick(optCVar(page.simple, button), Qt::Key_Space);
    verifyShows(page.simple, button == 1 ? Shown::On : Shown::Off);
}

void TestTweakControls::arrowKey_movesFocusAndSelectionToTheOtherButton_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    for (int from : {1, 0}) {
        for (const auto &[name, key] : {std::pair{"left", Qt::Key_Left}, std::pair{"right", Qt::Key_Right},
                                        std::pair{"up", Qt::Key_Up}, std::pair{"down", Qt::Key_Down}}) {
            QTest::addRow("%s from %s", name, from == 1 ? "on" : "off") << from << int(key);
        }
    }
}

void TestTweakControls::arrowKey_movesFocusAndSelectionToTheOtherButton()
{
    QFETCH(int, from);
    QFETCH(int, key);

    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    optCVar(page.simple, from)->setFocus();
    QTest::keyClick(optCVar(page.simple, from), Qt::Key(key));

    const int to = 1 - from;
    QCOMPARE(QApplication::focusWidget(), optCVar(page.simple, to));
    QCOMPARE(page.simpleModel.Value(), QByteArray::number(to));
    verifyShows(page.simple, to == 1 ? Shown::On : Shown::Off);
}

void TestTweakControls::tab_reachesEveryControlInPageOrder()
{
    TweakPage page;
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    optCVar(page.simple, 1)->setFocus();

    const QList<QWidget *> order{optCVar(page.simple, 1), optCVar(page.simple, 0), cmbValue(page.multi),
                                 txtValue(page.text)};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
    // Tabbing through selects nothing.
    QCOMPARE(page.simpleModel.Value(), QByteArray());
}

void TestTweakControls::newList_showsEntriesWithTheFirstSelected()
{
    TweakPage page;
    QCOMPARE(cmbValue(page.multi)->count(), 0);
    page.multiModel.AddCVar("Low", "25");
    page.multiModel.AddCVar("Caf\xe9", "100"); // Windows-1252 from an old profile
    QComboBox *list = cmbValue(page.multi);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QStringLiteral("Low"));
    QCOMPARE(list->itemText(1), QStringLiteral("Caf\u00e9"));
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(page.multiModel.Value(), QByteArray("25"));
}

void TestTweakControls::pickingWithTheMouse_setsTheValueText()
{
    TweakPage page;
    page.multiModel.AddCVar("Low", "25");
    page.multiModel.AddCVar("High", "100");
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    QComboBox *list = cmbValue(page.multi);

    for (int position : {1, 0}) {
        list->showPopup();
        QAbstractItemView *view = list->view();
        QTRY_VERIFY(view->isVisible());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(position, 0)).center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(list->currentIndex(), position);
        QCOMPARE(page.multiModel.selected(), position);
        QCOMPARE(page.multiModel.Value(), position == 1 ? QByteArray("100") : QByteArray("25"));
    }
}

void TestTweakControls::arrowKeysOnTheList_pickEntries()
{
    TweakPage page;
    for (const char *entry : {"Low", "Mid", "High"})
        page.multiModel.AddCVar(entry, QByteArray(entry).toLower());
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    cmbValue(page.multi)->setFocus();

    QTest::keyClick(cmbValue(page.multi), Qt::Key_Down);
    QCOMPARE(page.multiModel.Value(), QByteArray("mid"));
    QTest::keyClick(cmbValue(page.multi), Qt::Key_End);
    QCOMPARE(page.multiModel.Value(), QByteArray("high"));
    QTest::keyClick(cmbValue(page.multi), Qt::Key_Up);
    QCOMPARE(page.multiModel.Value(), QByteArray("mid"));
    QCOMPARE(cmbValue(page.multi)->currentText(), QStringLiteral("Mid"));
}

void TestTweakControls::modelSelection_showsInTheList()
{
    TweakPage page;
    page.multiModel.AddCVar("Low", "25");
    page.multiModel.AddCVar("High", "100");
    QComboBox *list = cmbValue(page.multi);

    page.multiModel.setValue("1");
    QCOMPARE(list->currentText(), QStringLiteral("High"));
    page.multiModel.SetDesAsValue("25");
    QCOMPARE(list->currentText(), QStringLiteral("Low"));
    page.multiModel.pick(1);
    page.multiModel.AddCVar("Ultra", "200");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(page.multiModel.Value(), QByteArray("25"));
}

void TestTweakControls::pickingTheSelectedEntryAgain_repairsARestoredValue()
{
    TweakPage page;
    page.multiModel.AddCVar("Low", "25");
    page.multiModel.AddCVar("High", "100");
    page.multi->readProperties({{QStringLiteral("Value"), "stale"}});
    QCOMPARE(page.multiModel.Value(), QByteArray("stale"));
    QCOMPARE(cmbValue(page.multi)->currentIndex(), 0);

    QSignalSpy activated(cmbValue(page.multi), &QComboBox::activated);
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    QComboBox *list = cmbValue(page.multi);
    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {},
                      list->view()->visualRect(list->view()->model()->index(0, 0)).center());
    QCOMPARE(activated.size(), 1);
    QCOMPARE(page.multiModel.Value(), QByteArray("25"));
}

void TestTweakControls::readProperties_showsCaptionAndBoxButNotOnOffValue()
{
    TweakPage page;
    page.simple->readProperties({{QStringLiteral("Value"), "1"}, {QStringLiteral("ShortDescription"), "Shadows"}});
    QCOMPARE(caption(page.simple)->text(), QStringLiteral("Shadows"));
    QCOMPARE(page.simpleModel.Value(), QByteArray("1"));
    verifyShows(page.simple, Shown::None);

    // MaxValue comes later in the store's order, so the box keeps the unbounded text.
    page.text->readProperties({{QStringLiteral("Value"), "250"},
                               {QStringLiteral("MaxValue"), "100"},
                               {QStringLiteral("ShortDescription"), "Rate"}});
    QCOMPARE(caption(page.text)->text(), QStringLiteral("Rate"));
    QCOMPARE(txtValue(page.text)->text(), QStringLiteral("250"));
    QCOMPARE(page.textModel.MaxValue(), QByteArray("100"));
}

void TestTweakControls::writeProperties_takesCaptionAndTypedBoxText()
{
    TweakPage page;
    page.textModel.setShortDescription("Rate");
    page.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    txtValue(page.text)->setFocus();
    QTest::keyClicks(txtValue(page.text), QStringLiteral("42"));

    PropertyStore store;
    page.text->writeProperties(store);
    QCOMPARE(store.value(QStringLiteral("Value")), QByteArray("42"));
    QCOMPARE(store.value(QStringLiteral("ShortDescription")), QByteArray("Rate"));
    QVERIFY(store.contains(QStringLiteral("MinValue")));
}

void TestTweakControls::accessibleNames_comeFromTheDecodedShortDescription()
{
    // The controls exist before assistive technology starts; they are named when it does, and follow the model.
    TweakPage page;
    page.simpleModel.setShortDescription("Caf\xe9 lights");
    page.multiModel.setShortDescription("Detail");
    page.textModel.setShortDescription("Rate");
    QAccessible::setActive(true);
    const auto inactive = qScopeGuard([] { QAccessible::setActive(false); });
    const QString cafe = QStringLiteral("Caf\u00e9 lights");
    QCOMPARE(caption(page.simple)->text(), cafe);
    QCOMPARE(page.simple->accessibleName(), cafe);
    QCOMPARE(optCVar(page.simple, 1)->accessibleName(), cafe + QStringLiteral(": On"));
    QCOMPARE(optCVar(page.simple, 0)->accessibleName(), cafe + QStringLiteral(": Off"));
    QCOMPARE(cmbValue(page.multi)->accessibleName(), QStringLiteral("Detail"));
    QCOMPARE(txtValue(page.text)->accessibleName(), QStringLiteral("Rate"));
    page.textModel.setShortDescription("Rate limit");
    QCOMPARE(txtValue(page.text)->accessibleName(), QStringLiteral("Rate limit"));
}

void TestTweakControls::heading_showsValueInBoldColouredCaptionAboveARule()
{
    TweakPage page;
    page.heading->setValue(QStringLiteral("Video"));
    QLabel *label = page.heading->findChild<QLabel *>(QStringLiteral("lblCaption"));
    QCOMPARE(label->text(), QStringLiteral("Video"));
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pointSizeF(), 12.0);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(192, 64, 0));

    PropertyStore store;
    page.heading->writeProperties(store);
    QCOMPARE(store.value(QStringLiteral("Value")), QByteArray("Video"));

    // The rule runs along y = 16 px under the whole heading, beyond the caption's text.
    const QImage image = page.heading->grab().toImage();
    const QColor rule = page.heading->palette().color(QPalette::WindowText);
    QCOMPARE(image.pixelColor(200, 16), rule);
    QVERIFY(image.pixelColor(200, 14) != rule);
}

void TestTweakControls::ruleError_showsCriticalBoxTitledError()
{
    TweakPage page;
    page.context.reportRuleError = [&page](const QString &message) { showRuleError(page.text, message); };
    page.textModel.setValue("5");
    page.textModel.setPing("US*2");
    page.textModel.SetPing();

    const QList<Dialogs::ShownMessage> shown = Dialogs::takeMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].icon, QMessageBox::Critical);
    QCOMPARE(shown[0].title, QStringLiteral("Error"));
    QCOMPARE(shown[0].text, QStringLiteral("Decimal value detected in condition: US|*|2. Please avoid using decimal "
                                           "value's."));
    QCOMPARE(txtValue(page.text)->text(), QStringLiteral("5"));
}

QTEST_MAIN(TestTweakControls)
void TestTweakControls::pageTabs_measureAsPlainTabsDo()
{
    // The page tabs remember sizes; they must still be the sizes Qt gives, for every place and after a font change.
    PageTabs remembering;
    QTabWidget plain;
    const QStringList captions = {QStringLiteral("Graphics"), QStringLiteral("Graphics (2)"), QStringLiteral("Sound"),
                                  QStringLiteral("Graphics"), QStringLiteral("A much longer network caption")};
    for (const QString &caption : captions) {
        remembering.addTab(new QWidget, caption);
        plain.addTab(new QWidget, caption);
    }
    const auto sameSizes = [&] {
        for (int i = 0; i < captions.size(); ++i) {
            if (remembering.tabBar()->tabRect(i).size() != plain.tabBar()->tabRect(i).size())
                return false;
        }
        return true;
    };
    QVERIFY(sameSizes());
    remembering.setCurrentIndex(3);
    plain.setCurrentIndex(3);
    QVERIFY(sameSizes());
    QFont larger = remembering.tabBar()->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    remembering.tabBar()->setFont(larger);
    plain.tabBar()->setFont(larger);
    QVERIFY(sameSizes());
}

#include "tst_tweakcontrols.moc"
