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

// Places the window, at the size it will show with, in the middle of the desktop or of `anchor`.
void CentreOnDesktop(QWidget* window);
void CentreOver(QWidget* window, const QWidget* anchor);

}  // namespace studlab
