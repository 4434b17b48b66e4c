// The decision window over its table: choosing a game, laying out a hand by clicking cards,
// deciding, continuing, the random deal, fix buttons and the two list windows.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

#include "design/design_file.h"
#include "design/ui/design_file_commands.h"
#include "gui_test_support.h"
#include "table/cache/decision_cache.h"
#include "table/first_choices.h"
#include "table/ui/decision_window.h"
#include "table/ui/table_geometry.h"
#include "text/number_text.h"
#include "widgets/card_pictures.h"

namespace studlab::test {
namespace {

// A strategy for every design that bets with every first layout.
class TAlwaysBet final : public IFirstChoices, public IStrategies {
public:
    std::optional<std::string_view> FirstChoice(TCardTable, TCardTable) const override {
        return "2";
    }
    const IFirstChoices* For(const std::string&) const override { return this; }
};

// Cards by their picture: ids run A, 2 .. 10, J, Q, K through "черви", "треф", "буби", "пик".
constexpr TCardId kAceOfHearts = 1;
constexpr TCardId kTwoOfHearts = 2;
constexpr TCardId kThreeOfHearts = 3;
constexpr TCardId kFiveOfHearts = 5;
constexpr TCardId kNineOfHearts = 9;
constexpr TCardId kJackOfHearts = 11;
constexpr TCardId kKingOfHearts = 13;
constexpr TCardId kAceOfClubs = 14;
constexpr TCardId kSevenOfClubs = 20;
constexpr TCardId kNineOfClubs = 22;
constexpr TCardId kEightOfHearts = 8;
constexpr TCardId kThreeOfDiamonds = 29;
constexpr TCardId kEightOfDiamonds = 34;
constexpr TCardId kQueenOfDiamonds = 38;
constexpr TCardId kNineOfSpades = 48;
constexpr TCardId kTenOfSpades = 49;
constexpr TCardId kAceOfSpades = 40;
constexpr TCardId kTwoOfSpades = 41;
constexpr TCardId kKingOfSpades = 52;

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
        QVERIFY2(m_program->Dialogs.Errors[0].startsWith("Не удалось открыть файл"),
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
        QCOMPARE(captions, (QStringList{"сделать пас", "забиться", "купить карту "}));
        QCOMPARE(values.size(), 3);
        QCOMPARE(values[0], QString("-1"));
        QVERIFY(!values[1].isEmpty() && !values[2].isEmpty());
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

    // A game loaded in the constructor lays out no hand: the window says how to begin, and
    // "новый расклад" opens the table to clicks on cards.
    void aGameLoadedInTheConstructorSaysHowToBegin() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath("игра.es1");
        SaveDesignFile(TGameDesign{}, std::filesystem::path(path.toStdU16String()));
        m_program->Dialogs.OpenAnswers << path;
        m_program->ShowOnly("TForm1");
        m_program->Action("TForm1", "N3")->trigger();  // "загрузить конструкцию"
        m_program->Action("TForm1", "N4")->trigger();  // "тренинг по раскладам"
        QCOMPARE(Text("Label1"), QString("Игра выбрана: нажмите «новый расклад» (клавиша N), "
                                         "затем кладите карты щелчками."));
        m_program->Action("TForm8", "N5")->trigger();
        QVERIFY(!Text("Label1").startsWith("Игра выбрана"));
        QVERIFY(m_program->Game.Table.EntryOpen());
    }

    // The valuation's caption lies clear of every dealer's slot, also with five open cards.
    void theValuationCaptionLeavesTheDealersCardsFree() {
        auto* caption = m_program->Control<QLabel>("TForm8", "Label6");
        QVERIFY(caption->heightForWidth(caption->width()) <= caption->height());
        for (int slot = 1; slot <= kDealerSlots; ++slot) {
            const QRect card(CardPicturePlace(1, TCardPlace{TPlaceKind::cpDealer, slot}),
                             kCardPictureSize);
            QVERIFY2(!caption->geometry().intersects(card), qPrintable(QString::number(slot)));
        }
    }

    void combinationsFillTheCombinationsWindow() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QTest::mouseClick(Button("Button3"), Qt::LeftButton);

        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm8", "TForm9"}));
        // Headings above the columns say what the counts are.
        QCOMPARE(m_program->Control<QLabel>("TForm9", "Heading1")->text(),
                 QString("комбинация дилера"));
        QCOMPARE(m_program->Control<QLabel>("TForm9", "Heading2")->text(),
                 QString("сколько раз выходит"));
        QVERIFY(m_program->Control<QLabel>("TForm9", "Heading1")->geometry().bottom() <
                m_program->Control<QLabel>("TForm9", "Label1")->geometry().top());
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

    // The message names the field where the text stands, in the window the user typed it in.
    void aNumberThatDoesNotConvertStopsTheDecisionWithAMessage_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("cycles") << "TForm4"
                                << "Edit5"
                                << "abc"
                                << "В поле «вероятностный метод: количество циклов» (окно "
                                   "«проверка выгодности игры») стоит «abc», а нужно целое число";
        QTest::newRow("payout") << "TForm1"
                                << "Edit6"
                                << "abc"
                                << "В поле «флеш: оплата при игре дилера» (конструктор, окно 1; "
                                   "строка 6 файла конструкции) стоит «abc», а нужно число, "
                                   "например 1,5";
        QTest::newRow("too large a payout")
            << "TForm1"
            << "Edit6"
            << "1E39"
            << "В поле «флеш: оплата при игре дилера» (конструктор, окно 1; строка 6 файла "
               "конструкции) стоит «1E39»: выплаты и цены не могут превышать 1000000000 анте";
    }
    void aNumberThatDoesNotConvertStopsTheDecisionWithAMessage() {
        QFETCH(QString, window);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        SelectGame(TGameDesign{}, "игра");
        // The exchange of four cards is valued by random draws: their number is read.
        m_program->Game.Design.SetAllows(1, TPlayerAction::paExchange4, true);
        LayOutPairOfAces();
        RetypeText(m_program->Control<QLineEdit>(window, field), text);
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);

        QCOMPARE(m_program->Dialogs.Errors, QStringList{message});
        QCOMPARE(Text("Label1"), kNeighboursPrompt);
        QVERIFY(Button("Button1")->isVisible());
        QVERIFY(Button("Button2")->isHidden());
        QVERIFY(m_program->Control("TForm8", "Label3")->isHidden());
    }

    // The standard game with insurance at its second stage, after a bought card: every caption
    // and value of the lists stands whole beside the other, in a readable size, right of the
    // slots and above the prompt; the amounts show at most four decimals while the table keeps
    // them as computed; the lists say that a click opens the list window, which shows them
    // whole as well.
    void candidateListsShowEveryCaptionAndValueWhole() {
        TGameDesign design = InsuredGameBuyingFirst();
        SelectGame(design, "страховка");
        PlayToTheSecondDecision();
        const TTableState& state = m_program->Game.Table.State();
        QCOMPARE(state.HandStage, 2);
        QCOMPARE(state.Candidates.Slot(1).Value, std::string("-2,20000004768372"));

        const QStringList captions = Text("Label3").split('\n');
        const QStringList values = Text("Label4").split('\n');
        QCOMPARE(captions, (QStringList{"сделать пас", "забиться", "забиться со страховкой"}));
        QCOMPARE(values.size(), captions.size());
        QCOMPARE(values[0], QString("-2,2"));
        const QRegularExpression amount("^-?\\d+(,\\d{1,4})?$");
        for (int i = 0; i < values.size(); ++i) {
            QVERIFY2(amount.match(values[i]).hasMatch(), qPrintable(values[i]));
            QCOMPARE(values[i].toStdString(), FormatAmountText(state.Candidates.Slot(i + 1).Value));
        }

        auto* list = m_program->Control<QLabel>("TForm8", "Label3");
        auto* amounts = m_program->Control<QLabel>("TForm8", "Label4");
        ExpectWhole(list);
        ExpectWhole(amounts);
        QVERIFY(list->font().pixelSize() >= 12);
        QCOMPARE(amounts->font(), list->font());
        QCOMPARE(amounts->geometry().top(), list->geometry().top());
        QVERIFY(list->geometry().right() < amounts->geometry().left());
        const QRect lists = list->geometry().united(amounts->geometry());
        QVERIFY(lists.left() >= kSlotLeft[5] + kCardPictureSize.width());  // right of the slots
        QVERIFY(lists.right() < 839);
        QVERIFY(lists.bottom() < m_program->Control("TForm8", "Label1")->geometry().top());

        auto* hint = m_program->Control<QLabel>("TForm8", "Label5");
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QString("щёлкните, чтобы открыть весь список"));
        ExpectWhole(hint);
        QCOMPARE(list->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(hint, Qt::LeftButton);
        QCOMPARE(m_program->VisibleWindows(), (QStringList{"TForm8", "TForm13"}));

        auto* fullList = m_program->Control<QLabel>("TForm13", "Label1");
        auto* fullValues = m_program->Control<QLabel>("TForm13", "Label2");
        QCOMPARE(fullList->text(), Text("Label3"));
        QCOMPARE(fullValues->text(), Text("Label4"));
        ExpectWhole(fullList);
        ExpectWhole(fullValues);
        QVERIFY(fullList->geometry().right() < fullValues->geometry().left());
    }

    // A long caption (a design with exchanges, which only scripts can make) still stands whole
    // in the list window, its value beside it.
    void listWindowMakesRoomForLongCaptions() {
        TTableView& view = m_program->Game.Table.View();
        view.DecisionListCaptions = "поменять все, кроме 10 пик и 10 черви\rсделать пас\r\r";
        view.DecisionListValues = "-0,123456789\r-1\r\r";
        qobject_cast<TDecisionWindow*>(m_program->Window("TForm8"))->Render();
        auto* fullList = m_program->Control<QLabel>("TForm13", "Label1");
        auto* fullValues = m_program->Control<QLabel>("TForm13", "Label2");
        QCOMPARE(fullList->text(), QString("поменять все, кроме 10 пик и 10 черви\nсделать пас"));
        QCOMPARE(fullValues->text(), QString("-0,1235\n-1"));
        ExpectWhole(fullList);
        ExpectWhole(fullValues);
        QVERIFY(fullList->geometry().right() < fullValues->geometry().left());
        QWidget* window = m_program->Window("TForm13");
        QVERIFY(window->width() >= fullValues->geometry().right());
    }

    // A fold after a bought card loses the ante and the card's price, which single precision
    // holds as 2,20000004768372: the result line shows 2,2.
    void resultLineShowsAtMostFourDecimals() {
        TGameDesign design = InsuredGameBuyingFirst();
        design.SetAllows(2, TPlayerAction::paBet, false);
        design.SetAllows(2, TPlayerAction::paBetInsured, false);
        SelectGame(design, "пас");
        PlayToTheSecondDecision();
        QCOMPARE(Text("Label1"), QString("сделать пас"));
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        QCOMPARE(Text("Label1"), QString("Вы проиграли  2,2 анте"));
    }

    // Once a hand is settled, "новый расклад" is a button as well as a menu item and the key N.
    void newLayoutIsAButtonOnceTheHandIsSettled() {
        QPushButton* newLayout = Button("Button16");
        QVERIFY(newLayout);
        QVERIFY(newLayout->isHidden());
        SelectGame(TGameDesign{}, "игра");
        QVERIFY(newLayout->isHidden());
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QVERIFY(newLayout->isHidden());

        QTest::mouseClick(Button("Button15"), Qt::LeftButton);
        QCOMPARE(m_program->Game.Table.State().HandStage, 0);
        QVERIFY(newLayout->isVisible());
        QCOMPARE(newLayout->text(), QString("новый расклад"));
        for (QPushButton* other : m_program->Window("TForm8")->findChildren<QPushButton*>()) {
            if (other != newLayout && other->isVisible())
                QVERIFY2(!other->geometry().intersects(newLayout->geometry()),
                         qPrintable(other->objectName()));
        }
        QTest::mouseClick(newLayout, Qt::LeftButton);
        QCOMPARE(m_program->Game.Table.State().HandStage, 1);
        QCOMPARE(Text("Label1"), QString("Выберете карту дилера"));
        QVERIFY(newLayout->isHidden());
        for (TCardId id = 1; id <= kCards; ++id)
            QVERIFY(m_program->Game.Table.State().PlaceOf(id).InDeck());
        QCOMPARE(m_program->Action("TForm8", "N5")->shortcut(), QKeySequence(Qt::Key_N));
    }

    // A cancelled "выбрать игру" changes nothing: the hand stays as it was.
    void cancelledGameSelectionKeepsTheHand() {
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        const TTableState state = m_program->Game.Table.State();
        const TTableView view = m_program->Game.Table.View();
        const QString prompt = Text("Label1");

        m_program->Dialogs.OpenAnswers.push_back(QString());  // the dialog is cancelled
        m_program->Action("TForm8", "N2")->trigger();
        QVERIFY(m_program->Game.Table.State() == state);
        QVERIFY(m_program->Game.Table.View() == view);
        QCOMPARE(Text("Label1"), prompt);
        QCOMPARE(Text("Label2"), QString("игра"));
        QVERIFY(Button("Button2")->isVisible());
        ExpectCardsWhereTheTableHasThem();
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
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

    // Dealer 8♥, player 10♠ A♣ 9♠ 8♦ Q♦ in the standard game. Valued as a bet after every card
    // that may arrive, buying is worth -1 and the fold keeps its earlier slot; valued by the best
    // decision after each card, buying is worth -0,9737 and chosen. The menu's item and the
    // profitability window's check box show and change the one setting, and the window says
    // which valuation is in force.
    void lookAheadMakesBuyingTheChoiceAndShowsWhichValuationHolds() {
        SelectGame(TGameDesign{}, "игра");
        QAction* lookAhead = m_program->Action("TForm8", "N6");
        QVERIFY(lookAhead);
        QCOMPARE(lookAhead->text(), QString("с учётом решения после прикупа"));
        QVERIFY(lookAhead->isCheckable());
        QVERIFY(!lookAhead->isChecked());
        auto* valuation = m_program->Control<QLabel>("TForm8", "Label6");
        QVERIFY(valuation->isVisible());
        QCOMPARE(valuation->text(), QString("оценка: ставка после прикупа"));
        LayOutBuyingOnlyWithLookAhead();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(ValueOf("купить карту "), QString("-1"));
        QCOMPARE(Text("Label1"), QString("сделать пас"));

        lookAhead->trigger();
        QVERIFY(m_program->Game.Settings.LookAhead);
        QVERIFY(lookAhead->isChecked());
        QCOMPARE(valuation->text(), QString("оценка: с учётом решения после прикупа"));
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(ValueOf("купить карту "), QString("-0,9737"));
        QCOMPARE(Text("Label1"), QString("купить карту "));
        QCOMPARE(m_program->Game.Table.State().Choice1, std::string("4"));

        // The profitability window's parameters show the same setting, and switch it for both.
        m_program->ShowOnly("TForm4");
        auto* box = m_program->Control<QCheckBox>("TForm4", "CheckBox20");
        QVERIFY(box);
        QCOMPARE(box->text(), QString("с учётом решения после прикупа"));
        QCOMPARE(box->parentWidget()->objectName(), QString("GroupBox2"));
        QVERIFY(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(7, box->height() / 2));
        QVERIFY(!m_program->Game.Settings.LookAhead);
        m_program->ShowOnly("TForm8");
        QVERIFY(!lookAhead->isChecked());
        QCOMPARE(valuation->text(), QString("оценка: ставка после прикупа"));
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(Text("Label1"), QString("сделать пас"));
        // The menu's change reaches a profitability window already on screen.
        m_program->Window("TForm4")->show();
        lookAhead->trigger();
        QVERIFY(box->isChecked());
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    // A first decision taken from the design's strategy is marked after the choice and lists the
    // choice alone, without a value; the mark goes when the hand goes on.
    void aDecisionFromTheStrategyIsMarked() {
        SelectGame(TGameDesign{}, "игра");
        m_program->Game.Table.Hand().SetStrategies(std::make_shared<TAlwaysBet>());
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(Text("Label1"), QString("забиться (из стратегии)"));
        QVERIFY2(!Text("Label4").contains(QRegularExpression("[0-9]")), qPrintable(Text("Label4")));
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY2(!Text("Label1").contains("из стратегии"), qPrintable(Text("Label1")));
    }

    // A decision the game's table served is marked after the choice, as long as the prompt
    // shows it; a decision computed is not, nor is one of other settings, whose rows are apart.
    void aDecisionServedFromTheTableIsMarked() {
        UseCacheFolder();
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        const QString choice = Text("Label1");
        QVERIFY(!choice.isEmpty());
        QVERIFY2(!choice.contains("из таблицы"), qPrintable(choice));
        const QString captions = Text("Label3");
        const QString values = Text("Label4");

        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QVERIFY(m_program->Game.Table.View().FromCache);
        QCOMPARE(Text("Label1"), choice + " (из таблицы)");
        QCOMPARE(Text("Label3"), captions);
        QCOMPARE(Text("Label4"), values);
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);  // the hand goes on: no mark
        QVERIFY2(!Text("Label1").contains("из таблицы"), qPrintable(Text("Label1")));

        // The same cards under the other valuation are computed, then served.
        m_program->Action("TForm8", "N5")->trigger();
        LayOutPairOfAces();
        m_program->Action("TForm8", "N6")->trigger();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(Text("Label1"), choice);
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(Text("Label1"), choice + " (из таблицы)");

        // Random hands dealt again are served decision by decision; the result is marked when
        // the last decision settled the hand, not when a fold ended it in the continuation.
        int folded = 0;
        for (std::uint64_t hand = 1; hand <= 8; ++hand) {
            for (const bool again : {false, true}) {
                m_program->Game.Table.SetHandStream(2024, hand);
                QTest::mouseClick(Button("Button15"), Qt::LeftButton);
                const TTableState& state = m_program->Game.Table.State();
                QVERIFY2(Text("Label1").startsWith("Вы "), qPrintable(Text("Label1")));
                QCOMPARE(Text("Label1").endsWith(" (из таблицы)"), again && !state.HandFolded);
                folded += again && state.HandFolded ? 1 : 0;
            }
        }
        QVERIFY(folded > 0 && folded < 8);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QVERIFY(m_program->Dialogs.Notices.isEmpty());
    }

    // A games folder the program may not write: stored rows would still be served, every other
    // decision is computed and shown, and the window says once that it is not stored.
    void decisionsThatCannotBeStoredAreShownAndSaidOnce() {
        UseCacheFolder();
        m_program->Game.Table.Cache().SetWriteCheck(
            [](const std::filesystem::path&) { return false; });
        SelectGame(TGameDesign{}, "игра");
        LayOutPairOfAces();
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QCOMPARE(m_program->Dialogs.Notices.size(), 1);
        QVERIFY2(m_program->Dialogs.Notices[0].startsWith("Новые решения не сохраняются в кэше"),
                 qPrintable(m_program->Dialogs.Notices[0]));
        const QString choice = Text("Label1");
        QVERIFY((QStringList{"сделать пас", "забиться", "купить карту "}.contains(choice)));
        QVERIFY(Button("Button2")->isVisible());

        QTest::mouseClick(Button("Button1"), Qt::LeftButton);  // computed again, not served
        QCOMPARE(Text("Label1"), choice);
        for (int hand = 0; hand < 3; ++hand) QTest::mouseClick(Button("Button15"), Qt::LeftButton);
        QCOMPARE(m_program->Dialogs.Notices.size(), 1);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
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

    // The standard game with the insured bet at both stages, where the first decision can only
    // buy a card.
    static TGameDesign InsuredGameBuyingFirst() {
        TGameDesign design;
        design.SetAllows(1, TPlayerAction::paFold, false);
        design.SetAllows(1, TPlayerAction::paBet, false);
        design.SetAllows(1, TPlayerAction::paBetInsured, true);
        design.SetAllows(2, TPlayerAction::paBetInsured, true);
        return design;
    }

    // K♠ for the dealer; 2♥ 5♥ 9♥ J♥ 7♣ for the player, who buys the 3♥ and decides again.
    void PlayToTheSecondDecision() {
        for (TCardId id : {kKingOfSpades, kTwoOfHearts, kFiveOfHearts, kNineOfHearts, kJackOfHearts,
                           kSevenOfClubs})
            Click(id);
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
        QCOMPARE(Text("Label1"), QString("купить карту "));
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        Click(kThreeOfHearts);
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
    }

    // Every line of the label fits its width in its own font: nothing is cut off.
    static void ExpectWhole(const QLabel* label) {
        const QFontMetrics metrics(label->font());
        for (const QString& line : label->text().split('\n')) {
            QVERIFY2(metrics.horizontalAdvance(line) <= label->contentsRect().width(),
                     qPrintable(label->objectName() + ": " + line));
        }
        QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(label->objectName()));
    }

    // The value the lists show beside `caption`; empty when it is not listed.
    QString ValueOf(const QString& caption) const {
        const QStringList captions = Text("Label3").split('\n');
        const QStringList values = Text("Label4").split('\n');
        const qsizetype line = captions.indexOf(caption);
        return line >= 0 && line < values.size() ? values[line] : QString();
    }

    // The decision caches in a folder "Games" of the test function's own, the cache switched on.
    void UseCacheFolder() {
        const QString games = m_folder.filePath(QString(QTest::currentTestFunction()) + "/Games");
        QVERIFY(QDir().mkpath(games));
        m_program->Game.Table.Cache().SetGamesDir(std::filesystem::path(games.toStdU16String()));
        m_program->Game.Settings.UseCacheTable = true;
    }

    // 8♥ for the dealer; 10♠ A♣ 9♠ 8♦ Q♦ for the player.
    void LayOutBuyingOnlyWithLookAhead() const {
        for (TCardId id : {kEightOfHearts, kTenOfSpades, kAceOfClubs, kNineOfSpades,
                           kEightOfDiamonds, kQueenOfDiamonds}) {
            Click(id);
        }
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
