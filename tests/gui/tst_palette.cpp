#include "about/widgets/frmabout.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/frmlocation.h"
#include "app/widgets/palettecolours.h"
#include "tweakpage.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Tunesmith;

namespace
{

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(238, 238, 236));
    palette.setColor(QPalette::Base, QColor(45, 45, 45));
    palette.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    palette.setColor(QPalette::Text, QColor(238, 238, 236));
    palette.setColor(QPalette::Button, QColor(60, 60, 60));
    palette.setColor(QPalette::ButtonText, QColor(238, 238, 236));
    return palette;
}

// A colour a style sheet gives for property ("color", "background-color").
QColor styleColour(const QWidget *widget, const QString &property)
{
    const QRegularExpression pattern(QStringLiteral("(^|[ ;])%1: *(#[0-9a-fA-F]{6})").arg(property));
    const QRegularExpressionMatch match = pattern.match(widget->styleSheet());
    return match.hasMatch() ? QColor(match.captured(2)) : QColor();
}

QColor headingColour(lblLabel *heading)
{
    const auto *label = heading->findChild<QLabel *>(QStringLiteral("lblCaption"));
    return label->palette().color(QPalette::WindowText);
}

} // namespace

// The program's own colours on the desktop's light and dark palettes.
class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readable_keepsAColourThatStandsOut_data();
    void readable_keepsAColourThatStandsOut();
    void readable_lightensOnDarkAndDarkensOnLight_data();
    void readable_lightensOnDarkAndDarkensOnLight();

    void lightPalette_keepsTheProgramsOwnColours();
    void darkPalette_headingsMarkersAndSelectedButtonsStandOutFromThePage();
    void darkPalette_lockedBoxesAndOrangeTextsStayReadable();
    void darkPalette_aboutTitleAndLinksStayReadable();

private:
    QPalette m_original;
    QTemporaryDir *m_dir = nullptr;
};

void TestPalette::init()
{
    m_original = QApplication::palette();
    Dialogs::setRecording(true);
    m_dir = new QTemporaryDir;
}

void TestPalette::cleanup()
{
    QApplication::setPalette(m_original);
    delete m_dir;
    m_dir = nullptr;
}

void TestPalette::readable_keepsAColourThatStandsOut_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");

    // The light palettes the colours were made for: the window, a white page, the locked grey box.
    for (const QColor background : {QColor(239, 239, 239), QColor(Qt::white), QColor(224, 224, 224)}) {
        const QByteArray on = background.name().toLatin1();
        for (const QColor colour :
             {QColor(192, 64, 0), QColor(0, 128, 0), QColor(192, 0, 0), QColor(0, 0, 255), QColor(208, 0, 0)})
            QTest::newRow(colour.name().toLatin1() + " on " + on) << colour << background;
    }
    QTest::newRow("white on dark grey") << QColor(Qt::white) << QColor(53, 53, 53);
}

void TestPalette::readable_keepsAColourThatStandsOut()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    QCOMPARE(PaletteColours::readable(colour, background), colour);
}

void TestPalette::readable_lightensOnDarkAndDarkensOnLight_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<double>("target");
    QTest::addColumn<bool>("lighter");

    QTest::newRow("heading on dark window") << QColor(192, 64, 0) << QColor(53, 53, 53) << 4.5 << true;
    QTest::newRow("on marker on dark page") << QColor(0, 128, 0) << QColor(45, 45, 45) << 3.0 << true;
    QTest::newRow("link on dark window") << QColor(0, 0, 255) << QColor(53, 53, 53) << 4.5 << true;
    QTest::newRow("off selected on near black") << QColor(192, 0, 0) << QColor(30, 30, 30) << 3.0 << true;
    QTest::newRow("yellow on white") << QColor(255, 255, 0) << QColor(Qt::white) << 4.5 << false;
}

void TestPalette::readable_lightensOnDarkAndDarkensOnLight()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    QFETCH(double, target);
    QFETCH(bool, lighter);

    const QColor shade = PaletteColours::readable(colour, background, target);
    QVERIFY2(PaletteColours::contrast(shade, background) >= target, qPrintable(shade.name()));
    QCOMPARE(shade.lightnessF() > colour.lightnessF(), lighter);
    // Still the same colour to the eye: the hue stays.
    QVERIFY2(qAbs(shade.hslHue() - colour.hslHue()) <= 2, qPrintable(shade.name()));
}

void TestPalette::lightPalette_keepsTheProgramsOwnColours()
{
    QVERIFY(!PaletteColours::isDark(QApplication::palette()));
    TweakPage page;
    QCOMPARE(headingColour(page.heading), QColor(192, 64, 0));
    QCOMPARE(marker(page.simple, "shpOn")->colour(), QColor(0, 128, 0));
    QCOMPARE(marker(page.simple, "shpOff")->colour(), QColor(192, 64, 0));

    Application app(m_dir->path());
    frmLoad load(app, nullptr);
    const auto *box = load.findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"));
    QCOMPARE(styleColour(box, QStringLiteral("background-color")), QColor(224, 224, 224));
    QCOMPARE(styleColour(box, QStringLiteral("color")), QColor(Qt::black));
}

void TestPalette::darkPalette_headingsMarkersAndSelectedButtonsStandOutFromThePage()
{
    QApplication::setPalette(darkPalette());
    TweakPage page;
    const QColor window = page.window.palette().color(QPalette::Window);
    QVERIFY(PaletteColours::contrast(headingColour(page.heading), window) >= 4.5);
    const QColor on = marker(page.simple, "shpOn")->colour();
    const QColor off = marker(page.simple, "shpOff")->colour();
    QVERIFY2(PaletteColours::contrast(on, window) >= 3, qPrintable(on.name()));
    QVERIFY2(PaletteColours::contrast(off, window) >= 3, qPrintable(off.name()));
    // Green stays green and red-brown stays red-brown.
    QCOMPARE(on.hslHue(), QColor(0, 128, 0).hslHue());
    QCOMPARE(off.hslHue(), QColor(192, 64, 0).hslHue());

    page.simpleModel.clickButton(1);
    QVERIFY(PaletteColours::contrast(optCVar(page.simple, 1)->background(), window) >= 3);
    page.simpleModel.clickButton(0);
    QVERIFY(PaletteColours::contrast(optCVar(page.simple, 0)->background(), window) >= 3);
    QCOMPARE(optCVar(page.simple, 1)->background(), plainBackground(page.simple));
}

void TestPalette::darkPalette_lockedBoxesAndOrangeTextsStayReadable()
{
    QApplication::setPalette(darkPalette());
    Application app(m_dir->path());
    frmLoad load(app, nullptr);
    const auto *installDir = load.findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"));
    const QColor grey = styleColour(installDir, QStringLiteral("background-color"));
    QVERIFY2(PaletteColours::contrast(grey, QColor(224, 224, 224)) > 3, "the light grey box glares on a dark window");
    QVERIFY(PaletteColours::contrast(styleColour(installDir, QStringLiteral("color")), grey) >= 4.5);

    app.state().currentProfile = QStringLiteral("mygame.tsm");
    frmLocation location(app, nullptr);
    for (const char *name : {"txtCurrent", "txtNew"}) {
        const auto *box = location.findChild<QLineEdit *>(QLatin1String(name));
        QColor background = styleColour(box, QStringLiteral("background-color"));
        if (!background.isValid())
            background = box->palette().color(QPalette::Base);
        const QColor text = styleColour(box, QStringLiteral("color"));
        QVERIFY2(PaletteColours::contrast(text, background) >= 4.5, name);
        QVERIFY2(qAbs(text.hslHue() - QColor(192, 64, 0).hslHue()) <= 2, name);
    }
}

void TestPalette::darkPalette_aboutTitleAndLinksStayReadable()
{
    QApplication::setPalette(darkPalette());
    ProgramState state;
    state.programFolder = m_dir->path();
    frmAbout about(state, nullptr);
    const QColor window = about.palette().color(QPalette::Window);
    for (const char *name : {"Label1", "lblSite", "lblEmail"}) {
        const QColor text = styleColour(about.findChild<QLabel *>(QLatin1String(name)), QStringLiteral("color"));
        QVERIFY2(text.isValid(), name);
        QVERIFY2(PaletteColours::contrast(text, window) >= 4.5,
                 qPrintable(text.name() + QLatin1Char(' ') + window.name()));
    }
}

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
