#pragma once

// A host and a drawing that record what path preparation, the station loop
// and the summary show and draw.

#include <string>
#include <vector>

#include "engine/Host.h"
#include "engine/SweepDrawing.h"

namespace veerline::sweeptest {

struct ShownMessage {
  MessageKind kind;
  std::string title, text;
};

class RecordingHost : public Host {
 public:
  explicit RecordingHost(NumberSymbols symbols = NumberSymbols::PointDecimal())
      : symbols(std::move(symbols)) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override {
    messages.push_back({kind, title, text});
    return MessageAnswer::Ok;
  }
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 0) status.push_back(text);
  }
  void SetProgressVisible(bool) override {}
  void SetProgressMaximum(double maximum) override { progressMaximum = maximum; }
  void SetProgressValue(double value) override { progressValue = value; }
  // Sets the stop flag once the given number of pending-event calls is reached.
  void ProcessPendingEvents() override {
    ++pendingEventCalls;
    if (stopFlag && pendingEventCalls == stopAfterCalls) *stopFlag = true;
  }
  NumberSymbols Symbols() const override { return symbols; }

  NumberSymbols symbols;
  std::vector<ShownMessage> messages;
  std::vector<std::string> status, captions;
  double progressMaximum = -1, progressValue = -1;
  int pendingEventCalls = 0;
  bool* stopFlag = nullptr;
  int stopAfterCalls = -1;
};

class RecordingDrawing : public SweepDrawing {
 public:
  struct Outline {
    SegmentCorners corners;
    std::string layer;
    double wheelbase;
  };
  struct Mark {
    Point2D a, v, b;
    double angle;
    std::string layer;
  };
  void PlotSegment(const SegmentCorners& corners, const std::string& layer,
                   const SegmentRecord& segment, int, double) override {
    outlines.push_back({corners, layer, segment.Wheelbase});
  }
  void PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b,
                            double angleDegrees, const std::string& layer, double) override {
    marks.push_back({a, v, b, angleDegrees, layer});
  }
  std::vector<Outline> outlines;
  std::vector<Mark> marks;
};

}  // namespace veerline::sweeptest
