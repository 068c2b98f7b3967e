// Flattening of the text kinds: TEXT, ATTRIB and ATTDEF (one line, placed by
// its alignment) and MTEXT (paragraphs, wrapped to the reference width,
// placed by its attachment point).

#include <cmath>
#include <numbers>

#include "cad/dxf/DxfText.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
// The part of the height that descenders reach below the base line.
constexpr double kDescent = 0.3;
// Base lines of MTEXT lie this many text heights apart at line spacing 1.
constexpr double kLinePitch = 5.0 / 3.0;

Point2D Plus(const Point2D& a, const Point2D& b, double k = 1) {
  return {a.X + b.X * k, a.Y + b.Y * k};
}

}  // namespace

// The box is worked out in the text's own axes (x along the base line, y
// up) about the point its alignment names; backwards and upside-down texts
// mirror the box about that point, as the text itself is mirrored.
void PlaceTextLine(const LineText& t, ShapeSink& sink) {
  if (t.Value.empty() || !(t.Height > 0) || !std::isfinite(t.Height)) return;
  const double estimated = TextLength(t.Value, t.Height, t.WidthFactor);
  Point2D dir{std::cos(t.RotationDeg * kDegToRad), std::sin(t.RotationDeg * kDegToRad)};
  double length = estimated, height = t.Height;
  const Point2D between{t.Second.X - t.First.X, t.Second.Y - t.First.Y};
  const double span = std::hypot(between.X, between.Y);
  Point2D anchor = t.HasSecond ? t.Second : t.First;
  double x0 = 0, y0 = 0;  // the box's start corner from the anchor
  if ((t.Horizontal == 3 || t.Horizontal == 5) && t.HasSecond && span > 0) {
    // Aligned and fit texts fill the span between their two points, squeezed
    // or stretched along it; aligned ones keep their proportions. A mirrored
    // one stays between its points: it turns about the span's middle.
    dir = {between.X / span, between.Y / span};
    if (t.Horizontal == 3 && estimated > 0) height = t.Height * span / estimated;
    length = span;
    anchor = Plus(t.First, between, 0.5);
    x0 = -span / 2;
  } else if (t.Horizontal == 4) {
    x0 = -length / 2;
    y0 = -height / 2;
  } else if (t.Horizontal != 0 || t.Vertical != 0) {
    x0 = t.Horizontal == 1 ? -length / 2 : t.Horizontal == 2 ? -length : 0;
    y0 = t.Vertical == 1   ? kDescent * height
         : t.Vertical == 2 ? -height / 2
         : t.Vertical == 3 ? -height
                           : 0;
  } else {
    anchor = t.First;
  }
  const double mirrorX = (t.Generation & 2) != 0 ? -1 : 1;
  const double mirrorY = (t.Generation & 4) != 0 ? -1 : 1;
  const Point2D up{-dir.Y, dir.X};
  // Text axes to drawing axes, mirrored as the text is.
  auto toDrawing = [&](double x, double y) {
    return Plus(Plus(Point2D{}, dir, x * mirrorX), up, y * mirrorY);
  };
  const double slant = std::tan(t.ObliqueDeg * kDegToRad);
  GeometryText text;
  text.Value = t.Value;
  text.Origin = Plus(anchor, toDrawing(x0, y0));
  text.Along = toDrawing(length, 0);
  text.Up = toDrawing(height * slant, height);
  sink.Text(std::move(text));
}

namespace {

// The groups TEXT, ATTRIB and ATTDEF share; `verticalCode` is 73 for TEXT and
// 74 for the attributes.
void ReadShared(std::span<const DxfTag> body, int verticalCode, LineText& t) {
  t.WidthFactor = RealOf(body, 41, 1);
  t.ObliqueDeg = RealOf(body, 51, 0);
  t.Generation = IntOf(body, 71, 0);
  t.Vertical = IntOf(body, verticalCode, 0);
}

// The lines of one paragraph broken at spaces to fit the width; the spaces
// between words stay as written, those that end a line are dropped.
std::vector<std::string> WrapParagraph(const std::string& paragraph, double height, double width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t i = 0;
  while (i < paragraph.size()) {
    const std::size_t wordStart = paragraph.find_first_not_of(' ', i);
    if (wordStart == std::string::npos) break;
    std::size_t wordEnd = paragraph.find(' ', wordStart);
    if (wordEnd == std::string::npos) wordEnd = paragraph.size();
    const std::string longer = line + paragraph.substr(i, wordEnd - i);
    if (width > 0 && !line.empty() && TextLength(longer, height, 1) > width * 1.01) {
      lines.push_back(line);
      line = paragraph.substr(wordStart, wordEnd - wordStart);
    } else {
      line = longer;
    }
    i = wordEnd;
  }
  lines.push_back(line);
  return lines;
}

}  // namespace

void FlattenText(const EntityRecord& record, ShapeSink& sink) {
  const EntityData& d = record.Entity.Data();
  sink.SetLocal(OcsToWorld(NormalOf(record.Body), d.Insertion.Z));
  LineText t;
  t.Value = PlainText(d.Text);
  t.First = {d.Insertion.X, d.Insertion.Y};
  t.Second = {d.AlignmentPoint.X, d.AlignmentPoint.Y};
  t.HasSecond = d.HasAlignmentPoint;
  t.Height = d.Height;
  t.RotationDeg = d.RotationDeg;
  t.Horizontal = d.HorizontalAlignment;
  ReadShared(record.Body, 73, t);
  PlaceTextLine(t, sink);
}

void FlattenAttribute(std::span<const DxfTag> body, bool definition, const DxfTextCoding& coding,
                      ShapeSink& sink) {
  sink.SetLocal(OcsToWorld(NormalOf(body), RealOf(body, 30, 0)));
  LineText t;
  for (const DxfTag& tag : body) {
    if (tag.Code == (definition ? 2 : 1)) {
      t.Value = PlainText(DecodeDxfText(tag.Value, coding));
      break;
    }
  }
  t.First = PointOf(body, 10);
  t.HasSecond = false;
  for (const DxfTag& tag : body) t.HasSecond = t.HasSecond || tag.Code == 11;
  t.Second = PointOf(body, 11, t.First);
  t.Height = RealOf(body, 40, 1);
  t.RotationDeg = RealOf(body, 50, 0);
  t.Horizontal = IntOf(body, 72, 0);
  ReadShared(body, 74, t);
  PlaceTextLine(t, sink);
}

void LayOutMText(const std::string& plain, const MTextFrame& frame, ShapeSink& sink) {
  const double h = frame.Height;
  const double dirLength = std::hypot(frame.Direction.X, frame.Direction.Y);
  if (!(h > 0) || !std::isfinite(h) || !(dirLength > 0)) return;
  const Point2D dir{frame.Direction.X / dirLength, frame.Direction.Y / dirLength};
  const double upLength = std::hypot(frame.Up.X, frame.Up.Y);
  const Point2D up = upLength > 1e-12 ? Point2D{frame.Up.X / upLength, frame.Up.Y / upLength}
                                      : Point2D{-dir.Y, dir.X};
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= plain.size()) {
    std::size_t end = plain.find('\n', start);
    if (end == std::string::npos) end = plain.size();
    for (std::string& line : WrapParagraph(plain.substr(start, end - start), h, frame.WrapWidth)) {
      lines.push_back(std::move(line));
    }
    start = end + 1;
  }
  const double pitch = kLinePitch * h * (frame.LineSpacing > 0 ? frame.LineSpacing : 1);
  const double blockHeight = h + pitch * (static_cast<double>(lines.size()) - 1);
  const int attachment = frame.Attachment >= 1 && frame.Attachment <= 9 ? frame.Attachment : 1;
  const int row = (attachment - 1) / 3, column = (attachment - 1) % 3;
  const double top = row == 0 ? 0 : row == 1 ? blockHeight / 2 : blockHeight;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const double length = TextLength(lines[i], h, 1);
    const double shift = column == 0 ? 0 : column == 1 ? -length / 2 : -length;
    GeometryText text;
    text.Value = lines[i];
    text.Origin = Plus(Plus(frame.Insertion, dir, shift), up, top - h - pitch * i);
    text.Along = {dir.X * length, dir.Y * length};
    text.Up = {up.X * h, up.Y * h};
    sink.Text(std::move(text));
  }
}

// The groups of an MTEXT that are its own: from R2018 on an embedded object
// (marked by group 101) follows with groups of the same codes (a second
// insertion point, direction and attachment) that are not the text's.
std::span<const DxfTag> OwnMTextGroups(std::span<const DxfTag> body) {
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i].Code == 101) return body.first(i);
  }
  return body;
}

void FlattenMText(const EntityRecord& record, ShapeSink& sink) {
  const std::span<const DxfTag> body = OwnMTextGroups(record.Body);
  std::string raw;
  std::string_view last;
  for (const DxfTag& tag : body) {
    if (tag.Code == 3) raw += tag.Value;
    if (tag.Code == 1) last = tag.Value;
  }
  raw += last;
  MTextFrame frame;
  frame.Insertion = PointOf(body, 10);
  frame.Height = RealOf(body, 40, 1);
  frame.WrapWidth = RealOf(body, 41, 0);
  frame.Attachment = IntOf(body, 71, 1);
  frame.LineSpacing = RealOf(body, 44, 1);
  bool hasDirection = false, hasRotation = false;
  for (const DxfTag& tag : body) {
    hasDirection = hasDirection || tag.Code == 11;
    hasRotation = hasRotation || tag.Code == 50;
  }
  const Vector3 normal = NormalOf(body);
  if (hasRotation && !hasDirection) {
    // A rotation turns from the x axis of the object coordinate system.
    const double angle = RealOf(body, 50, 0) * kDegToRad;
    const Affine2D ocs = OcsToWorld(normal);
    frame.Direction = ocs.Turn({std::cos(angle), std::sin(angle)});
    frame.Up = ocs.Turn({-std::sin(angle), std::cos(angle)});
  } else {
    // The direction (the drawing's x axis when absent) is in drawing
    // coordinates; the text's y axis is the normal crossed with it, so a
    // text seen from below is mirrored.
    const Vector3 d{RealOf(body, 11, 1), RealOf(body, 21, 0), RealOf(body, 31, 0)};
    frame.Direction = {d.X, d.Y};
    frame.Up = {normal.Y * d.Z - normal.Z * d.Y, normal.Z * d.X - normal.X * d.Z};
  }
  LayOutMText(PlainMText(DecodeDxfText(raw, record.Coding)), frame, sink);
}

}  // namespace veerline::cad
