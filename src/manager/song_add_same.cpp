#include "manager/song_add_same.h"

namespace {

SimilarTitleTexts add_song_texts() {
    return {
        .window_title = "Form1",
        .org_kill_caption = "刪除替換",
        .org_kill_hint = "刪除之後,原始檔案也會一並刪除,並讓新進歌曲替換",
        .stored_notice = "存入ok! 請進行下一首曲的建檔作業",
        .deleted_frame_caption = "原本歌曲登錄及檔案已刪除",
    };
}

}  // namespace

song_add_same::song_add_same(AppState& state, QWidget* parent, NewSong new_song)
    : similar_title_window(state, parent, std::move(new_song), add_song_texts()) {}
