#pragma once

#include <QString>
#include <QStringList>

// The command line that switches the machine off one second from now. The
// second lets the jukebox end itself first; the system then closes whatever
// still runs. With systemd the request goes through logind ("systemctl
// poweroff"), which a user at the machine may make without a password;
// elsewhere it is the classic "shutdown -P +0".
struct PowerOffCommand {
    QString program;
    QStringList arguments;
};
PowerOffCommand power_off_command(bool systemd_running);

// Whether systemd manages this machine (the test sd_booted() makes).
bool systemd_running();

// Starts the command in the background without waiting for it; it keeps
// running after the program has ended. Returns whether it could be started.
bool request_power_off();
