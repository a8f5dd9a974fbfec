#include <string>
#include <utility>

#include "toolkit/Application.h"
#include "ui/Tmainform.h"

// Requests that later starts of the program hand over. Each waits its turn in the queue and runs
// as a drop would; the start that brought it waits and ends with the answer's status, so that a
// script's steps run in order and it can tell success from failure.

namespace {

// How often a waiting request looks whether the window is free for it.
constexpr int RequestInterval = 100;

}  // namespace

void TMainForm::SetupRequests() {
  RequestTimer.SetInterval(RequestInterval);
  RequestTimer.OnTimer = [this](TObject* sender) { RequestTimerTimer(sender); };
}

void TMainForm::QueueRequest(const TStringList& params, THandOverReply reply) {
  if (FRequests.size() >= RequestQueueBound) {
    reply({hsBusy, "Refused: " + std::to_string(RequestQueueBound) +
                       " requests wait for the window already."});
    return;
  }
  FRequests.push_back({params, std::move(reply)});
  RequestTimer.SetEnabled(true);
}

// The timer fires inside a box's loop too; a request waits there until the box has closed.
void TMainForm::RequestTimerTimer(TObject*) {
  if (FStamper || FRunningReply || Application().MessageBoxesOpen() > 0) return;
  if (FRequests.empty()) {
    RequestTimer.SetEnabled(false);
    return;
  }
  TWaitingRequest request = std::move(FRequests.front());
  FRequests.pop_front();
  FLastWarning.clear();
  if (RunParams(request.Params, true)) {
    FRunningReply = std::move(request.Reply);
    return;
  }
  request.Reply({hsNoOperation, FLastWarning.empty() ? "No operation." : FLastWarning});
}

// A stop comes before a refusal: declining the backup question both stops the run and may leave
// a refusal behind.
void TMainForm::AnswerRunningRequest(const TStamper& stamper, const std::string& errorLog) {
  if (!FRunningReply) return;
  const THandOverReply reply = std::move(FRunningReply);
  FRunningReply = nullptr;
  int status = hsDone;
  if (stamper.Canceled())
    status = hsCanceled;
  else if (!stamper.Refusal().empty())
    status = hsNoOperation;
  else if (!errorLog.empty() || stamper.SucceededCount() < stamper.ItemCount())
    status = hsItemsFailed;
  const std::string refusal = stamper.Refusal().empty() ? "" : stamper.Refusal() + "\r\n";
  reply({status, std::exchange(FPreviewReply, {}) + StatusLine() + "\r\n" + refusal + errorLog});
}

void TMainForm::RefuseWaitingRequests() {
  RequestTimer.SetEnabled(false);
  while (!FRequests.empty()) {
    const THandOverReply reply = std::move(FRequests.front().Reply);
    FRequests.pop_front();
    reply({hsBusy, "Refused: the window closed first."});
  }
}
