#pragma once

// What every piece of run output shares: the layers, the colour settings and
// their mapping to CAD colour indices, the entity recipes (polyline, circle,
// text), the three run blocks and the failure message of a drawing routine.

#include <optional>
#include <string>
#include <vector>

#include "cad/CadInterface.h"
#include "engine/FailureText.h"
#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/NumberRule.h"

namespace veerline::cad {

inline constexpr const char* kLayerVehicle = "Turn_Vehicle";
inline constexpr const char* kLayerReverse = "Turn_Reverse";  // outlines of reverse legs
inline constexpr const char* kLayerLeftSweep = "Turn_LeftSweep";
inline constexpr const char* kLayerRightSweep = "Turn_RightSweep";
inline constexpr const char* kLayerWheelSweep = "Turn_WheelSweep";
inline constexpr const char* kLayerErrNotes = "Draftkit_ErrNotes";

// Colour setting keys (settings application "Veerline", section "Turn") and defaults.
struct ColourKey {
  const char* key;
  const char* defaultValue;
};
inline constexpr ColourKey kVehicleBodyOutlineColor{"VehicleBodyOutlineColor", "7"};
inline constexpr ColourKey kWheelOutlineColor{"WheelOutlineColor", "7"};
inline constexpr ColourKey kVehicleReverseOutlineColor{"VehicleReverseOutlineColor", "4"};
inline constexpr ColourKey kTyreTreadColor{"TyreTreadColor", "2"};
inline constexpr ColourKey kVehicleSweepLeftFrontColor{"VehicleSweepLeftFrontColor", "5"};
inline constexpr ColourKey kVehicleSweepRightFrontColor{"VehicleSweepRightFrontColor", "5"};
inline constexpr ColourKey kVehicleSweepLeftBackColor{"VehicleSweepLeftBackColor", "5"};
inline constexpr ColourKey kVehicleSweepRightBackColor{"VehicleSweepRightBackColor", "5"};
inline constexpr ColourKey kWheelSweepLeftFrontColor{"WheelSweepLeftFrontColor", "3"};
inline constexpr ColourKey kWheelSweepRightFrontColor{"WheelSweepRightFrontColor", "3"};
inline constexpr ColourKey kWheelSweepLeftBackColor{"WheelSweepLeftBackColor", "3"};
inline constexpr ColourKey kWheelSweepRightBackColor{"WheelSweepRightBackColor", "3"};
inline constexpr ColourKey kEnvelopeLeftColor{"EnvelopeLeftColor", "2"};
inline constexpr ColourKey kEnvelopeRightColor{"EnvelopeRightColor", "2"};

// Colour index limit marks are always drawn in (red).
inline constexpr int kMarkColorIndex = 1;

// The user's colour choices as stored texts. The desktop program reads its
// settings store; a missing key gives the default passed in.
class ColourSettings {
 public:
  virtual ~ColourSettings() = default;
  virtual std::string Read(const std::string& key, const std::string& defaultValue) = 0;
};

// Settings with nothing stored: every key reads as its default.
class DefaultColourSettings final : public ColourSettings {
 public:
  std::string Read(const std::string& /*key*/, const std::string& defaultValue) override {
    return defaultValue;
  }
};

// CAD colour index of a colour list position: 0 by layer (256), 1..7 the
// named colours, anything else by layer.
int ListIndexToColor(int position);

// Reads a colour setting as a 16-bit list position and maps it to a colour
// index. A text that is no number fails with "Type mismatch", one outside the
// 16-bit range with "Overflow".
int ReadColour(ColourSettings& settings, const ColourKey& key, const NumberSymbols& symbols);

// A size fixed in metres in drawing units; a zero scale fails with "Division by zero".
double MetresToUnits(double metres, double metresPerUnit);

// Polyline recipe: vertices as (x, y, 0) through "ConvertArrayToPoints", then
// "AddLightWeightPolyline", "Closed" where given, colour, layer. The
// caller sets widths on the returned entity where it wants them.
CadEntity& DrawPolyline(CadApplication& application, CadBlock& block,
                        const std::vector<Point2D>& vertices, std::optional<bool> closed,
                        int colorIndex, const std::string& layer);

// The same recipe for vertices already laid out as (x, y, 0) triples.
CadEntity& DrawPolyline(CadApplication& application, CadBlock& block,
                        const std::vector<double>& xyz, std::optional<bool> closed,
                        int colorIndex, const std::string& layer);

// Circle recipe: a centre point at Z 0, "AddCircle", colour, layer.
CadEntity& DrawCircle(CadApplication& application, CadBlock& block, const Point2D& centre,
                      double radius, int colorIndex, const std::string& layer);

// Text recipe: "AddText" at the point, centred (alignment 4) with alignment and
// insertion point both at the point, colour, layer.
CadEntity& DrawText(CadApplication& application, CadBlock& block, const std::string& value,
                    const Point2D& at, double height, int colorIndex, const std::string& layer);

// The names of a run's three blocks.
struct RunBlockNames {
  std::string vehicle, sweep, envelope;
};

// The three blocks that receive a run's output.
struct RunBlocks {
  CadBlock* vehicle = nullptr;
  CadBlock* sweep = nullptr;
  CadBlock* envelope = nullptr;
};

// Creates the vehicle, sweep and envelope blocks at the origin under the names
// given. CAD failures pass to the caller.
RunBlocks CreateRunBlocks(CadApplication& application, CadDocument& document,
                          const RunBlockNames& names);

// Places one reference of the named block in model space at the origin,
// scale 1, 1, 1, rotation 0.
void InsertRunBlock(CadDocument& document, const std::string& name);

using veerline::CurrentFailureDescription;

// A drawing routine's failure message: warning, description followed by the
// routine's tag, title "Veichle Turning Simulation". Call only inside a catch block.
void ReportDrawingFailure(Host& host, const std::string& tag);

}  // namespace veerline::cad
