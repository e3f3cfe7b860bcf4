#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>

// Paper codes of the printer driver world (DMPAPER_*).
namespace dmpaper {
constexpr int Letter = 1;
constexpr int Legal = 5;
constexpr int A3 = 8;
constexpr int A4 = 9;
constexpr int A5 = 11;
}  // namespace dmpaper

enum TPrinterOrientation { poPortrait, poLandscape };

// Every length in thousandths of a millimetre, as the report settings store them.
struct TPrinterMargins {
  int Left = 12700;
  int Top = 12700;
  int Right = 12700;
  int Bottom = 12700;
};

struct TPrinterPageSize {
  int X = 210000;
  int Y = 297000;
};

// The page a report link prints on. The body lies inside the margins; the page header
// runs from Header below the paper's top edge down to the top margin, and the footer
// from the bottom margin down to Footer above the bottom edge.
struct TPrinterPage {
  int DMPaper = dmpaper::A4;
  TPrinterPageSize PageSize;
  TPrinterMargins Margins;
  int Header = 6350;
  int Footer = 6350;
  TPrinterOrientation Orientation = poPortrait;

  // A known paper code gives Qt's standard size; any other uses PageSize.
  QPageSize QtPageSize() const;
  // The paper in millimetres, turned for landscape.
  QSizeF PaperMm() const;
  QPageLayout QtPageLayout() const;
};
