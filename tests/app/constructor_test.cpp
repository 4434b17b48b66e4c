// The constructor windows and option dialogs: every control shows and edits its own field of the
// one design, and nothing else.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "design/ui/actions_window.h"
#include "gui_test_support.h"

namespace studlab::test {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

template <class T>
struct TBound {
    const char* Window;
    const char* Control;
    std::function<T&(TGameDesign&)> Field;
};
using TBoundFlag = TBound<bool>;
using TBoundText = TBound<TNumberText>;

std::function<bool&(TGameDesign&)> Action(int stage, TPlayerAction action) {
    return [=](TGameDesign& d) -> bool& {
        return d.StageActions[static_cast<std::size_t>(stage)][static_cast<std::size_t>(action)];
    };
}
std::function<bool&(TGameDesign&)> Plays(TCombinationKind k) {
    return [=](TGameDesign& d) -> bool& { return d.Plays[k]; };
}
std::function<bool&(TGameDesign&)> Insurable(TCombinationKind k) {
    return [=](TGameDesign& d) -> bool& { return d.Insurable[k]; };
}
std::function<TNumberText&(TGameDesign&)> Buy(int stage, int cards) {
    return [=](TGameDesign& d) -> TNumberText& {
        return d.BuyCost[static_cast<std::size_t>(stage)][static_cast<std::size_t>(cards)];
    };
}
std::function<TNumberText&(TGameDesign&)> Exchange(int stage, int cards) {
    return [=](TGameDesign& d) -> TNumberText& {
        return d.ExchangeCost[static_cast<std::size_t>(stage)][static_cast<std::size_t>(cards)];
    };
}

// Every check box the user can change, and its field.
std::vector<TBoundFlag> EditableBoxes() {
    std::vector<TBoundFlag> boxes = {
        {"TForm1", "CheckBox2", Plays(ckRoyalFlush)},
        {"TForm1", "CheckBox3", Plays(ckStraightFlush)},
        {"TForm1", "CheckBox4", Plays(ckFourOfAKind)},
        {"TForm1", "CheckBox5", Plays(ckFullHouse)},
        {"TForm1", "CheckBox6", Plays(ckFlush)},
        {"TForm1", "CheckBox7", Plays(ckStraight)},
        {"TForm2", "CheckBox1", Action(1, paFold)},
        {"TForm2", "CheckBox2", Action(1, paBet)},
        {"TForm2", "CheckBox3", Action(1, paBetInsured)},
        {"TForm2", "CheckBox4", Action(1, paBuyCard)},
        {"TForm2", "CheckBox5", Action(1, paBuyTwoCards)},
        {"TForm2", "CheckBox6", Action(1, paExchange1)},
        {"TForm2", "CheckBox7", Action(1, paExchange2)},
        {"TForm2", "CheckBox8", Action(1, paExchange3)},
        {"TForm2", "CheckBox9", Action(1, paExchange4)},
        {"TForm2", "CheckBox10", Action(1, paExchange5)},
        {"TForm2", "CheckBox11", Action(2, paFold)},
        {"TForm2", "CheckBox12", Action(2, paBet)},
        {"TForm2", "CheckBox13", Action(2, paBetInsured)},
        {"TForm2", "CheckBox14", Action(2, paBuyCard)},
        {"TForm2", "CheckBox15", Action(2, paBuyTwoCards)},
        {"TForm2", "CheckBox16", Action(2, paExchange1)},
        {"TForm2", "CheckBox17", Action(2, paExchange2)},
        {"TForm2", "CheckBox18", Action(2, paExchange3)},
        {"TForm2", "CheckBox19", Action(2, paExchange4)},
        {"TForm2", "CheckBox20", Action(2, paExchange5)},
        {"TForm2", "CheckBox21", Action(2, paBuyDealerGame)},
        {"TForm2", "CheckBox22", Action(3, paFold)},
        {"TForm2", "CheckBox23", Action(3, paBet)},
        {"TForm2", "CheckBox24", Action(3, paBetInsured)},
        {"TForm2", "CheckBox25", Action(3, paBuyDealerGame)},
        {"TForm2", "CheckBox26", Action(4, paBuyDealerGame)},
        {"TForm2", "CheckBox27", [](TGameDesign& d) -> bool& { return d.DealerBuysLowest; }},
        {"TForm2", "CheckBox28", [](TGameDesign& d) -> bool& { return d.DealerBuysHighest; }},
    };
    static const std::vector<QByteArray> composites = [] {
        std::vector<QByteArray> n;
        for (int i = 12; i <= 39; ++i) n.push_back("CheckBox" + QByteArray::number(i));
        return n;
    }();
    for (int i = 0; i < kCompositeCount; ++i) {
        boxes.push_back({"TForm1", composites[static_cast<std::size_t>(i)].constData(),
                         [i](TGameDesign& d) -> bool& {
                             return d.CompositePlays[static_cast<std::size_t>(i)];
                         }});
    }
    for (int row = 1; row <= kDesignKindCount; ++row) {
        static const std::vector<QByteArray> names = [] {
            std::vector<QByteArray> n;
            for (int i = 3; i <= 13; ++i) n.push_back("CheckBox" + QByteArray::number(i));
            return n;
        }();
        boxes.push_back({"TForm3", names[static_cast<std::size_t>(row - 1)].constData(),
                         Insurable(KindAt(row))});
    }
    return boxes;
}

// Every number field the user can change, and its field.
std::vector<TBoundText> EditableFields() {
    static const std::vector<QByteArray> names = [] {
        std::vector<QByteArray> n;
        for (int i = 0; i <= 22; ++i) n.push_back("Edit" + QByteArray::number(i));
        return n;
    }();
    const auto name = [](int n) { return names[static_cast<std::size_t>(n)].constData(); };
    std::vector<TBoundText> fields;
    for (int row = 2; row <= 7; ++row) {
        const TCombinationKind k = KindAt(row);
        fields.push_back({"TForm1", name(row),
                          [k](TGameDesign& d) -> TNumberText& { return d.PayQualified[k]; }});
        fields.push_back({"TForm1", name(row + 11),
                          [k](TGameDesign& d) -> TNumberText& { return d.PayNotQualified[k]; }});
    }
    fields.push_back({"TForm3", name(2), Buy(1, 2)});
    for (int n = 1; n <= 5; ++n) fields.push_back({"TForm3", name(2 + n), Exchange(1, n)});
    fields.push_back({"TForm3", name(8), Buy(2, 1)});
    fields.push_back({"TForm3", name(9), Buy(2, 2)});
    for (int n = 1; n <= 5; ++n) fields.push_back({"TForm3", name(9 + n), Exchange(2, n)});
    fields.push_back(
        {"TForm3", name(15), [](TGameDesign& d) -> TNumberText& { return d.BetSize; }});
    fields.push_back(
        {"TForm3", name(17), [](TGameDesign& d) -> TNumberText& { return d.DealerOpenCards; }});
    return fields;
}

// The controls the constructor shows but keeps the user from changing.
const std::vector<std::pair<const char*, QStringList>>& DisabledControls() {
    static const std::vector<std::pair<const char*, QStringList>> controls = [] {
        QStringList form1{"CheckBox1",    "Edit1",        "Edit12",
                          "RadioButton1", "RadioButton2", "RadioButton3"};
        for (int n = 8; n <= 11; ++n) form1 << QString("CheckBox%1").arg(n);
        for (int n = 40; n <= 50; ++n) form1 << QString("CheckBox%1").arg(n);
        for (int n : {8, 9, 10, 11, 19, 20, 21, 22}) form1 << QString("Edit%1").arg(n);
        return std::vector<std::pair<const char*, QStringList>>{
            {"TForm1", form1}, {"TForm3", {"Edit1", "Edit16", "CheckBox1", "CheckBox2"}}};
    }();
    return controls;
}

void ClickBox(QAbstractButton* box, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(box, button, Qt::NoModifier, QPoint(7, box->height() / 2));
}

}  // namespace

class TConstructorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        for (const char* window : {"TForm1", "TForm2", "TForm3", "TForm5", "TForm6", "TForm7"}) {
            m_program->Window(window)->show();
        }
    }
    void cleanup() { m_program.reset(); }

    void everyInputControlIsEitherBoundOrDisabled() {
        std::map<QString, std::set<QString>> expected;
        for (const TBoundFlag& box : EditableBoxes()) expected[box.Window].insert(box.Control);
        for (const TBoundText& field : EditableFields())
            expected[field.Window].insert(field.Control);
        for (const auto& [window, names] : DisabledControls()) {
            for (const QString& name : names) expected[window].insert(name);
        }
        for (const auto& [window, names] : expected) {
            std::set<QString> found;
            for (QAbstractButton* button :
                 m_program->Window(window)->findChildren<QAbstractButton*>()) {
                if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
                    found.insert(button->objectName());
                }
            }
            for (QLineEdit* edit : m_program->Window(window)->findChildren<QLineEdit*>()) {
                found.insert(edit->objectName());
            }
            QCOMPARE(found, names);
        }
    }

    void freshControlsShowTheDefaults() {
        const auto text = [&](const char* window, const QString& name) {
            return m_program->Control<QLineEdit>(window, name)->text();
        };
        const QStringList qualified{"", "201", "101", "41", "15", "11", "9", "6", "4", "3", "3"};
        for (int n = 1; n <= 11; ++n) {
            QCOMPARE(text("TForm1", QString("Edit%1").arg(n)), qualified[n - 1]);
            QCOMPARE(text("TForm1", QString("Edit%1").arg(n + 11)), QString(n == 1 ? "" : "1"));
        }
        QCOMPARE(text("TForm3", "Edit1"), QString("1,2"));
        for (int n = 2; n <= 14; ++n)
            QCOMPARE(text("TForm3", QString("Edit%1").arg(n)), QString("1"));
        QCOMPARE(text("TForm3", "Edit15"), QString("2"));
        QCOMPARE(text("TForm3", "Edit16"), QString("1"));
        QCOMPARE(text("TForm3", "Edit17"), QString("1"));

        const auto checked = [&](const char* window, int first, int last) {
            QString marks;
            for (int n = first; n <= last; ++n) {
                marks += m_program->Control<QAbstractButton>(window, QString("CheckBox%1").arg(n))
                                 ->isChecked()
                             ? 'x'
                             : '.';
            }
            return marks;
        };
        QCOMPARE(checked("TForm1", 1, 11), QString(".xxxxxxxxxx"));
        QCOMPARE(checked("TForm1", 12, 50), QString(39, '.'));
        QCOMPARE(checked("TForm2", 1, 28), QString("xx.x......xx................"));
        QCOMPARE(checked("TForm3", 1, 13), QString(".xxxxxxxx...."));
        const auto chosen = [&](const char* window, int count) {
            QString marks;
            for (int n = 1; n <= count; ++n) {
                marks += m_program->Control<QRadioButton>(window, QString("RadioButton%1").arg(n))
                                 ->isChecked()
                             ? 'x'
                             : '.';
            }
            return marks;
        };
        QCOMPARE(chosen("TForm1", 3), QString("x.."));
        QCOMPARE(chosen("TForm5", 13), QString("x............"));
        QCOMPARE(chosen("TForm6", 2), QString("x."));
        QCOMPARE(chosen("TForm7", 2), QString("x."));
    }

    void checkBoxesEditOnlyTheirField() {
        for (const TBoundFlag& bound : EditableBoxes()) {
            auto* box = m_program->Control<QAbstractButton>(bound.Window, bound.Control);
            const QString where = QString(bound.Window) + " " + bound.Control;
            QVERIFY2(box && box->isEnabled(), qPrintable(where));
            TGameDesign expected = m_program->Game.Design;
            bound.Field(expected) = !bound.Field(expected);
            ClickBox(box);
            QVERIFY2(m_program->Game.Design == expected, qPrintable(where));
            QCOMPARE(box->isChecked(), bound.Field(expected));
            ClickBox(box);
            QVERIFY2(m_program->Game.Design == TGameDesign{}, qPrintable(where));
        }
    }

    void numberFieldsTakeAnyText() {
        for (const QString& typed :
             {QString("12,5"), QString("abc"), QString("-30"), QString("пять")}) {
            for (const TBoundText& bound : EditableFields()) {
                auto* edit = m_program->Control<QLineEdit>(bound.Window, bound.Control);
                const QString where = QString(bound.Window) + " " + bound.Control + " " + typed;
                QVERIFY2(edit && edit->isEnabled(), qPrintable(where));
                TGameDesign expected = m_program->Game.Design;
                bound.Field(expected) = typed.toStdString();
                RetypeText(edit, typed);
                QVERIFY2(m_program->Game.Design == expected, qPrintable(where));
            }
        }
    }

    // Window 2 says when the purchases switched on could give the player more than seven cards,
    // as the decision would refuse them.
    void purchasesBeyondSevenCardsAreFlagged() {
        QWidget* window = m_program->Window("TForm2");
        QWidget* warning = m_program->Control(window->objectName(), "Label3");
        QVERIFY(!warning->isVisible());
        auto* buyTwoLater = m_program->Control<QAbstractButton>("TForm2", "CheckBox15");
        ClickBox(buyTwoLater);  // one card at the first stage, two at the second
        QVERIFY(m_program->Game.Design.BuysTooManyCards());
        QVERIFY(warning->isVisible());
        ClickBox(m_program->Control<QAbstractButton>("TForm2", "CheckBox4"));
        QVERIFY(!warning->isVisible());
        ClickBox(m_program->Control<QAbstractButton>("TForm2", "CheckBox5"));  // two, then two
        QVERIFY(warning->isVisible());

        // A loaded design shows its own state.
        m_program->Game.Design = TGameDesign{};
        qobject_cast<TActionsWindow*>(window)->RefreshFromDesign();
        QVERIFY(!warning->isVisible());
    }

    void disabledControlsCannotBeChanged() {
        for (const auto& [window, names] : DisabledControls()) {
            for (const QString& name : names) {
                QWidget* control = m_program->Control(window, name);
                QVERIFY2(control && !control->isEnabled(), qPrintable(window + (" " + name)));
                if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                    const bool before = button->isChecked();
                    ClickBox(button);
                    QCOMPARE(button->isChecked(), before);
                } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                    const QString before = edit->text();
                    QTest::keyClicks(edit, "77");
                    QCOMPARE(edit->text(), before);
                }
            }
        }
        QVERIFY(m_program->Game.Design == TGameDesign{});
    }

    void rightButtonOpensTheWrapAroundDialogWithoutToggling() {
        for (const char* name : {"CheckBox3", "CheckBox7"}) {
            m_program->ShowOnly("TForm1");
            auto* box = m_program->Control<QCheckBox>("TForm1", name);
            QCOMPARE(box->cursor().shape(), Qt::WhatsThisCursor);
            ClickBox(box, Qt::RightButton);
            QVERIFY(m_program->Window("TForm7")->isVisible());
            QVERIFY(box->isChecked());
            QVERIFY(m_program->Game.Design == TGameDesign{});
            ClickBox(box);  // the left button still toggles
            QVERIFY(!box->isChecked());
            ClickBox(box);
        }
    }

    void optionDialogsChooseAtOnce() {
        const auto choose = [&](const char* dialog, int option) {
            ClickBox(
                m_program->Control<QRadioButton>(dialog, QString("RadioButton%1").arg(option)));
        };
        TGameDesign& design = m_program->Game.Design;
        choose("TForm5", 3);
        QCOMPARE(design.MinPair, std::optional<RankIndex>(11));  // fours
        choose("TForm5", 13);
        QCOMPARE(design.MinPair, std::optional<RankIndex>(1));  // aces
        choose("TForm6", 2);
        QVERIFY(design.MinAceKing == TMinAceKing::akWithQueen);
        choose("TForm7", 2);
        QCOMPARE(design.RoundStraight, std::optional<bool>(true));
        choose("TForm7", 1);
        QCOMPARE(design.RoundStraight, std::optional<bool>(false));
        QVERIFY(!m_program->Control<QRadioButton>("TForm7", "RadioButton2")->isChecked());
    }

    void hintsExplainTheControls() {
        const struct {
            const char* Window;
            const char* Control;
            const char* Hint;
        } hints[] = {
            {"TForm1", "GroupBox1", "все коэффициенты берутся относительно анте"},
            {"TForm1", "GroupBox2", "отметьте галочкой  комбинации которые играют"},
            {"TForm1", "GroupBox3", "отметьте галочкой правильные сочетания"},
            {"TForm1", "CheckBox2", "отметьте галочкой играющие комбинации"},
            {"TForm1", "CheckBox3", "щелкните правой кнопкой мышки если играет круговой стритфлеш"},
            {"TForm1", "CheckBox7", "щелкните правой кнопкой мышки если играет круговой стрит"},
            {"TForm1", "CheckBox10", "нажмите правую кнопку мышки и выбирете минимальную пару"},
            {"TForm1", "CheckBox11",
             "нажмите правую кнопку мышки и выберете минимального туза-короля"},
            {"TForm1", "Edit5", "оплата при игре дилера"},
            {"TForm1", "Edit16", "оплата при отсутствии игры у дилера"},
            {"TForm3", "Edit15", "размер BET"},
        };
        for (const auto& hint : hints) {
            QCOMPARE(m_program->Control(hint.Window, hint.Control)->toolTip(), QString(hint.Hint));
        }
        QCOMPARE(m_program->Window("TForm2")->toolTip(),
                 QString("отметьте галочкой все возможные решения"));
        QCOMPARE(m_program->Window("TForm3")->toolTip(),
                 QString("все затраты вводятся относительно анте"));
    }

private:
    std::unique_ptr<TProgram> m_program;
};

int RunConstructorTests(int argc, char** argv) {
    TConstructorTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "constructor_test.moc"
