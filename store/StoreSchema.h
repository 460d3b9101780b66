#pragma once

#include <span>

// The statements that create the tables and indexes of a new profile database, in the order they
// run. Each one is "IF NOT EXISTS", so running the list again adds only what is missing.
namespace store {

std::span<const char* const> SchemaStatements();

/// The names of the nine tables, in creation order.
std::span<const char* const> SchemaTables();

} // namespace store
