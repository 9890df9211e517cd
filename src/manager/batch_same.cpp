#include "manager/batch_same.h"

namespace {

SimilarTitleTexts batch_texts() {
    return {
        .window_title = "批次新增",
        .org_kill_caption = "刪除",
        .org_kill_hint = "刪除之後,原始檔案也會一並刪除",
        .stored_notice = "存入ok! 請進行下一首曲的批次作業",
        .deleted_frame_caption = "原本歌曲登錄及檔案以刪除",
    };
}

}  // namespace

batch_same::batch_same(AppState& state, QWidget* parent, NewSong new_song)
    : similar_title_window(state, parent, std::move(new_song), batch_texts()) {}
