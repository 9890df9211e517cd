#include "foundation/settings_file.h"

#include "foundation/app_state.h"
#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

namespace {

enum class Kind { Integer, Text, KeyCode, Hotkey };

// One key of Setting.ini: its name, the comment line written above it, how
// its value is read and where it is kept.
struct SettingKey {
    QString name;
    QString comment;
    Kind kind;
    int Settings::*integer = nullptr;
    QString Settings::*text = nullptr;
    int digit = -1;  // keyNum(digit)
    int hotkey_code = 0;
    // Switches on a feature of our own: read when present, never appended.
    bool optional = false;
};

QString keypad_comment(const QString& key_text) {
    return "# 鍵盤定義 .. \"" + key_text + "\" ";
}

// Every key in the order in which missing ones are appended.
std::vector<SettingKey> make_setting_keys() {
    const QString twip_note = ", 單位=twip, 1cm=567 twip";
    std::vector<SettingKey> keys = {
        {.name = "SmallScreenTop",
         .comment = "# 小視窗離上位置" + twip_note,
         .kind = Kind::Integer,
         .integer = &Settings::SmallScreenTop},
        {.name = "SmallScreenLeft",
         .comment = "# 小視窗離左位置" + twip_note,
         .kind = Kind::Integer,
         .integer = &Settings::SmallScreenLeft},
        {.name = "RecordPath", .comment = "# 錄音檔位置", .kind = Kind::Text, .text = &Settings::RecordPath},
        {.name = "pathCDROM",
         .comment = "# CD-ROM / DVD-ROM 的路徑",
         .kind = Kind::Text,
         .text = &Settings::pathCDROM},
        {.name = "pathMusic", .comment = "# 音樂檔的路徑", .kind = Kind::Text, .text = &Settings::pathMusic},
        {.name = "ExtMusic", .comment = "# 音樂檔的副檔名", .kind = Kind::Text, .text = &Settings::ExtMusic},
        {.name = "pathPicture",
         .comment = "# 圖片檔的路徑",
         .kind = Kind::Text,
         .text = &Settings::pathPicture},
        {.name = "ExtPicture",
         .comment = "# 圖片檔的副檔名",
         .kind = Kind::Text,
         .text = &Settings::ExtPicture},
        {.name = "ExtPictureMov",
         .comment = "# 圖片檔的副檔名",
         .kind = Kind::Text,
         .text = &Settings::ExtPictureMov},
        {.name = "keyDevide",
         .comment = keypad_comment("/"),
         .kind = Kind::KeyCode,
         .text = &Settings::keyDevide},
        {.name = "keyMultiplication",
         .comment = keypad_comment("*"),
         .kind = Kind::KeyCode,
         .text = &Settings::keyMultiplication},
        {.name = "keyMinus",
         .comment = keypad_comment("-"),
         .kind = Kind::KeyCode,
         .text = &Settings::keyMinus},
        {.name = "keyPlus",
         .comment = keypad_comment("+"),
         .kind = Kind::KeyCode,
         .text = &Settings::keyPlus},
        {.name = "keyEnter",
         .comment = keypad_comment("Enter"),
         .kind = Kind::KeyCode,
         .text = &Settings::keyEnter},
        {.name = "keyDot", .comment = keypad_comment("."), .kind = Kind::KeyCode, .text = &Settings::keyDot},
    };
    for (int digit = 0; digit <= 9; ++digit) {
        keys.push_back({.name = QString("keyNum(%1)").arg(digit),
                        .comment = keypad_comment(QString::number(digit)),
                        .kind = Kind::KeyCode,
                        .digit = digit});
    }
    const auto hotkey = [](const QString& name, const QString& comment, int code) {
        return SettingKey{.name = name, .comment = comment, .kind = Kind::Hotkey, .hotkey_code = code};
    };
    keys.push_back(
        hotkey("HotKeySoundChannel1", "# 熱鍵定義 聲道1 default=Q  ", Settings::HotKeySoundChannel1));
    keys.push_back(
        hotkey("HotKeySoundChannel2", "# 熱鍵定義 聲道2 default=W  ", Settings::HotKeySoundChannel2));
    keys.push_back(
        hotkey("HotKeySoundChannel3", "# 熱鍵定義 聲道3 default=E  ", Settings::HotKeySoundChannel3));
    keys.push_back(hotkey("HotKeyRecord", "# 熱鍵定義 錄音  default=R ", Settings::HotKeyRecord));
    keys.push_back(hotkey("HotKeyPause", "# 熱鍵定義 暫停  default=P ", Settings::HotKeyPause));
    keys.push_back(hotkey("HotKeyReplay", "# 熱鍵定義 重唱  default=A ", Settings::HotKeyReplay));
    keys.push_back(hotkey("HotKeyVolIncrease", "# 熱鍵定義 大聲  default=X ", Settings::HotKeyVolIncrease));
    keys.push_back(hotkey("HotKeyVolDecrease", "# 熱鍵定義 小聲  default=Z ", Settings::HotKeyVolDecrease));
    const auto optional_integer = [](const QString& name, int Settings::*value) {
        SettingKey key{.name = name, .comment = {}, .kind = Kind::Integer, .integer = value};
        key.optional = true;
        return key;
    };
    const auto optional_text = [](const QString& name, QString Settings::*value) {
        SettingKey key{.name = name, .comment = {}, .kind = Kind::Text, .text = value};
        key.optional = true;
        return key;
    };
    keys.push_back(optional_integer("ExportXlsx", &Settings::ExportXlsx));
    keys.push_back(optional_integer("PhoneOrdering", &Settings::PhoneOrdering));
    keys.push_back(optional_integer("PhoneOrderingPort", &Settings::PhoneOrderingPort));
    keys.push_back(optional_text("PhoneOrderingPin", &Settings::PhoneOrderingPin));
    keys.push_back(optional_integer("StereoChannel", &Settings::StereoChannel));
    keys.push_back(optional_integer("KeyChange", &Settings::KeyChange));
    keys.push_back(optional_text("CatalogueServer", &Settings::CatalogueServer));
    keys.push_back(optional_integer("Loudness", &Settings::Loudness));
    keys.push_back(optional_integer("Score", &Settings::Score));
    return keys;
}

const std::vector<SettingKey>& setting_keys() {
    static const std::vector<SettingKey> keys = make_setting_keys();
    return keys;
}

// Where a text or key-code setting is kept.
template <class SettingsType>
auto& text_of(SettingsType& settings, const SettingKey& key) {
    return key.digit >= 0 ? settings.keyNum[key.digit] : settings.*key.text;
}

QString default_value_text(const Settings& defaults, const SettingKey& key) {
    switch (key.kind) {
        case Kind::Integer:
            return QString::number(defaults.*key.integer);
        case Kind::Hotkey:
            return QString::number(key.hotkey_code);
        case Kind::Text:
        case Kind::KeyCode:
            break;
    }
    return text_of(defaults, key);
}

// A non-comment line split at its first "=". A line without "=" still has a
// key part (its whole text) but no value.
struct Entry {
    QString key;                  // upper case
    std::optional<QString> rest;  // everything after the first "="
};

std::optional<Entry> parse_line(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#')) return std::nullopt;
    const qsizetype first_equals = trimmed.indexOf('=');
    if (first_equals < 0) return Entry{trimmed.toUpper(), std::nullopt};
    return Entry{trimmed.left(first_equals).trimmed().toUpper(), trimmed.mid(first_equals + 1)};
}

// The jukebox's own keys end their value at a second "=", as files written
// for them may rely on; the text keys of our own features take the whole
// rest of the line, so that a server address can carry "?sslmode=verify-full".
QString value_of(const SettingKey& key, const QString& rest) {
    const bool whole_rest = key.optional && key.kind == Kind::Text;
    return (whole_rest ? rest : rest.section('=', 0, 0)).trimmed();
}

struct FileContent {
    std::vector<Entry> entries;
    bool ends_with_line_break = true;
};

std::optional<FileContent> read_settings_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    FileContent content;
    content.ends_with_line_break = bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r');
    // A byte-order mark written by an editor is skipped by the decoder.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    for (const QString& line : text.split(QRegularExpression("\r\n|\r|\n"))) {
        if (auto entry = parse_line(line)) content.entries.push_back(*entry);
    }
    return content;
}

// The comment-and-entry lines of every key the file does not name yet.
QString missing_blocks(const Settings& defaults, const std::vector<Entry>& entries) {
    QSet<QString> present;
    for (const Entry& entry : entries) present.insert(entry.key);
    QString blocks;
    for (const SettingKey& key : setting_keys()) {
        if (key.optional || present.contains(key.name.toUpper())) continue;
        blocks += key.comment + "\r\n" + key.name + " = " + default_value_text(defaults, key) + "\r\n";
    }
    return blocks;
}

void append_missing(const QString& path, const FileContent& content, const Settings& defaults) {
    QString blocks = missing_blocks(defaults, content.entries);
    if (blocks.isEmpty()) return;
    // Without this, the first comment would be glued to an unfinished last
    // line and spoil that line's value.
    if (!content.ends_with_line_break) blocks.prepend("\r\n");
    QFile file(path);
    const QByteArray bytes = blocks.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size())
        qCWarning(lcSettings).noquote()
            << "could not add the missing settings to" << path << ":" << file.errorString();
}

void apply_entries(Settings& settings, const std::vector<Entry>& entries) {
    QHash<QString, const SettingKey*> readable;
    for (const SettingKey& key : setting_keys()) {
        if (key.kind != Kind::Hotkey) readable.insert(key.name.toUpper(), &key);
    }
    for (const Entry& entry : entries) {
        const SettingKey* key = readable.value(entry.key);
        if (!key || !entry.rest) continue;
        const QString value = value_of(*key, *entry.rest);
        switch (key->kind) {
            case Kind::Integer:
                settings.*key->integer = integer_value(value);
                break;
            case Kind::Text:
                text_of(settings, *key) = value;
                break;
            case Kind::KeyCode:
                text_of(settings, *key) = key_code_text(value);
                break;
            case Kind::Hotkey:
                break;
        }
    }
}

void create_record_folder(const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isDir()) return;
    // One level only: a missing parent is not created.
    if (!QDir().mkdir(path))
        qCWarning(lcSettings).noquote() << "could not create the recordings folder" << path;
}

}  // namespace

Settings default_settings(const QString& app_folder) {
    Settings settings;
    settings.RecordPath = app_folder + "Record";
    settings.pathCDROM = "/media/cdrom";
    settings.pathMusic = QDir::homePath() + "/Music";
    settings.pathPicture = QDir::homePath() + "/Pictures";
    return settings;
}

void load_settings(AppState& state) {
    const Settings defaults = default_settings(state.app_folder);
    state.settings = defaults;
    const QString path = state.app_folder + "Setting.ini";
    // Only a file that is really absent is created: one that exists but
    // cannot be read must not be emptied.
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            qCWarning(lcSettings).noquote() << "could not create" << path << ":" << file.errorString();
            return;
        }
    }
    if (const auto content = read_settings_file(path)) {
        append_missing(path, *content, defaults);
        apply_entries(state.settings, content->entries);
    }
    create_record_folder(state.settings.RecordPath);
}

double numeric_value(const QString& text) {
    QByteArray number;
    for (const QChar c : text) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        // 'D' is an exponent letter as well as 'E'.
        number += (c == 'd' || c == 'D') ? 'e' : c.toLatin1();
    }
    const char* begin = number.constData();
    const char* end = begin + number.size();
    bool negative = false;
    if (begin != end && (*begin == '+' || *begin == '-')) negative = *begin++ == '-';
    // Only a digit or a decimal point may start the number ("inf" is a word).
    if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.')) return 0;
    double value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc()) return 0;
    return (negative ? -value : value) + 0.0;  // no "-0"
}

int integer_value(const QString& text) {
    const double rounded = std::nearbyint(numeric_value(text));  // halves to even
    if (rounded >= INT_MAX) return INT_MAX;
    if (rounded <= INT_MIN) return INT_MIN;
    return static_cast<int>(rounded);
}

QString key_code_text(const QString& text) {
    return QString::number(numeric_value(text), 'g', 15);
}
