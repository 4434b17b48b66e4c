// Saving and loading a design from the constructor's menu, and what the windows show afterwards.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "design/design_file.h"
#include "design/ui/design_file_commands.h"
#include "gui_test_support.h"

namespace studlab::test {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

std::filesystem::path PathOf(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

TGameDesign ReadDesign(const QString& path) {
    TGameDesign design;
    LoadDesignFile(PathOf(path), design);
    return design;
}

// A design that differs from the defaults in a field of every window and dialog.
TGameDesign UnusualDesign() {
    TGameDesign d;
    d.PayQualified[ckFlush] = TNumberText("12,5");
    d.PayNotQualified[ckStraight] = TNumberText("2");
    d.Plays[ckStraight] = false;
    d.SetAllows(1, paBuyCard, false);
    d.SetAllows(2, paBuyDealerGame, true);
    d.SetAllows(1, paExchange2, true);
    d.SetAllows(2, paBuyTwoCards, true);
    d.CompositePlays[17] = true;  // "флеш+стрит"
    d.DealerBuysLowest = true;
    d.ExchangeCost[2][3] = TNumberText("0,5");
    d.BetSize = TNumberText("3");
    d.DealerOpenCards = TNumberText("2");
    d.Insurable[ckTwoPairs] = true;
    d.MinPair = 11;
    d.MinAceKing = TMinAceKing::akWithQueen;
    d.RoundStraight = true;
    return d;
}

}  // namespace

class TDesignFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        m_program->ShowOnly("TForm1");
        QVERIFY(m_folder.isValid());
    }
    void cleanup() {
        m_program.reset();
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
    }

    void saveAppendsTheExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain name") << "game"
                                    << "game.es1";
        QTest::newRow("name with the extension") << "game.es1"
                                                 << "game.es1";
        QTest::newRow("extension in capitals") << "GAME.ES1"
                                               << "GAME.ES1";
        QTest::newRow("name with another extension") << "game.v2"
                                                     << "game.v2.es1";
        QTest::newRow("Cyrillic name with a blank") << "моя игра"
                                                    << "моя игра.es1";
    }
    void saveAppendsTheExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        RetypeText(m_program->Control<QLineEdit>("TForm1", "Edit2"), "250");
        m_program->Dialogs.SaveAnswers.push_back(m_folder.filePath(typed));
        m_program->Action("TForm1", "N2")->trigger();
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files), QStringList{written});
        QVERIFY(ReadDesign(m_folder.filePath(written)) == m_program->Game.Design);
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm1"});
        // The save dialog starts where the open dialog does and lists the design files.
        QCOMPARE(m_program->Dialogs.SaveFolder,
                 DesignFolder(QCoreApplication::applicationDirPath()));
        QCOMPARE(m_program->Dialogs.SaveFilter, QString("файлы игр (*.es1)"));
        QCOMPARE(m_program->Dialogs.SaveSuffix, QString("es1"));
    }

    // The platform's save dialog itself: it opens in the folder it is given, completes the name
    // with the extension, and asks before it replaces a file of that name.
    void saveDialogAsksBeforeReplacingTheFileItWillWrite() {
        QFile existing(m_folder.filePath("game.es1"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        TPlatformDialogs dialogs;
        const auto save = [&](const QString& typed,
                              std::optional<QMessageBox::StandardButton> answer, QString* question,
                              QString* folder) {
            QTimer::singleShot(0, [=] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                *folder = dialog->directory().absolutePath();
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
                if (answer) {
                    QTimer::singleShot(0, [=] {
                        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                        if (!box) return;
                        *question = box->text();
                        box->button(*answer)->click();
                    });
                }
                QMetaObject::invokeMethod(dialog, "accept");  // the dialog's "Сохранить"
                if (dialog->isVisible()) dialog->reject();    // the user kept the old file
            });
            return dialogs.SaveFileName(nullptr, m_folder.path(), "файлы игр (*.es1)", "es1");
        };

        QString question;
        QString folder;
        QCOMPARE(save("game", QMessageBox::No, &question, &folder), std::nullopt);
        QVERIFY2(question.contains("game.es1"), qPrintable(question));
        QCOMPARE(folder, QDir(m_folder.path()).absolutePath());
        question.clear();
        QCOMPARE(save("game", QMessageBox::Yes, &question, &folder),
                 std::optional<QString>(QDir(m_folder.path()).absoluteFilePath("game.es1")));
        QVERIFY(!question.isEmpty());
        question.clear();
        QCOMPARE(save("game.es1", QMessageBox::Yes, &question, &folder),
                 std::optional<QString>(QDir(m_folder.path()).absoluteFilePath("game.es1")));
        QVERIFY(!question.isEmpty());
        question.clear();
        QCOMPARE(save("новая", std::nullopt, &question, &folder),
                 std::optional<QString>(QDir(m_folder.path()).absoluteFilePath("новая.es1")));
        QVERIFY(question.isEmpty());
    }

    // A save that fails keeps the old file and says why: here a value longer than a line of the
    // file, put into the design past the windows.
    void failedSaveKeepsTheOldFile() {
        const QString path = m_folder.filePath("игра.es1");
        SaveDesignFile(TGameDesign{}, PathOf(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        m_program->Game.Design.BetSize = std::string(kDesignLineMaxChars + 1, '2');
        m_program->Dialogs.SaveAnswers.push_back(path);
        m_program->Action("TForm1", "N2")->trigger();

        QCOMPARE(m_program->Dialogs.Errors.size(), 1);
        QVERIFY2(m_program->Dialogs.Errors[0].contains("«общие затраты: забиться»"),
                 qPrintable(m_program->Dialogs.Errors[0]));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"игра.es1"});
    }

    // The number fields hold no more than a line of the file, so whatever they hold is saved
    // and loaded back.
    void theLongestValueAFieldHoldsIsSavedAndLoaded() {
        auto* royalFlush = m_program->Control<QLineEdit>("TForm1", "Edit2");
        royalFlush->setText(QString(kDesignLineMaxChars + 20, QChar(u'ж')));
        emit royalFlush->textEdited(royalFlush->text());
        QCOMPARE(royalFlush->text().size(), kDesignLineMaxChars);
        QCOMPARE(m_program->Control<QLineEdit>("TForm3", "Edit15")->maxLength(),
                 kDesignLineMaxChars);
        m_program->Dialogs.SaveAnswers.push_back(m_folder.filePath("длинная"));
        m_program->Action("TForm1", "N2")->trigger();
        const TGameDesign saved = m_program->Game.Design;
        royalFlush->setText("1");
        emit royalFlush->textEdited("1");
        m_program->Dialogs.OpenAnswers.push_back(m_folder.filePath("длинная.es1"));
        m_program->Action("TForm1", "N3")->trigger();
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QVERIFY(m_program->Game.Design == saved);
        QCOMPARE(royalFlush->text(), QString(kDesignLineMaxChars, QChar(u'ж')));
    }

    void cancelledSaveWritesNothing() {
        m_program->Dialogs.SaveAnswers.push_back(QString());
        m_program->Action("TForm1", "N2")->trigger();
        QVERIFY(QDir(m_folder.path()).isEmpty());
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
    }

    void failedSaveIsShownAndChangesNothing() {
        m_program->Dialogs.SaveAnswers.push_back(m_folder.filePath("missing/game"));
        m_program->Action("TForm1", "N2")->trigger();
        QCOMPARE(m_program->Dialogs.Errors.size(), 1);
        QVERIFY2(m_program->Dialogs.Errors[0].startsWith("Не удалось сохранить файл «" +
                                                         m_folder.filePath("missing/game.es1")),
                 qPrintable(m_program->Dialogs.Errors[0]));
        QVERIFY(m_program->Game.Design == TGameDesign{});
    }

    void loadShowsTheDesignInEveryWindow() {
        const QString path = m_folder.filePath("вариант.es1");
        SaveDesignFile(UnusualDesign(), PathOf(path));
        m_program->Dialogs.OpenAnswers.push_back(path);
        m_program->Action("TForm1", "N3")->trigger();

        QVERIFY(m_program->Game.Design == UnusualDesign());
        QCOMPARE(m_program->Game.Table.GameName(), std::optional<std::string>("вариант"));
        const auto text = [&](const char* window, const char* name) {
            return m_program->Control<QLineEdit>(window, name)->text();
        };
        const auto checked = [&](const char* window, const char* name) {
            return m_program->Control<QAbstractButton>(window, name)->isChecked();
        };
        QCOMPARE(text("TForm1", "Edit6"), QString("12,5"));
        QCOMPARE(text("TForm1", "Edit18"), QString("2"));
        QVERIFY(!checked("TForm1", "CheckBox7"));
        QVERIFY(!checked("TForm2", "CheckBox4"));
        QVERIFY(checked("TForm2", "CheckBox21"));
        QVERIFY(checked("TForm2", "CheckBox27"));
        QVERIFY(checked("TForm2", "CheckBox7"));
        QVERIFY(checked("TForm2", "CheckBox15"));
        QVERIFY(!checked("TForm2", "CheckBox16"));
        QVERIFY(checked("TForm1", "CheckBox29"));
        QVERIFY(!checked("TForm1", "CheckBox30"));
        QCOMPARE(text("TForm3", "Edit12"), QString("0,5"));
        QCOMPARE(text("TForm3", "Edit15"), QString("3"));
        QCOMPARE(text("TForm3", "Edit17"), QString("2"));
        QVERIFY(checked("TForm3", "CheckBox11"));
        QVERIFY(checked("TForm5", "RadioButton3"));
        QVERIFY(!checked("TForm5", "RadioButton1"));
        QVERIFY(checked("TForm6", "RadioButton2"));
        QVERIFY(checked("TForm7", "RadioButton2"));
        QCOMPARE(m_program->Control<QLabel>("TForm8", "Label2")->text(), QString("вариант"));
        QCOMPARE(m_program->VisibleWindows(), QStringList{"TForm1"});
    }

    void optionGroupsLeftEmptyByAFileShowNoChoice() {
        // A file whose option lines all read "NO" leaves every group without a choice.
        const QString full = m_folder.filePath("full.es1");
        SaveDesignFile(TGameDesign{}, PathOf(full));
        QFile file(full);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        for (int line = 131; line <= 150; ++line) lines[line - 1] = "NO\r";
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();

        m_program->Dialogs.OpenAnswers.push_back(full);
        m_program->Action("TForm1", "N3")->trigger();
        QVERIFY(m_program->Dialogs.Errors.isEmpty());
        QVERIFY(!m_program->Game.Design.MinPair.has_value());
        for (const auto& [dialog, options] : {std::pair{"TForm5", 13}, std::pair{"TForm6", 2},
                                              std::pair{"TForm7", 2}, std::pair{"TForm1", 3}}) {
            for (int n = 1; n <= options; ++n) {
                QVERIFY2(!m_program->Control<QRadioButton>(dialog, QString("RadioButton%1").arg(n))
                              ->isChecked(),
                         dialog);
            }
        }
    }

    // A file that cannot be a design file is refused by name and first bad line, from the
    // constructor and from the decision window alike; the design and the game stay.
    void aFileThatIsNoDesignFileIsRefused() {
        const QString path = m_folder.filePath("шум.es1");
        QFile noise(path);
        QVERIFY(noise.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4096; ++i) noise.putChar(static_cast<char>((i * 7919 + 13) % 256));
        noise.close();
        RetypeText(m_program->Control<QLineEdit>("TForm1", "Edit2"), "250");
        const TGameDesign before = m_program->Game.Design;

        m_program->Dialogs.OpenAnswers = {path, path};
        m_program->Action("TForm1", "N3")->trigger();
        m_program->Action("TForm8", "N2")->trigger();
        QCOMPARE(m_program->Dialogs.Errors.size(), 2);
        for (const QString& error : m_program->Dialogs.Errors) {
            QVERIFY2(error.startsWith("Файл «" + path + "» — не файл конструкции игры: строка "),
                     qPrintable(error));
        }
        QVERIFY(m_program->Game.Design == before);
        QCOMPARE(m_program->Control<QLineEdit>("TForm1", "Edit2")->text(), QString("250"));
        QVERIFY(!m_program->Game.Table.GameChosen());
    }

    void cancelledOrFailedLoadChangesNothing() {
        RetypeText(m_program->Control<QLineEdit>("TForm1", "Edit2"), "7");
        const TGameDesign before = m_program->Game.Design;
        m_program->Dialogs.OpenAnswers = {QString(), m_folder.filePath("nowhere.es1"),
                                          m_folder.path()};
        for (int attempt = 0; attempt < 3; ++attempt) m_program->Action("TForm1", "N3")->trigger();

        QVERIFY(m_program->Game.Design == before);
        QCOMPARE(m_program->Control<QLineEdit>("TForm1", "Edit2")->text(), QString("7"));
        QVERIFY(!m_program->Game.Table.GameChosen());
        QCOMPARE(m_program->Control<QLabel>("TForm8", "Label2")->text(),
                 QString("в меню \"опции\" выберете игру"));
        QCOMPARE(m_program->Dialogs.Errors.size(), 2);
        for (const QString& error : m_program->Dialogs.Errors)
            QVERIFY2(error.startsWith("Не удалось открыть файл"), qPrintable(error));
    }

    void openDialogListsDesignFilesOfTheGamesFolder() {
        m_program->Action("TForm1", "N3")->trigger();
        QCOMPARE(m_program->Dialogs.OpenFilter, QString("файлы игр (*.es1)"));
        QCOMPARE(m_program->Dialogs.OpenFolder,
                 DesignFolder(QCoreApplication::applicationDirPath()));

        QCOMPARE(DesignFolder(m_folder.path()), QDir::homePath());
        QVERIFY(QDir(m_folder.path()).mkdir("варианты игр"));
        QCOMPARE(DesignFolder(m_folder.path()), m_folder.filePath("варианты игр"));
    }

    void newUserEditsSavesAndLoadsAPayout() {
        m_program->ShowOnly("TForm12");
        QTest::mouseClick(m_program->Control<QLabel>("TForm12", "Image1"), Qt::LeftButton);
        auto* royalFlush = m_program->Control<QLineEdit>("TForm1", "Edit2");
        RetypeText(royalFlush, "250");
        m_program->Dialogs.SaveAnswers.push_back(m_folder.filePath("моя игра"));
        m_program->Action("TForm1", "N2")->trigger();
        RetypeText(royalFlush, "7");
        m_program->Dialogs.OpenAnswers.push_back(m_folder.filePath("моя игра.es1"));
        m_program->Action("TForm1", "N3")->trigger();

        QCOMPARE(royalFlush->text(), QString("250"));
        QCOMPARE(m_program->Game.Design.PayQualified[ckRoyalFlush], std::string("250"));
        m_program->Action("TForm1", "N4")->trigger();
        QCOMPARE(m_program->Control<QLabel>("TForm8", "Label2")->text(), QString("моя игра"));
        QCOMPARE(m_program->Dialogs.UnansweredDialogs, 0);
    }

    void exampleDesignsAreWhatTheirNamesSay() {
        const QDir examples(QString::fromUtf8(STUDLAB_ASSETS_DIR "/варианты игр"));
        QCOMPARE(
            examples.entryList({"*.es1"}, QDir::Files, QDir::Name),
            (QStringList{"две комбинации, покупка и обмен.es1", "две открытые карты дилера.es1",
                         "круговой стрит.es1", "минимальная пара четверок.es1",
                         "стандартная игра.es1", "страховка и покупка игры дилеру.es1"}));
        QVERIFY(ReadDesign(examples.filePath("стандартная игра.es1")) == TGameDesign{});

        TGameDesign twoOpen;
        twoOpen.DealerOpenCards = TNumberText("2");
        QVERIFY(ReadDesign(examples.filePath("две открытые карты дилера.es1")) == twoOpen);

        TGameDesign fours;
        fours.MinPair = 11;
        QVERIFY(ReadDesign(examples.filePath("минимальная пара четверок.es1")) == fours);

        TGameDesign insured;
        insured.SetAllows(1, paBetInsured, true);
        insured.SetAllows(2, paBetInsured, true);
        insured.SetAllows(2, paBuyDealerGame, true);
        const TGameDesign loaded =
            ReadDesign(examples.filePath("страховка и покупка игры дилеру.es1"));
        QVERIFY(loaded == insured);
        QVERIFY(!loaded.BuysTooManyCards());

        TGameDesign round;
        round.RoundStraight = true;
        QVERIFY(ReadDesign(examples.filePath("круговой стрит.es1")) == round);

        // Fold, bet, insure, buy a sixth card or exchange any number of cards, buy the dealer a
        // game, and two combinations paid.
        TGameDesign family = insured;
        for (TPlayerAction a : {paExchange1, paExchange2, paExchange3, paExchange4, paExchange5}) {
            family.SetAllows(1, a, true);
        }
        family.CompositePlays.fill(true);
        const TGameDesign familyLoaded =
            ReadDesign(examples.filePath("две комбинации, покупка и обмен.es1"));
        QVERIFY(familyLoaded == family);
        QVERIFY(!familyLoaded.BuysTooManyCards());
    }

private:
    std::unique_ptr<TProgram> m_program;
    QTemporaryDir m_folder;
};

int RunDesignFileTests(int argc, char** argv) {
    TDesignFileTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "design_file_commands_test.moc"
