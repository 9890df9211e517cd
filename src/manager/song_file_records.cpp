#include "manager/song_file_records.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "manager/shared_media_files.h"
#include "manager/singer_lookup.h"

#include <QFileInfo>

#include <utility>

namespace {

bool song_at_location(const QString& path, const QString& db_path) {
    return !songs_at_location(shared_session(db_path), path).Eof();
}

bool similar_title_stored(const SongFileRecord& record, const QString& db_path) {
    return !songs_with_similar_title(shared_session(db_path), record.song_name, record.text_count).Eof();
}

void take_name_parts(SongFileRecord& record) {
    const SongFileName parsed = parse_song_file_name(record.file_name(), song_kind_names());
    record.singer = parsed.singer;
    record.song_name = parsed.song_name;
    record.kind_name = parsed.kind_name;
    record.text_count = parsed.text_count;
    record.format_error = parsed.format_error;
}

bool every_singer_known(const SongFileRecord& record, SingerCodes& singers) {
    for (const QString& name : record.singer_names()) {
        if (singers.code_of(name) < 0) return false;
    }
    return true;
}

}  // namespace

QString SongFileRecord::file_name() const {
    return QFileInfo(file_path).fileName();
}

QStringList SongFileRecord::singer_names() const {
    QStringList names = singer.split('+');
    for (QString& name : names) name = name.trimmed();
    return names;
}

int SingerCodes::code_of(const QString& name) {
    if (known_) return known_->value(name, -1);
    return stored_singer_code(name, db_path_).value_or(-1);
}

// One read of the whole table: a name lookup scans the table anyway (its
// index is in another order than the stroke collation), and "=" on the
// collated column matches identical names only, as the map does. The first
// singer of a name is the one a lookup would find.
void SingerCodes::keep_answers(bool keep) {
    known_.reset();
    if (!keep) return;
    QHash<QString, int> singers;
    for (Recordset rows = all_singers_by_code(shared_session(db_path_)); !rows.Eof(); rows.MoveNext()) {
        const QString name = rows.Field("singer_name");
        if (!singers.contains(name)) singers.insert(name, rows.FieldInt("singer_code"));
    }
    known_ = std::move(singers);
}

void check_song_file(SongFileRecord& record, const QString& db_path, SingerCodes& singers) {
    record.ready = true;
    record.repeat = kRepeatNone;
    if (song_at_location(record.file_path, db_path)) {
        record.repeat = kRepeatRegistered;
        return;
    }
    record.replace_code.clear();
    record.singer_ok = kSingersNotLooked;
    take_name_parts(record);
    if (record.format_error != FileNameError::None) {
        record.ready = false;
        return;
    }
    record.singer_ok = every_singer_known(record, singers) ? kSingersFound : kSingerMissing;
    if (record.singer_ok == kSingerMissing) record.ready = false;
    if (similar_title_stored(record, db_path)) {
        record.repeat = kRepeatUndecided;
        record.ready = false;
    }
}

QString song_file_line(const SongFileRecord& record) {
    const QString name = record.file_name();
    if (record.repeat == kRepeatRegistered) return "檔案已登錄:" + name;
    if (record.format_error != FileNameError::None)
        return "檔名格式有誤,請修正:" + name + " <----請修正檔名<<<<<<<<<<<<<<<<<<<<<";
    if (record.ready) {
        switch (record.repeat) {
            case kRepeatNone:
                return "準備登錄:" + record.singer + "," + record.song_name + "," + record.kind_name + "," +
                       QString::number(record.text_count) + "字部";
            case kRepeatAddAnyway:
                return "檔案已確認:" + name + "->" + "新增";
            case kRepeatReplace:
                return "檔案已確認:" + name + "->" + "取代" + record.replace_code;
            case kRepeatDeleteFile:
                return "檔案已確認:" + name + "->" + "刪除本檔";
        }
    }
    return "檔案需確認:" + name;
}

QString repeat_state_text(int repeat) {
    switch (repeat) {
        case kRepeatUndecided:
            return " 曲目於資料庫中有類似的! 請指定指令";
        case kRepeatAddAnyway:
            return " 曲目於資料庫中有類似的! 指令 : 新增此曲目";
        case kRepeatReplace:
            return " 曲目於資料庫中有類似的! 指令 : 取代此曲目";
        case kRepeatDeleteFile:
            return " 曲目於資料庫中有類似的! 指令 : 刪除本檔";
    }
    return {};
}

QString song_file_state(const SongFileRecord& record) {
    if (record.repeat == kRepeatRegistered) return " 本檔已登錄";
    QString state;
    switch (record.format_error) {
        case FileNameError::None:
            break;
        case FileNameError::UnknownKind:
            state += " 找不到種類;請用:台語,國語,客語,英語,日語,兒歌,其它,粵語. 雙擊可改檔名!";
            break;
        case FileNameError::BadTextCount:
            state += " 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!";
            break;
        case FileNameError::WrongPartCount:
            state += " 參數不夠;請用:歌手1+歌手2,歌名,種類,字數.副檔名 , 共4個餐數值. 雙擊可改檔名!";
            break;
    }
    if (record.singer_ok == kSingerMissing) state += " 歌手資料尚未建立!";
    if (record.repeat == kRepeatNone && record.ready) return "此檔已可準備登錄系統";
    return state + repeat_state_text(record.repeat);
}

SongFileRegistrar::SongFileRegistrar(const QString& db_path, int files_per_transaction)
    : db_path_(db_path), files_per_transaction_(files_per_transaction), numbers_(db_path), singers_(db_path) {
    singers_.keep_answers(true);
}

void SongFileRegistrar::begin_if_needed() {
    if (files_per_transaction_ <= 0 || transaction_) return;
    // Under the write lock from the start, and with the numbers read afresh:
    // other rooms may have registered songs since the last transaction.
    transaction_.emplace(db_path_);
    numbers_.forget();
    files_in_transaction_ = 0;
}

void SongFileRegistrar::commit() {
    if (transaction_) {
        transaction_->commit();
        transaction_.reset();
    }
    // The files are looked at once their songs are gone: another number may
    // still play one of them.
    const QStringList files = std::exchange(files_to_delete_, {});
    for (const QString& path : files) delete_unplayed_media_file(path, QString(), db_path_);
}

void SongFileRegistrar::register_file(const SongFileRecord& record, const QString& date) {
    begin_if_needed();
    const int kind = kind_code_of(record.kind_name);
    switch (record.repeat) {
        case kRepeatNone:
        case kRepeatAddAnyway: {
            const QString number = numbers_.next(kind, record.text_count);
            if (number.isEmpty()) throw DatabaseError("曲目編號已用完: " + record.file_name().toStdString());
            store_per_singer(record, number, date);
            break;
        }
        case kRepeatReplace:
            drop_replaced_song(record.replace_code.trimmed(), record.file_path);
            store_per_singer(record, record.replace_code.trimmed(), date);
            break;
        case kRepeatDeleteFile:
            files_to_delete_ << record.file_path;
            break;
        default:
            break;  // registered already
    }
    if (++files_in_transaction_ >= files_per_transaction_) commit();
}

void SongFileRegistrar::finish() {
    commit();
}

// The replaced song's file goes too, unless it is the new song's own file
// under another name.
void SongFileRegistrar::drop_replaced_song(const QString& replace_code, const QString& new_file) {
    const Recordset old_song = songs_numbered(shared_session(db_path_), replace_code);
    if (!old_song.Eof() && !same_file(old_song.Field("song_location"), new_file))
        files_to_delete_ << old_song.Field("song_location");
    delete_songs_numbered(shared_session(db_path_), replace_code);
}

void SongFileRegistrar::store_per_singer(const SongFileRecord& record, const QString& number,
                                         const QString& date) {
    for (const QString& name : record.singer_names()) {
        const int singer_code = singers_.code_of(name);
        if (singer_code < 0) throw DatabaseError("找不到歌手: " + name.toStdString());
        add_song(shared_session(db_path_), {number, kind_code_of(record.kind_name), record.song_name,
                                            record.text_count, singer_code, date, record.file_path});
    }
    stored_files_ << record.file_path;
}
