#pragma once

#include <Qt>

#include "platform/db/DataTypes.h"

namespace ui {

// A field's or column's alignment as Qt draws it, always centred vertically.
inline Qt::Alignment QtAlignment(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case taLeftJustify:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace ui
