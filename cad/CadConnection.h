#pragma once

#include <string>

#include "cad/CadInterface.h"
#include "engine/Host.h"

namespace veerline::cad {

inline constexpr const char* kCadClassName = "ICAD.Application";

// The program-wide link to the CAD application. There is no lasting
// connection: every user attaches afresh; the run, the pick and the limit marks
// read the active document anew, the sweep lines and outlines renew only the
// application and keep the document of the last full attach.
class CadConnection {
 public:
  explicit CadConnection(CadAttacher& attacher, std::string className = kCadClassName)
      : mAttacher(attacher), mClassName(std::move(className)) {}

  // Attaches to the running application and reads its active document.
  void Attach();
  // Attaches to the application only; the stored document stays.
  void AttachApplication();

  const std::string& ClassName() const { return mClassName; }
  CadApplication& Application();  // throws CadNotRunning before the first attach
  CadDocument& Document();        // throws CadNotRunning before the first full attach

 private:
  CadAttacher& mAttacher;
  std::string mClassName;
  CadApplication* mApplication = nullptr;
  CadDocument* mDocument = nullptr;
};

// Brings the CAD window to the front; any failure inside is ignored.
void ActivateCadWindow(CadConnection& connection, Host& host);

// Lets the user pick an entity: a miss asks again, a cancel sends "^C" and
// gives nothing.
CadEntity* entselPoly(CadConnection& connection, const std::string& prompt);

// True for the automation codes 429 to 451: the application cannot be reached or used.
bool IsCadUnreachable(int code);

}  // namespace veerline::cad
