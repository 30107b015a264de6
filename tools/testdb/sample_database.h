// The sample database: a small company in two application schemas, HR and
// SALES, with every kind of object the dictionary rebuild reads and rows of
// every column type the release has (TIMESTAMP, INTERVAL and XMLType from
// 9i, BINARY_FLOAT from 10g, virtual columns and interval partitioning from
// 11g). A few megabytes; the README's walk-through runs on it.
#pragma once

#include <string>

#include "testdb/schema_model.h"

namespace quillon::testdb {

// release: "8i" .. "11.2" (the model release; 11.2-alt describes the same).
Schema SampleSchema(const std::string& release);

}  // namespace quillon::testdb
