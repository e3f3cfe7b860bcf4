#pragma once

#include <QString>

namespace dbbench {

// The shop's schema applied to a new file at path (replacing any file there).
void CreateSchema(const QString& path);

// A database of orders with their clients and users at path, generated once and reused
// while it still holds that many orders. Gives the time spent generating (0 on reuse).
double EnsureOrdersDatabase(const QString& path, int orders, int clients, int users);

}  // namespace dbbench
