#include "foundation/app_state.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    AppState state;
    return 0;
}
