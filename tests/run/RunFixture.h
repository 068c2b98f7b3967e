#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cad/CadConnection.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "run/ExecuteSweep.h"
#include "RecordingHost.h"

namespace veerline::testing {

// A drawing with one path polyline, a scripted pick of it and a recording
// host: the whole run without a window.
class RunFixture : public ::testing::Test {
 protected:
  // Adds a model-space polyline through the points (x, y, bulge) and returns its handle.
  std::string AddPath(const std::vector<std::array<double, 3>>& points, bool closed = false) {
    std::vector<cad::CadPoint> vertices;
    for (const auto& p : points) vertices.push_back({p[0], p[1], 0});
    cad::CadEntity& path = drawing().ModelSpace().AddLightWeightPolyline(vertices);
    auto& polyline = static_cast<cad::DrawingEntity&>(path);
    for (std::size_t i = 0; i < points.size(); ++i) polyline.Data().Vertices[i].Bulge = points[i][2];
    path.SetClosed(closed);
    path.SetLayer("Path");
    return path.Handle();
  }

  // Inputs for a vehicle of the type with the window's default fields, metres.
  static RunInputs Inputs(int type) {
    RunInputs inputs;
    inputs.vehicle = VehicleFields::Defaults(NumberSymbols::PointDecimal());
    inputs.vehicle.Type = static_cast<std::int16_t>(type);
    inputs.vehicle.Unit = 1;
    inputs.pathUnit = 1;
    inputs.txt_Speed = "10";
    return inputs;
  }

  RunOutcome Run(const RunInputs& inputs) {
    cad::CadConnection connection(attacher);
    RunContext context{host, connection, colours, state};
    result = ExecuteButton(inputs, context);
    return result.outcome;
  }

  cad::DrawingModel& drawing() { return *attacher.Current(); }
  cad::DrawingApplication& application() { return *attacher.Application(); }

  void SetUp() override {
    attacher.Open(std::make_unique<cad::DrawingModel>());
    application().SetPicker(&picker);
  }

  // Titles of the messages shown, in order.
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& m : host.messages) titles.push_back(m.title);
    return titles;
  }

  cad::DrawingAttacher attacher;
  cad::ScriptedPicker picker;
  cad::DefaultColourSettings colours;
  RecordingHost host;
  RunState state;
  RunResult result;  // of the last Run
};

}  // namespace veerline::testing
