#pragma once

#include <QOpenGLWindow>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

struct mpv_handle;
struct mpv_render_context;

// Draws mpv's video through the render API into a native child window of
// its own: the window system shows its frames as they are, where a video
// widget's frames would be composed with the whole window's contents first
// (with a software renderer that composing costs as much as the video). The
// render context lives and dies with the window's GL context; mpv's handle
// must outlive it.
class MpvVideoWindow final : public QOpenGLWindow {
public:
    // `on_ready` runs once the render context exists.
    MpvVideoWindow(mpv_handle* mpv, std::function<void()> on_ready);
    ~MpvVideoWindow() override;

    // mpv can only open a video output once the render context exists:
    // Qt makes it when the window is first shown.
    bool has_render_context() const { return render_ != nullptr; }

    // Without media the area is black, not the last frame of the previous one.
    void set_blank(bool blank);

    // The widget the window is embedded in.
    void set_container(QWidget* container) { container_ = container; }

    // Draws the widget over the video, wherever it overlaps it, and again
    // whenever it changes.
    void add_overlay(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void initializeGL() override;
    void paintGL() override;

private:
    static void* get_proc_address(void*, const char* name);
    // Called on mpv's render thread whenever a new frame is due.
    static void request_update(void* window);
    void paint_overlays();
    void free_render_context();

    mpv_handle* mpv_;
    std::function<void()> on_ready_;
    mpv_render_context* render_ = nullptr;
    bool blank_ = true;
    QPointer<QWidget> container_;
    std::vector<QPointer<QWidget>> overlays_;
    bool painting_overlays_ = false;
};
