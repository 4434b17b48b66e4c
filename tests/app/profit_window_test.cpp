// The profitability window over its model: the settings it edits, a run with its summary,
// statistics, bank and risk figures, "СТОП" during a run, runs that end early always back in the
// idle layout with the reason, fixed cards, and the graph of a run.
#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <cmath>
#include <memory>

#include "design/design_file.h"
#include "gui_test_support.h"
#include "profit/ui/graph_window.h"
#include "table/cache/decision_cache.h"
#include "widgets/controls.h"

namespace studlab::test {
namespace {

QList<qint64> Numbers(const QString& lines) {
    QList<qint64> numbers;
    for (const QString& line : lines.split('\n')) numbers << line.toLongLong();
    return numbers;
}

qint64 Sum(const QList<qint64>& numbers) {
    qint64 sum = 0;
    for (qint64 n : numbers) sum += n;
    return sum;
}

}  // namespace

class TProfitWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        m_program->ShowOnly("TForm4");
        QVERIFY(m_folder.isValid());
    }
    void cleanup() { m_program.reset(); }

    void controlsStartWithTheirCaptionsAndDefaults_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, const char* text, bool visible, bool enabled) {
            QTest::newRow(name) << QString(name) << QString(text) << visible << enabled;
        };
        row("Edit1", "200", true, false);
        row("Edit2", "1", true, false);  // inside the disabled group
        row("Edit3", "120", true, false);
        row("Edit4", "1000", true, true);
        row("Edit5", "2000", true, true);
        row("Edit6", "20", true, true);
        row("Edit7", "-30", true, true);
        row("Edit8", "-120", true, true);
        row("Edit9", "120", true, true);
        row("CheckBox1", "циклы", true, true);
        row("CheckBox2", "использовать табличные данные", true, true);
        row("CheckBox3", "одинаковая последовательность", true, true);
        row("RadioButton4", "прямой метод", true, true);
        row("RadioButton5", "вероятностный метод", true, true);
        row("Button2", "расчет", true, true);
        row("Button3", "СТОП", false, true);
        row("Button4", "статистика", false, true);
        row("Button6", "банк", false, true);
        row("Button1", "на начало", true, true);
        row("Button5", "расклады", true, true);
        row("Button8", "выход", true, true);
        row("Button7", "Показать график", true, false);
        row("Button9", "стратегия игры", true, true);
        row("Button10", "играть без фиксированных карт", false, true);
        row("Edit10", "", true, true);
        row("Edit11", "", true, true);
        row("Label16", "", false, true);
        row("Label17", "", false, true);
        row("Label18", "", false, true);
        row("Label19", "", true, true);
        row("Label20", "раздач за столом", true, true);
        row("Label21", "зерно", true, true);
        row("Label5", "колличество циклов", true, true);
        row("Label6", "", false, true);
        row("Label7", "раздач  результат", false, true);
        row("Label10", "", false, true);
        row("Label11", "", true, true);
        row("Label12", "№ цикла   результат", false, true);
        row("Label15", "   +          -        -   огр.  +", true, true);
    }
    void controlsStartWithTheirCaptionsAndDefaults() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QWidget* control = m_program->Control("TForm4", name);
        QVERIFY(control);
        QString shown;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) shown = edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) shown = button->text();
        if (auto* label = qobject_cast<QLabel*>(control)) shown = label->text();
        QCOMPARE(shown, text);
        QCOMPARE(control->isVisible(), visible);
        QCOMPARE(control->isEnabled(), enabled);
        QVERIFY(m_program->Control<QRadioButton>("TForm4", "RadioButton4")->isChecked());
        QVERIFY(m_program->Control("TForm4", "ProgressBar1")->isHidden());
    }

    void hintsExplainTheFields() {
        const std::pair<const char*, const char*> hints[] = {
            {"Edit1", "максимальная выплата в анте"},
            {"Label2", "максимальная выплата в анте"},
            {"Label3", "при коллективной игре"},
            {"Label4", "примерное время раздачи в секундах"},
            {"RadioButton4", "решение с помощью перебора"},
            {"RadioButton5", "случайным образом генерируются карты для двух и более обменов"},
            {"Edit5", "введите колличество циклов"},
            {"Edit6", "выигрыш цикла в анте: на нем цикл кончается"},
            {"Edit7", "проигрыш цикла в анте (со знаком минус): на нем цикл кончается"},
            {"Edit8", "общий проигрыш циклов в анте (со знаком минус): на нем расчет кончается"},
            {"Edit9", "общий выигрыш циклов в анте: на нем расчет кончается"}};
        for (const auto& [name, hint] : hints)
            QCOMPARE(m_program->Control("TForm4", name)->toolTip(), QString(hint));
    }

    void controlsEditTheSettings() {
        TGame& model = m_program->Game;
        RetypeText(Field("Edit4"), "25");
        RetypeText(Field("Edit5"), "300");
        RetypeText(Field("Edit7"), "-40");
        RetypeText(Field("Edit10"), "77");
        RetypeText(Field("Edit11"), "500");
        Toggle("CheckBox1");
        Toggle("CheckBox2");
        Toggle("CheckBox3");
        Toggle("RadioButton5");
        QCOMPARE(model.Profit.Settings().HandCount, std::string("25"));
        QCOMPARE(model.Profit.Settings().CycleLossLimit, std::string("-40"));
        QCOMPARE(model.Profit.Settings().Seed, std::string("77"));
        QCOMPARE(model.Profit.Settings().BankrollHands, std::string("500"));
        QVERIFY(model.Profit.Settings().CyclesMode);
        QCOMPARE(model.Settings.ProbabilisticCycles, std::string("300"));
        QVERIFY(model.Settings.UseCacheTable);
        QVERIFY(model.Settings.SameSequence);
        // The fixed series has no seed.
        QVERIFY(!Field("Edit10")->isEnabled());
        QCOMPARE(model.Settings.CalcMethod, TCalcMethod::cmProbabilistic);
        Toggle("RadioButton4");
        QCOMPARE(model.Settings.CalcMethod, TCalcMethod::cmDirect);
        QVERIFY(!m_program->Control<QGroupBox>("TForm4", "GroupBox1")->isEnabled());
    }

    void aRunShowsItsSummaryStatisticsAndBank() {
        SelectGame();
        RetypeText(Field("Edit4"), "20");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        const TProfitCheck& profit = m_program->Game.Profit;
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Completed);
        QVERIFY(QRegularExpression("^MO=-?\\d+(,\\d)?%$").match(Text("Label6")).hasMatch());
        QCOMPARE(Text("Label6"), LabelText(profit.View().MoText));
        QVERIFY(m_program->Control("TForm4", "Label6")->isVisible());
        QCOMPARE(Text("Label8"), QString("20"));
        QCOMPARE(Text("Label9"), LabelText(profit.View().RunTotalText));
        // The MO's interval beside it, the risk figures under MO and bank.
        QVERIFY2(QRegularExpression("^95 %: от -?\\d+(,\\d+)? до -?\\d+(,\\d+)? %$")
                     .match(Text("Label16"))
                     .hasMatch(),
                 qPrintable(Text("Label16")));
        QVERIFY2(Text("Label17").contains("с собой на 20 раздач"), qPrintable(Text("Label17")));
        // One word for the unit in the row, as in the rest of its figures.
        QVERIFY2(QRegularExpression("анте \\(95 %\\), \\d+ анте \\(99 %\\)$")
                     .match(Text("Label17"))
                     .hasMatch(),
                 qPrintable(Text("Label17")));
        for (const char* shown :
             {"Button2", "Button4", "Button6", "Label7", "Label8", "Label9", "Label16", "Label17"})
            QVERIFY2(m_program->Control("TForm4", shown)->isVisible(), shown);
        for (const char* hidden : {"Button3", "ProgressBar1", "Label10", "Label12"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
        QVERIFY(Button("Button7")->isEnabled());
        QCOMPARE(Text("Label11"), QString());
        QCOMPARE(m_program->Dialogs.Beeps, 0);

        // The statistics window has the run's columns before it is opened.
        const auto column = [&](int label) {
            return Numbers(
                m_program->Control<QLabel>("TForm11", QString("Label%1").arg(label))->text());
        };
        const QList<qint64> total = column(8), deal = column(9), buying = column(10);
        QCOMPARE(total.size(), 11);
        QCOMPARE(Sum(total), qint64{20});
        for (int row = 0; row < 11; ++row) QCOMPARE(total[row], deal[row] + buying[row]);
        QCOMPARE(Sum(column(11)) + Sum(column(12)) + Sum(column(13)), qint64{20});
        QTest::mouseClick(Button("Button4"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm4", "TForm11"}));
        QCOMPARE(m_program->Control<QLabel>("TForm11", "Label7")->text().split('\n').size(), 11);

        QTest::mouseClick(Button("Button6"), Qt::LeftButton);
        QVERIFY(m_program->Control("TForm4", "Label10")->isVisible());
        QVERIFY2(QRegularExpression("^\\d+ ANTE$").match(Text("Label10")).hasMatch(),
                 qPrintable(Text("Label10")));
        QCOMPARE(Text("Label10"), LabelText(profit.View().BankText));

        // The last hand of the run lies on the decision table when the user goes there, marked
        // as the run's.
        QTest::mouseClick(Button("Button5"), Qt::LeftButton);
        QCOMPARE(m_program->Control<QLabel>("TForm8", "Label1")->text(),
                 LabelText(m_program->Game.Table.View().Prompt) +
                     "\n(на столе последняя раздача расчета выгодности)");
        QVERIFY(m_program->Control<QLabel>("TForm8", "Label1")->text().startsWith("Вы "));
        QCOMPARE(m_program->Game.Table.State().HandStage, 0);
    }

    void stopEndsAThreadedRunInTheIdleLayoutWithItsFigures() {
        SelectGame();
        RetypeText(Field("Edit4"), "1000000");
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        int passes = 0;
        bool stopShown = false;
        bool pressed = false;
        QString runningMo;
        profit.ProcessPendingEvents = [&] {
            if (++passes >= 6 && profit.Figures().Hands > 0 && !pressed) {
                pressed = true;
                stopShown = Button("Button3")->isVisible() && Button("Button2")->isHidden() &&
                            m_program->Control("TForm4", "ProgressBar1")->isVisible();
                runningMo = Text("Label16");  // the MO and its interval show during the run
                QTest::mouseClick(Button("Button3"), Qt::LeftButton);
            }
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        QVERIFY(stopShown);
        QVERIFY(runningMo.startsWith("95 %: от "));
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Stopped);
        QCOMPARE(profit.RunWorkers(), AvailableCores());
        const qint64 played = profit.Figures().Hands;
        QVERIFY(played > 0 && played < 1000000);
        QCOMPARE(Text("Label8"), QString::number(played));
        QCOMPARE(Text("Label11"),
                 QString("Расчет остановлен кнопкой \"СТОП\"; сыграно раздач: %1.").arg(played));
        QCOMPARE(m_program->Dialogs.Beeps, 1);
        QVERIFY(Button("Button2")->isVisible());
        for (const char* hidden : {"Button3", "ProgressBar1"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
        // The figures of the hands played: the MO divides by them.
        for (const char* shown : {"Label6", "Label16", "Button4", "Button6"})
            QVERIFY2(m_program->Control("TForm4", shown)->isVisible(), shown);
        QCOMPARE(Text("Label6"), LabelText(profit.View().MoText));
        QVERIFY(std::abs(profit.Figures().MoPercent) < 100);
    }

    void theMoDividesByTheHandsPlayedWhenTheCountChangesDuringTheRun() {
        SelectGame();
        RetypeText(Field("Edit4"), "20000");
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        bool retyped = false;
        profit.ProcessPendingEvents = [&] {
            if (!retyped) RetypeText(Field("Edit4"), "1");
            retyped = true;
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Completed);
        QCOMPARE(profit.Figures().Hands, std::int64_t{20000});
        QCOMPARE(Text("Label8"), QString("20000"));
        QVERIFY2(std::abs(profit.Figures().MoPercent) < 20, qPrintable(Text("Label6")));
    }

    void aBigBetIsPlayedLikeAnyOther() {
        TGameDesign design;
        design.BetSize = "10";  // "забиться" = 10: a lost bet loses 11 antes
        SelectGame(design);
        RetypeText(Field("Edit4"), "300");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        const TProfitCheck& profit = m_program->Game.Profit;
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Completed);
        QCOMPARE(profit.Figures().Hands, std::int64_t{300});
        QCOMPARE(m_program->Dialogs.Beeps, 0);
        QVERIFY(Button("Button2")->isVisible());
    }

    void theDecisionWindowShowsTheRunsLastHand() {
        SelectGame();
        RetypeText(Field("Edit4"), "3");
        m_program->Window("TForm8")->show();
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        auto* prompt = m_program->Control<QLabel>("TForm8", "Label1");
        QVERIFY2(
            QRegularExpression("^Вы (выграли|проиграли|остались)").match(prompt->text()).hasMatch(),
            qPrintable(prompt->text()));
        // It says whose hand it is, until the user lays out one of his own.
        QVERIFY2(prompt->text().endsWith("\n(на столе последняя раздача расчета выгодности)"),
                 qPrintable(prompt->text()));
        m_program->Action("TForm8", "N5")->trigger();  // "новый расклад"
        QVERIFY2(!prompt->text().contains("расчета выгодности"), qPrintable(prompt->text()));

        // A run refused before its first hand leaves the user's table as it was.
        RetypeText(Field("Edit4"), "x");
        const QString before = prompt->text();
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(prompt->text(), before);
    }

    void exitDuringARunEndsItWithoutABeep() {
        SelectGame();
        RetypeText(Field("Edit4"), "1000000");
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        int passes = 0;
        profit.ProcessPendingEvents = [&] {
            if (++passes == 3) QTest::mouseClick(Button("Button8"), Qt::LeftButton);
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Stopped);
        QVERIFY(profit.Figures().Hands < 1000000);
        QCOMPARE(m_program->Dialogs.Beeps, 0);
        QVERIFY(m_program->VisibleWindows().isEmpty());
    }

    void aRunWithoutAGameEndsAtOnceWithAMessage() {
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(m_program->Dialogs.Beeps, 1);
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(Button("Button3")->isHidden());
        QVERIFY(m_program->Control("TForm4", "ProgressBar1")->isHidden());
        QVERIFY(Text("Label11").startsWith("Игра не выбрана"));
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    // Each message names its field in Russian and says whether the text is empty, not a whole
    // number, or a whole number too large for a count.
    void aFieldThatIsNotANumberIsReported_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("cycles");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("number of hands")
            << "Edit4" << false << "x1"
            << "в поле «колличество циклов» стоит «x1», а нужно целое число";
        QTest::newRow("number of hands empty")
            << "Edit4" << false << ""
            << "в поле «колличество циклов» ничего нет, а нужно целое число";
        QTest::newRow("number of hands too large")
            << "Edit4" << false << "99999999999"
            << "в поле «колличество циклов» стоит «99999999999» — целое число, но слишком "
               "большое: наибольшее 2147483647";
        QTest::newRow("cycle win target")
            << "Edit6" << true << "x1"
            << "в поле предела «выигрыш цикла» стоит «x1», а нужно целое число";
        QTest::newRow("whole-run loss limit")
            << "Edit8" << true << "-99999999999"
            << "в поле предела «общий проигрыш» стоит «-99999999999» — целое число, но слишком "
               "малое: наименьшее -2147483648";
    }
    void aFieldThatIsNotANumberIsReported() {
        QFETCH(QString, field);
        QFETCH(bool, cycles);
        QFETCH(QString, text);
        QFETCH(QString, message);
        SelectGame();
        RetypeText(Field("Edit4"), "5");
        if (cycles) Toggle("CheckBox1");
        Field(field)->selectAll();
        Field(field)->del();
        if (!text.isEmpty()) TypeText(Field(field), text);
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        QCOMPARE(Text("Label11"), "Расчет не начат: " + message);
        QVERIFY(!Text("Label11").contains("valid"));
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(Button("Button3")->isHidden());
        QVERIFY(Button("Button4")->isHidden());

        // The bank reads the number of hands as well.
        if (field == "Edit4") {
            m_program->Control("TForm4", "Button6")->show();
            QTest::mouseClick(Button("Button6"), Qt::LeftButton);
            QCOMPARE(m_program->Dialogs.Errors, QStringList{"Банк не рассчитан: " + message});
            QVERIFY(m_program->Control("TForm4", "Label10")->isHidden());
        }
    }

    void aDrawsFieldThatIsNotANumberStopsOnlyTheHandsThatSample() {
        SelectGame();
        RetypeText(Field("Edit5"), "abc");
        QCOMPARE(Text("Label19"), QString("не целое число: решение с розыгрышами остановится"));
        RetypeText(Field("Edit4"), "200");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(m_program->Game.Profit.LastRunEnd(), TRunEnd::Completed);
        // Below 1 the field warns; a usable count clears the warning.
        RetypeText(Field("Edit5"), "0");
        QCOMPARE(Text("Label19"), QString("меньше 1: ходы с розыгрышами оцениваются неверно"));
        RetypeText(Field("Edit5"), "2000");
        QCOMPARE(Text("Label19"), QString());
    }

    void aCyclesRunThatReachesItsLimitEndsInTheIdleLayout() {
        SelectGame();
        RetypeText(Field("Edit4"), "1000");
        Toggle("CheckBox1");
        for (const auto& [name, limit] : {std::pair{"Edit6", "2"}, std::pair{"Edit7", "-2"},
                                          std::pair{"Edit8", "-4"}, std::pair{"Edit9", "4"}})
            RetypeText(Field(name), limit);
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        const TProfitCheck& profit = m_program->Game.Profit;
        QCOMPARE(profit.LastRunEnd(), TRunEnd::CyclesLimit);
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(Button("Button3")->isHidden());
        QVERIFY(Text("Label11").contains("циклы вместе достигли предела"));
        QVERIFY(m_program->Control("TForm4", "Label12")->isVisible());
        QCOMPARE(Text("Label13"), LabelText(profit.View().CycleCountText));
        QVERIFY(!Text("Label13").isEmpty());
        // The MO is that of every hand of the run.
        QCOMPARE(Text("Label6"), LabelText(profit.View().MoText));
        QVERIFY(profit.Figures().Hands > profit.CycleCount());

        // Without cycles the cycle labels are cleared.
        Toggle("CheckBox1");
        RetypeText(Field("Edit4"), "5");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY(m_program->Control("TForm4", "Label12")->isHidden());
        QCOMPARE(Text("Label13"), QString());
        QCOMPARE(Text("Label14"), QString());
    }

    void aCountOutsideTheRangeIsRefusedWithAMessage_data() {
        QTest::addColumn<QString>("count");
        QTest::newRow("none") << "0";
        QTest::newRow("negative") << "-5";
        QTest::newRow("more than the results hold") << "1000001";
    }
    void aCountOutsideTheRangeIsRefusedWithAMessage() {
        QFETCH(QString, count);
        SelectGame();
        RetypeText(Field("Edit4"), count);
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(Text("Label11"), QString("колличество циклов должно быть от 1 до 1000000"));
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(m_program->Control("TForm4", "Label6")->isHidden());
    }

    void aSeedRepeatsTheRun() {
        SelectGame();
        RetypeText(Field("Edit4"), "500");
        RetypeText(Field("Edit10"), "2024");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        const QString mo = Text("Label6") + Text("Label16") + Text("Label9");
        QCOMPARE(m_program->Game.Profit.RunSeed(), std::optional<std::uint64_t>(2024));
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(Text("Label6") + Text("Label16") + Text("Label9"), mo);
    }

    void fixedCardsAreShownAndCanBeReleased() {
        SelectGame();
        TDecisionTable& table = m_program->Game.Table;
        for (const char* card : {"2 пик", "A черви", "K пик"})
            table.ClickCard(CardIdByName(card).value());
        table.ToggleFix(TPlaceKind::cpPlayer, 1);
        table.ToggleFix(TPlaceKind::cpPlayer, 2);
        m_program->ShowOnly("TForm4");
        QVERIFY(m_program->Control("TForm4", "Label18")->isVisible());
        QCOMPARE(Text("Label18"),
                 QString("Раздачи идут с фиксированными картами (\"ФИКС\" в окне раскладов): "
                         "игрок — A черви, K пик"));
        QVERIFY(Button("Button10")->isVisible());

        QTest::mouseClick(Button("Button10"), Qt::LeftButton);
        QVERIFY(m_program->Control("TForm4", "Label18")->isHidden());
        QVERIFY(Button("Button10")->isHidden());
        QVERIFY(!table.State().PlayerFixed[1] && !table.State().PlayerFixed[2]);
    }

    void theGraphShowsTheRunAndSavesItsDataAndPicture() {
        SelectGame();
        RetypeText(Field("Edit4"), "400");
        RetypeText(Field("Edit10"), "9");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY(Button("Button7")->isEnabled());
        QTest::mouseClick(Button("Button7"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm4", "TForm14"}));
        QCOMPARE(m_program->Window("TForm14")->windowModality(), Qt::NonModal);

        auto* graph = static_cast<TGraphWindow*>(m_program->Window("TForm14"));
        QChart* chart = graph->ChartView()->chart();
        QVERIFY(chart->title().startsWith(Text("Label6")));
        QLineSeries* path = Series(chart, "результат");
        QVERIFY(path);
        QCOMPARE(path->count(), 401);  // the start and every hand
        const TRunPath& runPath = m_program->Game.Profit.Path();
        QCOMPARE(path->at(400), QPointF(400, static_cast<double>(runPath.Total()) / 10000));
        QVERIFY(Series(chart, "ожидаемый по MO"));
        const TBankSpan& bank = runPath.Bank();
        QVERIFY(Series(chart, QString("банк %1 ANTE: раздачи %2–%3")
                                  .arg(bank.Antes)
                                  .arg(bank.FirstHand)
                                  .arg(bank.LastHand)));
        for (QAbstractAxis* axis : chart->axes()) QVERIFY(!axis->titleText().isEmpty());

        const QString csv = m_folder.filePath("ход");
        const QString png = m_folder.filePath("график.png");
        m_program->Dialogs.SaveAnswers << csv << png;
        QTest::mouseClick(m_program->Control<QPushButton>("TForm14", "Button3"), Qt::LeftButton);
        QTest::mouseClick(m_program->Control<QPushButton>("TForm14", "Button4"), Qt::LeftButton);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QFile data(csv + ".csv");
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(data.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 401);
        QVERIFY(lines[400].startsWith("400,"));
        const QImage picture(png);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), graph->ChartView()->size());

        QTest::mouseClick(m_program->Control<QPushButton>("TForm14", "Button1"), Qt::LeftButton);
        QVERIFY(!graph->isVisible());
    }

    // After a run of one hand the axes count whole hands and antes: no label repeats.
    void theGraphOfOneHandLabelsItsAxesOnce() {
        SelectGame();
        RetypeText(Field("Edit4"), "1");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QTest::mouseClick(Button("Button7"), Qt::LeftButton);
        auto* graph = static_cast<TGraphWindow*>(m_program->Window("TForm14"));
        for (QAbstractAxis* axis : graph->ChartView()->chart()->axes()) {
            auto* values = qobject_cast<QValueAxis*>(axis);
            QVERIFY(values);
            QVERIFY2(values->tickInterval() >= 1, qPrintable(values->titleText()));
        }
    }

    // A run stopped by a number of the design that does not convert says why in full, in the
    // place the figures would take.
    void aLongReasonIsShownWhole() {
        TGameDesign design;
        design.PayQualified[TCombinationKind::ckFlush] = std::string("abc");
        SelectGame(design);
        m_program->ShowOnly("TForm4");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        auto* message = m_program->Control<QLabel>("TForm4", "Label11");
        QVERIFY2(message->text().contains("например 1,5") &&
                     message->text().endsWith("сыграно раздач: 0."),
                 qPrintable(message->text()));
        QVERIFY2(message->heightForWidth(message->width()) <= message->height(),
                 qPrintable(QString("%1 pixels of text in %2")
                                .arg(message->heightForWidth(message->width()))
                                .arg(message->height())));
    }

    void theGraphFollowsARunningRun() {
        SelectGame();
        RetypeText(Field("Edit4"), "1000000");
        m_program->Window("TForm14")->show();
        auto* graph = static_cast<TGraphWindow*>(m_program->Window("TForm14"));
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        QElapsedTimer running;
        running.start();
        int drawnWhileRunning = 0;
        profit.ProcessPendingEvents = [&] {
            windowsPass();
            if (QLineSeries* path = Series(graph->ChartView()->chart(), "результат"))
                drawnWhileRunning = std::max(drawnWhileRunning, static_cast<int>(path->count()));
            if ((drawnWhileRunning > 10 && running.elapsed() > 600) || running.elapsed() > 20000)
                QTest::mouseClick(Button("Button3"), Qt::LeftButton);
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY2(drawnWhileRunning > 10, qPrintable(QString::number(drawnWhileRunning)));
    }

    // "очистить таблицу игры" removes the current game's stored decisions once the user agrees,
    // and says how many; declined, empty, or a table that cannot be written, it removes nothing.
    void clearingTheGamesTableAsksFirstAndSaysWhatWasRemoved() {
        QPushButton* clear = Button("Button20");
        QVERIFY(clear);
        QCOMPARE(clear->text(), QString("очистить таблицу игры"));
        QCOMPARE(clear->parentWidget()->objectName(), QString("GroupBox2"));
        QVERIFY(clear->isVisible());
        QVERIFY(!clear->isEnabled());  // no game yet

        const QString games = m_folder.filePath("clear/Games");
        QVERIFY(QDir().mkpath(games));
        TDecisionCache& cache = m_program->Game.Table.Cache();
        cache.SetGamesDir(std::filesystem::path(games.toStdU16String()));
        SelectGame();
        QVERIFY(clear->isEnabled());
        const auto store = [&](int rows) {
            for (int i = 0; i < rows; ++i) {
                TDecisionCacheRow row;
                row.LayoutKey = std::string(156, '0') + std::to_string(i);
                cache.Append("стандартная игра", "0123456789abcdef", row);
            }
            cache.Append("другая игра", "0123456789abcdef", TDecisionCacheRow{});
        };
        const auto rows = [&] { return cache.Info("стандартная игра").Rows; };
        store(3);
        TScriptedDialogs& dialogs = m_program->Dialogs;

        dialogs.ConfirmAnswers = {false};
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(dialogs.Questions.size(), 1);
        QVERIFY2(dialogs.Questions[0].contains("«стандартная игра»") &&
                     dialogs.Questions[0].contains("(3)"),
                 qPrintable(dialogs.Questions[0]));
        QCOMPARE(rows(), 3);
        QVERIFY(dialogs.Notices.isEmpty());

        dialogs.ConfirmAnswers = {true};
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(rows(), 0);
        QCOMPARE(cache.Info("другая игра").Rows, 1);  // only the current game's
        QCOMPARE(dialogs.Notices,
                 QStringList{"Из таблицы игры «стандартная игра» удалено решений: 3."});

        // Nothing stored: nothing to ask.
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(dialogs.Questions.size(), 2);
        QCOMPARE(dialogs.Notices.last(),
                 QString("В таблице игры «стандартная игра» нет сохраненных решений."));

        // A table the program may not write is left as it was, and the message says why.
        store(2);
        cache.SetWriteCheck([](const std::filesystem::path&) { return false; });
        dialogs.ConfirmAnswers = {true};
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(dialogs.Errors.size(), 1);
        QVERIFY2(dialogs.Errors[0].contains("не очищен"), qPrintable(dialogs.Errors[0]));
        QCOMPARE(rows(), 2);
        QCOMPARE(dialogs.UnansweredDialogs, 0);
    }

    // The cache's hint says what it costs; the valuation's says what it changes.
    // The window names the game, and the figures of a run are marked as soon as the game, its
    // design, the calculation settings or the fixed cards they were played with change; a
    // setting that changes no figure leaves them as they are, and a new run clears the mark.
    void figuresOfARunAreMarkedWhenTheirGameChanges_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("named");  // what the mark says changed; empty: no mark
        QTest::newRow("design edited") << "design"
                                       << "конструкции";
        QTest::newRow("look-ahead switched") << "look-ahead"
                                             << "настроек расчета";
        QTest::newRow("fixed cards released") << "fixed"
                                              << "фиксированных карт";
        QTest::newRow("another game") << "game"
                                      << "игры";
        QTest::newRow("cache switched") << "cache"
                                        << "";
    }
    void figuresOfARunAreMarkedWhenTheirGameChanges() {
        QFETCH(QString, change);
        QFETCH(QString, named);
        QCOMPARE(Text("GameLine"),
                 QString("Игра не выбрана: окно раскладов, меню «опции», «выбрать игру»."));
        SelectGame();
        m_program->ShowOnly("TForm4");
        QCOMPARE(Text("GameLine"),
                 QString("Игра «стандартная игра», конструкция как при сохранении или загрузке."));
        TDecisionTable& table = m_program->Game.Table;
        if (change == "fixed") {
            for (const char* card : {"2 пик", "8 черви"})
                table.ClickCard(CardIdByName(card).value());
            table.ToggleFix(TPlaceKind::cpPlayer, 1);
            m_program->ShowOnly("TForm4");
        }
        RetypeText(Field("Edit4"), "7");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY(m_program->Control("TForm4", "Label6")->isVisible());
        const QString runMessage = Text("Label11");
        QVERIFY(!runMessage.contains("до смены"));

        if (change == "design") {
            m_program->Game.Design.BetSize = std::string("3");
            m_program->ShowOnly("TForm4");
        } else if (change == "look-ahead") {
            Toggle("CheckBox20");
        } else if (change == "fixed") {
            QTest::mouseClick(Button("Button10"), Qt::LeftButton);
        } else if (change == "game") {
            const QString path = m_folder.filePath("игра со страховкой.es1");
            SaveDesignFile(TGameDesign{}, std::filesystem::path(path.toStdU16String()));
            m_program->Dialogs.OpenAnswers.push_back(path);
            m_program->Action("TForm8", "N2")->trigger();
            m_program->ShowOnly("TForm4");
        } else if (change == "cache") {
            Toggle("CheckBox2");
        }
        auto* mo = m_program->Control<QLabel>("TForm4", "Label6");
        QVERIFY(mo->isVisible());
        if (named.isEmpty()) {
            QCOMPARE(Text("Label11"), runMessage);
            QVERIFY(mo->styleSheet().isEmpty());
            QCOMPARE(m_program->Window("TForm11")->windowTitle(), QString("статистика раздач"));
            return;
        }
        // The statistics and the graph of the run say it too.
        for (const char* window : {"TForm11", "TForm14"}) {
            QVERIFY2(m_program->Window(window)->windowTitle().contains("до смены " + named),
                     qPrintable(m_program->Window(window)->windowTitle()));
        }
        QVERIFY2(Text("Label11").startsWith("MO, банк и риск ниже получены до смены " + named),
                 qPrintable(Text("Label11")));
        QVERIFY(!mo->styleSheet().isEmpty());
        if (change == "design") {
            QCOMPARE(Text("GameLine"), QString("Игра «стандартная игра», конструкция изменена "
                                               "после сохранения или загрузки."));
        }
        if (change == "game") QVERIFY(Text("GameLine").startsWith("Игра «игра со страховкой»"));

        // A new run belongs to the game as it is.
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY(!Text("Label11").contains("до смены"));
        QVERIFY(mo->styleSheet().isEmpty());
        QCOMPARE(m_program->Window("TForm11")->windowTitle(), QString("статистика раздач"));
    }

    void theCacheAndValuationOptionsSayWhatTheyDo() {
        const QString cache = m_program->Control("TForm4", "CheckBox2")->toolTip();
        QVERIFY2(cache.contains("примерно в 4 раза дольше"), qPrintable(cache));
        auto* lookAhead = m_program->Control<QAbstractButton>("TForm4", "CheckBox20");
        QVERIFY(lookAhead);
        QVERIFY(!lookAhead->isChecked());
        QVERIFY(lookAhead->toolTip().contains("лучшим решением после каждой карты"));
        Toggle("CheckBox20");
        QVERIFY(m_program->Game.Settings.LookAhead);
    }

private:
    QLineEdit* Field(const QString& name) const {
        return m_program->Control<QLineEdit>("TForm4", name);
    }
    QPushButton* Button(const char* name) const {
        return m_program->Control<QPushButton>("TForm4", name);
    }
    QString Text(const char* label) const {
        return m_program->Control<QLabel>("TForm4", label)->text();
    }
    void Toggle(const char* name) const {
        auto* box = m_program->Control<QAbstractButton>("TForm4", name);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(7, box->height() / 2));
    }

    static QLineSeries* Series(QChart* chart, const QString& name) {
        for (QAbstractSeries* series : chart->series()) {
            if (series->name() == name) return qobject_cast<QLineSeries*>(series);
        }
        return nullptr;
    }

    // The standard game (or `design`), chosen in the decision window as the user would.
    void SelectGame(const TGameDesign& design = TGameDesign{}) {
        const QString path = m_folder.filePath("стандартная игра.es1");
        SaveDesignFile(design, std::filesystem::path(path.toStdU16String()));
        m_program->Dialogs.OpenAnswers.push_back(path);
        m_program->Action("TForm8", "N2")->trigger();
        QCOMPARE(m_program->Game.Table.GameName(), std::optional<std::string>("стандартная игра"));
    }

    std::unique_ptr<TProgram> m_program;
    QTemporaryDir m_folder;
};

int RunProfitWindowTests(int argc, char** argv) {
    TProfitWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "profit_window_test.moc"
