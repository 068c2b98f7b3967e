#include "fuzz/FuzzEntries.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <vector>

#include "cad/CadConnection.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/DrawingOutput.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"
#include "cad/ScriptedPicker.h"
#include "engine/NumberRule.h"
#include "engine/PathPreparation.h"
#include "run/SilentHost.h"
#include "run/ExecuteSweep.h"
#include "library/VehicleDataFile.h"

namespace veerline::fuzz {
namespace {

// Hands out the input bytes one at a time; zeros once they are used up.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}
  std::uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  std::int8_t Signed() { return static_cast<std::int8_t>(Byte()); }

 private:
  const std::uint8_t* mData;
  std::size_t mSize;
  std::size_t mPos = 0;
};

// A per-process scratch file, removed when the process ends.
const std::filesystem::path& ScratchLibrary() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("veerline-fuzz-" + std::to_string(::getpid()) + ".vdt");
  static const struct Remover {
    ~Remover() {
      std::error_code ec;
      std::filesystem::remove(path, ec);
    }
  } remover;
  return path;
}

// A dimension text chosen by one or two bytes: the window's default, zero, a
// small positive or negative value, or a larger one.
std::string DimensionText(ByteReader& in, std::string_view defaultText) {
  const std::uint8_t pick = in.Byte();
  const NumberSymbols point = NumberSymbols::PointDecimal();
  switch (pick % 8) {
    case 4:
      return "0";
    case 5:
      return FormatFieldNumber(in.Byte() / 10.0, point);
    case 6:
      return FormatFieldNumber(-in.Byte() / 10.0, point);
    case 7:
      return FormatFieldNumber(in.Byte() * 1.0, point);
    default: {
      // The defaults are written with a comma.
      std::string text(defaultText);
      for (char& c : text)
        if (c == ',') c = '.';
      return text;
    }
  }
}

struct DecodedRun {
  RunInputs inputs;
  std::vector<cad::CadPoint> vertices;
  std::vector<double> bulges;
  bool closed = false;
};

DecodedRun DecodeRun(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  DecodedRun run;
  RunInputs& inputs = run.inputs;
  inputs.vehicle = VehicleFields::Defaults(NumberSymbols::PointDecimal());
  inputs.vehicle.Type = static_cast<std::int16_t>(1 + in.Byte() % 13);
  const int unit = 1 + in.Byte() % 6;
  inputs.vehicle.Unit = static_cast<std::int16_t>(unit);
  inputs.pathUnit = unit;
  const std::uint8_t flags = in.Byte();
  inputs.reverse = flags & 1;
  inputs.plotSweep = flags & 2;
  inputs.plotPerimeter = !(flags & 4);
  inputs.plotVehicle = !(flags & 8);
  inputs.plotOnlyFirstAndLast = flags & 16;
  run.closed = flags & 32;
  inputs.txt_Speed = FormatFieldNumber(1 + in.Byte() % 60, NumberSymbols::PointDecimal());
  inputs.speedUnit = in.Byte() % 3;
  for (int d = 0; d < kDimensionCount; ++d) {
    const auto dimension = static_cast<Dimension>(d);
    inputs.vehicle[dimension] = DimensionText(in, DimensionDefaultText(dimension));
  }

  // Vertices in metres around (1000, 1000), so that a point that fell back to
  // the origin stands out; bulges up to 4 in size with a few extreme ones.
  const int count = 1 + in.Byte() % 8;
  for (int i = 0; i < count; ++i) {
    const double x = in.Signed() * 0.5, y = in.Signed() * 0.5;
    const std::int8_t b = in.Signed();
    double bulge = b / 32.0;
    if (b == 127) bulge = 1e-12;
    if (b == -128) bulge = 1e6;
    run.vertices.push_back({x, y, 0});
    run.bulges.push_back(bulge);
  }
  // Scale the path down to at most 300 metres so that a run stays short.
  PathPolyline path;
  for (std::size_t i = 0; i < run.vertices.size(); ++i)
    path.vertices.push_back({run.vertices[i].X, run.vertices[i].Y, run.bulges[i], 0});
  if (run.closed && !path.vertices.empty()) path.vertices.push_back(path.vertices.front());
  double length = 0;
  MeasurePath(path, length);
  const double scale = length > 300 || !std::isfinite(length) ? 300 / length : 1;
  const double metresPerUnit = MetresPerUnit(unit);
  for (auto& v : run.vertices) {
    v.X = (1000 + v.X * (std::isfinite(scale) ? scale : 0)) / metresPerUnit;
    v.Y = (1000 + v.Y * (std::isfinite(scale) ? scale : 0)) / metresPerUnit;
  }
  return run;
}

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

std::string CheckRunState(const RunState& state) {
  for (const auto& s : state.stations)
    if (!Finite(s.StationDistance) || !Finite(s.StationPoint.X) || !Finite(s.StationPoint.Y))
      return "station that is not finite";
  for (const auto& row : state.stationTrack)
    if (!Finite(row.X) || !Finite(row.Y) || !Finite(row.Distance))
      return "station track row that is not finite";
  for (const Track* track :
       {&state.steeringTrack, &state.articulationTrack1, &state.articulationTrack2,
        &state.articulationTrack3, &state.speedTrack})
    for (const auto& row : *track)
      if (!Finite(row.Distance) || (row.Value && !Finite(*row.Value)))
        return "diagram track value that is not finite";
  for (const auto& table : state.sweep)
    for (const auto& row : table) {
      if (!Finite(row.X) || !Finite(row.Y) || !Finite(row.Distance))
        return "sweep table row that is not finite";
      if (row.X == 0 && row.Y == 0) return "sweep table point at the origin";
    }
  for (const auto* lines : {&state.segmentLinesLeft, &state.segmentLinesRight})
    for (const auto& l : *lines)
      if (!Finite(l.X1) || !Finite(l.Y1) || !Finite(l.X2) || !Finite(l.Y2) || !Finite(l.Station))
        return "side line that is not finite";
  for (const auto* trace : {&state.envelopeLeft, &state.envelopeRight})
    for (const auto& p : *trace)
      if (!Finite(p.X) || !Finite(p.Y)) return "envelope point that is not finite";
  return {};
}

std::string FuzzDxfReader(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    auto drawing = cad::ReadDxfText(text, "fuzz.dxf");
    if (drawing == nullptr) return "ReadDxfText gave no drawing and no error";
    // A drawing that is read comes back byte for byte, and with additions it
    // still reads.
    if (cad::WriteDxfText(*drawing) != text) return "an unchanged drawing was not written as read";
    drawing->AddLayer("Turn_Vehicle");
    drawing->ModelSpace().AddCircle({1, 2, 0}, 3).SetLayer("Turn_Vehicle");
    std::string written = cad::WriteDxfText(*drawing);
    auto again = cad::ReadDxfText(written, "fuzz-out.dxf");
    if (again->ModelSpace().Entities().size() != drawing->ModelSpace().Entities().size())
      return "the written drawing reads back with another number of entities";
  } catch (const cad::DxfError&) {
  }
  return {};
}

std::string FuzzVehicleFile(const std::uint8_t* data, std::size_t size) {
  using namespace library;
  RawRecord raw{};
  std::copy(data, data + std::min(size, raw.size()), raw.begin());
  (void)DecodeVehicleRecord(raw);

  const auto& path = ScratchLibrary();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    const auto listed = ListVehicleRecords(path);
    for (const auto& entry : listed) {
      const VehicleRecord vehicle = ReadVehicleRecord(path, entry.record);
      if (vehicle.Name.size() > 400) return "decoded name longer than its field allows";
    }
    const std::int32_t addable = RecordsAddable(path);
    if (addable < 0 || addable > kMaxRecords) return "RecordsAddable out of range";
  } catch (const LibraryFileError&) {
  }
  return {};
}

std::string FuzzNumberRule(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const NumberSymbols& symbols :
       {NumberSymbols::PointDecimal(), NumberSymbols::PointDecimalCommaGrouping(),
        NumberSymbols::CommaDecimal()}) {
    const auto value = TryParseFieldNumber(text, symbols);
    if (!value) continue;
    if (!std::isfinite(*value)) return "parsed a number that is not finite";
    const std::string formatted = FormatFieldNumber(*value, symbols);
    const auto again = TryParseFieldNumber(formatted, symbols);
    if (!again) return "formatted text '" + formatted + "' does not parse";
    // Fifteen significant digits: equal to within a part in 1e14.
    if (std::fabs(*again - *value) > 1e-14 * std::fabs(*value))
      return "round trip through '" + formatted + "' changed the value";
    if (FormatFieldNumber(*again, symbols) != formatted) return "formatting is not stable";
  }
  return {};
}

std::string FuzzWholeRun(const std::uint8_t* data, std::size_t size) {
  const DecodedRun run = DecodeRun(data, size);
  cad::DrawingAttacher attacher;
  attacher.Open(std::make_unique<cad::DrawingModel>());
  cad::ScriptedPicker picker;
  attacher.Application()->SetPicker(&picker);
  cad::CadEntity& path = attacher.Current()->ModelSpace().AddLightWeightPolyline(run.vertices);
  auto& polyline = static_cast<cad::DrawingEntity&>(path);
  for (std::size_t i = 0; i < run.bulges.size(); ++i)
    polyline.Data().Vertices[i].Bulge = run.bulges[i];
  path.SetClosed(run.closed);
  picker.PickHandle(path.Handle());

  SilentHost host{MessageAnswer::No};
  cad::DefaultColourSettings colours;
  RunState state;
  cad::CadConnection connection(attacher);
  RunContext context{host, connection, colours, state};
  (void)ExecuteButton(run.inputs, context);
  return CheckRunState(state);
}

}  // namespace veerline::fuzz
