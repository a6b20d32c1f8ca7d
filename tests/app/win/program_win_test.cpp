// The program's image: every handler reference its template block stores finds its routine
// in the application's handler table.
#include "app/program_win.h"

#include <gtest/gtest.h>

#include "app/layout.h"
#include "runtime/templates/template_reader.h"

namespace {

TEST(ProgramBlock, ResolvesCompletelyAgainstTheApplicationsTable) {
  size_t unresolved = 99;
  runtime::LoadTemplateBlock(app::ProgramTemplateBlock(), app::ProgramHandlers(), &unresolved);
  EXPECT_EQ(unresolved, 0u);
}

}  // namespace
