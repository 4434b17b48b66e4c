// The exact analysis in the windows: "точный расчет" in the profitability window (started,
// followed, stopped, its figures, its return table, refused designs, figures that an edit of the
// design takes away), and the strategy window checked cell by cell against the command line's
// own analysis and decisions.
#include <QAbstractButton>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "cards/card_list.h"
#include "cards/hand_classification.h"
#include "design/design_rules.h"
#include "gui_test_support.h"
#include "profit/exact/exact_outcomes.h"
#include "profit/exact/strategy.h"
#include "profit/ui/exact_analysis.h"
#include "support/run_cli.h"

namespace studlab::test {
namespace {

// Folding or betting against a dealer who shows no card: the whole analysis takes about a
// second. Its MO, worked out apart hand by hand, is 8,9397791038 %.
constexpr const char* kSmallDesignOptions =
    "--set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO'";

void MakeSmallDesign(TGameDesign& design) {
    design.DealerOpenCards = "0";
    design.SetAllows(1, TPlayerAction::paBuyCard, false);
}

constexpr int kAnalysisTimeout = 120000;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The cards of a hand by their names, as the command line takes them ("A черви, 10 пик").
std::string CardNames(const std::vector<TCardId>& cards) {
    return JoinCardNames(TableOf(cards));
}

// The first decision's candidates as `studlab-cli decide` prints them: caption and value.
struct TDecided {
    std::vector<std::pair<QString, QString>> Candidates;
    TFirstAction Choice = TFirstAction::faNone;
};

TFirstAction ActionOfCaption(const QString& caption) {
    for (int a = 0; a < kFirstActions; ++a) {
        const auto action = static_cast<TFirstAction>(a);
        if (caption.trimmed() == Q(std::string(FirstActionCaption(action)))) return action;
    }
    return TFirstAction::faNone;
}

TDecided DecideOnTheCommandLine(const std::string& options, const std::string& player,
                                const std::string& dealer = "") {
    std::string arguments = "decide " + options + " --player '" + player + "'";
    if (!dealer.empty()) arguments += " --dealer '" + dealer + "'";
    const testing::TCliRun run = testing::RunCli(arguments);
    TDecided decided;
    if (run.ExitCode != 0) return decided;
    double best = 0;
    for (const QString& line : Q(run.Output).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        if (fields.size() != 2) continue;
        decided.Candidates.emplace_back(fields[0].trimmed(), fields[1]);
        const double value = QString(fields[1]).replace(',', '.').toDouble();
        // The decision takes the highest value, ties to the earlier candidate.
        if (decided.Candidates.size() == 1 || value > best) {
            best = value;
            decided.Choice = ActionOfCaption(fields[0]);
        }
    }
    return decided;
}

}  // namespace

class TExactWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        m_program->ShowOnly("TForm4");
        QVERIFY(m_folder.isValid());
    }
    void cleanup() { m_program.reset(); }

    void theExactGroupStartsIdle() {
        QVERIFY(Button("ExactCalculate")->isVisible());
        QCOMPARE(Button("ExactCalculate")->text(), QString("точный расчет"));
        for (const char* hidden : {"ExactStop", "ExactProgress", "ExactTimeLeft", "ExactMo",
                                   "ExactReturns", "ExactFigures", "ExactMessage"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
        // The window's first controls stay where they were; the group lies under them.
        QCOMPARE(Button("Button2")->geometry(), QRect(24, 364, 160, 34));
        QCOMPARE(m_program->Control("TForm4", "ExactGroup")->geometry().top(), 584);
        QVERIFY(Button("Button9")->isEnabled());
    }

    void aRunIsFollowedAndStoppedCleanlyWhileTheWindowWorks() {
        // The standard game: minutes of work, stopped long before its end.
        QTest::mouseClick(Button("ExactCalculate"), Qt::LeftButton);
        QVERIFY(Button("ExactStop")->isVisible());
        QVERIFY(Button("ExactCalculate")->isHidden());
        QVERIFY(m_program->Control("TForm4", "ExactProgress")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(Text("ExactTimeLeft").contains("осталось ~"), 30000);
        QVERIFY2(QRegularExpression("^\\d+(,\\d)? %,  осталось ~\\d+ (с|мин \\d+ с|ч \\d+ мин)$")
                     .match(Text("ExactTimeLeft"))
                     .hasMatch(),
                 qPrintable(Text("ExactTimeLeft")));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_program->Control<QProgressBar>("TForm4", "ExactProgress")->value() > 0, 30000);

        // The window keeps working meanwhile: its fields take what is typed.
        RetypeText(m_program->Control<QLineEdit>("TForm4", "Edit4"), "777");
        QCOMPARE(m_program->Game.Profit.Settings().HandCount, std::string("777"));

        QTest::mouseClick(Button("ExactStop"), Qt::LeftButton);
        QVERIFY(Button("ExactCalculate")->isVisible());
        for (const char* hidden : {"ExactStop", "ExactProgress", "ExactMo", "ExactReturns"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
        QVERIFY2(QRegularExpression("^Точный расчет остановлен кнопкой \"СТОП\", пройдено "
                                    "\\d+(,\\d)? % раскладов\\.$")
                     .match(Text("ExactMessage"))
                     .hasMatch(),
                 qPrintable(Text("ExactMessage")));
        // Nothing goes on in the background: the figures stay as the stop left them.
        const QString after = Text("ExactMessage");
        QTest::qWait(400);
        QCOMPARE(Text("ExactMessage"), after);
        QVERIFY(Button("ExactCalculate")->isVisible());
    }

    void aFinishedRunShowsItsFiguresAndReturnTable() {
        MakeSmallDesign(m_program->Game.Design);
        QTest::mouseClick(Button("ExactCalculate"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_program->Control("TForm4", "ExactMo")->isVisible(),
                                 kAnalysisTimeout);
        QCOMPARE(Text("ExactMo"), QString("точно: MO=8,9398%"));
        QVERIFY(Button("ExactCalculate")->isVisible());
        QVERIFY(Button("ExactStop")->isHidden());
        QVERIFY(m_program->Control("TForm4", "ExactMessage")->isHidden());

        // The same figures as the command line's analysis of the design.
        const testing::TCliRun run =
            testing::RunCli(std::string("exact --json ") + kSmallDesignOptions);
        QCOMPARE(run.ExitCode, 0);
        const QJsonObject report =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.Output)).object();
        const QString figures = Text("ExactFigures");
        const auto fourDecimals = [&](const char* key) {
            return Q(FourDecimalsText(report[key].toDouble()));
        };
        QVERIFY2(figures.startsWith("σ " + fourDecimals("std_dev_per_hand") + " анте на раздачу,"),
                 qPrintable(figures));
        QVERIFY2(
            figures.contains("элемент риска " + fourDecimals("element_of_risk_percent") + " %"),
            qPrintable(figures));
        QVERIFY2(
            figures.contains("при лучшей игре MO=" + fourDecimals("best_play_mo_percent") + "%"),
            qPrintable(figures));

        // The return table: every outcome of the command line's table, in its order, and a
        // total of all deals whose contributions add up to minus the MO.
        QVERIFY(Button("ExactReturns")->isVisible());
        QTest::mouseClick(Button("ExactReturns"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm4", "ReturnTableWindow"}));
        auto* table = m_program->Control<QTableWidget>("ReturnTableWindow", "ReturnTable");
        const QJsonArray rows = report["return_table"].toArray();
        QVERIFY(rows.size() > 10);
        QCOMPARE(table->rowCount(), rows.size() + 1);
        // Each figure shows four significant digits, written out or, below 0,0001, times a
        // power of ten; its hint holds the full figure.
        const QRegularExpression fourDigits(
            "^-?(0,0*[1-9]\\d{3}|[1-9](\\d{3}|\\d,\\d{2}|\\d{2},\\d|,\\d{3})|[1-9]\\d{3,}|"
            "[1-9],\\d{3}·10⁻[¹²³⁴⁵⁶⁷⁸⁹][⁰¹²³⁴⁵⁶⁷⁸⁹]*)$");
        const auto number = [&](int row, int column) {
            const QString text = table->item(row, column)->text();
            if (text != "0") {
                [&] { QVERIFY2(fourDigits.match(text).hasMatch(), qPrintable(text)); }();
            }
            return table->item(row, column)->toolTip().replace(',', '.').toDouble();
        };
        for (int i = 0; i < rows.size(); ++i) {
            const QJsonObject row = rows[i].toObject();
            QVERIFY(std::abs(number(i, 2) - row["probability"].toDouble() * 100) <= 5e-9);
            QVERIFY(std::abs(number(i, 3) - row["contribution"].toDouble()) <= 5e-9);
        }
        // Folding against a dealer who shows nothing ends with the outcome "пас".
        QVERIFY(!table->findItems("пас", Qt::MatchExactly).isEmpty());
        const int total = rows.size();
        QCOMPARE(table->item(total, 0)->text(), QString("всего"));
        QCOMPARE(table->item(total, 2)->text(), QString("100,0"));
        QCOMPARE(table->item(total, 3)->text(), QString("-0,08940"));
        QVERIFY(Text("ReturnTableWindow", "ReturnTableTitle").contains("MO=8,9398%"));
    }

    void anEditOfTheDesignTakesTheFiguresAway() {
        TGame& game = m_program->Game;
        MakeSmallDesign(game.Design);
        QTest::mouseClick(Button("ExactCalculate"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_program->Control("TForm4", "ExactMo")->isVisible(),
                                 kAnalysisTimeout);
        QTest::mouseClick(Button("ExactReturns"), Qt::LeftButton);

        // An edit in the constructor: back in the profitability window the figures are gone,
        // and the note says whose they were.
        // The return table stays open beside the constructor and follows the edit by itself.
        m_program->ShowOnly("TForm1");
        m_program->Window("ReturnTableWindow")->show();
        auto* returns = m_program->Control<QTableWidget>("ReturnTableWindow", "ReturnTable");
        QVERIFY(returns->rowCount() > 0);
        auto* straight = m_program->Control<QLineEdit>("TForm1", "Edit7");
        const QString before = straight->text();
        RetypeText(straight, "7");
        QCOMPARE(game.Design.PayQualified[TCombinationKind::ckStraight], std::string("7"));
        QTRY_COMPARE(returns->rowCount(), 0);
        m_program->ShowOnly("TForm4");
        for (const char* hidden : {"ExactMo", "ExactFigures", "ExactReturns"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
        QCOMPARE(Text("ExactMessage"),
                 QString("Конструкция изменилась после точного расчета (MO=8,9398%): он к ней не "
                         "относится. Нажмите \"точный расчет\" снова."));

        // The design edited back is the design the figures belong to.
        m_program->ShowOnly("TForm1");
        RetypeText(straight, before);
        m_program->ShowOnly("TForm4");
        QCOMPARE(Text("ExactMo"), QString("точно: MO=8,9398%"));
        QVERIFY(m_program->Control("TForm4", "ExactMessage")->isHidden());

        // A setting of this window that changes the play takes them away at once; one that
        // does not leaves them.
        auto* lookAhead = m_program->Control<QAbstractButton>("TForm4", "CheckBox20");
        QTest::mouseClick(lookAhead, Qt::LeftButton);
        QVERIFY(game.Settings.LookAhead);
        QTRY_VERIFY(m_program->Control("TForm4", "ExactMo")->isHidden());
        // Only a setting changed, and the note says so.
        QCOMPARE(Text("ExactMessage"),
                 QString("Настройки расчета изменились после точного расчета (MO=8,9398%): он к "
                         "ним не относится. Нажмите \"точный расчет\" снова."));
        QTest::mouseClick(lookAhead, Qt::LeftButton);
        QTest::mouseClick(m_program->Control<QAbstractButton>("TForm4", "CheckBox2"),
                          Qt::LeftButton);
        QVERIFY(game.Settings.UseCacheTable);
        QTRY_VERIFY(m_program->Control("TForm4", "ExactMo")->isVisible());
        // A setting changed from elsewhere (the decision window's menu) is noticed too.
        game.Settings.LookAhead = true;
        QTRY_VERIFY(m_program->Control("TForm4", "ExactMo")->isHidden());
    }

    void aDesignTheAnalysisCannotPlayIsRefusedWithItsReason_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("two boxes")
            << "PlayingBoxes"
            << "2"
            << "Точный расчет играет за одним боксом; в настройках играющих боксов \"2\"";
        QTest::newRow("a payout that is not a number") << "PayQualified"
                                                       << "abc"
                                                       << "abc";
    }
    void aDesignTheAnalysisCannotPlayIsRefusedWithItsReason() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        TGame& game = m_program->Game;
        if (field == "PlayingBoxes") game.Settings.PlayingBoxes = value.toStdString();
        if (field == "PayQualified")
            game.Design.PayQualified[TCombinationKind::ckPair] = value.toStdString();
        QTest::mouseClick(Button("ExactCalculate"), Qt::LeftButton);
        QVERIFY(Button("ExactCalculate")->isVisible());
        QVERIFY(Button("ExactStop")->isHidden());
        QVERIFY(m_program->Control("TForm4", "ExactMo")->isHidden());
        QVERIFY(m_program->Control("TForm4", "ExactMessage")->isVisible());
        QVERIFY2(Text("ExactMessage").contains(message), qPrintable(Text("ExactMessage")));
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    // Switched to a design the analysis refuses, the window shows neither the grid nor the valued
    // hand of the design before, whether it was open at the switch or opened after it.
    void aRefusedDesignTakesTheGridAndTheValuedHandAway_data() {
        QTest::addColumn<bool>("openAtTheSwitch");
        QTest::newRow("open") << true;
        QTest::newRow("opened after") << false;
    }
    void aRefusedDesignTakesTheGridAndTheValuedHandAway() {
        QFETCH(bool, openAtTheSwitch);
        TGame& game = m_program->Game;
        MakeSmallDesign(game.Design);
        QTest::mouseClick(Button("Button9"), Qt::LeftButton);
        auto* grid = m_program->Control<QTableWidget>("StrategyWindow", "StrategyGrid");
        QTRY_COMPARE_WITH_TIMEOUT(grid->rowCount(), kStrategyRows, kAnalysisTimeout);
        auto* field = m_program->Control<QLineEdit>("StrategyWindow", "HandEdit");
        field->setText("Ah Ac Kd 9s 7h");
        QTest::keyClick(field, Qt::Key_Return);
        auto* values = m_program->Control<QTableWidget>("StrategyWindow", "HandValues");
        QVERIFY(values->rowCount() > 0);
        QVERIFY(Text("StrategyWindow", "HandChoice").contains("клетка"));

        QWidget* window = m_program->Window("StrategyWindow");
        if (!openAtTheSwitch) window->hide();
        game.Design.PayQualified[TCombinationKind::ckPair] = std::string("abc");
        if (!openAtTheSwitch) QTest::mouseClick(Button("Button9"), Qt::LeftButton);
        QTRY_COMPARE(grid->rowCount(), 0);
        QCOMPARE(values->rowCount(), 0);
        QCOMPARE(Text("StrategyWindow", "HandChoice"), QString());
        if (!openAtTheSwitch) {
            QVERIFY2(Text("StrategyWindow", "StrategyStatus").contains("abc"),
                     qPrintable(Text("StrategyWindow", "StrategyStatus")));
        }
    }

    void theStrategyMatchesTheDecisionsCellByCell() {
        TGame& game = m_program->Game;
        MakeSmallDesign(game.Design);
        // Opened with no analysis of the design, the window starts one.
        QTest::mouseClick(Button("Button9"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm4", "StrategyWindow"}));
        auto* grid = m_program->Control<QTableWidget>("StrategyWindow", "StrategyGrid");
        QTRY_COMPARE_WITH_TIMEOUT(grid->rowCount(), kStrategyRows, kAnalysisTimeout);
        QCOMPARE(grid->columnCount(), 1);
        // Each window renders the finished analysis on its own poll of the job.
        QTRY_COMPARE_WITH_TIMEOUT(Text("TForm4", "ExactMo"), QString("точно: MO=8,9398%"),
                                  kAnalysisTimeout);
        QVERIFY(Text("StrategyWindow", "StrategyStatus").contains("MO=8,9398%"));

        // The grid is the command line's strategy of the design, cell by cell.
        const QString csvPath = m_folder.filePath("cli.csv");
        const testing::TCliRun run = testing::RunCli(std::string("exact ") + kSmallDesignOptions +
                                                     " --strategy '" + csvPath.toStdString() + "'");
        QCOMPARE(run.ExitCode, 0);
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray cliCsv = csv.readAll();
        const QStringList lines = QString::fromUtf8(cliCsv).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kStrategyRows + 1);
        std::map<int, TFirstAction> always;  // rows whose every hand takes one action
        for (int r = 0; r < kStrategyRows; ++r) {
            const QStringList fields = lines[r + 1].split(';');
            QCOMPARE(grid->verticalHeaderItem(r)->text(), fields[0]);
            QTableWidgetItem* cell = grid->item(r, 0);
            QCOMPARE(QString(cell->text()).replace('\n', ' '), fields[1]);
            if (!fields[1].contains('%')) always[r] = ActionOfCaption(fields[1]);
            // The hint names every action offered with its mean value.
            QVERIFY2(cell->toolTip().contains("\nсделать пас: -1") &&
                         cell->toolTip().contains("\nзабиться: "),
                     qPrintable(cell->toolTip()));
        }
        QVERIFY(always.size() > 20);

        // Hands of each row played by the decision table of the command line: in a row whose
        // cell shows no share, every hand takes the cell's action.
        const TKindFlags plays = MakeEvalRules(game.Design, game.Settings).Counting.Plays;
        std::mt19937 random(2024);
        std::vector<TCardId> deck;
        for (TCardId id = 1; id <= kCards; ++id) deck.push_back(id);
        std::map<int, int> sampled;
        int checked = 0;
        for (int tries = 0; tries < 200000 && checked < 60; ++tries) {
            std::shuffle(deck.begin(), deck.end(), random);
            const std::vector<TCardId> hand(deck.begin(), deck.begin() + 5);
            const TCardTable cards = TableOf(hand);
            const int row = StrategyRowOf(cards, ClassifyHand(cards, plays));
            if (!always.count(row) || sampled[row] >= 2) continue;
            ++sampled[row];
            ++checked;
            const TDecided decided = DecideOnTheCommandLine(kSmallDesignOptions, CardNames(hand));
            QVERIFY2(decided.Choice == always[row],
                     qPrintable(Q(CardNames(hand)) + " in row " +
                                grid->verticalHeaderItem(row)->text()));
        }
        QVERIFY(checked >= 40);

        // A hand typed into the field is valued as the command line's decision values it, and
        // its cell is shown.
        const std::string hand = "A черви, A треф, K буби, 9 пик, 7 черви";
        auto* field = m_program->Control<QLineEdit>("StrategyWindow", "HandEdit");
        field->setText("Ah Ac Kd 9s 7h");
        QTest::keyClick(field, Qt::Key_Return);
        const TDecided decided = DecideOnTheCommandLine(kSmallDesignOptions, hand);
        auto* values = m_program->Control<QTableWidget>("StrategyWindow", "HandValues");
        QCOMPARE(values->rowCount(), static_cast<int>(decided.Candidates.size()));
        for (int i = 0; i < values->rowCount(); ++i) {
            QCOMPARE(values->item(i, 0)->text(),
                     decided.Candidates[static_cast<std::size_t>(i)].first);
            QCOMPARE(values->item(i, 1)->text(),
                     decided.Candidates[static_cast<std::size_t>(i)].second);
        }
        QCOMPARE(grid->currentRow(), 29);  // the pair of aces
        QVERIFY2(Text("StrategyWindow", "HandChoice").contains("(клетка \"пара A\": "),
                 qPrintable(Text("StrategyWindow", "HandChoice")));
        // A dealer's card the design does not open is refused with the reason.
        field->setText("Ah Ac Kd 9s 7h 2s");
        QTest::mouseClick(m_program->Control<QPushButton>("StrategyWindow", "EvaluateHand"),
                          Qt::LeftButton);
        QCOMPARE(Text("StrategyWindow", "HandChoice"),
                 QString("В конструкции открытых карт дилера \"0\", а дано 1."));
        QCOMPARE(values->rowCount(), 0);
        // So are text that is no card and a card given twice, in the window's language.
        const QList<std::pair<QString, QString>> badHands = {
            {"Ah Zz Kd 9s 7h", "«Zz» — не карта: "},
            {"Ah Ah Kd 9s 7h", "Карта A черви дана дважды"}};
        for (const auto& [text, message] : badHands) {
            field->setText(text);
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY2(Text("StrategyWindow", "HandChoice").startsWith(message),
                     qPrintable(Text("StrategyWindow", "HandChoice")));
            QCOMPARE(values->rowCount(), 0);
        }

        // Saved as CSV it is the command line's file to the byte; as PNG a picture of the grid.
        m_program->Dialogs.SaveAnswers << m_folder.filePath("стратегия")
                                       << m_folder.filePath("стратегия.png");
        QTest::mouseClick(m_program->Control<QPushButton>("StrategyWindow", "SaveCsv"),
                          Qt::LeftButton);
        QTest::mouseClick(m_program->Control<QPushButton>("StrategyWindow", "SavePng"),
                          Qt::LeftButton);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QFile saved(m_folder.filePath("стратегия.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), cliCsv);
        const QImage picture(m_folder.filePath("стратегия.png"));
        QVERIFY(!picture.isNull());
        QVERIFY(picture.height() > kStrategyRows * 30);

        // An edit of the design takes the grid away; the window offers to work it out again.
        game.Design.BetSize = "10";
        QTRY_COMPARE(grid->rowCount(), 0);
        QVERIFY(m_program->Control("StrategyWindow", "StrategyCalculate")->isVisible());
        QVERIFY(!m_program->Control("StrategyWindow", "SaveCsv")->isEnabled());
    }

    void theStrategyByTheDealersCardMatchesTheDecisions() {
        // Folding or betting against one open card: some seconds of work.
        TGame& game = m_program->Game;
        game.Design.SetAllows(1, TPlayerAction::paBuyCard, false);
        const std::string options = "--set 'StageActions[1][paBuyCard]=NO'";
        m_program->Window("StrategyWindow")->show();
        auto* grid = m_program->Control<QTableWidget>("StrategyWindow", "StrategyGrid");
        QTRY_COMPARE_WITH_TIMEOUT(grid->rowCount(), kStrategyRows, kAnalysisTimeout);
        QCOMPARE(grid->columnCount(), kStrategyColumns);
        for (int c = 0; c < kStrategyColumns; ++c)
            QCOMPARE(grid->horizontalHeaderItem(c)->text(), Q(StrategyColumnCaption(c)));
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("2"));
        QCOMPARE(grid->horizontalHeaderItem(12)->text(), QString("A"));

        // The saved CSV holds the cells as the grid shows them.
        m_program->Dialogs.SaveAnswers << m_folder.filePath("по картам.csv");
        QTest::mouseClick(m_program->Control<QPushButton>("StrategyWindow", "SaveCsv"),
                          Qt::LeftButton);
        QFile csv(m_folder.filePath("по картам.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kStrategyRows + 1);
        QCOMPARE(lines[0].split(';').size(), kStrategyColumns + 1);
        int mixed = 0;
        for (int r = 0; r < kStrategyRows; ++r) {
            const QStringList fields = lines[r + 1].split(';');
            for (int c = 0; c < kStrategyColumns; ++c) {
                QCOMPARE(QString(grid->item(r, c)->text()).replace('\n', ' '), fields[c + 1]);
                if (fields[c + 1].contains('%')) ++mixed;
            }
        }
        QVERIFY(mixed > 10);  // ace-kings depend on more than their third card and his card

        // One hand of every cell that shows no share, against a dealer's card of its column,
        // decided by the command line: the cell's action.
        const TKindFlags plays = MakeEvalRules(game.Design, game.Settings).Counting.Plays;
        std::mt19937 random(7);
        std::vector<TCardId> deck;
        for (TCardId id = 1; id <= kCards; ++id) deck.push_back(id);
        std::set<std::pair<int, int>> done;
        int checked = 0;
        for (int tries = 0; tries < 400000; ++tries) {
            std::shuffle(deck.begin(), deck.end(), random);
            const std::vector<TCardId> hand(deck.begin(), deck.begin() + 5);
            const TCardTable cards = TableOf(hand);
            const int row = StrategyRowOf(cards, ClassifyHand(cards, plays));
            const int column = StrategyColumnOf(TableOf({deck[5]}));
            const QString shown = grid->item(row, column)->text();
            if (shown.contains('%') || !done.insert({row, column}).second) continue;
            const TDecided decided =
                DecideOnTheCommandLine(options, CardNames(hand), CardNames({deck[5]}));
            QVERIFY2(Q(std::string(FirstActionCaption(decided.Choice))) == shown,
                     qPrintable(Q(CardNames(hand)) + " against " + Q(CardNames({deck[5]})) +
                                ": the cell shows " + shown));
            ++checked;
        }
        QVERIFY2(checked + mixed >= kStrategyRows * kStrategyColumns - 5,
                 qPrintable(QString::number(checked)));
    }

    // "подбор выплат" from the profitability window finds what the command line finds, lists
    // the pay tables it tried, and "применить" puts the chosen payouts into the design.
    void thePaySolverFindsAndAppliesWhatTheCommandLineFinds() {
        MakeSmallDesign(m_program->Game.Design);
        QTest::mouseClick(Button("PaySolverButton"), Qt::LeftButton);
        QVERIFY(m_program->Window("PaySolverWindow")->isVisible());
        const auto field = [&](const char* name) {
            return m_program->Control<QLineEdit>("PaySolverWindow", name);
        };
        const auto button = [&](const char* name) {
            return m_program->Control<QPushButton>("PaySolverWindow", name);
        };
        RetypeText(field("TargetMo"), "7");
        RetypeText(field("PayStep"), "1");
        RetypeText(field("PayMin"), "5");
        RetypeText(field("PayMax"), "20");
        QVERIFY(!button("ApplyButton")->isEnabled());
        QTest::mouseClick(button("SolveButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(button("ApplyButton")->isEnabled(), kAnalysisTimeout);
        auto* tried = m_program->Control<QTableWidget>("PaySolverWindow", "TriedPayTables");
        QVERIFY(tried->rowCount() >= 2);
        QCOMPARE(tried->columnCount(), 7);  // full house, flush, straight and four figures

        const testing::TCliRun run = testing::RunCli(
            std::string(
                "solve --json --target-mo 7 --step 1 --min 5 --max 20 --vary "
                "'PayQualified[ckFullHouse],PayQualified[ckFlush],PayQualified[ckStraight]' ") +
            kSmallDesignOptions);
        QCOMPARE(run.ExitCode, 0);
        const QJsonObject cli = QJsonDocument::fromJson(Q(run.Output).toUtf8()).object();
        QCOMPARE(tried->rowCount(), cli["trials"].toArray().size());
        // The status says why the search ended.
        QVERIFY2(Text("PaySolverWindow", "SolveStatus").contains("Подбор закончен"),
                 qPrintable(Text("PaySolverWindow", "SolveStatus")));

        // Payouts found under other rules or settings are not put into the constructor: a
        // table of what changed since the search and what the window says.
        const TGameDesign solvedDesign = m_program->Game.Design;
        const TCalculationSettings solvedSettings = m_program->Game.Settings;
        struct TChange {
            bool Design;
            bool Settings;
            const char* Said;
        };
        for (const TChange& change : {TChange{true, false, "Конструкция изменилась после"},
                                      TChange{false, true, "Настройки расчета изменились после"},
                                      TChange{true, true, "Конструкция и настройки расчета"}}) {
            m_program->Game.Design = solvedDesign;
            m_program->Game.Settings = solvedSettings;
            if (change.Design) m_program->Game.Design.PayQualified[TCombinationKind::ckPair] = "2";
            if (change.Settings) m_program->Game.Settings.TableMaximum = "150";
            const TGameDesign before = m_program->Game.Design;
            QTest::mouseClick(button("ApplyButton"), Qt::LeftButton);
            const QString said = Text("PaySolverWindow", "SolveStatus");
            QVERIFY2(said.startsWith(change.Said) && said.contains("не перенесены"),
                     qPrintable(said));
            // What the search found and why it stopped stays beneath.
            QVERIFY2(said.contains("Подбор закончен") || said.contains("Достигнут предел"),
                     qPrintable(said));
            QVERIFY(m_program->Game.Design == before);
        }
        // A setting the analysis does not read leaves the payouts good.
        m_program->Game.Design = solvedDesign;
        m_program->Game.Settings = solvedSettings;
        m_program->Game.Settings.SameSequence = !solvedSettings.SameSequence;
        QTest::mouseClick(button("ApplyButton"), Qt::LeftButton);
        QCOMPARE(Text("PaySolverWindow", "SolveStatus"), QString("Выплаты перенесены в конструктор."));
        const QJsonObject chosen = cli["chosen_payouts"].toObject();
        const TGameDesign& design = m_program->Game.Design;
        QCOMPARE(Q(design.PayQualified[TCombinationKind::ckFlush]),
                 QString::number(chosen["PayQualified[ckFlush]"].toDouble()));
        QCOMPARE(Q(design.PayQualified[TCombinationKind::ckStraight]),
                 QString::number(chosen["PayQualified[ckStraight]"].toDouble()));
        QCOMPARE(Q(design.PayQualified[TCombinationKind::ckFullHouse]),
                 QString::number(chosen["PayQualified[ckFullHouse]"].toDouble()));
    }

    // "отчет по игре" saves the report as a PDF through Qt's writer.
    void theGameReportIsSavedAsPdf() {
        MakeSmallDesign(m_program->Game.Design);
        QTest::mouseClick(Button("GameReportButton"), Qt::LeftButton);
        QVERIFY(m_program->Window("GameReportWindow")->isVisible());
        RetypeText(m_program->Control<QLineEdit>("GameReportWindow", "ReportHands"), "500");
        const QString path = m_folder.filePath("отчет.pdf");
        m_program->Dialogs.SaveAnswers = {path};
        QTest::mouseClick(m_program->Control<QPushButton>("GameReportWindow", "SaveReportPdf"),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            Text("GameReportWindow", "ReportStatus").startsWith("Отчет записан"), kAnalysisTimeout);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(pdf.size() > 10000);
    }

private:
    QPushButton* Button(const QString& name) const {
        return m_program->Control<QPushButton>("TForm4", name);
    }
    QString Text(const QString& name) const { return Text("TForm4", name); }
    QString Text(const QString& window, const QString& name) const {
        return m_program->Control<QLabel>(window, name)->text();
    }

    std::unique_ptr<TProgram> m_program;
    QTemporaryDir m_folder;
};

int RunExactWindowTests(int argc, char** argv) {
    TExactWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "exact_windows_test.moc"
