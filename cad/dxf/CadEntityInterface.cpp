#include "cad/dxf/CadEntityInterface.h"

namespace veerline::cad {

CadError CadError::NotRunning() {
  return CadError(CadErrorKind::CadNotRunning, kCadNotRunningCode,
                  "ActiveX component can't create object");
}

CadError CadError::MemberNotSupported(const std::string& member) {
  return CadError(CadErrorKind::MemberNotSupported, kMemberNotSupportedCode,
                  "Object doesn't support this property or method (" + member + ")");
}

CadError CadError::PickMissed() {
  return CadError(CadErrorKind::PickMissed, kPickMissedCode, "Method 'GetEntity' failed: nothing picked");
}

CadError CadError::Other(std::int32_t code, const std::string& description) {
  return CadError(CadErrorKind::Other, code, description);
}

bool CadEntity::Closed() const { throw CadError::MemberNotSupported("Closed"); }
void CadEntity::SetClosed(bool) { throw CadError::MemberNotSupported("Closed"); }
int CadEntity::CoordinateCount() const { throw CadError::MemberNotSupported("Coordinates"); }
CadPoint CadEntity::Coordinate(int) const { throw CadError::MemberNotSupported("Coordinates"); }
double CadEntity::GetBulge(int) const { throw CadError::MemberNotSupported("GetBulge"); }
void CadEntity::SetWidth(int, double, double) { throw CadError::MemberNotSupported("SetWidth"); }
void CadEntity::SetHorizontalAlignment(int) {
  throw CadError::MemberNotSupported("HorizontalAlignment");
}
void CadEntity::SetTextAlignmentPoint(const CadPoint&) {
  throw CadError::MemberNotSupported("TextAlignmentPoint");
}
void CadEntity::SetInsertionPoint(const CadPoint&) {
  throw CadError::MemberNotSupported("InsertionPoint");
}

}  // namespace veerline::cad
