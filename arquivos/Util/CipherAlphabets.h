#pragma once

#include <QString>

// The four alphabets of the stored-password substitution. Every password already kept
// in a ServerConfig.ini was scrambled with exactly these characters in exactly this
// order: they must never change (docs/CIPHER.md records them). Pairs map position to
// position: first <-> second, third <-> fourth. All characters belong to Windows-1252
// and none to two alphabets.
namespace cipher {

// A-Z in an order of our own, the blank and 11 ASCII signs (38).
inline const QString Primeiro = QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNM .,-_!@#$%&*");
// Accented capitals and typographic signs of the Windows-1252 upper half (38).
inline const QString Segundo = QStringLiteral("ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞßŠŒŽŸ†‡•");
// The small letters and the digits (36).
inline const QString Terceiro = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
// Accented small letters of the upper half and two ASCII signs found nowhere else (36).
inline const QString Quarto = QStringLiteral("àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿšœž+?");

}  // namespace cipher
