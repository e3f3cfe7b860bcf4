#pragma once

#include <cstdint>

struct sqlite3;

// The demonstration rows of a new database: clients, services, users (among them the
// login window's defaults "admin" / "senha") and service orders with their items, one
// order with neither client nor delivering user.
namespace admin {

// Inserts the rows into the empty tables of db, inside the caller's transaction.
void InsertDemoData(sqlite3* db);

// An item's subtotal as the order editor computes it: each amount rounded to a whole
// number (halves to even), then (value - discount) * quantity.
int32_t ItemSubtotal(double value, double discount, double quantity);

}  // namespace admin
