#pragma once

#include <QString>

// Creates a directory and every missing parent. Before anything a trailing "\", then a
// trailing "/", then a trailing NUL are dropped, each tested once in that order; levels
// are separated by "/". Paths shorter than three characters are never created.
// True when the directory was created or exists already; false when the system refused
// (or the path is too short and missing).
bool MkSubDir(QString spath);
