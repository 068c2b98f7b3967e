#include "cad/PathReading.h"

#include <exception>
#include <string>

namespace veerline {

PathPolyline ReadPathPolyline(const cad::CadEntity& entity) {
  PathPolyline path;
  const int count = entity.CoordinateCount();
  path.vertices.reserve(count > 0 ? static_cast<std::size_t>(count) + 1 : 1);
  for (int i = 0; i < count; ++i) {
    const cad::CadPoint point = entity.Coordinate(i);
    path.vertices.push_back({point.X, point.Y, entity.GetBulge(i), 0});
  }
  if (entity.Closed() && !path.vertices.empty()) {
    path.vertices.push_back({path.vertices.front().X, path.vertices.front().Y, 0, 0});
  }
  return path;
}

void Prepare_VehiclePath(cad::CadEntity& entity, double calculationStep, double& pathLength,
                         RunState& state, Host& host) {
  const std::string cr(1, kCR);
  try {
    state.stations.clear();
    PathPolyline path = ReadPathPolyline(entity);
    PreparePathStations(path, calculationStep, pathLength, state, host);
  } catch (const cad::CadError& error) {
    state.stations.clear();
    if (error.Kind() == cad::CadErrorKind::CadNotRunning) {
      host.ShowMessage(MessageKind::Warning, "Reading from drawing",
                       "IntelliCAD is not running, or wrong version!" + cr + cr +
                           "If running on Vista or Windows 7, make sure to run IntelliCad as "
                           "administrator!");
    } else if (error.Kind() == cad::CadErrorKind::MemberNotSupported) {
      host.ShowMessage(
          MessageKind::Warning, "Wrong type of element",
          "You have selected wrong type of path element, need to be a Polyline!" + cr + cr);
    } else {
      host.ShowMessage(MessageKind::Warning, "Veerline", error.Description());
    }
  } catch (const std::exception& error) {
    state.stations.clear();
    host.ShowMessage(MessageKind::Warning, "Veerline", error.what());
  } catch (...) {
    state.stations.clear();
    host.ShowMessage(MessageKind::Warning, "Veerline", "Unexpected failure");
  }
}

}  // namespace veerline
