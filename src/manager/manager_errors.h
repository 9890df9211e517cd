#pragma once

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "platform/dialogs.h"

#include <QString>

class QWidget;

// Runs a manager-mode handler; a catalogue failure is shown in a message box
// instead of reaching the event loop. Returns false when one happened.
template <typename Handler>
bool report_catalogue_errors(AppState& state, QWidget* window, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const DatabaseError& error) {
        state.platform.dialogs->notice(window, QString::fromStdString(error.what()));
        return false;
    }
}
