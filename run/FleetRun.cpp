#include "run/FleetRun.h"

#include <exception>
#include <memory>

#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "cad/dxf/DxfReader.h"
#include "run/BatchHost.h"
#include "run/ExecuteSweep.h"

namespace veerline {
namespace {

// Passes a stop request to the run at the points where a window would let
// the user's Cancel through.
class StoppableHost final : public BatchHost {
 public:
  StoppableHost(NumberSymbols symbols, const std::atomic<bool>& stop, RunState& state)
      : BatchHost(0, std::move(symbols)), mStop(stop), mState(state) {}
  void ProcessPendingEvents() override {
    if (mStop.load(std::memory_order_relaxed)) mState.stopRequested = true;
  }

 private:
  const std::atomic<bool>& mStop;
  RunState& mState;
};

}  // namespace

FleetRow RunFleetVehicle(const FleetRequest& request, const FleetVehicle& vehicle,
                         const std::atomic<bool>& stop) {
  RunState state;
  StoppableHost host(request.symbols, stop, state);
  RunFigures figures;
  std::string failure;
  try {
    RunInputs inputs = request.inputs;
    inputs.vehicle = VehicleFields::FromRecord(vehicle.vehicle, request.symbols);
    // The lock-to-lock time is the vehicle's own, as when it is loaded from the list.
    cad::ScriptedPicker picker;
    picker.PickHandle(request.pathHandle);
    cad::DrawingAttacher attacher;
    attacher.Open(cad::ReadDxfText(request.drawingText, request.drawingName));
    attacher.Application()->SetPicker(&picker);
    cad::CadConnection connection(attacher);
    cad::DefaultColourSettings colours;
    RunContext context{host, connection, colours, state};
    figures = MeasureRun(ExecuteButton(inputs, context).outcome, state);
  } catch (const std::exception& error) {
    failure = error.what();
  }
  return MakeFleetRow(vehicle.vehicle.Name, request.library, vehicle.record, figures,
                      host.Messages(), failure);
}

}  // namespace veerline
