// The profitability window over its model: the settings it edits, a run with its summary,
// statistics and bank, "СТОП" during a run, and errors shown without ending the program.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "design/design_file.h"
#include "gui_test_support.h"
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
        row("Button9", "стратегия игры", true, false);
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
            {"Edit6", "максимальная выплата в анте"},
            {"Edit9", "максимальная выплата в анте"}};
        for (const auto& [name, hint] : hints)
            QCOMPARE(m_program->Control("TForm4", name)->toolTip(), QString(hint));
    }

    void controlsEditTheSettings() {
        TGame& model = m_program->Game;
        RetypeText(Field("Edit4"), "25");
        RetypeText(Field("Edit5"), "300");
        RetypeText(Field("Edit7"), "-40");
        Toggle("CheckBox1");
        Toggle("CheckBox2");
        Toggle("CheckBox3");
        Toggle("RadioButton5");
        QCOMPARE(model.Profit.Settings().HandCount, std::string("25"));
        QCOMPARE(model.Profit.Settings().CycleLossLimit, std::string("-40"));
        QVERIFY(model.Profit.Settings().CyclesMode);
        QCOMPARE(model.Settings.ProbabilisticCycles, std::string("300"));
        QVERIFY(model.Settings.UseCacheTable);
        QVERIFY(model.Settings.SameSequence);
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
        for (const char* shown : {"Button2", "Button4", "Button6", "Label7", "Label8", "Label9"})
            QVERIFY2(m_program->Control("TForm4", shown)->isVisible(), shown);
        for (const char* hidden : {"Button3", "ProgressBar1", "Label10", "Label12"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
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

        // The last hand of the run lies on the decision table when the user goes there.
        QTest::mouseClick(Button("Button5"), Qt::LeftButton);
        QCOMPARE(m_program->Control<QLabel>("TForm8", "Label1")->text(),
                 LabelText(m_program->Game.Table.View().Prompt));
        QVERIFY(m_program->Control<QLabel>("TForm8", "Label1")->text().startsWith("Вы "));
    }

    void stopEndsARunBeforeItsNextHand() {
        SelectGame();
        RetypeText(Field("Edit4"), "100000");
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        int passes = 0;
        bool stopShown = false;
        profit.ProcessPendingEvents = [&] {
            if (++passes == 4) {
                stopShown = Button("Button3")->isVisible() && Button("Button2")->isHidden() &&
                            m_program->Control("TForm4", "ProgressBar1")->isVisible();
                QTest::mouseClick(Button("Button3"), Qt::LeftButton);
            }
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        QVERIFY(stopShown);
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Stopped);
        QCOMPARE(Text("Label8"), QString("3"));
        QCOMPARE(m_program->Dialogs.Beeps, 1);
        QVERIFY(Button("Button2")->isVisible());
        for (const char* hidden : {"Button3", "ProgressBar1", "Button4", "Button6", "Label6"})
            QVERIFY2(m_program->Control("TForm4", hidden)->isHidden(), hidden);
    }

    void anOpenDecisionWindowFollowsTheHandsOfARun() {
        SelectGame();
        RetypeText(Field("Edit4"), "3");
        m_program->Window("TForm8")->show();
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        QString shownBeforeHand2;
        int passes = 0;
        profit.ProcessPendingEvents = [&] {
            if (++passes == 2)
                shownBeforeHand2 = m_program->Control<QLabel>("TForm8", "Label1")->text();
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QVERIFY2(QRegularExpression("^Вы (выграли|проиграли|остались)")
                     .match(shownBeforeHand2)
                     .hasMatch(),
                 qPrintable(shownBeforeHand2));
    }

    void exitDuringARunEndsItWithoutABeep() {
        SelectGame();
        RetypeText(Field("Edit4"), "100000");
        TProfitCheck& profit = m_program->Game.Profit;
        const auto windowsPass = profit.ProcessPendingEvents;
        int passes = 0;
        profit.ProcessPendingEvents = [&] {
            if (++passes == 3) QTest::mouseClick(Button("Button8"), Qt::LeftButton);
            windowsPass();
        };
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(profit.LastRunEnd(), TRunEnd::Stopped);
        QCOMPARE(Text("Label8"), QString("2"));
        QCOMPARE(m_program->Dialogs.Beeps, 0);
        QVERIFY(m_program->VisibleWindows().isEmpty());
    }

    void aRunWithoutAGameBeepsAndWaitsForStop() {
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);
        QCOMPARE(m_program->Dialogs.Beeps, 1);
        QVERIFY(Button("Button3")->isVisible());
        QVERIFY(Button("Button2")->isHidden());
        QTest::mouseClick(Button("Button3"), Qt::LeftButton);
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(Button("Button3")->isHidden());
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    void aFieldThatIsNotANumberIsReported_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("cycles");
        QTest::addColumn<bool>("running");  // the run stopped inside, waiting for "СТОП"
        QTest::newRow("number of hands") << "Edit4" << false << false;
        QTest::newRow("cycle win target") << "Edit6" << true << true;
        QTest::newRow("whole-run loss limit") << "Edit8" << true << true;
    }
    void aFieldThatIsNotANumberIsReported() {
        QFETCH(QString, field);
        QFETCH(bool, cycles);
        QFETCH(bool, running);
        SelectGame();
        RetypeText(Field("Edit4"), "5");
        if (cycles) Toggle("CheckBox1");
        RetypeText(Field(field), "x1");
        QTest::mouseClick(Button("Button2"), Qt::LeftButton);

        QCOMPARE(m_program->Dialogs.Errors, QStringList{"'x1' is not a valid integer value"});
        QCOMPARE(Button("Button3")->isVisible(), running);
        QCOMPARE(Button("Button2")->isVisible(), !running);
        if (running) QTest::mouseClick(Button("Button3"), Qt::LeftButton);
        QVERIFY(Button("Button2")->isVisible());
        QVERIFY(Button("Button4")->isHidden());

        // The bank reads the number of hands as well.
        if (field == "Edit4") {
            m_program->Control("TForm4", "Button6")->show();
            QTest::mouseClick(Button("Button6"), Qt::LeftButton);
            QCOMPARE(m_program->Dialogs.Errors.size(), 2);
            QVERIFY(m_program->Control("TForm4", "Label10")->isHidden());
        }
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

    // The standard game, chosen in the decision window as the user would.
    void SelectGame() {
        const QString path = m_folder.filePath("стандартная игра.es1");
        SaveDesignFile(TGameDesign{}, std::filesystem::path(path.toStdU16String()));
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
