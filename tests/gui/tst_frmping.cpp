#include "app/programstate.h"
#include "app/speedunits.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmping.h"
#include "loader/loadedprofile.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// On/off and numeric tweaks mixed, with and without connection rules; numeric ones come first in the file so the
// profile's order differs from the order the dialog recomputes them in.
const QByteArray ruledProfile = "[title]\r\nNet Test\r\n1-1-2024\r\nTester\r\n"
                                "[syntax]\r\nnet.cfg\r\nset cvar value\r\n"
                                "[add tab]\r\nNetwork\r\n"
                                "[add ping text]\r\nrate\r\n0|100000\r\nds/8\r\nRate\r\nBytes a second.\r\n"
                                "[add simple]\r\nplain\r\n1|1|0|0\r\nPlain\r\nNo rule.\r\n"
                                "[add ping simple]\r\nslowup\r\nus>6000\r\nSlow upload\r\nA slow line.\r\n"
                                "[add text]\r\nfixed\r\n0|100\r\n5|5|5|5\r\nFixed\r\nNo rule.\r\n"
                                "[add ping simple]\r\nfastdown\r\nds<16000\r\nFast download\r\nA fast line.\r\n"
                                "[add ping text]\r\npackets\r\n1|1000\r\nus/1024\r\nPackets\r\nPer second.\r\n";

} // namespace

class TestFrmPing : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
    QPointer<frmPing> m_ping;

    QString settingsPath() const { return m_state.settingsPath(); }

    frmPing *open(LoadedProfile *profile = nullptr)
    {
        m_ping = new frmPing(m_state, profile, nullptr);
        m_ping->show();
        return m_ping;
    }
    template<typename T>
    T *find(const char *name) const
    {
        T *widget = m_ping->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QComboBox *preset() const { return find<QComboBox>("cmbPreset"); }
    QComboBox *uType() const { return find<QComboBox>("cmbUType"); }
    QComboBox *dType() const { return find<QComboBox>("cmbDType"); }
    QLineEdit *uSpeed() const { return find<QLineEdit>("txtUSpeed"); }
    QLineEdit *dSpeed() const { return find<QLineEdit>("txtDSpeed"); }
    QLabel *error() const { return find<QLabel>("lblError"); }
    void save() { find<QPushButton>("cmdSave")->click(); }
    bool closedAfterSave()
    {
        QTest::qWait(0);
        return QTest::qWaitFor([this] { return m_ping.isNull(); }, 1000);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
        Dialogs::setRecording(true);
        Dialogs::takeMessages();
    }

    void cleanup()
    {
        delete m_ping;
        QVERIFY(Dialogs::takeMessages().isEmpty());
    }

    void open_nothingStored_showsCustomWithZeroBytesPerSecond()
    {
        open();
        QCOMPARE(m_ping->size(), QSize(289, 289));
        QVERIFY(m_ping->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!error()->isVisible());
        QCOMPARE(preset()->currentText(), QStringLiteral("Custom"));
        QCOMPARE(preset()->count(), 8);
        QCOMPARE(uType()->currentText(), QStringLiteral("Byte/s"));
        QCOMPARE(dType()->currentText(), QStringLiteral("Byte/s"));
        QCOMPARE(uSpeed()->text(), QStringLiteral("0"));
        QCOMPARE(dSpeed()->text(), QStringLiteral("0"));
        // The megabit entries of the two lists differ in case only.
        QCOMPARE(uType()->itemText(4), QStringLiteral("Mbit/s"));
        QCOMPARE(dType()->itemText(5), QStringLiteral("mByte/s"));
    }

    void presetChosen_fillsBoxesInKbit_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("upload");
        QTest::addColumn<int>("download");
        QTest::newRow("modem") << 1 << 21 << 42;
        QTest::newRow("dual isdn") << 3 << 42 << 85;
        QTest::newRow("adsl 512") << 5 << 128 << 512;
        QTest::newRow("t3") << 7 << 512 << 3072;
    }

    void presetChosen_fillsBoxesInKbit()
    {
        QFETCH(int, position);
        QFETCH(int, upload);
        QFETCH(int, download);
        open();
        preset()->setCurrentIndex(position);
        QCOMPARE(uSpeed()->text(), QString::number(upload));
        QCOMPARE(dSpeed()->text(), QString::number(download));
        QCOMPARE(uType()->currentText(), QStringLiteral("kbit/s"));
        QCOMPARE(dType()->currentText(), QStringLiteral("kbit/s"));
    }

    void customChosen_keepsBoxesAndSetsKbit()
    {
        open();
        preset()->setCurrentIndex(6);
        uSpeed()->setText(QStringLiteral("77"));
        uType()->setCurrentIndex(1);
        preset()->setCurrentIndex(0);
        QCOMPARE(uSpeed()->text(), QStringLiteral("77"));
        QCOMPARE(dSpeed()->text(), QStringLiteral("1024"));
        QCOMPARE(uType()->currentText(), QStringLiteral("kbit/s"));
    }

    void presetPickedAgain_fillsBoxesAgain()
    {
        open();
        preset()->setCurrentIndex(6);
        const QString upload = uSpeed()->text();
        QTest::qWait(0); // the program's own change is over
        uSpeed()->setText(QStringLiteral("77"));
        uType()->setCurrentIndex(1);
        Q_EMIT preset()->activated(6); // the player picks the entry that is already selected
        QCOMPARE(uSpeed()->text(), upload);
        QCOMPARE(uType()->currentText(), QStringLiteral("kbit/s"));

        // A pick that changes the selection fills the boxes once, not again for the pick.
        uType()->setCurrentIndex(1);
        preset()->setCurrentIndex(5);
        uType()->setCurrentIndex(1);
        Q_EMIT preset()->activated(5);
        QCOMPARE(uType()->currentIndex(), 1);
    }

    void adsl512_savesBytesPerSecondAndReopensInBytes()
    {
        QVERIFY(writeFile(settingsPath(), "backups|0\r\n"));
        open();
        preset()->setCurrentIndex(preset()->findText(QStringLiteral("ADSL (512k)")));
        save();
        QVERIFY(closedAfterSave());
        QCOMPARE(readFile(settingsPath()), QByteArray("backups|0\r\nupload|16384\r\ndownload|65536\r\n"));
        QCOMPARE(m_state.uploadSpeed, 16384);
        QCOMPARE(m_state.downloadSpeed, 65536);

        open();
        QCOMPARE(preset()->currentText(), QStringLiteral("Custom"));
        QCOMPARE(uType()->currentText(), QStringLiteral("Byte/s"));
        QCOMPARE(uSpeed()->text(), QStringLiteral("16384"));
        QCOMPARE(dSpeed()->text(), QStringLiteral("65536"));
    }

    void saveUnchanged_rewritesSameLinesWithoutAddingOne()
    {
        const QByteArray before = "upload|16384\r\ndescriptions|0\r\ndownload|65536\r\n";
        QVERIFY(writeFile(settingsPath(), before));
        m_state.uploadSpeed = 16384;
        m_state.downloadSpeed = 65536;
        open();
        save();
        QVERIFY(closedAfterSave());
        QCOMPARE(readFile(settingsPath()), before);
    }

    void typedDigit_switchesPresetToCustom_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("upload") << "txtUSpeed";
        QTest::newRow("download") << "txtDSpeed";
    }

    void typedDigit_switchesPresetToCustom()
    {
        QFETCH(QString, box);
        open();
        preset()->setCurrentIndex(4);
        auto *edit = find<QLineEdit>(box.toLatin1().constData());
        edit->setFocus();
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(preset()->currentText(), QStringLiteral("Custom"));
        QVERIFY(edit->text().endsWith(QLatin1Char('5')));
        QCOMPARE(uType()->currentText(), QStringLiteral("kbit/s"));
    }

    // "Custom" already selected: typing does not select it anew, so units the player chose stay.
    void typedDigitWhileCustom_keepsChosenUnits()
    {
        open();
        uType()->setCurrentIndex(3);
        uSpeed()->setFocus();
        QTest::keyClick(uSpeed(), Qt::Key_7);
        QCOMPARE(uType()->currentText(), QStringLiteral("kByte/s"));
        QCOMPARE(dType()->currentText(), QStringLiteral("Byte/s"));
    }

    void typedKeys_onlyDigitsPointAndBackspaceReachTheBox()
    {
        open();
        uSpeed()->clear();
        uSpeed()->setFocus();
        QTest::keyClicks(uSpeed(), QStringLiteral("1a-2 +.x3e"));
        QCOMPARE(uSpeed()->text(), QStringLiteral("12.3"));
        QTest::keyClick(uSpeed(), Qt::Key_Backspace);
        QCOMPARE(uSpeed()->text(), QStringLiteral("12."));
    }

    void save_convertsWithSelectedUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("12 bit/s rounds 1.5 to even") << 0 << "12" << 2;
        QTest::newRow("4 bit/s rounds 0.5 to even") << 0 << "4" << 0;
        QTest::newRow("20 bit/s rounds 2.5 to even") << 0 << "20" << 2;
        QTest::newRow("Byte/s") << 1 << "1500" << 1500;
        QTest::newRow("Byte/s fraction halves to even") << 1 << "2.5" << 2;
        QTest::newRow("kbit/s") << 2 << "3" << 384;
        QTest::newRow("kByte/s") << 3 << "3" << 3072;
        QTest::newRow("megabit") << 4 << "2" << 262144;
        QTest::newRow("megabyte") << 5 << "2" << 2097152;
        QTest::newRow("largest kByte/s") << 3 << "2097151" << 2147482624;
        QTest::newRow("largest megabit") << 4 << "16383" << 2147352576;
        QTest::newRow("largest megabyte") << 5 << "2047" << 2146435072;
    }

    // Both lists convert alike: the download list's lower-case megabit entry included.
    void save_convertsWithSelectedUnit()
    {
        QFETCH(int, unit);
        QFETCH(QString, text);
        QFETCH(int, bytes);
        open();
        uType()->setCurrentIndex(unit);
        dType()->setCurrentIndex(unit);
        uSpeed()->setText(text);
        dSpeed()->setText(text);
        save();
        QVERIFY(closedAfterSave());
        QCOMPARE(m_state.uploadSpeed, bytes);
        QCOMPARE(m_state.downloadSpeed, bytes);
        const QByteArray number = QByteArray::number(bytes);
        QCOMPARE(readFile(settingsPath()), "upload|" + number + "\r\ndownload|" + number + "\r\n");
    }

    void save_refusesSpeedItCannotStore_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty upload") << true << 1 << QString() << QStringLiteral("Enter a speed");
        QTest::newRow("blank download") << false << 1 << QStringLiteral("  ") << QStringLiteral("Enter a speed");
        QTest::newRow("two points") << true << 1 << QStringLiteral("1.2.3") << QStringLiteral("Not a number");
        QTest::newRow("only a point") << false << 2 << QStringLiteral(".") << QStringLiteral("Not a number");
        QTest::newRow("beyond 32 bits") << true << 1 << QStringLiteral("2147483648") << QStringLiteral("Too large");
        QTest::newRow("kbit/s too large") << true << 2 << QStringLiteral("2097152") << QStringLiteral("Too large");
        QTest::newRow("megabit too large") << false << 4 << QStringLiteral("16384") << QStringLiteral("Too large");
        QTest::newRow("negative pasted") << false << 1 << QStringLiteral("-5") << QStringLiteral("Below zero");
    }

    void save_refusesSpeedItCannotStore()
    {
        QFETCH(bool, upload);
        QFETCH(int, unit);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QByteArray before = "upload|100\r\ndownload|200\r\n";
        QVERIFY(writeFile(settingsPath(), before));
        m_state.uploadSpeed = 100;
        m_state.downloadSpeed = 200;
        QTemporaryDir profileDir;
        QVERIFY(writeFile(profileDir.filePath(QStringLiteral("net.tsm")), ruledProfile));
        auto profile = loadProfile(profileDir.filePath(QStringLiteral("net.tsm")), m_state, {}, nullptr, nullptr);
        QVERIFY(profile);
        const QByteArray rateBefore = profile->text[0]->Value();

        open(profile.get());
        (upload ? uType() : dType())->setCurrentIndex(unit);
        (upload ? uSpeed() : dSpeed())->setText(text);
        save();
        QTest::qWait(0);
        QVERIFY(m_ping);
        QVERIFY(m_ping->isVisible());
        QVERIFY(error()->isVisible());
        QCOMPARE(error()->text(), shown);
        // Beside the caption of the box concerned.
        const QLabel *caption = find<QLabel>(upload ? "Label3" : "Label5");
        QCOMPARE(error()->geometry().top(), caption->geometry().top());
        QCOMPARE(readFile(settingsPath()), before);
        QCOMPARE(m_state.uploadSpeed, 100);
        QCOMPARE(m_state.downloadSpeed, 200);
        QCOMPARE(profile->text[0]->Value(), rateBefore);

        // Mending the text takes the notice away.
        (upload ? uSpeed() : dSpeed())->setText(QStringLiteral("1"));
        QVERIFY(!error()->isVisible());
    }

    void save_recomputesRuledTweaks_onOffThenNumericInIndexOrder()
    {
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("net.tsm")), ruledProfile));
        QStringList ruleErrors;
        auto profile = loadProfile(
            m_dir->filePath(QStringLiteral("net.tsm")), m_state, [&](const QString &message) { ruleErrors << message; },
            nullptr, nullptr);
        QVERIFY(profile);
        QCOMPARE(profile->simple.size(), size_t(3));
        QCOMPARE(profile->text.size(), size_t(3));
        QCOMPARE(profile->simple[1]->Value(), QByteArray("1")); // us>6000 at 0 bytes/s
        QCOMPARE(profile->simple[2]->Value(), QByteArray("0")); // ds<16000 at 0 bytes/s

        QStringList order;
        std::vector<TweakModel::Listening> listening;
        for (TweakModel *model : profile->saveOrder()) {
            listening.push_back(model->onDisplayChanged([&order, model] {
                const QString name = QString::fromLatin1(model->Tweak());
                if (order.isEmpty() || order.last() != name)
                    order << name;
            }));
        }
        const QByteArray plainBefore = profile->simple[0]->Value();
        const QByteArray fixedBefore = profile->text[1]->Value();

        open(profile.get());
        preset()->setCurrentIndex(5);
        save();
        QVERIFY(closedAfterSave());
        QCOMPARE(order, QStringList({QStringLiteral("slowup"), QStringLiteral("fastdown"), QStringLiteral("rate"),
                                     QStringLiteral("packets")}));
        QCOMPARE(profile->simple[1]->Value(), QByteArray("0"));
        QCOMPARE(profile->simple[2]->Value(), QByteArray("1"));
        QCOMPARE(profile->text[0]->Value(), QByteArray("8192"));
        QCOMPARE(profile->text[2]->Value(), QByteArray("16"));
        QCOMPARE(profile->simple[0]->Value(), plainBefore);
        QCOMPARE(profile->text[1]->Value(), fixedBefore);
        QVERIFY(ruleErrors.isEmpty());
    }

    void closeWithoutSave_changesNothing()
    {
        open();
        preset()->setCurrentIndex(7);
        m_ping->close();
        QVERIFY(QTest::qWaitFor([this] { return m_ping.isNull(); }, 1000));
        QVERIFY(!QFile::exists(settingsPath()));
        QCOMPARE(m_state.uploadSpeed, 0);
    }
};

QTEST_MAIN(TestFrmPing)
#include "tst_frmping.moc"
