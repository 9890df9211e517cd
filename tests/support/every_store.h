#pragma once

#include "support/postgres_server.h"

#include <gtest/gtest.h>

#include <string>

// Runs a suite of TEST_P on the catalogue file and on the server:
// INSTANTIATE_TEST_SUITE_P(EveryStore, Suite, every_store(), store_name);
inline auto every_store() {
    return ::testing::Values(CatalogueStore::File, CatalogueStore::Server);
}
inline std::string store_name(const ::testing::TestParamInfo<CatalogueStore>& info) {
    return info.param == CatalogueStore::File ? "File" : "Server";
}
