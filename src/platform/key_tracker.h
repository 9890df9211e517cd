#pragma once

#include <QObject>
#include <QString>

#include <array>

class QKeyEvent;

// Remembers which keys went down since the last poll, so that windows can
// ask every 20 ms which key was newly pressed, by name ("Up Arrow", "Enter",
// "+_S" for the keypad plus, "F1", "a" ...). It watches every key event of
// the application once one exists (or from watch_application()); windows
// and tests may also hand it events directly.
class KeyNameTracker : public QObject {
public:
    KeyNameTracker();

    // Installs the tracker as an event filter on the running application.
    // Does nothing when there is none yet or it is installed already.
    void watch_application();

    // Takes note of one key press or release. Auto-repeated events are
    // ignored, so a held key counts once.
    void key_event(const QKeyEvent& event);

    // The name of the key newly pressed since the previous poll, or an empty
    // text. Enter, ",", the space bar, ":", "/" and the Windows and menu keys
    // end the poll with their own name; otherwise the last pressed key in
    // polling order wins, the letter and digit keys coming last. A Caps Lock
    // press inverts caps_lock_on; letters are upper case when exactly one of
    // Caps Lock and Shift is on.
    QString read_pressed_key(bool& caps_lock_on);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keys are numbered like the virtual-key codes of PC keyboards.
    std::array<bool, 256> down_{};
    std::array<bool, 256> pressed_since_poll_{};
    bool watching_ = false;
};
