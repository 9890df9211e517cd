#pragma once

// A catalogue server's address (a postgresql:// URI or a libpq key=value
// connection string) as messages, the log and karaoke-catalogue may show it:
// never with its password.

#include <QString>

// The address rebuilt from what libpq reads in it, in the form it was given,
// with "***" for its password. An address libpq cannot read shows as
// "(unreadable catalogue address)": any part of it might be the password.
QString shown_catalogue_address(const QString& address);

// The text with every appearance of the address's password replaced by
// "***": the password as libpq reads it and as the address writes it,
// percent-encoded or quoted, so that no message depends on libpq's wording.
QString without_password(const QString& text, const QString& address);
