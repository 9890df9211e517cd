#include "platform/capture_command.h"

#include <QRegularExpression>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace {

bool words_are(const QStringList& words, std::initializer_list<const char*> expected) {
    if (words.size() != qsizetype(expected.size())) return false;
    qsizetype i = 0;
    for (const char* word : expected) {
        if (words[i++].compare(QLatin1String(word), Qt::CaseInsensitive) != 0) return false;
    }
    return true;
}

// The settings after "set capture": pairs of a setting and its value, where
// "format tag" is a two-word setting. Each must name the recorded format.
bool settings_are_the_recorded_format(QStringList settings) {
    static const std::pair<const char*, const char*> kFormat[] = {{"samplespersec", "44100"},
                                                                  {"bitspersample", "16"},
                                                                  {"channels", "2"},
                                                                  {"alignment", "4"},
                                                                  {"bytespersec", "176400"}};
    if (settings.isEmpty()) return false;
    while (!settings.isEmpty()) {
        if (settings.size() >= 3 && words_are(settings.mid(0, 3), {"format", "tag", "pcm"})) {
            settings.remove(0, 3);
            continue;
        }
        if (settings.size() < 2) return false;
        bool known = false;
        for (const auto& [setting, value] : kFormat)
            known = known || words_are(settings.mid(0, 2), {setting, value});
        if (!known) return false;
        settings.remove(0, 2);
    }
    return true;
}

// "save capture " and the path: the path is the rest of the text, blanks and
// all, so that folders with blanks in their names work; quotes around it are
// taken off.
bool parse_save(const QString& text, QString& path) {
    static const QRegularExpression kSave(R"(^\s*save\s+capture\s+(.*\S)\s*$)",
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kSave.match(text);
    if (!match.hasMatch()) return false;
    path = match.captured(1);
    if (path.size() >= 2 && path.startsWith('"') && path.endsWith('"')) path = path.mid(1, path.size() - 2);
    return !path.isEmpty();
}

CaptureVerb verb_of(QStringList words) {
    if (words.size() > 1 && words.last().compare(QLatin1String("wait"), Qt::CaseInsensitive) == 0) {
        words.removeLast();
    }
    if (words_are(words, {"close", "all"})) return CaptureVerb::close_all;
    if (words_are(words, {"open", "new", "type", "waveaudio", "alias", "capture"}))
        return CaptureVerb::open_new;
    if (words_are(words, {"stop", "capture"})) return CaptureVerb::stop;
    if (words_are(words, {"seek", "capture", "to", "start"})) return CaptureVerb::seek_to_start;
    if (words_are(words, {"record", "capture"})) return CaptureVerb::record;
    if (words_are(words, {"close", "capture"})) return CaptureVerb::close;
    if (words.size() > 2 && words_are(words.mid(0, 2), {"set", "capture"}) &&
        settings_are_the_recorded_format(words.mid(2))) {
        return CaptureVerb::set_format;
    }
    return CaptureVerb::unknown;
}

}  // namespace

CaptureCommand parse_capture_command(const QString& text) {
    CaptureCommand command;
    if (parse_save(text, command.path)) {
        command.verb = CaptureVerb::save;
        return command;
    }
    command.verb = verb_of(text.split(QRegularExpression(R"(\s+)"), Qt::SkipEmptyParts));
    return command;
}
