#include "widgets/start_form.h"

#include "foundation/clock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QScreen>
#include <gtest/gtest.h>

TEST(StartForm, ShowsThePictureOverTheScreenThenHandsOverToTheMainWindow) {
    Clock clock(100);
    QRect geometry_while_waiting;
    bool picture_stretched = false;
    bool main_window_loaded = false;
    qint64 design_ms_at_handover = 0;

    const qint64 design_start = clock.elapsed_design_ms();
    QPointer<start_form> splash;
    splash = new start_form(clock, [&] {
        main_window_loaded = true;
        design_ms_at_handover = clock.elapsed_design_ms() - design_start;
        geometry_while_waiting = splash->geometry();
        picture_stretched = splash->Image1.hasScaledContents();
    });
    EXPECT_EQ(splash->windowTitle(), "Vocari's Karaoke");
    EXPECT_FALSE(splash->Image1.pixmap().isNull());
    EXPECT_EQ(splash->Image1.pixmap().size(), QSize(800, 600));

    QElapsedTimer real;
    real.start();
    splash->run();

    EXPECT_TRUE(main_window_loaded);
    EXPECT_GE(design_ms_at_handover, 3000);
    EXPECT_LT(real.elapsed(), 1000);
    EXPECT_EQ(geometry_while_waiting, QApplication::primaryScreen()->geometry());
    EXPECT_TRUE(picture_stretched);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());  // the splash closed and went away
}
