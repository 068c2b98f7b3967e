#pragma once

// A small recording stand-in for the CAD application: entities remember what
// was set on them and in which order, blocks can be told to fail, the
// application counts how often the active document was read.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cad/CadInterface.h"
#include "cad/DrawingOutput.h"
#include "run/RunHost.h"

namespace veerline::cad {
namespace {

class FakeEntity : public CadEntity {
 public:
  explicit FakeEntity(int type) : type(type) {}

  int type;
  std::vector<CadPoint> points;  // polyline vertices
  CadPoint centre;               // circle centre or text insertion
  double radius = 0;
  std::string text;
  double height = 0;
  std::optional<bool> closed;
  int color = -1;
  std::string layer;
  std::vector<std::tuple<int, double, double>> widths;
  int alignment = -1;
  std::optional<CadPoint> alignmentPoint, insertionPoint;
  std::vector<std::string> calls;  // member names in the order they were set

  std::string Handle() const override { return "1"; }
  int EntityType() const override { return type; }
  std::string Layer() const override { return layer; }
  void SetLayer(const std::string& value) override {
    layer = value;
    calls.push_back("Layer");
  }
  int ColorIndex() const override { return color; }
  void SetColorIndex(int value) override {
    color = value;
    calls.push_back("ColorIndex");
  }
  bool Closed() const override { return closed.value_or(false); }
  void SetClosed(bool value) override {
    closed = value;
    calls.push_back("Closed");
  }
  int CoordinateCount() const override { return static_cast<int>(points.size()); }
  CadPoint Coordinate(int index) const override { return points.at(index); }
  void SetWidth(int segment, double start, double end) override {
    widths.emplace_back(segment, start, end);
    calls.push_back("SetWidth");
  }
  void SetHorizontalAlignment(int value) override {
    alignment = value;
    calls.push_back("HorizontalAlignment");
  }
  void SetTextAlignmentPoint(const CadPoint& point) override {
    alignmentPoint = point;
    calls.push_back("TextAlignmentPoint");
  }
  void SetInsertionPoint(const CadPoint& point) override {
    insertionPoint = point;
    calls.push_back("InsertionPoint");
  }
};

class FakeBlock : public CadBlock {
 public:
  explicit FakeBlock(std::string name = "B") : name(std::move(name)) {}

  std::string name;
  CadPoint origin;
  std::vector<std::unique_ptr<FakeEntity>> entities;
  int failAfter = -1;  // the add after this many entities fails; -1 never

  std::string Name() const override { return name; }
  CadEntity& AddLightWeightPolyline(const std::vector<CadPoint>& points) override {
    FakeEntity& e = Add(kEntityLightWeightPolyline);
    e.points = points;
    return e;
  }
  CadEntity& AddCircle(const CadPoint& centre, double radius) override {
    FakeEntity& e = Add(kEntityCircle);
    e.centre = centre;
    e.radius = radius;
    return e;
  }
  CadEntity& AddText(const std::string& value, const CadPoint& insertion, double height) override {
    FakeEntity& e = Add(kEntityText);
    e.text = value;
    e.centre = insertion;
    e.height = height;
    return e;
  }

  std::vector<FakeEntity*> OfType(int type) const {
    std::vector<FakeEntity*> found;
    for (const auto& e : entities) {
      if (e->type == type) found.push_back(e.get());
    }
    return found;
  }
  std::vector<FakeEntity*> Polylines() const { return OfType(kEntityLightWeightPolyline); }

 private:
  FakeEntity& Add(int type) {
    if (failAfter >= 0 && static_cast<int>(entities.size()) >= failAfter) {
      throw CadError::Other(-2147467259, "Method 'Add' of object 'Block' failed");
    }
    entities.push_back(std::make_unique<FakeEntity>(type));
    return *entities.back();
  }
};

struct FakeInsert {
  CadPoint point;
  std::string name;
  double sx, sy, sz, rotation;
};

class FakeDocument : public CadDocument {
 public:
  std::vector<std::string> layers;  // every "Add", repeats included
  std::vector<std::unique_ptr<FakeBlock>> blocks;
  std::vector<FakeInsert> inserts;

  int WindowState() const override { return 0; }
  void SetWindowState(int) override {}
  CadUtility& Utility() override { throw CadError::MemberNotSupported("Utility"); }
  void SendCommand(const std::string&) override {}
  void AddLayer(const std::string& name) override { layers.push_back(name); }
  CadBlock& AddBlock(const CadPoint& origin, const std::string& name) override {
    blocks.push_back(std::make_unique<FakeBlock>(name));
    blocks.back()->origin = origin;
    return *blocks.back();
  }
  void InsertBlock(const CadPoint& point, const std::string& name, double sx, double sy, double sz,
                   double rotation) override {
    inserts.push_back({point, name, sx, sy, sz, rotation});
  }
  void Regen() override {}
};

class FakeApplication : public CadApplication {
 public:
  FakeDocument document;
  mutable int activeDocumentReads = 0;
  mutable int createPointCalls = 0;
  mutable int convertCalls = 0;
  mutable std::vector<double> lastArray;

  CadDocument& ActiveDocument() override {
    ++activeDocumentReads;
    return document;
  }
  std::string Caption() const override { return "IntelliCAD"; }
  CadPoint CreatePoint() const override {
    ++createPointCalls;
    return {};
  }
  std::vector<CadPoint> ConvertArrayToPoints(const std::vector<double>& xyz) const override {
    ++convertCalls;
    lastArray = xyz;
    return CadApplication::ConvertArrayToPoints(xyz);
  }
};

class FakeAttacher : public CadAttacher {
 public:
  FakeApplication application;
  bool running = true;
  int attaches = 0;

  CadApplication& Attach(const std::string&) override {
    if (!running) throw CadError::NotRunning();
    ++attaches;
    return application;
  }
};

// A host that records messages, status texts and progress calls.
class FakeHost : public RunHost {
 public:
  struct Message {
    MessageKind kind;
    std::string title, text;
  };
  std::vector<Message> messages;
  std::vector<std::string> events;
  std::vector<double> randoms;
  LocalTime now;
  NumberSymbols symbols = NumberSymbols::PointDecimal();

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override {
    messages.push_back({kind, title, text});
    return MessageAnswer::Ok;
  }
  void SetStatusText(int panel, const std::string& text) override {
    events.push_back("status" + std::to_string(panel) + ":" + text);
  }
  void SetProgressVisible(bool visible) override {
    events.push_back(visible ? "progress:show" : "progress:hide");
  }
  void SetProgressMaximum(double maximum) override {
    events.push_back("progress:max=" + std::to_string(static_cast<int>(maximum)));
  }
  void SetProgressValue(double value) override {
    events.push_back("progress:value=" + std::to_string(static_cast<int>(value)));
  }
  void ProcessPendingEvents() override {}
  void MinimiseMainWindow() override {}
  void RestoreMainWindow() override {}
  double NextRandom() override { return next < randoms.size() ? randoms[next++] : 0; }
  LocalTime Now() override { return now; }
  NumberSymbols Symbols() const override { return symbols; }

 private:
  std::size_t next = 0;
};

// Colour settings with a few stored values; other keys read as their defaults.
class StoredColours : public ColourSettings {
 public:
  std::map<std::string, std::string> values;
  std::string Read(const std::string& key, const std::string& defaultValue) override {
    const auto it = values.find(key);
    return it == values.end() ? defaultValue : it->second;
  }
};

}  // namespace
}  // namespace veerline::cad
