#pragma once

class QApplication;
class QPoint;
class QWidget;

// Maps the Windows font names the windows ask for ("標楷體", "細明體",
// "新細明體") to the installed AR PL Kai and Ming faces of Taiwan.
void install_font_substitutions();

// Loads Qt's own Traditional Chinese texts, so standard buttons read 是, 否, 確定, 取消.
void install_chinese_translations(QApplication& app);

// Makes a window cover its whole screen. Without a window manager
// showFullScreen() alone leaves the window small, so the geometry is set first.
void show_full_screen(QWidget& window);

// Moves the mouse pointer below the bottom edge of the screen and blanks it
// over the window, so that it never stands in the picture.
void hide_pointer(QWidget& window);

// Moves the mouse pointer to a point of the screen, in pixels.
void move_pointer(const QPoint& position);
