#include "cad/CadConnection.h"

namespace veerline::cad {

void CadConnection::Attach() {
  CadApplication& application = mAttacher.Attach(mClassName);
  mApplication = &application;
  mDocument = &application.ActiveDocument();
}

void CadConnection::AttachApplication() { mApplication = &mAttacher.Attach(mClassName); }

CadApplication& CadConnection::Application() {
  if (!mApplication) throw CadError::NotRunning();
  return *mApplication;
}

CadDocument& CadConnection::Document() {
  if (!mDocument) throw CadError::NotRunning();
  return *mDocument;
}

// Attaches, lets pending events run and takes a minimised drawing window (state
// 1) back to normal. Bringing the window to the front is the host's business;
// nothing here may end the caller's work, so every failure is swallowed.
void ActivateCadWindow(CadConnection& connection, Host& host) {
  try {
    connection.Attach();
    host.ProcessPendingEvents();
    CadDocument& document = connection.Document();
    if (document.WindowState() == 1) document.SetWindowState(0);
  } catch (...) {
  }
}

namespace {

// One pick attempt: attach, read "ActiveDocument" and "Utility", call "GetEntity".
CadEntity& PickOnce(CadConnection& connection, const std::string& prompt) {
  connection.Attach();
  CadUtility& utility = connection.Document().Utility();
  return utility.GetEntity(prompt + "\n");
}

// Cancels the pending pick in the drawing; this may fail as well, harmlessly.
void CancelPendingPick(CadConnection& connection) {
  try {
    connection.Document().SendCommand("^C");
  } catch (...) {
  }
}

}  // namespace

CadEntity* entselPoly(CadConnection& connection, const std::string& prompt) {
  for (;;) {
    try {
      return &PickOnce(connection, prompt);
    } catch (const CadError& error) {
      if (error.Kind() == CadErrorKind::PickMissed) continue;
      CancelPendingPick(connection);
      return nullptr;
    } catch (...) {
      CancelPendingPick(connection);
      return nullptr;
    }
  }
}

}  // namespace veerline::cad

namespace veerline::cad {

bool IsCadUnreachable(int code) { return code >= 429 && code <= 451; }

}  // namespace veerline::cad
