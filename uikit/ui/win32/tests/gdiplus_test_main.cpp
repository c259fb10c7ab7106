// The main of the GDI+ tests: one GDI+ session around the whole run, as in a program.
#include <gtest/gtest.h>

#include "gdiplus_session.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  quarn::ui::GdiplusSession session;
  if (!session.Ok()) return 2;
  return RUN_ALL_TESTS();
}
