#include "platform/mpv_video_window.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QPainter>

#include <mpv/client.h>
#include <mpv/render_gl.h>

MpvVideoWindow::MpvVideoWindow(mpv_handle* mpv, std::function<void()> on_ready)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), mpv_(mpv), on_ready_(std::move(on_ready)) {}

MpvVideoWindow::~MpvVideoWindow() {
    free_render_context();
}

void MpvVideoWindow::set_blank(bool blank) {
    blank_ = blank;
    update();
}

void MpvVideoWindow::add_overlay(QWidget* widget) {
    overlays_.emplace_back(widget);
    widget->installEventFilter(this);
}

bool MpvVideoWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Paint:
            // Drawing an overlay over the video paints it too.
            if (!painting_overlays_) update();
            break;
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            update();
            break;
        default:
            break;
    }
    return QOpenGLWindow::eventFilter(watched, event);
}

void MpvVideoWindow::initializeGL() {
    mpv_opengl_init_params gl_init{&get_proc_address, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl_init},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv_, params) < 0) {
        render_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(render_, &request_update, this);
    // Should Qt ever make the window a new GL context, the render context
    // has to go with the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { free_render_context(); });
    on_ready_();
}

void MpvVideoWindow::paintGL() {
    if (!render_ || blank_) {
        context()->functions()->glClearColor(0, 0, 0, 1);
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatio();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), qRound(width() * ratio),
                       qRound(height() * ratio), 0};
    int flip_y = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flip_y},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(render_, params);
    paint_overlays();
}

// The overlays' own pixels only (their backgrounds are left out), as they
// would show over a video widget.
void MpvVideoWindow::paint_overlays() {
    if (!container_) return;
    QOpenGLPaintDevice device(size() * devicePixelRatio());
    device.setDevicePixelRatio(devicePixelRatio());
    QPainter painter(&device);
    painting_overlays_ = true;
    const QPoint origin = container_->mapTo(container_->window(), QPoint(0, 0));
    for (const QPointer<QWidget>& overlay : overlays_) {
        if (!overlay || !overlay->isVisible()) continue;
        const QPoint offset = overlay->mapTo(overlay->window(), QPoint(0, 0)) - origin;
        overlay->render(&painter, offset, QRegion(), QWidget::DrawChildren);
    }
    painting_overlays_ = false;
}

void* MpvVideoWindow::get_proc_address(void*, const char* name) {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    return current ? reinterpret_cast<void*>(current->getProcAddress(name)) : nullptr;
}

void MpvVideoWindow::request_update(void* window) {
    auto* self = static_cast<MpvVideoWindow*>(window);
    QMetaObject::invokeMethod(
        self, [self] { self->update(); }, Qt::QueuedConnection);
}

void MpvVideoWindow::free_render_context() {
    if (!render_) return;
    makeCurrent();
    mpv_render_context_free(render_);
    render_ = nullptr;
    doneCurrent();
}
