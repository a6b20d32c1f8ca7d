// main() of the Windows test executables: a "--child=<name>" argument runs a child routine
// (support/child_process_win.h), anything else runs the tests.
#include <gtest/gtest.h>

#include "support/child_process_win.h"

int main(int argc, char** argv) {
  int exitCode = 0;
  if (testing_support::RunChildFromArguments(argc, argv, &exitCode)) return exitCode;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
