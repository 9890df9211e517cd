#pragma once

#include <QString>

#include <optional>

// The code of the stored singer with exactly this name; nothing when no
// singer has it. Every manager window asks the catalogue this one way.
std::optional<int> stored_singer_code(const QString& name, const QString& db_path);
