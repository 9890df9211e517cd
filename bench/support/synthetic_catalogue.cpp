#include "support/synthetic_catalogue.h"

#include "foundation/catalogue.h"

#include <QFile>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// Characters common in Taiwanese song titles and names, over many stroke counts.
const QString kTitleCharacters =
    "一人心愛你我的是不了在有情天風夜雨月花海夢想念等待離開永遠回憶思故鄉酒杯淚水孤單寂寞春秋"
    "冬夏山河星光路口今生緣分甜蜜美麗青春少年歲月流浪港都阮伊咱無啥物請問相逢何必曾相識小城故事"
    "龍傳燈火黃昏黎明藍色紅塵笑聲歌唱舞台快樂傷痕溫柔真誠謝謝媽媽爸爸朋友家園飛翔自由追尋";
const QString kSurnames =
    "陳林黃張李王吳劉蔡楊許鄭謝洪郭邱曾廖賴徐周葉蘇莊呂江何蕭羅高潘簡朱鍾彭游詹胡施沈余趙盧梁顏柯孫魏翁戴范方"
    "宋鄧";
const QString kGivenCharacters =
    "美麗華明志偉淑芬雅婷怡君家豪建宏俊傑宗翰冠宇佳穎詩涵欣怡子軒承恩宇軒品妍雨萱心怡文雄國榮慧玲秀英惠珍麗君"
    "學友德華";

// Category shares (台語, 國語, 客語, 英語, 日語, 兒歌, 其它, 粵語) and title
// lengths 1..15, roughly as song books have them.
const std::vector<double> kKindWeights{25, 40, 3, 12, 7, 3, 2, 8};
const std::vector<double> kLengthWeights{1, 4, 9, 14, 14, 13, 11, 9, 7, 6, 4, 3, 2, 2, 1};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    QString text_of(const QString& pool, int length) {
        QString text;
        std::uniform_int_distribution<qsizetype> pick(0, pool.size() - 1);
        for (int i = 0; i < length; ++i) text += pool[pick(random_)];
        return text;
    }
    QString singer_name(int sex) {
        if (sex == 2) return text_of(kTitleCharacters, between(2, 5));
        return text_of(kSurnames, 1) + text_of(kGivenCharacters, between(1, 2));
    }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int weighted(const std::vector<double>& weights) {
        return std::discrete_distribution<int>(weights.begin(), weights.end())(random_);
    }
    // Some singers have many songs, most have a few.
    int singer_code(int singers) {
        const double u = std::uniform_real_distribution<double>(0, 1)(random_);
        return 1 + std::min(singers - 1, static_cast<int>(singers * u * u));
    }
    std::mt19937& random() { return random_; }

private:
    std::mt19937 random_;
};

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, SqliteCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    check(db, sqlite3_prepare_v2(db, sql, -1, &statement, nullptr));
    return Statement(statement);
}

void bind_text(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void insert_singers(sqlite3* db, Generator& generator, const SyntheticCatalogueShape& shape) {
    std::vector<int> sexes;
    for (int sex = 0; sex < 3; ++sex) {
        const int share = sex == 2 ? shape.singers - static_cast<int>(sexes.size())
                                   : static_cast<int>(shape.singers * shape.singer_sex_shares[sex]);
        sexes.insert(sexes.end(), static_cast<size_t>(share), sex);
    }
    std::shuffle(sexes.begin(), sexes.end(), generator.random());

    Statement insert =
        prepare(db, "INSERT INTO singer(singer_code, singer_name, singer_sex) VALUES(?, ?, ?)");
    std::unordered_set<std::string> names;  // names are unique, as manager mode keeps them
    for (int code = 1; code <= shape.singers; ++code) {
        const int sex = sexes[static_cast<size_t>(code - 1)];
        QString name;
        do name = generator.singer_name(sex);
        while (!names.insert(name.toStdString()).second);
        sqlite3_bind_int(insert.get(), 1, code);
        bind_text(insert.get(), 2, name);
        sqlite3_bind_int(insert.get(), 3, sex);
        check(db, sqlite3_step(insert.get()));
        sqlite3_reset(insert.get());
    }
}

void insert_songs(sqlite3* db, Generator& generator, const SyntheticCatalogueShape& shape) {
    Statement insert =
        prepare(db,
                "INSERT INTO song(song_num, song_kind, song_name, song_text_count, "
                "song_singer_code, song_build_date, song_location) VALUES(?, ?, ?, ?, ?, ?, ?)");
    std::map<std::pair<int, int>, int> serials;
    for (int i = 0; i < shape.songs; ++i) {
        const int kind = generator.weighted(kKindWeights);
        const int length = 1 + generator.weighted(kLengthWeights);
        const int serial = ++serials[{kind, length}];
        const QString number =
            QString("%1%2%3").arg(kind).arg(length, 2, 10, QChar('0')).arg(serial, 3, 10, QChar('0'));
        const QString date = QString("2024/%1/%2")
                                 .arg(generator.between(1, 12), 2, 10, QChar('0'))
                                 .arg(generator.between(1, 28), 2, 10, QChar('0'));
        bind_text(insert.get(), 1, number);
        sqlite3_bind_int(insert.get(), 2, kind);
        bind_text(insert.get(), 3, generator.text_of(kTitleCharacters, length));
        sqlite3_bind_int(insert.get(), 4, length);
        sqlite3_bind_int(insert.get(), 5, generator.singer_code(shape.singers));
        bind_text(insert.get(), 6, date);
        bind_text(insert.get(), 7, QString("/srv/karaoke/%1/%2.mpg").arg(kind).arg(number));
        check(db, sqlite3_step(insert.get()));
        sqlite3_reset(insert.get());
    }
}

}  // namespace

void make_synthetic_catalogue(const QString& db_path, const SyntheticCatalogueShape& shape) {
    if (QFile::exists(db_path))
        throw std::runtime_error("a catalogue exists already: " + db_path.toStdString());
    prepare_catalogue(db_path);
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(db_path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Database db(raw);
    check(raw, rc);
    Generator generator(shape.seed);
    check(raw, sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr));
    insert_singers(raw, generator, shape);
    insert_songs(raw, generator, shape);
    check(raw, sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr));
}

SyntheticCatalogueFolder::SyntheticCatalogueFolder(const SyntheticCatalogueShape& shape)
    : dir_(QDir::tempPath() + "/karaoke-bench-XXXXXX") {
    make_synthetic_catalogue(db_path(), shape);
}
