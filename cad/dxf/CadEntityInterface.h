#pragma once

// The entity side of the CAD interface: errors, points, entities and block
// definitions as a CAD application's automation gives them. The in-memory
// drawing's entities and blocks implement it; the application and document
// side is in cad/CadInterface.h. No Qt or DXF library types.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace veerline::cad {

enum class CadErrorKind { CadNotRunning, MemberNotSupported, PickMissed, Other };

inline constexpr std::int32_t kCadNotRunningCode = 429;
inline constexpr std::int32_t kMemberNotSupportedCode = 438;
inline constexpr std::int32_t kPickMissedCode = static_cast<std::int32_t>(0x80004005u);  // E_FAIL

// A failed CAD call: its kind, automation code and description.
class CadError : public std::runtime_error {
 public:
  CadError(CadErrorKind kind, std::int32_t code, const std::string& description)
      : std::runtime_error(description), mKind(kind), mCode(code) {}
  CadErrorKind Kind() const { return mKind; }
  std::int32_t Code() const { return mCode; }
  std::string Description() const { return what(); }

  static CadError NotRunning();
  static CadError MemberNotSupported(const std::string& member);
  static CadError PickMissed();
  static CadError Other(std::int32_t code, const std::string& description);

 private:
  CadErrorKind mKind;
  std::int32_t mCode;
};

struct CadPoint {
  double X = 0, Y = 0, Z = 0;
  bool operator==(const CadPoint&) const = default;
};

// Entity kinds as "EntityType" reports them (2 is a 3D polyline).
enum CadEntityType : int {
  kEntity3dPolyline = 2,
  kEntityArc = 4,
  kEntityCircle = 8,
  kEntityLine = 19,
  kEntityPolyline = 23,
  kEntityText = 32,
  kEntityBlockInsert = 7,
  kEntityLightWeightPolyline = 24,
  kEntityOther = 0,
};

inline constexpr int kColorByLayer = 256;
inline constexpr int kAlignMiddle = 4;  // "HorizontalAlignment" 4

// One drawing entity. Members an entity kind lacks fail with MemberNotSupported,
// as a circle asked for its "Coordinates" does.
class CadEntity {
 public:
  virtual ~CadEntity() = default;

  virtual std::string Handle() const = 0;
  virtual int EntityType() const = 0;
  virtual std::string Layer() const = 0;
  virtual void SetLayer(const std::string& layer) = 0;
  virtual int ColorIndex() const = 0;
  virtual void SetColorIndex(int colorIndex) = 0;

  // Polylines.
  virtual bool Closed() const;
  virtual void SetClosed(bool closed);
  virtual int CoordinateCount() const;
  virtual CadPoint Coordinate(int index) const;
  virtual double GetBulge(int index) const;
  virtual void SetWidth(int segmentIndex, double startWidth, double endWidth);

  // Texts.
  virtual void SetHorizontalAlignment(int alignment);
  virtual void SetTextAlignmentPoint(const CadPoint& point);
  virtual void SetInsertionPoint(const CadPoint& point);
};

// A block definition that accepts new entities. The returned entities belong to
// the drawing and stay valid as long as it does.
class CadBlock {
 public:
  virtual ~CadBlock() = default;
  virtual std::string Name() const = 0;
  virtual CadEntity& AddLightWeightPolyline(const std::vector<CadPoint>& points) = 0;
  virtual CadEntity& AddCircle(const CadPoint& centre, double radius) = 0;
  // A text showing the value, at the point, with the given height.
  virtual CadEntity& AddText(const std::string& value, const CadPoint& insertion, double height) = 0;
};

}  // namespace veerline::cad
