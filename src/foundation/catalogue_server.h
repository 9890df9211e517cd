#pragma once

// The catalogue on a PostgreSQL server, shared by the rooms of a venue. The
// catalogue's place (AppState::db_path) is then the server's connection URI
// or key=value text instead of a file path (foundation/catalogue_address.h
// shows it without its password); its sessions are made by
// foundation/catalogue_session.h. docs/catalogue.md tells how the server's
// statements differ from the file's.

#include <QString>

// True for a "postgresql://" or "postgres://" URI or a libpq key=value
// connection string ("host=... dbname=...").
bool is_catalogue_server(const QString& db_path);

// Connects (creating the tables, indexes, the stroke collation and the
// change counter when they are missing). Throws DatabaseError.
void prepare_server_catalogue(const QString& uri);
