#include "widgets/window_look.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPalette>
#include <QScreen>
#include <algorithm>

namespace studlab {
namespace {

class TCloseRefusal final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The frame a window manager puts around a window that has not been shown yet: borders of
// 8 pixels and a title bar of about 32.
constexpr QSize kFrameEstimate(16, 40);

const QScreen* ScreenOf(const QWidget* window) {
    if (const QScreen* screen = window->screen()) return screen;
    return QGuiApplication::primaryScreen();
}

QSize FrameSize(const QWidget* window) {
    const QSize frame = window->frameGeometry().size() - window->size();
    if (window->isVisible() && frame.width() > 0 && frame.height() > 0) return frame;
    return frame.expandedTo(kFrameEstimate);
}

}  // namespace

QFont CaptionFont(int pixelSize, bool bold) {
    QFont font("Comic Sans MS");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void PaintWindow(QWidget* window, QRgb background) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(background));
    palette.setColor(QPalette::WindowText, Qt::white);
    // Disabled captions stay readable on the dark backgrounds.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xd0, 0xd0, 0xd0));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xe4, 0xe4, 0xe4));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0x50, 0x50));
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void StyleNumberField(QLineEdit* edit) {
    edit->setFont(CaptionFont(13, true));
}

void SetFixedClientSize(QMainWindow* window, QSize client) {
    window->centralWidget()->setFixedSize(client);
    window->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void RefuseCloseRequests(QWidget* window) {
    window->installEventFilter(new TCloseRefusal(window));
}

QSize RoomOnScreen(const QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    if (!screen) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return screen->availableGeometry().size() - FrameSize(window);
}

void FitOnScreen(QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    if (!screen) return;
    if (QLayout* layout = window->layout()) layout->activate();
    const QSize room = RoomOnScreen(window);
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    // A top-level window's position is that of its frame.
    const QRect area = screen->availableGeometry();
    const QSize frame = window->size() + FrameSize(window);
    const int x = std::max(area.left(), std::min(window->x(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(window->y(), area.bottom() + 1 - frame.height()));
    if (QPoint(x, y) != window->pos()) window->move(x, y);
}

void CentreOnDesktop(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // A window whose layout fixes its size (a menu bar above a fixed client area) has that size
    // only once the layout has run; until then it has a default size of its own.
    if (QLayout* layout = window->layout()) layout->activate();
    const QSize room = RoomOnScreen(window);
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
    FitOnScreen(window);
}

void CentreOver(QWidget* window, const QWidget* anchor) {
    QRect frame(QPoint(), window->size());
    frame.moveCenter(anchor->geometry().center());
    window->move(frame.topLeft());
}

}  // namespace studlab
