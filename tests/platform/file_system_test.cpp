#include "platform/file_system.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void write_file(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Whether the file system keeps a birth time for the file, asked directly.
bool keeps_birth_time(const QString& path) {
    struct statx info {};
    return statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &info) == 0 &&
           (info.stx_mask & STATX_BTIME) != 0;
}

TEST(FileSystemTest, ListsSubfoldersAndFilesEachSortedByCharacterCodes) {
    TempFolder folder;
    for (const char* name : {"b", "A", "中文", ".cache"}) QDir(folder.path()).mkdir(QString::fromUtf8(name));
    for (const char* name : {"z.mp3", "B.mp3", "a.mp3", "歌.wav", ".hidden"})
        write_file(folder.file(QString::fromUtf8(name)));

    const FolderListing listing = list_folder(folder.path());
    EXPECT_EQ(listing.subfolders, QStringList({"A", "b", "中文"}));
    EXPECT_EQ(listing.files, QStringList({"B.mp3", "a.mp3", "z.mp3", "歌.wav"}));
    EXPECT_EQ(list_folder(folder.path().chopped(1)).files.size(), 4);  // with or without the trailing "/"
}

TEST(FileSystemTest, AFolderThatCannotBeReadListsAsEmpty) {
    TempFolder folder;
    write_file(folder.file("song.mp3"));
    for (const QString& unreadable : {folder.file("missing"), folder.file("song.mp3"), QString()}) {
        const FolderListing listing = list_folder(unreadable);
        EXPECT_TRUE(listing.subfolders.isEmpty() && listing.files.isEmpty()) << unreadable.toStdString();
    }
    if (geteuid() == 0) return;  // permissions do not stop the super-user
    const QString locked = folder.file("locked");
    QDir().mkdir(locked);
    write_file(locked + "/inside.mp3");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    EXPECT_TRUE(list_folder(locked).files.isEmpty());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(FileSystemTest, CreationTimeIsTheBirthTimeWhereKeptElseTheLastChange) {
    TempFolder folder;
    const QString path = folder.file("take.wav");
    write_file(path);
    const QDateTime long_ago(QDate(2001, 2, 3), QTime(4, 5, 6));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(long_ago, QFileDevice::FileModificationTime));
    file.close();

    const QDateTime made = file_creation_time(path);
    if (keeps_birth_time(path))
        EXPECT_LT(std::abs(made.secsTo(QDateTime::currentDateTime())), 60);
    else
        EXPECT_EQ(made, long_ago);
    EXPECT_FALSE(file_creation_time(folder.file("none.wav")).isValid());
}

TEST(FileSystemTest, DeletesReadOnlyFiles) {
    TempFolder folder;
    const QString path = folder.file("take.wav");
    write_file(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_TRUE(delete_file(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(delete_file(path));  // nothing left to delete
}

TEST(FileSystemTest, PathsAreJoinedAndComparedAsFolders) {
    EXPECT_EQ(join_path("/music", "a.mp3"), "/music/a.mp3");
    EXPECT_EQ(join_path("/media/cdrom/", "a.mp3"), "/media/cdrom/a.mp3");
    EXPECT_EQ(parent_folder("/music/pop/"), "/music");
    EXPECT_EQ(parent_folder("/music"), "/");
    EXPECT_EQ(parent_folder("/"), "/");
    EXPECT_TRUE(same_folder("/Media/CDROM/", "/media/cdrom"));
    EXPECT_FALSE(same_folder("/media/cdrom0", "/media/cdrom"));
    EXPECT_TRUE(is_inside_folder("/media/cdrom", "/media/cdrom/"));
    EXPECT_TRUE(is_inside_folder("/MEDIA/cdrom/disc1", "/media/cdrom"));
    EXPECT_FALSE(is_inside_folder("/media/cdrom0/disc1", "/media/cdrom"));
    EXPECT_FALSE(is_inside_folder("/music", ""));
    EXPECT_EQ(base_name("/music/江蕙.酒後的心聲.MP3"), "江蕙.酒後的心聲");
    EXPECT_EQ(base_name("readme"), "readme");
}

TEST(FileSystemTest, PicturesAreReadByTheirContentWhateverTheExtensionsCase) {
    TempFolder folder;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.file("photo.JPG"), "JPG"));
    ASSERT_TRUE(picture.save(folder.file("scan.Bmp"), "BMP"));
    write_file(folder.file("broken.jpg"), "not a picture");

    EXPECT_EQ(load_picture(folder.file("photo.JPG")).size(), QSize(30, 20));
    EXPECT_EQ(load_picture(folder.file("scan.Bmp")).size(), QSize(30, 20));
    EXPECT_TRUE(load_picture(folder.file("broken.jpg")).isNull());
    EXPECT_TRUE(load_picture(folder.file("missing.jpg")).isNull());
}

}  // namespace
