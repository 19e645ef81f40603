#include "app/programstate.h"
#include "app/savefile.h"
#include "app/widgets/frmping.h"
#include "loader/loadedprofile.h"
#include "programfolder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

// On/off and numeric tweaks, each kind with and without a connection rule.
const QByteArray ruledProfile = "[title]\r\nNet Test\r\n1-1-2024\r\nTester\r\n"
                                "[syntax]\r\nnet.cfg\r\nset cvar value\r\n"
                                "[add tab]\r\nNetwork\r\n"
                                "[add simple]\r\nplain\r\n1|1|0|0\r\nPlain\r\nNo rule.\r\n"
                                "[add ping simple]\r\nslowup\r\nus>6000\r\nSlow upload\r\nA slow line.\r\n"
                                "[add text]\r\nfixed\r\n0|100\r\n5|5|5|5\r\nFixed\r\nNo rule.\r\n"
                                "[add ping text]\r\nrate\r\n0|100000\r\nds/8\r\nRate\r\nBytes a second.\r\n";

} // namespace

// The connection settings dialog: its presets, units and boxes, what it stores and the rules it applies again.
class TestFrmPing : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    ProgramState m_state;
    QPointer<frmPing> m_ping;

    frmPing *open(LoadedProfile *profile = nullptr)
    {
        m_ping = new frmPing(m_state, profile, nullptr);
        m_ping->show();
        return m_ping;
    }
    template<typename T>
    T *find(const char *name) const
    {
        return m_ping->findChild<T *>(QLatin1String(name));
    }
    QComboBox *preset() const { return find<QComboBox>("cmbPreset"); }
    QComboBox *uType() const { return find<QComboBox>("cmbUType"); }
    QComboBox *dType() const { return find<QComboBox>("cmbDType"); }
    QLineEdit *uSpeed() const { return find<QLineEdit>("txtUSpeed"); }
    QLineEdit *dSpeed() const { return find<QLineEdit>("txtDSpeed"); }
    QLabel *error() const { return find<QLabel>("lblError"); }
    // Clicks Save; true when the dialog closes then, as it does once the speeds are stored.
    bool save(int waitMs = 1000)
    {
        find<QPushButton>("cmdSave")->click();
        QTest::qWait(0);
        return QTest::qWaitFor([this] { return m_ping.isNull(); }, waitMs);
    }

private Q_SLOTS:
    void init()
    {
        SaveFileFaults::clear();
        m_folder = std::make_unique<ProgramFolder>();
        m_state = ProgramState();
        m_state.programFolder = m_folder->path;
    }

    void cleanup()
    {
        SaveFileFaults::clear();
        delete m_ping;
        QVERIFY(Dialogs::takeMessages().isEmpty());
    }

    void preset_fillsBoxesInKbit_savesBytesPerSecond_reopensInBytes_orTellsWhyNot()
    {
        open();
        preset()->setCurrentIndex(preset()->findText(u"ADSL (512k)"_s));
        QCOMPARE(uSpeed()->text(), u"128"_s);
        QCOMPARE(dSpeed()->text(), u"512"_s);
        QCOMPARE(uType()->currentText(), u"kbit/s"_s);
        QCOMPARE(dType()->currentText(), u"kbit/s"_s);
        QVERIFY(save());

        open();
        QCOMPARE(preset()->currentText(), u"Custom"_s);
        QCOMPARE(uType()->currentText(), u"Byte/s"_s);
        QCOMPARE(uSpeed()->text(), u"16384"_s);
        QCOMPARE(dSpeed()->text(), u"65536"_s);

        // On a failing disk: the reason, and the dialog stays open. The fault is injected at the program's one write
        // routine, so it works even when the tests run as root.
        preset()->setCurrentIndex(7);
        SaveFileFaults::set(SaveFileFaults::Step::DiskFull, m_folder->path);
        QVERIFY(!save(0));
        const auto messages = Dialogs::takeMessages();
        QVERIFY(messages.size() == 1 && messages[0].icon == QMessageBox::Warning);
        QVERIFY2(messages[0].text.contains(u"No space left on device"_s), qPrintable(messages[0].text));
        QVERIFY(m_ping->isVisible());
    }

    void presetPicks_customKeepsBoxes_pickedAgainFillsThemAgain_closeStoresNothing()
    {
        open();
        preset()->setCurrentIndex(6);
        const QString upload = uSpeed()->text();
        uSpeed()->setText(u"77"_s);
        uType()->setCurrentIndex(1);
        preset()->setCurrentIndex(0); // Custom: the boxes stay, the units become kbit/s
        QCOMPARE(uSpeed()->text(), u"77"_s);
        QCOMPARE(uType()->currentText(), u"kbit/s"_s);

        preset()->setCurrentIndex(6);
        QTest::qWait(0); // the program's own change is over
        uSpeed()->setText(u"77"_s);
        uType()->setCurrentIndex(1);
        Q_EMIT preset()->activated(6); // the player picks the entry that is already selected
        QCOMPARE(uSpeed()->text(), upload);
        QCOMPARE(uType()->currentText(), u"kbit/s"_s);

        // A pick that changes the selection fills the boxes once, not again for the pick.
        preset()->setCurrentIndex(5);
        uType()->setCurrentIndex(1);
        Q_EMIT preset()->activated(5);
        QCOMPARE(uType()->currentIndex(), 1);

        // Closed without Save: nothing is stored.
        m_ping->close();
        QVERIFY(QTest::qWaitFor([this] { return m_ping.isNull(); }, 1000));
        QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|0\r\n"));
    }

    void typing_letsOnlyNumbersThrough_andSwitchesPresetToCustom()
    {
        open();
        // "Custom" already selected: typing does not select it anew, so units the player chose stay.
        uType()->setCurrentIndex(3);
        uSpeed()->clear();
        uSpeed()->setFocus();
        QTest::keyClicks(uSpeed(), u"1a-2 +.x3e"_s);
        QCOMPARE(uSpeed()->text(), u"12.3"_s);
        QTest::keyClick(uSpeed(), Qt::Key_Backspace);
        QCOMPARE(uSpeed()->text(), u"12."_s);
        QCOMPARE(uType()->currentText(), u"kByte/s"_s);

        // A digit in either box picks "Custom", which sets kbit/s as a pick does.
        for (QLineEdit *box : {uSpeed(), dSpeed()}) {
            preset()->setCurrentIndex(4);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_5);
            QCOMPARE(preset()->currentText(), u"Custom"_s);
            QVERIFY(box->text().endsWith(u'5'));
        }
        QCOMPARE(uType()->currentText(), u"kbit/s"_s);
    }

    // Each box converts with its own list's unit: 20 bit/s are 2.5 bytes a second, which halve to even.
    void save_convertsEachBoxWithItsUnit()
    {
        open();
        uType()->setCurrentIndex(0); // bit/s
        dType()->setCurrentIndex(4); // Mbit/s, the download list's lower-case megabit entry
        uSpeed()->setText(u"20"_s);
        dSpeed()->setText(u"2"_s);
        QVERIFY(save());
        QCOMPARE(m_state.uploadSpeed, 2);
        QCOMPARE(m_state.downloadSpeed, 262144);
    }

    void save_refusesSpeedItCannotStore_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("blank download") << false << 1 << u"  "_s << u"Enter a speed"_s;
        QTest::newRow("two points") << true << 1 << u"1.2.3"_s << u"Not a number"_s;
        QTest::newRow("megabit too large") << false << 4 << u"16384"_s << u"Too large"_s;
        QTest::newRow("negative pasted") << false << 1 << u"-5"_s << u"Below zero"_s;
    }

    void save_refusesSpeedItCannotStore()
    {
        QFETCH(bool, upload);
        QFETCH(int, unit);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        m_state.uploadSpeed = 100;
        m_state.downloadSpeed = 200;
        open();
        (upload ? uType() : dType())->setCurrentIndex(unit);
        (upload ? uSpeed() : dSpeed())->setText(text);
        QVERIFY(!save(0));
        QVERIFY(m_ping->isVisible());
        QVERIFY(error()->isVisible());
        QCOMPARE(error()->text(), shown);
        // Beside the caption of the box concerned.
        QCOMPARE(error()->geometry().top(), find<QLabel>(upload ? "Label3" : "Label5")->geometry().top());
        QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|0\r\n")); // nothing stored

        // Mending the text takes the notice away.
        (upload ? uSpeed() : dSpeed())->setText(u"1"_s);
        QVERIFY(!error()->isVisible());
    }

    void save_recomputesRuledTweaksOnly()
    {
        writeAll(m_folder->path + u"/net.tsm"_s, ruledProfile);
        auto profile = loadProfile(m_folder->path + u"/net.tsm"_s, m_state, {}, nullptr, nullptr);
        QVERIFY(profile);
        QCOMPARE(profile->simple[1]->Value(), QByteArray("1")); // us>6000 at 0 bytes/s
        open(profile.get());
        preset()->setCurrentIndex(5);
        QVERIFY(save());
        QCOMPARE(profile->simple[1]->Value(), QByteArray("0"));
        QCOMPARE(profile->text[1]->Value(), QByteArray("8192"));
        QCOMPARE(profile->simple[0]->Value(), QByteArray("1"));
        QCOMPARE(profile->text[0]->Value(), QByteArray("5"));
    }
};

QTEST_MAIN(TestFrmPing)
#include "tst_frmping.moc"
