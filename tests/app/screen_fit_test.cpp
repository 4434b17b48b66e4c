// Every window on a laptop's screen of 1366 x 768: its frame lies on the screen's usable area,
// its buttons lie inside it, and a window that may be resized can be made smaller still. CTest
// runs this suite on an offscreen screen of that size (screen_1366x768.json).
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "gui_test_support.h"

namespace studlab::test {
namespace {

constexpr QSize kSmallScreen(1366, 768);

// A window's buttons that the user can see, outside scrolled contents (a table's corner button
// scrolls with nothing and lies inside its table anyway).
QList<QAbstractButton*> VisibleButtons(QWidget* window) {
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window)) buttons << button;
    }
    return buttons;
}

QString Describe(const QRect& r) {
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

class TScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_program = std::make_unique<TProgram>();
        // Folding or betting against a dealer who shows no card: the strategy window gets its
        // grid within a second or two.
        m_program->Game.Design.DealerOpenCards = std::string("0");
        m_program->Game.Design.SetAllows(1, TPlayerAction::paBuyCard, false);
    }
    void cleanup() { m_program.reset(); }

    void theScreenIsALaptops() {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), kSmallScreen);
    }

    void everyWindowLiesOnTheScreen_data() {
        QTest::addColumn<QString>("window");
        TProgram program;
        for (QWidget* window : program.Windows.Windows())
            QTest::newRow(qPrintable(window->objectName())) << window->objectName();
    }
    void everyWindowLiesOnTheScreen() {
        QFETCH(QString, window);
        QWidget* w = m_program->Window(window);
        // The exact analysis's windows open from the profitability window, as the user opens
        // them; the strategy window waits for its grid, which widens it.
        if (window == "StrategyWindow" || window == "ReturnTableWindow") {
            m_program->ShowOnly("TForm4");
            auto* open = m_program->Control<QPushButton>(
                "TForm4", window == "StrategyWindow" ? "Button9" : "ExactReturns");
            open->show();
            QTest::mouseClick(open, Qt::LeftButton);
            if (window == "StrategyWindow") {
                QTRY_VERIFY_WITH_TIMEOUT(
                    m_program->Control<QTableWidget>(window, "StrategyGrid")->rowCount() > 0,
                    60000);
                QTRY_VERIFY_WITH_TIMEOUT(m_program->Control(window, "StrategyStop")->isHidden(),
                                         60000);
            }
        } else {
            w->show();
        }
        QVERIFY(w->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(w));

        const QRect area = w->screen()->availableGeometry();
        QVERIFY2(area.contains(w->frameGeometry()),
                 qPrintable(Describe(w->frameGeometry()) + " is not within " + Describe(area)));
        for (QAbstractButton* button : VisibleButtons(w)) {
            const QRect at(button->mapTo(w, QPoint(0, 0)), button->size());
            QVERIFY2(w->rect().contains(at),
                     qPrintable(button->objectName() + " \"" + button->text() + "\" lies at " +
                                Describe(at) + ", outside the window"));
        }
        // A window the user may resize can be made smaller than the screen: what does not fit
        // then scrolls.
        if (w->minimumSize() != w->maximumSize()) {
            const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
            QVERIFY2(least.width() < area.width() * 3 / 4 && least.height() < area.height() * 3 / 4,
                     qPrintable(QString("cannot be made smaller than %1x%2")
                                    .arg(least.width())
                                    .arg(least.height())));
        }
    }

private:
    std::unique_ptr<TProgram> m_program;
};

int RunScreenFitTests(int argc, char** argv) {
    TScreenFitTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "screen_fit_test.moc"
