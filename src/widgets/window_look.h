#pragma once

#include <QFont>
#include <QRgb>
#include <QSize>
#include <Qt>

class QLineEdit;
class QMainWindow;
class QWidget;

namespace studlab {

// Background colours of the windows.
inline constexpr QRgb kGreyBackground = qRgb(0x80, 0x80, 0x80);   // constructor windows
inline constexpr QRgb kTealBackground = qRgb(0x00, 0x80, 0x80);   // profitability, combinations
inline constexpr QRgb kGreenBackground = qRgb(0x00, 0x80, 0x00);  // decision window
inline constexpr QRgb kBlackBackground = qRgb(0x00, 0x00, 0x00);  // option dialogs, statistics

// A title bar with the caption only: no system menu, so no close box. Such windows are left
// through their own buttons and menu.
inline constexpr Qt::WindowFlags kTitleWithoutCloseBox =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// The captions' typeface. On Linux "Comic Sans MS" is served by Comic Neue (see UseComicNeue).
QFont CaptionFont(int pixelSize, bool bold = false);

// Fills the window with `background` and writes its captions in white; text fields stay black
// on white.
void PaintWindow(QWidget* window, QRgb background);

// The look of the number fields: bold black, 13 pixels.
void StyleNumberField(QLineEdit* edit);

// Gives a window with a menu a fixed border and a client area below the menu bar of exactly
// `client`.
void SetFixedClientSize(QMainWindow* window, QSize client);

// A window without a close box is left only through its buttons and menu: a close request from
// elsewhere (a window manager's key) is refused, so the user is never left without a window.
void RefuseCloseRequests(QWidget* window);

// The room a window may take on its screen's usable area once the window manager's frame (title
// bar and borders) is added around it: the frame is measured on a shown window and estimated
// before.
QSize RoomOnScreen(const QWidget* window);

// Makes the window fit its screen: a window larger than the room is made smaller, as far as its
// minimum size allows, and it is moved so that its frame lies on the usable area, title bar first.
void FitOnScreen(QWidget* window);

// Places the window, at the size it will show with, in the middle of the desktop or of `anchor`;
// a window larger than the desktop is made to fit it first.
void CentreOnDesktop(QWidget* window);
void CentreOver(QWidget* window, const QWidget* anchor);

}  // namespace studlab
