#include "platform/power_off.h"

#include <QFileInfo>
#include <QProcess>

PowerOffCommand power_off_command(bool systemd_running) {
    const QString shutdown = systemd_running ? "systemctl poweroff" : "shutdown -P +0";
    return {"/bin/sh", {"-c", "sleep 1; exec " + shutdown}};
}

bool systemd_running() {
    return QFileInfo("/run/systemd/system").isDir();
}

bool request_power_off() {
    const PowerOffCommand command = power_off_command(systemd_running());
    return QProcess::startDetached(command.program, command.arguments);
}
