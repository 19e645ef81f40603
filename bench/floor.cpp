// The floors the windowed program is measured against, timed by the same probe (probe.cpp, linked in):
//   bench_floor window            a bare Qt window named frmLoad, shown: the least a windowed start-up costs;
//   bench_floor text              the same window with one line of text: the toolkit's font set-up on top;
//   bench_floor widgets PROFILE   a start window with the widget kinds of the start-up window; its cmdLoad button
//                                 builds a window named frmIndex holding the profile's pages as plain Qt widgets
//                                 (a label per heading, a label and two option buttons per on/off tweak, a label
//                                 and a combo box with the entries per list tweak, a label and a line edit per
//                                 numeric tweak) at the profile's positions, and shows it.
// The profile is read before anything is timed: the floor is the widgets alone.

#include "app/textcodec.h"
#include "app/textlines.h"
#include "loader/profileplan.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cstdio>

using namespace Tunesmith;

namespace
{

constexpr int twipsPerPixel = 15;

int px(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

template<typename T>
T *child(QWidget *parent, const QRect &geometry)
{
    auto *widget = new T(parent);
    widget->setGeometry(geometry);
    return widget;
}

// The start-up window's widget kinds and sizes, without its files or settings.
QWidget *startWindow()
{
    auto *window = new QWidget;
    window->setObjectName(QStringLiteral("frmLoad"));
    window->setWindowTitle(QStringLiteral("Load Game Profile"));
    window->setFixedSize(px(3615), px(4995));
    auto *load = child<QGroupBox>(window, twipsRect(0, 0, 3615, 3615));
    child<QLabel>(load, twipsRect(240, 240, 3135, 495))->setText(QStringLiteral("Choose a profile:"));
    auto *list = child<QListWidget>(load, twipsRect(240, 720, 3135, 2175));
    list->addItems({QStringLiteral("Example Game"), QStringLiteral("OpenArena"), QStringLiteral("Xonotic")});
    list->setCurrentRow(0);
    auto *button = child<QPushButton>(load, twipsRect(240, 3000, 2120, 495));
    button->setObjectName(QStringLiteral("cmdLoad"));
    button->setText(QStringLiteral("Load!"));
    auto *info = child<QGroupBox>(window, twipsRect(0, 3600, 3615, 1395));
    child<QLabel>(info, twipsRect(240, 240, 3135, 255))->setText(QStringLiteral("Game: Benchmark Game"));
    child<QLineEdit>(info, twipsRect(1200, 945, 1575, 270))->setText(QStringLiteral("/tmp"));
    child<QPushButton>(info, twipsRect(2880, 960, 495, 255))->setText(QStringLiteral("Edit"));
    return window;
}

QLabel *caption(QWidget *page, const QByteArray &text, const QRect &geometry)
{
    auto *label = child<QLabel>(page, geometry);
    label->setText(decodeText(text));
    return label;
}

// Pages and controls at the places the main window puts them, plain widgets only.
QWidget *widgetsWindow(const ProfilePlan &plan)
{
    auto *window = new QWidget;
    window->setObjectName(QStringLiteral("frmIndex"));
    window->setWindowTitle(plan.caption());
    window->setFixedSize(px(10125), px(5400));
    auto *tabs = child<QTabWidget>(window, twipsRect(0, 0, 10120, 5180));
    QList<QWidget *> pages;
    for (const QByteArray &pageCaption : plan.pageCaptions) {
        pages.append(new QWidget);
        tabs->addTab(pages.last(), decodeText(pageCaption));
    }
    for (const PlacedControl &control : plan.controls) {
        QWidget *page = pages[control.page];
        const int left = control.left;
        const int top = control.top - PageGeometry::pageTabHeight;
        const qsizetype at = control.index - 1;
        switch (control.kind) {
        case ControlKind::Label:
            caption(page, plan.headings[at], twipsRect(left, top - 60, 3105, 375));
            break;
        case ControlKind::Simple: {
            const TweakDefinition &tweak = plan.simpleTweaks[at];
            caption(page, tweak.shortDescription, twipsRect(left + 600, top, 2500, 255));
            child<QRadioButton>(page, twipsRect(left + 30, top + 40, 200, 200));
            child<QRadioButton>(page, twipsRect(left + 300, top + 40, 200, 200));
            break;
        }
        case ControlKind::Multi: {
            const TweakDefinition &tweak = plan.multiTweaks[at];
            caption(page, tweak.shortDescription, twipsRect(left, top, 3100, 255));
            auto *list = child<QComboBox>(page, twipsRect(left, top + 240, 3100, 315));
            for (const MultiTweakEntry &entry : tweak.entries)
                list->addItem(decodeText(entry.description));
            break;
        }
        case ControlKind::Text: {
            const TweakDefinition &tweak = plan.textTweaks[at];
            caption(page, tweak.shortDescription, twipsRect(left, top, 3100, 255));
            child<QLineEdit>(page, twipsRect(left, top + 240, 3080, 285))->setText(decodeText(tweak.presets[0]));
            break;
        }
        }
    }
    tabs->setCurrentIndex(0);
    return window;
}

int usage()
{
    std::fputs("usage: bench_floor window | text | widgets PROFILE\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("window") || args.value(0) == QLatin1String("text")) {
        QWidget window;
        window.setObjectName(QStringLiteral("frmLoad"));
        window.resize(px(3615), px(4995));
        // One line of text: what the toolkit's font set-up alone adds to any window that shows words.
        QLabel text(QStringLiteral("Please choose the game profile you wish to load:"), &window);
        text.setVisible(args.value(0) == QLatin1String("text"));
        window.show();
        return QApplication::exec();
    }
    if (args.size() != 2 || args[0] != QLatin1String("widgets"))
        return usage();
    QString error;
    const auto bytes = readWholeFile(args[1], &error);
    const auto plan = bytes ? planProfile(*bytes, QByteArray(), nullptr) : std::nullopt;
    if (!plan) {
        std::fprintf(stderr, "cannot read the profile %s\n", qPrintable(args[1]));
        return 1;
    }
    QWidget *start = startWindow();
    QObject::connect(start->findChild<QPushButton *>(QStringLiteral("cmdLoad")), &QPushButton::clicked, start,
                     [start, &plan] {
                         widgetsWindow(*plan)->show();
                         start->hide();
                         start->deleteLater();
                     });
    start->show();
    return QApplication::exec();
}
