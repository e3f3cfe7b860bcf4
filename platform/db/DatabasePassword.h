#pragma once

#include <QString>

struct sqlite3;

// The database password is an ACCESS CHECK, NOT ENCRYPTION: the file itself stays
// readable by any SQLite tool. The file keeps a salted PBKDF2-HMAC-SHA256 verifier of
// the password in the provider's own table __quorvel_provider; the connection compares
// the given password against it (in constant time) and refuses a mismatch. A database
// without a verifier opens only with an empty password.
namespace db {

inline constexpr int kDefaultPasswordIterations = 120000;

// For the administration tool (the application never calls it): sets, changes or, with
// an empty newPassword, removes the verifier of the database at path. currentPassword
// must match what the file accepts now. Raises EDatabaseError.
void SetDatabasePassword(const QString& path, const QString& currentPassword, const QString& newPassword,
                         int iterations = kDefaultPasswordIterations);

// True when the open database accepts password.
bool CheckDatabasePassword(sqlite3* db, const QString& password);

}  // namespace db
