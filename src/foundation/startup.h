#pragma once

struct AppState;

// The start-up run by the main menu and by manager mode when they load:
// constants, paths, category and channel names, the settings file and the
// catalogue, in that order.
void init_system(AppState& state);
