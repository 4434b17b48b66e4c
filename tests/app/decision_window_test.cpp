// The decision window over its table: choosing a game, laying out a hand by clicking cards,
// deciding, continuing, the random deal, fix buttons and the two list windows.
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <numeric>

#include "design/design_file.h"
#include "design/ui/design_file_commands.h"
#include "gui_test_support.h"
#include "table/ui/table_geometry.h"

namespace studlab::test {
namespace {

// Cards by their picture: ids run A, 2 .. 10, J, Q, K through "черви", "треф", "буби", "пик".
constexpr TCardId kAceOfHearts = 1;
constexpr TCardId kKingOfHearts = 13;
constexpr TCardId kAceOfClubs = 14;
constexpr TCardId kNineOfClubs = 22;
constexpr TCardId kThreeOfDiamonds = 29;
constexpr TCardId kAceOfSpades = 40;
constexpr TCardId kTwoOfSpades = 41;

const QString kNeighboursPrompt =
    "Выберете карты соседних боксов(при коллективной игре)\n  и нажмите \"РЕШЕНИЕ\".";

}  // namespace

class TDecisionWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        m_program->ShowOnly("TForm8");
        QVERIFY(m_folder.isValid());
    }
    void cleanup() { m_program.reset(); }

    void choosingAGameShowsItsNameAndPrompt_data() {
        QTest::addColumn<QString>("openCards");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("no open dealer card") << "0"
                                             << "Выберете карты игрока";
        QTest::newRow("one open dealer card") << "1"
                                              << "Выберете карту дилера";
        QTest::newRow("three open dealer cards") << "3"
                                                 << "Выберете карты дилера";
    }
    void choosingAGameShowsItsNameAndPrompt() {
        QFETCH(QString, openCards);
        QFETCH(QString, prompt);
        TGameDesign design;
        design.DealerOpenCards = openCards.toStdString();
        SelectGame(design, "открытые карты");

        QCOMPARE(Text("Label2"), QString("открытые карты"));
        QCOMPARE(Text("Label1"), prompt);
        QVERIFY(Button("Button15")->isVisible());
        for (const char* hidden : {"Button1", "Button2", "Button3", "Label3", "Label4"})
            QVERIFY2(m_program->Control("TForm8", hidden)->isHidden(), hidden);
        QCOMPARE(m_program->Dialogs.OpenFilter, QString("файлы игр (*.es1)"));
        QCOMPARE(m_program->Dialogs.OpenFolder,
                 DesignFolder(QCoreApplication::applicationDirPath()));
        // The loaded design reaches the constructor too.
        QCOMPARE(m_program->Control<QLineEdit>("TForm3", "Edit17")->text(), openCards);
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm8"});
    }

    void cardsTakeNoClicksUntilAGameIsChosen() {
        m_program->Dialogs.OpenAnswers.push_back(QString());  // the dialog is cancelled
        m_program->Action("TForm8", "N2")->trigger();
        Click(kAceOfHearts);
        QCOMPARE(Card(kAceOfHearts)->pos(), QPoint(0, 456));
        QCOMPARE(Text("Label2"), QString("в меню \"опции\" выберете игру"));
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    void aFileThatCannotBeReadIsReportedAndKeepsTheGame() {
        SelectGame(TGameDesign{}, "игра");
        Click(kAceOfSpades);
        m_program->Dialogs.OpenAnswers.push_back(m_folder.filePath("нет такой.es1"));
        m_program->Action("TForm8", "N2")->trigger();
        QCOMPARE(m_program->Dialogs.Errors.size(), 1);
        QVERIFY2(m_program->Dialogs.Errors[0].startsWith("Cannot open file"),
                 qPrintable(m_program->Dialogs.Errors[0]));
        QCOMPARE(Text("Label2"), QString("игра"));
        QCOMPARE(Card(kAceOfSpades)->pos(), QPoint(355, 5));
    }

    void clickedCardsMoveToTheirSlots() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();

        // The dealer's one open card goes to the middle slot, the player's fill from the left.
        QCOMPARE(Card(kAceOfSpades)->pos(), QPoint(355, 5));
        const TCardId player[] = {kAceOfHearts, kAceOfClubs, kKingOfHearts, kNineOfClubs,
                                  kThreeOfDiamonds};
        for (int slot = 0; slot < 5; ++slot)
            QCOMPARE(Card(player[slot])->pos(), QPoint(209 + 73 * slot, 185));
        QCOMPARE(Text("Label1"), kNeighboursPrompt);
        QVERIFY(Button("Button1")->isVisible());
        ExpectCardsWhereTheTableHasThem();

        // Once the layout is complete a click lifts a card out of the deck, and a second one
        // puts it back.
        Click(kTwoOfSpades);
        QCOMPARE(Card(kTwoOfSpades)->pos(), QPoint(15 * 40, 414));
        QCOMPARE(Card(kTwoOfSpades)->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY(m_program->Game.Table.State().OutCards.Has(kTwoOfSpades));
        Click(kTwoOfSpades);
        QCOMPARE(Card(kTwoOfSpades)->pos(), QPoint(15 * 40, 456));
        QCOMPARE(Card(kTwoOfSpades)->cursor().shape(), Qt::UpArrowCursor);

        // A card in a slot takes no clicks.
        QVERIFY(Card(kAceOfHearts)->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(Card(kAceOfHearts)->cursor().shape(), Qt::ArrowCursor);
        Click(kAceOfHearts);
        QCOMPARE(Card(kAceOfHearts)->pos(), QPoint(209, 185));
    }

    void fixButtonTogglesCaptionAndWidthAndKeepsItsCard() {
        SelectGame(TGameDesign{}, "игра");
        QVERIFY(Button("Button11")->isHidden());
        Click(kAceOfSpades);
        QPushButton* dealerFix = Button("Button11");  // under the dealer's middle slot
        QVERIFY(dealerFix->isVisible());
        QCOMPARE(dealerFix->text(), QString("Ф"));
        QCOMPARE(dealerFix->geometry(), QRect(357, 83, 20, 20));
        const std::pair<const char*, int> toggles[] = {{"ФИКС", 69}, {"Ф", 20}, {"ФИКС", 69}};
        for (const auto& [caption, width] : toggles) {
            QTest::mouseClick(dealerFix, Qt::LeftButton);
            QCOMPARE(dealerFix->text(), QString(caption));
            QCOMPARE(dealerFix->width(), width);
        }

        Click(kAceOfHearts);
        QCOMPARE(Button("Button4")->geometry(), QRect(211, 263, 20, 20));  // the player's slot 1
        QVERIFY(m_program->Game.Table.State().DealerFixed[3]);
        m_program->Action("TForm8", "N5")->trigger();  // "новый расклад"
        QCOMPARE(Card(kAceOfSpades)->pos(), QPoint(355, 5));
        QCOMPARE(Card(kAceOfHearts)->pos(), QPoint(0, 456));
        QVERIFY(dealerFix->isVisible());
        QVERIFY(Button("Button4")->isHidden());
        QCOMPARE(Text("Label1"), QString("Выберете карты игрока"));
    }

    // The pictures of the deck fan out along the bottom, lifted and thrown-away cards stand in
    // the row above it, and cards in slots stand in their row; a marked card 15 pixels higher.
    void cardPicturesStandWhereTheirPlaceSays() {
        const TCardId id = 17;
        QCOMPARE(CardPicturePlace(id, TCardPlace::Deck()), QPoint(240, 456));
        QCOMPARE(CardPicturePlace(1, TCardPlace::Deck()), QPoint(0, 456));
        QCOMPARE(CardPicturePlace(52, TCardPlace::Deck()), QPoint(765, 456));
        QCOMPARE(CardPicturePlace(id, TCardPlace::Lifted()), QPoint(240, 414));
        QCOMPARE(CardPicturePlace(id, TCardPlace::ThrownAway()), QPoint(240, 414));
        const int lefts[] = {0, 209, 282, 355, 428, 501, 136, 100};
        for (int slot = 1; slot <= 7; ++slot) {
            QCOMPARE(CardPicturePlace(id, TCardPlace::Player(slot)), QPoint(lefts[slot], 185));
            TCardPlace marked = TCardPlace::Player(slot);
            marked.Marked = true;
            QCOMPARE(CardPicturePlace(id, marked), QPoint(lefts[slot], 170));
        }
        for (int slot = 1; slot <= 5; ++slot) {
            QCOMPARE(CardPicturePlace(id, TCardPlace::Dealer(slot)), QPoint(lefts[slot], 5));
            const QRect player = FixButtonGeometry({TPlaceKind::cpPlayer, slot}, false);
            QCOMPARE(player, QRect(lefts[slot] + 2, 263, 20, 20));
            QCOMPARE(FixButtonGeometry({TPlaceKind::cpDealer, slot}, true),
                     QRect(lefts[slot] + 2, 83, 69, 20));
        }
        QCOMPARE(CardCursor(TCardPlace::Deck()), Qt::UpArrowCursor);
        QCOMPARE(CardCursor(TCardPlace::Lifted()), Qt::SizeVerCursor);
        QCOMPARE(CardCursor(TCardPlace::ThrownAway()), Qt::ArrowCursor);
        QCOMPARE(CardCursor(TCardPlace::Player(1)), Qt::ArrowCursor);
    }

    void decisionShowsTheCandidatesInBothListsAndTheChoice() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);

        const QStringList captions = Text("Label3").split('\n');
        const QStringList values = Text("Label4").split('\n');
        QCOMPARE(captions.mid(0, 4),
                 (QStringList{"сделать пас", "забиться", "купить карту ", QString()}));
        QCOMPARE(values[0], QString("-1"));
        QVERIFY(!values[1].isEmpty() && !values[2].isEmpty() && values[3].isEmpty());
        QVERIFY(captions.mid(0, 3).contains(Text("Label1")));
        for (const char* shown : {"Label3", "Label4", "Button1", "Button2", "Button3"})
            QVERIFY2(m_program->Control("TForm8", shown)->isVisible(), shown);
        QVERIFY(!m_program->Game.Table.State().Choice1.empty());

        // The list window holds the same lists before it is opened, and a click opens it.
        QCOMPARE(m_program->Control<QLabel>("TForm13", "Label1")->text(), Text("Label3"));
        QCOMPARE(m_program->Control<QLabel>("TForm13", "Label2")->text(), Text("Label4"));
        QTest::mouseClick(m_program->Control("TForm8", "Label3"), Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm8", "TForm13"}));
    }

    void combinationsFillTheCombinationsWindow() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QTest::mouseClick(Button("Button3"), Qt::LeftButton);

        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm8", "TForm9"}));
        QCOMPARE(m_program->Control<QLabel>("TForm9", "Label1")->text(),
                 QString("РОЯЛФЛЕШИ\nСТРИТФЛЕШИ\nКАРЕ\nФУЛХАУСЫ\nФЛЕШИ\nСТРИТЫ\nТРОЙКИ\nДВЕ "
                         "ПАРЫ\nПАРЫ\nТУЗ-КОРОЛИ\nБЕЗ ИГРЫ"));
        // Every completion of the dealer's hand from the 46 unseen cards is counted once.
        const QStringList counts =
            m_program->Control<QLabel>("TForm9", "Label2")->text().split('\n');
        QCOMPARE(counts.size(), 11);
        qint64 completions = 0;
        for (const QString& count : counts) completions += count.toLongLong();
        QCOMPARE(completions, qint64{163185});
    }

    void continuingPlaysTheHandToItsResult() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        const TTableState& state = m_program->Game.Table.State();
        QCOMPARE(state.HandStage, 2);
        QVERIFY(Button("Button2")->isHidden());
        QVERIFY(Text("Label3").isEmpty());

        // Enter what the table asks for and press what it offers, as a user would.
        for (int press = 0; press < 60 && state.HandStage != 0; ++press) {
            if (Button("Button1")->isVisible()) {
                QTest::mouseClick(Button("Button1"), Qt::LeftButton);
                if (state.HandStage != 0) QTest::mouseClick(Button("Button2"), Qt::LeftButton);
            } else {
                Click(FirstCardInTheDeck());
            }
        }
        QCOMPARE(state.HandStage, 0);
        QVERIFY2(Text("Label1").startsWith("Вы "), qPrintable(Text("Label1")));
        QVERIFY(Button("Button1")->isHidden());
        QVERIFY(Button("Button2")->isHidden());
        ExpectCardsWhereTheTableHasThem();
    }

    void randomDealPlaysAHandToItsResult() {
        SelectGame(TGameDesign{}, "игра");
        for (int hand = 0; hand < 3; ++hand) {
            QTest::mouseClick(Button("Button15"), Qt::LeftButton);
            const TTableState& state = m_program->Game.Table.State();
            QCOMPARE(state.HandStage, 0);
            QCOMPARE(state.LastHandResult, state.HandResult);
            QVERIFY(state.HandResult != kHandNotSettled);
            QVERIFY2(Text("Label1").startsWith("Вы "), qPrintable(Text("Label1")));
            QVERIFY(Button("Button15")->isVisible());
            ExpectCardsWhereTheTableHasThem();
        }
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    void randomDealWithoutAGameIsRefused() {
        m_program->Action("TForm8", "N5")->trigger();  // shows "СДАТЬ СЛУЧАЙНО"
        QTest::mouseClick(Button("Button15"), Qt::LeftButton);
        QCOMPARE(m_program->Dialogs.Errors.size(), 1);
        QCOMPARE(m_program->Game.Table.State().HandStage, 0);
    }

    void aNumberThatDoesNotConvertStopsTheDecisionWithAMessage() {
        SelectGame(TGameDesign{}, "игра");
        // The exchange of four cards is valued by random draws: their number is read.
        m_program->Game.Design.SetAllows(1, TPlayerAction::paExchange4, true);
        LayOutPairOfAces();
        RetypeText(m_program->Control<QLineEdit>("TForm4", "Edit5"), "abc");
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);

        QCOMPARE(m_program->Dialogs.Errors, QStringList{"'abc' is not a valid integer value"});
        QCOMPARE(Text("Label1"), kNeighboursPrompt);
        QVERIFY(Button("Button1")->isVisible());
        QVERIFY(Button("Button2")->isHidden());
        QVERIFY(m_program->Control("TForm8", "Label3")->isHidden());
    }

    void commandsArrivingDuringADecisionAreNotStartedInsideIt() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        // The decision lets pending events through once; a random deal among them must not
        // run inside it.
        bool delivered = false;
        QTimer::singleShot(0, Button("Button15"), [&] {
            delivered = true;
            Button("Button15")->click();
            Click(kTwoOfSpades);
        });
        Button("Button1")->click();
        QVERIFY(delivered);
        const TTableState& state = m_program->Game.Table.State();
        QCOMPARE(state.HandStage, 1);
        QCOMPARE(state.HandResult, 0);
        QVERIFY(state.PlaceOf(kTwoOfSpades).InDeck());
        QVERIFY(Button("Button2")->isVisible());
    }

private:
    QLabel* Card(TCardId id) const {
        return m_program->Control<QLabel>("TForm8", QString("Image%1").arg(id));
    }
    QPushButton* Button(const char* name) const {
        return m_program->Control<QPushButton>("TForm8", name);
    }
    QString Text(const char* label) const {
        return m_program->Control<QLabel>("TForm8", label)->text();
    }
    void Click(TCardId id) const { QTest::mouseClick(Card(id), Qt::LeftButton); }

    void SelectGame(const TGameDesign& design, const QString& name) {
        const QString path = m_folder.filePath(name + ".es1");
        SaveDesignFile(design, std::filesystem::path(path.toStdU16String()));
        m_program->Dialogs.OpenAnswers.push_back(path);
        m_program->Action("TForm8", "N2")->trigger();
    }

    // A♠ for the dealer; A♥ A♣ K♥ 9♣ 3♦ for the player.
    void LayOutPairOfAces() const {
        for (TCardId id : {kAceOfSpades, kAceOfHearts, kAceOfClubs, kKingOfHearts, kNineOfClubs,
                           kThreeOfDiamonds}) {
            Click(id);
        }
    }

    TCardId FirstCardInTheDeck() const {
        for (TCardId id = 1; id <= kCards; ++id) {
            if (m_program->Game.Table.State().PlaceOf(id).InDeck()) return id;
        }
        return 0;
    }

    void ExpectCardsWhereTheTableHasThem() const {
        for (TCardId id = 1; id <= kCards; ++id) {
            const TCardPlace& place = m_program->Game.Table.State().PlaceOf(id);
            QCOMPARE(Card(id)->pos(), CardPicturePlace(id, place));
            QCOMPARE(Card(id)->cursor().shape(), CardCursor(place));
        }
    }

    std::unique_ptr<TProgram> m_program;
    QTemporaryDir m_folder;
};

int RunDecisionWindowTests(int argc, char** argv) {
    TDecisionWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "decision_window_test.moc"
