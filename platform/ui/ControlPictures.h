#pragma once

#include <QIcon>
#include <QString>
#include <functional>

// Pictures of the data-aware controls (the navigator's buttons, the date box's calendar
// button). This layer ships no picture files: the program installs a provider that maps
// a name to its own picture set. Names: "nav-first", "nav-prior", "nav-next", "nav-last",
// "nav-insert", "nav-delete", "nav-edit", "nav-post", "nav-cancel", "nav-refresh",
// "date-popup". Without a provider, or when it gives a null icon, a simple glyph is
// drawn so that no button is ever blank.
namespace ui {

using PictureProvider = std::function<QIcon(const QString& name)>;

// Installs the provider (an empty one restores the drawn glyphs); returns the previous.
PictureProvider SetPictureProvider(PictureProvider provider);

// The provider's picture, or the drawn glyph. Needs a running QGuiApplication.
QIcon ControlPicture(const QString& name);

// The drawn glyph alone (16 × 16); a plain square for an unknown name.
QIcon FallbackPicture(const QString& name);

}  // namespace ui
