#include "table/ui/decision_window.h"

#include <QMenuBar>
#include <QPushButton>

#include "app/services/clickable_label.h"
#include "app/services/controls.h"
#include "app/services/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(839, 562);

}  // namespace

TForm8::TForm8(TStudlabModel& model, IDialogs& dialogs)
    : QMainWindow(nullptr, kTitleWithoutCloseBox), m_model(model), m_dialogs(dialogs) {
    setObjectName("TForm8");
    setWindowTitle("решения по раскладам");
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);
    SetFixedClientSize(this, kClientSize);
    PaintWindow(client, kGreenBackground);
    client->setFont(CaptionFont(12));
    BuildMenu();

    m_gameName = NewLabel(client, "Label2", "в меню \"опции\" выберете игру");
    m_gameName->setGeometry(224, 136, 337, 33);
    m_gameName->setAlignment(Qt::AlignCenter);
    QFont gameFont = CaptionFont(16, true);
    gameFont.setItalic(true);
    m_gameName->setFont(gameFont);

    QPushButton* combinations =
        NewButton(client, "Button3", "комбинации", QRect(312, 120, 153, 17));
    combinations->hide();
    connect(combinations, &QPushButton::clicked, this, &TForm8::CombinationsWindowRequested);

    // The lists of candidate decisions and their values, along the right edge.
    auto* decisions = new TClickableLabel(client);
    decisions->setObjectName("Label3");
    decisions->setGeometry(kClientSize.width() - 113 - 106, 0, 113, kClientSize.height());
    decisions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(decisions, &TClickableLabel::Clicked, this, &TForm8::DecisionListRequested);
    QLabel* values = NewLabel(client, "Label4", QString());
    values->setGeometry(kClientSize.width() - 106, 0, 106, kClientSize.height());
    values->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    RefuseCloseRequests(this);
    CentreOnDesktop(this);
}

void TForm8::BuildMenu() {
    QMenu* options = menuBar()->addMenu("опции");
    options->setObjectName("N1");
    const auto item = [&](const char* name, const char* caption, auto handler) {
        QAction* action = options->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item("N2", "выбрать игру", &TForm8::SelectGame);
    item("N4", "конструктор покера", &TForm8::ConstructorRequested);
    item("N5", "новый расклад", &TForm8::NewLayout)->setShortcut(QKeySequence(Qt::Key_N));
    item("N3", "выход", &TForm8::ExitRequested);
    QAction* mo = menuBar()->addAction("MO");
    mo->setObjectName("MO1");
    connect(mo, &QAction::triggered, this, &TForm8::ProfitWindowRequested);
}

void TForm8::ShowGameName() {
    m_gameName->setText(QString::fromStdString(m_model.GameName));
}

void TForm8::SelectGame() {}

void TForm8::NewLayout() {}

}  // namespace studlab
