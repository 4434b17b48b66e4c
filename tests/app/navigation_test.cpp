// Start-up, the moves between the windows, the minor windows and the end of the program.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "gui_test_support.h"

namespace studlab::test {
namespace {

// The commands of the navigation table: "click Button1" (a left click), "menu N4" (a menu
// item), "right CheckBox3" (the right button going down), "reveal Button3" (a click on a
// control that the window shows later, such as "комбинации"), "enable Button7" (a click on a
// control that is disabled for the user), "close" (the window is closed).
void Perform(const TProgram& program, const QString& window, const QString& command) {
    const QString verb = command.section(' ', 0, 0);
    const QString name = command.section(' ', 1);
    if (verb == "close") {
        program.Window(window)->close();
        return;
    }
    if (verb == "menu") {
        QAction* action = program.Action(window, name);
        QVERIFY2(action, qPrintable(window + " has no menu item " + name));
        action->trigger();
        return;
    }
    QWidget* control = program.Control(window, name);
    QVERIFY2(control, qPrintable(window + " has no control " + name));
    if (verb == "reveal") control->show();
    if (verb == "enable") control->setEnabled(true);
    // Check boxes are hit on their indicator; other controls in their middle.
    const QPoint at = qobject_cast<QCheckBox*>(control) ? QPoint(7, control->height() / 2)
                                                        : control->rect().center();
    QTest::mouseClick(control, verb == "right" ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier,
                      at);
}

bool HasCloseBox(const QWidget* window) {
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::FramelessWindowHint)) return false;
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint);
}

QSize ClientSize(const QWidget* window) {
    if (const auto* main = qobject_cast<const QMainWindow*>(window))
        return main->centralWidget()->size();
    return window->size();
}

}  // namespace

class TNavigationTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_program = std::make_unique<TProgram>(); }
    void cleanup() { m_program.reset(); }

    void createsTheWindowsInOrderAndShowsOnlyTheStartPicture() {
        QStringList names;
        for (QWidget* window : m_program->Windows.Windows()) names << window->objectName();
        QCOMPARE(names, (QStringList{"TForm12", "TForm1", "TForm2", "TForm3", "TForm4", "TForm5",
                                     "TForm6", "TForm7", "TForm8", "TForm9", "TForm10", "TForm11",
                                     "TForm13", "TForm14", "StrategyWindow", "ReturnTableWindow",
                                     "PaySolverWindow", "GameReportWindow"}));
        QVERIFY(m_program->VisibleWindows().isEmpty());
        m_program->Windows.Start();
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm12"});
    }

    void windowsHaveTheirCaptionSizeAndBorder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("fixedSize");
        QTest::newRow("start picture") << "TForm12"
                                       << "studlab" << QSize(320, 479) << false << true;
        QTest::newRow("constructor 1") << "TForm1"
                                       << "конструктор покера" << QSize(792, 552) << false << true;
        QTest::newRow("constructor 2") << "TForm2"
                                       << "конструктор покера" << QSize(792, 553) << false << true;
        QTest::newRow("constructor 3") << "TForm3"
                                       << "конструктор покера" << QSize(792, 553) << false << false;
        QTest::newRow("profitability")
            << "TForm4"
            << "проверка выгодности игры" << QSize(792, 702) << false << false;
        QTest::newRow("minimum pair") << "TForm5"
                                      << "" << QSize(258, 348) << false << true;
        QTest::newRow("minimum ace-king") << "TForm6"
                                          << "" << QSize(248, 111) << false << true;
        QTest::newRow("wrap-around straight") << "TForm7"
                                              << "" << QSize(278, 101) << false << true;
        QTest::newRow("decisions") << "TForm8"
                                   << "решения по раскладам" << QSize(839, 562) << false << true;
        QTest::newRow("statistics") << "TForm11"
                                    << "статистика раздач" << QSize(715, 298) << true << false;
        QTest::newRow("decision list")
            << "TForm13"
            << "варианты решения и их оценки" << QSize(405, 480) << true << false;
        QTest::newRow("combinations") << "TForm9"
                                      << "комбинации дилера" << QSize(460, 320) << true << false;
    }
    void windowsHaveTheirCaptionSizeAndBorder() {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QSize, client);
        QFETCH(bool, closeBox);
        QFETCH(bool, fixedSize);
        QWidget* w = m_program->Window(window);
        if (!caption.isEmpty()) QCOMPARE(w->windowTitle(), caption);
        w->show();
        QCOMPARE(ClientSize(w), client);
        QCOMPARE(HasCloseBox(w), closeBox);
        QCOMPARE(w->minimumSize() == w->maximumSize(), fixedSize);
    }

    // Each window that opens in the middle of the desktop is centred at the size it shows with,
    // menu bar included. Its frame, which the window system adds once the window shows, may
    // shift it by half the frame's width.
    void windowsOpenCentredAtTheirOwnSize_data() {
        QTest::addColumn<QString>("window");
        for (const char* window :
             {"TForm12", "TForm1", "TForm2", "TForm3", "TForm4", "TForm8", "TForm11"})
            QTest::newRow(window) << window;
    }
    void windowsOpenCentredAtTheirOwnSize() {
        QFETCH(QString, window);
        QWidget* w = m_program->Window(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QPoint desktop = QGuiApplication::primaryScreen()->availableGeometry().center();
        const QPoint centre = w->frameGeometry().center();
        const QSize frame = w->frameGeometry().size() - w->size();
        QVERIFY2(std::abs(centre.x() - desktop.x()) <= frame.width() / 2 + 1 &&
                     std::abs(centre.y() - desktop.y()) <= frame.height() / 2 + 1,
                 qPrintable(QString("centre at %1,%2, desktop's at %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(desktop.x())
                                .arg(desktop.y())));
    }

    void menusOfferTheirItems() {
        const auto captions = [&](const QString& window) {
            QStringList texts;
            for (QAction* action : m_program->Window(window)->findChild<QMenuBar*>()->actions()) {
                texts << action->text();
                if (action->menu()) {
                    for (QAction* item : action->menu()->actions()) texts << "  " + item->text();
                }
            }
            return texts;
        };
        QCOMPARE(captions("TForm1"),
                 (QStringList{"опции", "  сохранить конструкцию", "  загрузить конструкцию",
                              "  тренинг по раскладам", "  подбор выплат", "  выход", "MO"}));
        QCOMPARE(captions("TForm8"),
                 (QStringList{"опции", "  выбрать игру", "  конструктор покера", "  новый расклад",
                              "  с учётом решения после прикупа", "  выход", "MO"}));
        QCOMPARE(m_program->Action("TForm8", "N5")->shortcut(), QKeySequence(Qt::Key_N));
    }

    void qtsOwnButtonsSpeakRussian() {
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Отмена"));
    }

    // The file dialogs' columns: their headings, sizes and dates are Qt's own texts.
    void qtsFileDialogsSpeakRussian() {
        QFileSystemModel model;
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Имя"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Размер"));
        const QString size = QLocale::system().formattedDataSize(905);
        QVERIFY2(size.startsWith("905 ") && !size.contains("bytes"), qPrintable(size));
        const QString date = QLocale::system().toString(QDate(2026, 12, 11), QLocale::LongFormat);
        QVERIFY2(date.contains("декабря"), qPrintable(date));
    }

    void clickOnTheStartPictureOpensTheConstructor() {
        m_program->Windows.Start();
        QTest::mouseClick(m_program->Control<QLabel>("TForm12", "Image1"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm1"});
    }

    void commandsMoveBetweenWindows_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("visible");
        const auto row = [](const char* name, const char* from, const char* command,
                            QStringList visible) {
            QTest::newRow(name) << QString(from) << QString(command) << visible;
        };
        row("start picture", "TForm12", "click Image1", {"TForm1"});
        row("constructor 1 ДАЛЕЕ", "TForm1", "click Button1", {"TForm2"});
        row("constructor 1 тренинг по раскладам", "TForm1", "menu N4", {"TForm8"});
        row("constructor 1 MO", "TForm1", "menu MO1", {"TForm4"});
        row("constructor 1 сохранить", "TForm1", "menu N2", {"TForm1"});
        row("constructor 1 загрузить", "TForm1", "menu N3", {"TForm1"});
        row("right click стритфлеш", "TForm1", "right CheckBox3", {"TForm1", "TForm7"});
        row("right click стрит", "TForm1", "right CheckBox7", {"TForm1", "TForm7"});
        row("right click on disabled пара", "TForm1", "right CheckBox10", {"TForm1"});
        row("right click on disabled туз-король", "TForm1", "right CheckBox11", {"TForm1"});
        row("constructor 2 НАЗАД", "TForm2", "click Button1", {"TForm1"});
        row("constructor 2 ДАЛЕЕ", "TForm2", "click Button2", {"TForm3"});
        row("constructor 3 НАЗАД", "TForm3", "click Button1", {"TForm2"});
        row("decisions конструктор покера", "TForm8", "menu N4", {"TForm1"});
        row("decisions MO", "TForm8", "menu MO1", {"TForm4"});
        row("decisions выбрать игру", "TForm8", "menu N2", {"TForm8"});
        row("decisions новый расклад", "TForm8", "menu N5", {"TForm8"});
        row("decisions комбинации", "TForm8", "reveal Button3", {"TForm8", "TForm9"});
        row("decisions list of candidates", "TForm8", "click Label3", {"TForm8", "TForm13"});
        row("profitability на начало", "TForm4", "click Button1", {"TForm1"});
        row("profitability расклады", "TForm4", "click Button5", {"TForm8"});
        row("profitability статистика", "TForm4", "reveal Button4", {"TForm4", "TForm11"});
        row("profitability disabled Показать график", "TForm4", "click Button7", {"TForm4"});
        row("profitability Показать график", "TForm4", "enable Button7", {"TForm4", "TForm14"});
        row("profitability стратегия игры", "TForm4", "click Button9",
            {"TForm4", "StrategyWindow"});
        row("profitability таблица исходов", "TForm4", "reveal ExactReturns",
            {"TForm4", "ReturnTableWindow"});
    }
    void commandsMoveBetweenWindows() {
        QFETCH(QString, from);
        QFETCH(QString, command);
        QFETCH(QStringList, visible);
        m_program->ShowOnly(from);
        Perform(*m_program, from, command);
        QCOMPARE(m_program->VisibleWindows(), visible);
    }

    void graphWindowOpensBesideAndBlocksNothing() {
        // It follows a running run, whose "СТОП" must stay within reach.
        m_program->ShowOnly("TForm4");
        Perform(*m_program, "TForm4", "enable Button7");
        QCOMPARE(m_program->Window("TForm14")->windowModality(), Qt::NonModal);
    }

    void profitWindowFromMoShowsTheCyclesControls() {
        m_program->ShowOnly("TForm1");
        for (const char* name : {"CheckBox1", "Label15", "Edit6", "Edit7", "Edit8", "Edit9"}) {
            m_program->Control("TForm4", name)->hide();
        }
        m_program->Action("TForm1", "MO1")->trigger();
        for (const char* name : {"CheckBox1", "Label15", "Edit6", "Edit7", "Edit8", "Edit9"}) {
            QVERIFY2(m_program->Control("TForm4", name)->isVisible(), name);
        }
    }

    void optionDialogOkHidesOnlyTheDialog_data() {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("minimum pair") << "TForm5";
        QTest::newRow("minimum ace-king") << "TForm6";
        QTest::newRow("wrap-around straight") << "TForm7";
    }
    void optionDialogOkHidesOnlyTheDialog() {
        QFETCH(QString, dialog);
        m_program->ShowOnly("TForm1");
        m_program->Window(dialog)->show();
        auto* ok = m_program->Control<QPushButton>(dialog, "Button1");
        QCOMPARE(ok->text(), QString("ОК"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm1"});
    }

    void constructorButtonsKeepOneConstructorWindow() {
        m_program->ShowOnly("TForm1");
        const struct {
            const char* Window;
            const char* Button;
            const char* Then;
        } steps[] = {{"TForm1", "Button1", "TForm2"},
                     {"TForm2", "Button2", "TForm3"},
                     {"TForm3", "Button1", "TForm2"},
                     {"TForm2", "Button1", "TForm1"}};
        for (const auto& step : steps) {
            Perform(*m_program, step.Window, QString("click ") + step.Button);
            QCOMPARE(m_program->VisibleWindows(), QStringList{step.Then});
        }
        // Window 3 is the end: its way on is hidden.
        QVERIFY(m_program->Control("TForm3", "Button2")->isHidden());
    }

    void hiddenWindowsKeepTheirContents() {
        m_program->ShowOnly("TForm4");
        auto* limit = m_program->Control<QLineEdit>("TForm4", "Edit6");
        RetypeText(limit, "25");
        Perform(*m_program, "TForm4", "click Button5");
        Perform(*m_program, "TForm8", "menu MO1");
        QCOMPARE(limit->text(), QString("25"));
    }

    void exitEndsTheProgramWithOtherWindowsOpen_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("command");
        QTest::newRow("constructor 1 выход") << "TForm1"
                                             << "menu N5";
        QTest::newRow("decisions выход") << "TForm8"
                                         << "menu N3";
        QTest::newRow("profitability выход") << "TForm4"
                                             << "click Button8";
        QTest::newRow("start picture closed") << "TForm12"
                                              << "close";
    }
    void exitEndsTheProgramWithOtherWindowsOpen() {
        QFETCH(QString, from);
        QFETCH(QString, command);
        m_program->ShowOnly(from);
        m_program->Window("TForm7")->show();
        m_program->Window("TForm13")->show();
        QTimer::singleShot(0, m_program.get()->Window(from),
                           [&] { Perform(*m_program, from, command); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(m_program->VisibleWindows().isEmpty());
    }

    // "выход" and a main window's close box, after the design was changed or not: whether the
    // user is asked to save it, what is written, and whether the program ends.
    void leavingAsksToSaveAChangedDesign_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("answer");  // to the question whether to save
        QTest::addColumn<QStringList>("saveAnswers");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("written");
        const QString file = "saved.es1";
        const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        row("unchanged, выход") << "TForm1"
                                << "menu N5" << false << "" << QStringList{} << true << false;
        row("changed, cancel") << "TForm1"
                               << "menu N5" << true << "cancel" << QStringList{} << false << false;
        row("changed, don't save")
            << "TForm8"
            << "menu N3" << true << "discard" << QStringList{} << true << false;
        row("changed, save") << "TForm4"
                             << "click Button8" << true << "save" << QStringList{file} << true
                             << true;
        row("changed, save dialog cancelled")
            << "TForm1"
            << "menu N5" << true << "save" << QStringList{""} << false << false;
        row("close box, unchanged") << "TForm2"
                                    << "close" << false << "" << QStringList{} << true << false;
        row("close box, changed, cancel")
            << "TForm3"
            << "close" << true << "cancel" << QStringList{} << false << false;
        row("close box, changed, don't save")
            << "TForm4"
            << "close" << true << "discard" << QStringList{} << true << false;
    }
    void leavingAsksToSaveAChangedDesign() {
        QFETCH(QString, window);
        QFETCH(QString, command);
        QFETCH(bool, changed);
        QFETCH(QString, answer);
        QFETCH(QStringList, saveAnswers);
        QFETCH(bool, ends);
        QFETCH(bool, written);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (QString& answer : saveAnswers) {
            if (!answer.isEmpty()) answer = folder.filePath(answer);
        }
        if (changed) m_program->Game.Design.BetSize = std::string("3");
        if (!answer.isEmpty()) {
            m_program->Dialogs.SaveQuestionAnswers << (answer == "save"      ? TSaveAnswer::Save
                                                       : answer == "discard" ? TSaveAnswer::Discard
                                                                             : TSaveAnswer::Cancel);
        }
        m_program->Dialogs.SaveAnswers = saveAnswers;
        m_program->ShowOnly(window);
        Perform(*m_program, window, command);
        QCOMPARE(m_program->Dialogs.Questions.size(), changed ? 1 : 0);
        if (changed) {
            QVERIFY2(m_program->Dialogs.Questions[0].contains("Сохранить"),
                     qPrintable(m_program->Dialogs.Questions[0]));
        }
        QCOMPARE(m_program->Dialogs.UnansweredDialogs, 0);
        QCOMPARE(m_program->VisibleWindows(), ends ? QStringList{} : QStringList{window});
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), written ? 1 : 0);
    }

    void aSavedOrLoadedDesignLeavesWithoutAQuestion() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString file = folder.filePath("game.es1");
        m_program->ShowOnly("TForm1");
        m_program->Game.Design.BetSize = std::string("3");
        m_program->Dialogs.SaveAnswers = {file};
        Perform(*m_program, "TForm1", "menu N2");  // "сохранить конструкцию"
        Perform(*m_program, "TForm1", "menu N5");
        QVERIFY(m_program->Dialogs.Questions.isEmpty());
        QVERIFY(m_program->VisibleWindows().isEmpty());

        // Loaded in another program, the same file is the design as it stands; an edit after it
        // is asked about again.
        TProgram other;
        other.Dialogs.OpenAnswers = {file};
        other.ShowOnly("TForm1");
        Perform(other, "TForm1", "menu N3");  // "загрузить конструкцию"
        QCOMPARE(other.Game.Design.BetSize, std::string("3"));
        other.Game.Design.BetSize = std::string("4");
        Perform(other, "TForm1", "menu N5");
        QCOMPARE(other.Dialogs.Questions.size(), 1);
        QCOMPARE(other.VisibleWindows(), QStringList{"TForm1"});
    }

    void graphWindowCloses() {
        QWidget* graph = m_program->Window("TForm14");
        graph->show();
        QTest::mouseClick(m_program->Control<QPushButton>("TForm14", "Button1"), Qt::LeftButton);
        QVERIFY(!graph->isVisible());
    }

private:
    std::unique_ptr<TProgram> m_program;
};

int RunNavigationTests(int argc, char** argv) {
    TNavigationTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "navigation_test.moc"
