#pragma once

// One run of a vehicle type along a path through the Execute button, into an
// in-memory drawing, with the outputs asked for.

#include <memory>
#include <vector>

#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/dxf/DrawingModel.h"
#include "engine/Numerics.h"
#include "run/ExecuteSweep.h"
#include "run/SilentHost.h"

namespace veerline::bench {

enum Outputs { kOutlines = 0, kWithSweep = 1, kWithEnvelope = 2 };

// One run of the vehicle type along the path, with the outputs asked for.
struct RunSetup {
  cad::DrawingAttacher attacher;
  cad::ScriptedPicker picker;
  cad::DefaultColourSettings colours;
  SilentHost host;
  RunState state;
  RunInputs inputs;

  RunSetup(const std::vector<cad::PolylineVertex>& path, int type, int outputs) {
    attacher.Open(std::make_unique<cad::DrawingModel>());
    attacher.Application()->SetPicker(&picker);
    std::vector<cad::CadPoint> vertices;
    for (const auto& v : path) vertices.push_back({v.X, v.Y, 0});
    cad::CadEntity& entity = attacher.Current()->ModelSpace().AddLightWeightPolyline(vertices);
    auto& polyline = static_cast<cad::DrawingEntity&>(entity);
    for (std::size_t i = 0; i < path.size(); ++i) polyline.Data().Vertices[i].Bulge = path[i].Bulge;
    picker.PickHandle(entity.Handle());
    inputs.vehicle = VehicleFields::Defaults(NumberSymbols::PointDecimal());
    inputs.vehicle.Type = static_cast<std::int16_t>(type);
    inputs.vehicle.Unit = 1;
    inputs.pathUnit = 1;
    inputs.txt_Speed = "10";
    inputs.txt_plotSpacing = "20";
    inputs.plotOnlyFirstAndLast = false;
    inputs.plotSweep = outputs >= kWithSweep;
    inputs.plotPerimeter = outputs >= kWithEnvelope;
  }

  RunOutcome Run() {
    cad::CadConnection connection(attacher);
    RunContext context{host, connection, colours, state};
    return ExecuteButton(inputs, context).outcome;
  }
};

}  // namespace veerline::bench
