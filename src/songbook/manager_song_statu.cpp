#include "songbook/manager_song_statu.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "widgets/manager_forms.h"

#include <QShowEvent>
#include <QStringList>
#include <QtMath>

namespace {

// The design size of the client area in twips.
constexpr int kDesignWidth = 7104;
constexpr int kDesignHeight = 3180;
constexpr double kWindowPoints = 12;
constexpr double kTextPoints = 18;
constexpr int kCountLines = 7;

}  // namespace

std::vector<QStringList> song_count_lines(const QString& db_path) {
    CatalogueSession& session = shared_session(db_path);
    const auto count = [&session](int kind) { return QString::number(song_count_of_kind(session, kind)); };
    return {{"目前您的系統中共有 " + QString::number(song_count(session)) + " 首歌"},
            {"其中...."},
            {"台語類有 " + count(0) + " 首歌", " ; 國語類有 " + count(1) + " 首歌"},
            {"客語類有 " + count(2) + " 首歌", " ;英語類有 " + count(3) + " 首歌"},
            {"日語類有 " + count(4) + " 首歌", " ; 兒類有 " + count(5) + " 首歌"},
            {"其它類有 " + count(6) + " 首歌"},
            {"粵語類有 " + count(7) + " 首歌"}};
}

manager_song_statu::manager_song_statu(AppState& state, QWidget* parent)
    : QDialog(parent), Picture1(state.twips_per_pixel), Command1("離開"), state_(state) {
    setWindowTitle("曲目狀況");
    const int tpp = state_.twips_per_pixel;
    size_in_twips(*this, kDesignWidth, kDesignHeight, tpp);
    place_in_twips(
        {
            {&Picture1, this, 0, 120, 7095, 2295},
            {&Command1, this, 3000, 2640, 855, 375},
        },
        tpp);
    setFont(design_font(kWindowPoints));
    connect(&Command1, &QPushButton::clicked, this, &manager_song_statu::Command1_Click);
    Form_Load();
}

void manager_song_statu::Form_Load() {
    const double factor = screen_share_factor(state_, 0.7, kDesignWidth);
    scale_form(*this, factor, {&Picture1, &Command1});
    Picture1.set_font({"標楷體", kTextPoints * factor, false});
    make_room_for_the_counts();
    // A dialog of fixed size.
    setFixedSize(size());
    centre_on_screen(*this, state_);
}

// The seven lines of counts in the text area's font are taller than the
// design's text area: it grows to hold them, the button and window with it.
void manager_song_statu::make_room_for_the_counts() {
    const double block_twips = Picture1.text_height(QStringList(kCountLines, "歌").join("\n"));
    const int missing = qCeil((block_twips - Picture1.scale_height()) / state_.twips_per_pixel);
    if (missing <= 0) return;
    Picture1.resize(Picture1.width(), Picture1.height() + missing);
    Command1.move(Command1.x(), Command1.y() + missing);
    resize(width(), height() + missing);
}

void manager_song_statu::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

bool manager_song_statu::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) deactivated_ = true;
    if (event->type() == QEvent::WindowActivate && deactivated_) {
        deactivated_ = false;
        Form_Activate();
    }
    return QDialog::event(event);
}

void manager_song_statu::Form_Activate() {
    with_catalogue_errors_shown(state_, this, [this] { print_counts(); });
}

void manager_song_statu::print_counts() {
    for (const QStringList& pieces : song_count_lines(state_.db_path)) {
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) Picture1.print_inline(pieces[i]);
        Picture1.print(pieces.last());
    }
}

void manager_song_statu::Command1_Click() {
    accept();
}
