#pragma once

#include <gtest/gtest.h>

#include "platform/report/PrinterPage.h"

namespace reporttest {

// A4 with the windows' margins, header and footer, in thousandths of a millimetre.
inline void ExpectA4WithTheWindowsMargins(const TPrinterPage& page) {
  EXPECT_EQ(page.DMPaper, 9);
  EXPECT_EQ(page.PageSize.X, 210000);
  EXPECT_EQ(page.PageSize.Y, 297000);
  for (int margin : {page.Margins.Left, page.Margins.Top, page.Margins.Right, page.Margins.Bottom})
    EXPECT_EQ(margin, 12700);
  EXPECT_EQ(page.Header, 6350);
  EXPECT_EQ(page.Footer, 6350);
}

}  // namespace reporttest
