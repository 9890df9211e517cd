#include "manager/manager_menu.h"

#include "foundation/app_state.h"
#include "foundation/startup.h"

#include <QVBoxLayout>

manager_menu::manager_menu(AppState& state, QWidget* parent)
    : QDialog(parent), Command1("回主目錄", this), Command2("離開點歌系統", this), state_(state) {
    setWindowTitle("Vocari's Karaoke Manager Mode");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&Command1);
    layout->addWidget(&Command2);
    connect(&Command1, &QPushButton::clicked, this, &manager_menu::Command1_Click);
    connect(&Command2, &QPushButton::clicked, this, &manager_menu::Command2_Click);
    Form_Load();
}

// Manager mode works with freshly read settings.
void manager_menu::Form_Load() {
    init_system(state_);
}

void manager_menu::Command1_Click() {
    accept();
}

// Ends the whole program at once, without asking.
void manager_menu::Command2_Click() {
    state_.platform.end_program();
}
