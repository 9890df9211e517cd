#pragma once

// A synthetic catalogue of the size a well-stocked jukebox holds, for the
// benchmarks: Traditional Chinese titles of 1 to 15 characters over all eight
// categories and singers of all three categories. The same shape and seed
// always give the same file.

#include <QString>
#include <QTemporaryDir>

#include <array>

struct SyntheticCatalogueShape {
    int songs = 100'000;
    int singers = 10'000;
    // Share of singers per category (female, male, group or other); the
    // default makes exactly half of the singers female.
    std::array<double, 3> singer_sex_shares{0.5, 0.35, 0.15};
    unsigned seed = 20240501;
};

// Writes the catalogue with the program's schema at db_path (which must not
// exist yet), in one transaction. Singer codes are 1..singers; song numbers
// follow the program's rule (category digit, two-digit length, serial).
void make_synthetic_catalogue(const QString& db_path, const SyntheticCatalogueShape& shape = {});

// A program folder in a temporary directory holding a synthetic karaoke.db.
class SyntheticCatalogueFolder {
public:
    explicit SyntheticCatalogueFolder(const SyntheticCatalogueShape& shape = {});
    // With a trailing "/", like AppState::app_folder.
    QString app_folder() const { return dir_.path() + "/"; }
    QString db_path() const { return app_folder() + "karaoke.db"; }

private:
    QTemporaryDir dir_;
};
