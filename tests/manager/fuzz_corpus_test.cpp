// The fuzzers' corpus (fuzz/corpus, kept with the code) fed to the parsers
// with the fuzzers' own checks, so that every input a fuzzer kept or that
// once crashed is tried again by every build.

#include "../../fuzz/fuzz_checks.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList corpus_files(const QString& target) {
    const QDir corpus(QString(KARAOKE_TEST_SOURCE_DIR) + "/../fuzz/corpus/" + target);
    QStringList paths;
    for (const QString& name : corpus.entryList(QDir::Files)) paths << corpus.filePath(name);
    return paths;
}

QByteArray content_of(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(FuzzCorpus, EveryFileNameInputKeepsTheParsersPromises) {
    const QStringList files = corpus_files("song_file_name");
    ASSERT_FALSE(files.isEmpty());
    for (const QString& path : files) fuzz_song_file_name(content_of(path));
}

TEST(FuzzCorpus, EveryBatchFileInputKeepsTheParsersPromises) {
    const QStringList files = corpus_files("batch_file");
    ASSERT_FALSE(files.isEmpty());
    for (const QString& path : files) fuzz_batch_file(content_of(path));
}

}  // namespace
