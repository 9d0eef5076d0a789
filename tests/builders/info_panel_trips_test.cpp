// The panel title and the information panel are asked for on every redraw:
// they cost no round trip while nothing that could change them happened.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "connected_panel.h"
#include "oracle/client_library.h"

namespace {

using namespace paneltest;

class InfoPanelTrips : public ConnectedPanel {
 protected:
  // The stand-in's total round trips so far.
  unsigned long long Trips() {
    if (!library_) library_ = dlopen(oracle::OracleClient().OciDll().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!library_) return 0;
    auto get = reinterpret_cast<void (*)(unsigned long long*)>(dlsym(library_, "ocisim_round_trips"));
    unsigned long long counts[16] = {};
    if (get) get(counts);
    return counts[0];
  }
  void Redraw() {
    far::OpenPluginInfo info{};
    panel().GetOpenPluginInfo(info);
  }
  void TearDown() override {
    if (library_) dlclose(library_);
    ConnectedPanel::TearDown();
  }
  void* library_ = nullptr;
};

TEST_F(InfoPanelTrips, RedrawsCostNothingUntilAStatementMayHaveChangedTheSession) {
  LogOn("scott", "tiger");
  ListPath("\\Tables\\SCOTT");
  Redraw();
  ASSERT_NE(library_ = dlopen(oracle::OracleClient().OciDll().c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  auto before = Trips();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 3; ++i) Redraw();
  EXPECT_EQ(Trips(), before) << "redraws with nothing changed";

  // A listing runs plain queries only: the next redraw asks nothing more.
  ListPath("\\Tables\\SCOTT\\EMP");
  before = Trips();
  Redraw();
  EXPECT_EQ(Trips(), before) << "a redraw after a listing";

  // Work that may open a transaction: asked once, then known again.
  auto q = module().CreateNewOracleQuery({});
  q->SetSQL("UPDATE SCOTT.DEPT SET LOC = LOC WHERE DEPTNO = 10");
  q->Execute();
  before = Trips();
  Redraw();
  EXPECT_EQ(Trips() - before, 1u) << "the transaction state asked once";
  before = Trips();
  Redraw();
  Redraw();
  EXPECT_EQ(Trips(), before);
  module().OracleSession().Rollback();
}

}  // namespace
