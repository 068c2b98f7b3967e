#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "engine/NumberRule.h"
#include "engine/RunState.h"
#include "engine/VehicleModel.h"

namespace veerline::ui {

// What a diagram knows of the run it shows besides its tracks: the vehicle,
// and the path unit its stations are in.
struct DiagramRun {
  QString vehicleName;
  int vehicleType = 0;
  int pathUnit = 0;  // position in the path unit list; 0 is "Not set"
};

// The legend of the "Turning Report" for a vehicle type: the steered unit
// for the red steering curve, then each towed body whose articulation the
// run records. Empty for a code outside the types, which keeps the generic legend.
QStringList TurningLegend(int vehicleType);

// A track's value at a station, straight between the rows around it; nothing
// outside the track or where a row has no value.
std::optional<double> TrackValueAt(const Track& track, double station);

// The short text of a path unit ("m", "ft"); empty when it is not set.
QString PathUnitSymbol(int pathUnit);

// One value read off a curve at the cursor, in the curve's colour.
struct CursorReading {
  QString value;  // "42,5 %", "23,45 km/h", or "-" where the curve has none
  QColor colour;
};

// The steering and articulation values at a station, one per legend line.
std::vector<CursorReading> TurningReadings(const RunState& state, const DiagramRun& run,
                                           double station, const NumberSymbols& symbols);
// The speed at a station in the unit of the speed track.
CursorReading SpeedReading(const RunState& state, double station, SpeedUnit unit,
                           const NumberSymbols& symbols);
// "12,34 m": a station with the path unit.
QString StationText(double station, const DiagramRun& run, const NumberSymbols& symbols);

// The station axis along the bottom edge: ticks at round distances from 0 to
// the extent, labelled, the last label with the unit.
void PaintStationAxis(QPainter& painter, const QSize& box, double extent, const QString& unit,
                      const QFont& font);
// The vehicle's name at the top right.
void PaintVehicleName(QPainter& painter, const QSize& box, const QString& name, const QFont& font);
// The cursor: a vertical line at pixel column x with the station beside its
// top. Turning readings go beside their legend lines; a single reading (the
// speed) goes beside the line.
void PaintCursor(QPainter& painter, const QSize& box, int x, const QString& station,
                 const QStringList& legend, const std::vector<CursorReading>& readings,
                 const QFont& font);

}  // namespace veerline::ui
