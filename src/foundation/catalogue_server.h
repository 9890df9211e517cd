#pragma once

// The catalogue on a PostgreSQL server, shared by the rooms of a venue. The
// catalogue's place (AppState::db_path) is then the server's connection URI
// instead of a file path (foundation/catalogue_address.h shows it without its
// password); open_recordset, execute_sql and ReadSnapshot pass
// such a place here. The program's SQL texts run as they are, translated only
// where PostgreSQL differs (server_sql; docs/catalogue.md lists each).

#include "foundation/catalogue.h"

#include <QString>

#include <cstdint>

// True for a "postgresql://" or "postgres://" URI or a libpq key=value
// connection string ("host=... dbname=...").
bool is_catalogue_server(const QString& db_path);

// The text PostgreSQL runs for one of the program's SQL texts.
QString server_sql(const QString& sql);

Recordset server_open_recordset(const QString& sql, const QString& uri, int max_rows);
void server_execute_sql(const QString& sql, const QString& uri);

// A read-only transaction that sees one state of the catalogue; returns its
// connection's generation (0 when a transaction was open already or the
// server could not be reached). end_server_snapshot commits it when the
// connection is still that one.
std::uint64_t begin_server_snapshot(const QString& uri);
void end_server_snapshot(std::uint64_t generation);

// Connects (creating the tables, indexes and the stroke collation when they
// are missing). Throws DatabaseError.
void prepare_server_catalogue(const QString& uri);

// Closes this thread's connection to the server, if any.
void close_server_connection();
