#pragma once

#include <QString>

// The database files the administration tool makes and maintains. Every failure raises
// an exception of platform/rtl with a Portuguese message; no message ever holds a password.
namespace admin {

// Creates the five tables (and, with withDemo, the demonstration rows) in a new file,
// then sets its password (none when empty). The file is built beside path and moved
// into place only when complete, so a failure leaves what was there. An existing file
// is refused unless replace.
void CreateDatabase(const QString& path, const QString& password, bool withDemo, bool replace);

// Whether the database at path asks for a password.
bool HasPassword(const QString& path);
// Whether the database at path accepts password.
bool AcceptsPassword(const QString& path, const QString& password);
// Replaces the password (an empty newPassword removes it); currentPassword must match.
void ChangePassword(const QString& path, const QString& currentPassword, const QString& newPassword);

// ServerConfig.ini keeps the password through a substitution that drops characters
// outside its alphabets and blanks at both ends: such a password is refused here, before
// a database or a configuration is made that the program could not open.
void CheckStorablePassword(const QString& password);

}  // namespace admin
