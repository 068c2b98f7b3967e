#pragma once

#include <iosfwd>
#include <string>

#include "run/BatchHost.h"

namespace veerline::cli {

// The command line's window: message boxes go to a stream (stderr) as
// "TITLE: TEXT" and are recorded for the report; questions are answered Yes;
// status texts and progress are kept but not shown.
class CliHost : public BatchHost {
 public:
  CliHost(std::ostream& err, unsigned seed) : BatchHost(seed), mErr(err) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override;

 private:
  std::ostream& mErr;
};

}  // namespace veerline::cli
