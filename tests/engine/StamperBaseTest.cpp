#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "engine/Tstamperbase.h"
#include "toolkit/Application.h"
#include "platform/WinConst.h"
#include "support/StamperRun.h"

namespace {

struct TShownBox {
  std::string Text;
  std::string Caption;
  int Flags = 0;
  bool OnMainThread = false;
};

// Asks one question from its own thread, as a stamper does, and says when it is gone.
class TAskingStamper : public TStamperBase {
 public:
  TAskingStamper(std::promise<void>& destroyed, int& answer)
      : Destroyed(destroyed), Answer(answer) {}
  ~TAskingStamper() override { Destroyed.set_value(); }

 protected:
  void Execute() override { Answer = ShowMessageBox("Go on?", mbOkCancel | mbIconQuestion); }

 private:
  std::promise<void>& Destroyed;
  int& Answer;
};

TEST(StamperBase, AsksOnTheMainThreadAndFreesItselfAfterItsRun) {
  const std::string title = Application().Title;
  Application().Title = "Brevantor";
  std::vector<TShownBox> shown;
  Application().MessageBoxHook = [&](const std::string& text, const std::string& caption,
                                     int flags) {
    shown.push_back({text, caption, flags, MainThreadQueue().IsMainThread()});
    return idCancel;
  };
  std::promise<void> destroyed;
  int answer = 0;
  auto* stamper = new TAskingStamper(destroyed, answer);
  EXPECT_TRUE(stamper->FreeOnTerminate);
  bool ended = false;
  stamper->OnTerminate = [&](TObject*) { ended = true; };
  stamper->Start();
  PumpUntil([&] { return ended; });
  const bool freed =
      destroyed.get_future().wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  Application().MessageBoxHook = nullptr;
  Application().Title = title;

  ASSERT_TRUE(freed);
  EXPECT_EQ(answer, idCancel);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, "Go on?");
  EXPECT_EQ(shown[0].Caption, "Brevantor");
  EXPECT_EQ(shown[0].Flags, 33);
  EXPECT_TRUE(shown[0].OnMainThread);
}

TEST(StamperBase, AttributeTextShowsEveryLetterInItsPlace) {
  EXPECT_EQ(TStamperBase::AttributeText(0x21), "+A-D-H-N+R-S-T");
  EXPECT_EQ(TStamperBase::AttributeText(0), "-A-D-H-N-R-S-T");
  EXPECT_EQ(TStamperBase::AttributeText(0x1B7), "+A+D+H+N+R+S+T");
  EXPECT_EQ(TStamperBase::AttributeText(faReparsePoint | faDirectory), "-A+D-H-N-R-S-T");
}

}  // namespace
