#include "engine/DrivablePath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/NumberRule.h"
#include "engine/Numerics.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

constexpr double kPi = std::numbers::pi;

// The easings use this share of the steering rate the lock-to-lock time
// allows: the run measures the mean angle of the two front wheels over a
// follower 1.02 wheelbases long and rounds it to 2 decimals, which turns the
// wheel a few percent faster than the single-track model the path is built on.
constexpr double kRateShare = 0.8;
// Largest distance of the laid-out arcs from the true easing, in metres: far
// inside a millimetre, because a run steers by the curvature of the arcs, and
// a looser fit makes the steering rate jump from one arc to the next (at
// 0.25 mm a run at 25 km/h came within 7 % of the lock-to-lock limit).
constexpr double kFitMetres = 0.00005;
// The tightest arc keeps this far (degrees) below the steering lock: the
// run's step, 0.2 m along the chords, settles a few hundredths of a degree
// away from the continuous figure (0.02 over the lock was seen on a 14.5 m
// arc); a tenth costs a few centimetres of radius.
constexpr double kLockMarginDegrees = 0.1;

// AASHTO, A Policy on Geometric Design of Highways and Streets (the Green
// Book), chapter 3, the table of minimum radii for intersection curves (low-
// speed turning roadways: Table 3-43 of the 2011 edition): from 15 to 70 km/h
// the side friction falls from 0.40 to 0.15 while the superelevation assumed
// rises from 0 to 0.09; R = V^2 / (127 (e + f)) then gives its calculated
// radii (4.4 m at 15 km/h, 23.6 m at 30, 113.4 m at 60). Between its speeds the
// values are interpolated, beyond its range the end values hold. The three
// procedures (rural, low-speed urban, turning roadways) are reviewed in Texas
// Transportation Institute report 1949-1, "A Historical and Literature Review
// of Horizontal Curve Design" (1992).
constexpr std::array<double, 7> kTableSpeeds{15, 20, 30, 40, 50, 60, 70};
constexpr std::array<double, 7> kTableFriction{0.40, 0.35, 0.28, 0.23, 0.19, 0.17, 0.15};
constexpr std::array<double, 7> kTableSuperelevation{0, 0, 0.02, 0.04, 0.06, 0.08, 0.09};

double FromTable(const std::array<double, 7>& values, double speedKmh) {
  if (!(speedKmh > kTableSpeeds.front())) return values.front();
  for (std::size_t i = 1; i < kTableSpeeds.size(); ++i)
    if (speedKmh <= kTableSpeeds[i]) {
      const double t = (speedKmh - kTableSpeeds[i - 1]) / (kTableSpeeds[i] - kTableSpeeds[i - 1]);
      return values[i - 1] + t * (values[i] - values[i - 1]);
    }
  return values.back();
}

struct Vec {
  double X = 0, Y = 0;
};
Vec Dir(double angle) { return {std::cos(angle), std::sin(angle)}; }
double Cross(const Vec& a, const Vec& b) { return a.X * b.Y - a.Y * b.X; }
double Dist(const Point2D& a, const Point2D& b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

// A stretch of the front axle path over which the steering angle changes
// linearly with distance: delta(s) = delta0 + rate s, radians per drawing unit.
struct Stretch {
  double delta0 = 0, rate = 0, length = 0;
};

// The vehicle on its path: the front point and the body's heading.
struct Pose {
  Point2D P;
  double Body = 0;
};

// Body heading after s along a stretch: d(body)/ds = sin(delta) / wheelbase,
// integrated in closed form (the product form stays exact as rate -> 0).
double BodyAfter(const Stretch& st, double body0, double s, double wheelbase) {
  if (st.rate == 0) return body0 + s * std::sin(st.delta0) / wheelbase;
  const double half = st.rate * s / 2;
  return body0 + 2 * std::sin(st.delta0 + half) * std::sin(half) / (st.rate * wheelbase);
}

// Heading of the front axle path: the body's heading plus the steering angle.
double PathHeading(const Stretch& st, double body0, double s, double wheelbase) {
  return BodyAfter(st, body0, s, wheelbase) + st.delta0 + st.rate * s;
}

// The pose after moving from s0 to s1 along the stretch (Simpson's rule on
// the path heading, with sub-steps far shorter than the wheelbase).
Pose Advance(const Stretch& st, const Pose& start, double stretchBody0, double s0, double s1,
             double wheelbase) {
  const double span = s1 - s0;
  const int n = 2 * std::max(2, static_cast<int>(std::ceil(span / (wheelbase / 64))));
  const double h = span / n;
  double sx = 0, sy = 0;
  for (int i = 0; i <= n; ++i) {
    const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
    const double psi = PathHeading(st, stretchBody0, s0 + i * h, wheelbase);
    sx += w * std::cos(psi);
    sy += w * std::sin(psi);
  }
  return {{start.P.X + sx * h / 3, start.P.Y + sy * h / 3},
          BodyAfter(st, stretchBody0, s1, wheelbase)};
}

double NormalAngle(double a) {
  while (a > kPi) a -= 2 * kPi;
  while (a <= -kPi) a += 2 * kPi;
  return a;
}

void Append(std::vector<ArcPathVertex>& vertices, const Point2D& p, double bulge,
            double tolerance) {
  AppendVertex(vertices, {p.X, p.Y, bulge}, tolerance);
}

// The two arcs (or one) from p0 heading a0 to p1 heading a1, each turning
// half the way; one arc from p0 tangent to a0 where the two would not meet.
void Biarc(const Point2D& p0, double a0, const Point2D& p1, double a1,
           std::vector<ArcPathVertex>& out) {
  const double turn = NormalAngle(a1 - a0);
  const Vec d{p1.X - p0.X, p1.Y - p0.Y};
  const Vec e1 = Dir(a0 + turn / 4), e2 = Dir(a0 + 3 * turn / 4);
  const double det = Cross(e1, e2);
  if (std::abs(det) > 1e-9) {
    const double c1 = Cross(d, e2) / det, c2 = Cross(e1, d) / det;
    if (c1 > 0 && c2 > 0) {
      const double bulge = std::tan(turn / 8);
      out.push_back({p0.X, p0.Y, bulge});
      out.push_back({p0.X + c1 * e1.X, p0.Y + c1 * e1.Y, bulge});
      return;
    }
  }
  const double single = 2 * NormalAngle(std::atan2(d.Y, d.X) - a0);
  out.push_back({p0.X, p0.Y, std::tan(single / 4)});
}

// Largest distance from the true stretch between s0 and s1 to its arcs.
double FitError(const std::vector<ArcPathVertex>& arcs, const Point2D& end, const Stretch& st,
                const Pose& start, double body0, double s0, double s1, double wheelbase) {
  double worst = 0;
  Pose at = start;
  double s = s0;
  constexpr int kSamples = 8;
  for (int i = 1; i < kSamples; ++i) {
    const double next = s0 + (s1 - s0) * i / kSamples;
    at = Advance(st, at, body0, s, next, wheelbase);
    s = next;
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < arcs.size(); ++k) {
      const Point2D b = k + 1 < arcs.size() ? Point2D{arcs[k + 1].X, arcs[k + 1].Y} : end;
      nearest = std::min(nearest, DistanceToBulge(at.P, {arcs[k].X, arcs[k].Y}, b, arcs[k].Bulge));
    }
    worst = std::max(worst, nearest);
  }
  return worst;
}

// Lays the stretch from `start` out as biarcs within the tolerance, halving
// pieces that stray; returns the pose at its end.
Pose FitStretch(const Stretch& st, const Pose& start, double wheelbase, double tolerance,
                std::vector<ArcPathVertex>& out) {
  const double body0 = start.Body;
  const int pieces = std::max(1, static_cast<int>(std::ceil(st.length / (wheelbase / 2))));
  Pose at = start;
  for (int i = 0; i < pieces; ++i) {
    double s0 = st.length * i / pieces;
    const double sEnd = st.length * (i + 1) / pieces;
    while (s0 < sEnd) {
      double s1 = sEnd;
      for (;;) {
        const Pose end = Advance(st, at, body0, s0, s1, wheelbase);
        std::vector<ArcPathVertex> arcs;
        Biarc(at.P, PathHeading(st, body0, s0, wheelbase), end.P,
              PathHeading(st, body0, s1, wheelbase), arcs);
        if (s1 - s0 < wheelbase * 1e-4 ||
            FitError(arcs, end.P, st, at, body0, s0, s1, wheelbase) <= tolerance) {
          out.insert(out.end(), arcs.begin(), arcs.end());
          at = end;
          s0 = s1;
          break;
        }
        s1 = (s0 + s1) / 2;
      }
    }
  }
  return at;
}

// The shape of one corner, turning left through `turn` (0 < turn < pi), in a
// frame starting at the origin heading along +x: its arcs, its end and the
// figures the layout reports.
struct CornerShape {
  std::vector<ArcPathVertex> Arcs;  // from the origin on; the end point is End
  Point2D End;
  double TangentIn = 0, TangentOut = 0;
  double Radius = 0, ArcLength = 0, EasingLength = 0;
};

CornerShape ShapeCorner(double turn, double radius, double rate, double wheelbase,
                        double tolerance) {
  CornerShape shape;
  Pose at;
  if (!std::isfinite(rate)) {
    // The wheel turns at once: a plain tangent arc.
    shape.Radius = radius;
    shape.ArcLength = radius * turn;
    shape.End = {radius * std::sin(turn), radius * (1 - std::cos(turn))};
    shape.Arcs.push_back({0, 0, std::tan(turn / 4)});
  } else {
    double lock = std::asin(std::min(1.0, wheelbase / radius));
    // The body turns (1 - cos lock) / (rate wheelbase) in each easing.
    const double easingTurn = (1 - std::cos(lock)) / (rate * wheelbase);
    double arcTurn = turn - 2 * easingTurn;
    if (arcTurn < 0) {
      lock = std::acos(1 - turn * rate * wheelbase / 2);
      arcTurn = 0;
    }
    shape.EasingLength = lock / rate;
    shape.Radius = wheelbase / std::sin(lock);
    shape.ArcLength = arcTurn * shape.Radius;
    at = FitStretch({0, rate, shape.EasingLength}, at, wheelbase, tolerance, shape.Arcs);
    if (shape.ArcLength > 0) {
      // Steady steering: the front axle runs on a circle.
      const double heading = at.Body + lock;
      shape.Arcs.push_back({at.P.X, at.P.Y, std::tan(arcTurn / 4)});
      const Vec chord = Dir(heading + arcTurn / 2);
      const double length = 2 * shape.Radius * std::sin(arcTurn / 2);
      at.P = {at.P.X + chord.X * length, at.P.Y + chord.Y * length};
      at.Body += arcTurn;
    }
    at = FitStretch({lock, -rate, shape.EasingLength}, at, wheelbase, tolerance, shape.Arcs);
    shape.End = at.P;
  }
  shape.TangentOut = shape.End.Y / std::sin(turn);
  shape.TangentIn = shape.End.X - shape.TangentOut * std::cos(turn);
  return shape;
}

std::string Text(double value) {
  return FormatFieldNumber(RoundHalfEven(value, 3), NumberSymbols::PointDecimal());
}

struct NumberedPoint {
  Point2D P;
  int Number = 0;
};

// The steering angle (degrees) a run shows on a steady circle of the front
// axle of the given radius: the mean of the two front wheels' angles, with
// the rear axle 1.02 wheelbases behind the front point.
double RunSteeringOnCircle(const DriveVehicle& v, double radius) {
  const double follower = 1.02 * v.Wheelbase;
  const double rear = std::sqrt(radius * radius - follower * follower);
  return RadToDeg((std::atan(v.Wheelbase / (rear - v.WheelWidth / 2)) +
                   std::atan(v.Wheelbase / (rear + v.WheelWidth / 2))) /
                  2);
}

std::string CheckVehicle(const DriveVehicle& v) {
  if (!(std::isfinite(v.Wheelbase) && v.Wheelbase > 0))
    return "the vehicle's wheelbase must be above 0";
  if (!(std::isfinite(v.WheelWidth) && v.WheelWidth >= 0))
    return "the vehicle's wheel width must not be below 0";
  if (!(std::isfinite(v.MaxTurningAngle) && v.MaxTurningAngle > 0 && v.MaxTurningAngle < 90))
    return "the vehicle's largest steering angle must be above 0 and below 90 degrees";
  if (!(std::isfinite(v.LockToLockSeconds) && v.LockToLockSeconds >= 0))
    return "the vehicle's lock-to-lock time must not be below 0";
  return {};
}

}  // namespace

DriveVehicle DriveVehicleOf(const VehicleRecord& vehicle) {
  return {vehicle[Dimension::Wheelbase], vehicle[Dimension::WheelWidth],
          vehicle[Dimension::MaxTurningAngle], vehicle[Dimension::LockToLockTime]};
}

double DefaultSuperelevation(double speedKmh) { return FromTable(kTableSuperelevation, speedKmh); }
double DefaultSideFriction(double speedKmh) { return FromTable(kTableFriction, speedKmh); }

double DrivableMinimumRadius(const DriveVehicle& vehicle) {
  const double target =
      vehicle.MaxTurningAngle - std::min(kLockMarginDegrees, vehicle.MaxTurningAngle / 2);
  const double follower = 1.02 * vehicle.Wheelbase;
  // Below this the inner wheel would stand inside the rear axle's centre.
  double low = std::hypot(follower, vehicle.WheelWidth / 2) * (1 + 1e-12);
  low = std::max(low, vehicle.Wheelbase / std::sin(DegToRad(vehicle.MaxTurningAngle)));
  double high = low;
  for (int i = 0; i < 2000 && RunSteeringOnCircle(vehicle, high) > target; ++i) high *= 2;
  for (int i = 0; i < 100 && high - low > 1e-12 * high; ++i) {
    const double mid = (low + high) / 2;
    (RunSteeringOnCircle(vehicle, mid) > target ? low : high) = mid;
  }
  return high;
}

double DistanceToBulge(const Point2D& p, const Point2D& a, const Point2D& b, double bulge) {
  const Vec c{b.X - a.X, b.Y - a.Y};
  const double length = std::hypot(c.X, c.Y);
  if (length == 0) return Dist(p, a);
  if (std::abs(bulge) < 1e-9) {
    const double t =
        std::clamp(((p.X - a.X) * c.X + (p.Y - a.Y) * c.Y) / (length * length), 0.0, 1.0);
    return Dist(p, {a.X + t * c.X, a.Y + t * c.Y});
  }
  const double turn = 4 * std::atan(bulge);
  const double offset =
      length / 2 / std::tan(turn / 2);  // midpoint to centre, along the left normal
  const Point2D centre{(a.X + b.X) / 2 - c.Y / length * offset,
                       (a.Y + b.Y) / 2 + c.X / length * offset};
  const double radius = length / 2 / std::abs(std::sin(turn / 2));
  const double from = std::atan2(a.Y - centre.Y, a.X - centre.X);
  const double to = std::atan2(p.Y - centre.Y, p.X - centre.X);
  double along = turn > 0 ? to - from : from - to;
  along = std::fmod(along + 4 * kPi, 2 * kPi);
  if (along <= std::abs(turn)) return std::abs(Dist(p, centre) - radius);
  return std::min(Dist(p, a), Dist(p, b));
}

DrivePathLayout LayOutDrivePath(std::span<const Point2D> points, const DriveVehicle& vehicle,
                                const DriveSettings& settings) {
  DrivePathLayout layout;
  if (std::string bad = CheckVehicle(vehicle); !bad.empty()) {
    layout.Error = bad;
    return layout;
  }
  const double speed = settings.SpeedMetresPerSecond;
  const double mpu = settings.MetresPerUnit;
  if (!(std::isfinite(speed) && speed >= 0)) {
    layout.Error = "the speed must not be below 0";
    return layout;
  }
  if (!(std::isfinite(mpu) && mpu > 0)) {
    layout.Error = "the drawing unit must be a positive length";
    return layout;
  }
  const double kmh = speed * 3.6;
  const double e = settings.Superelevation.value_or(DefaultSuperelevation(kmh));
  const double f = settings.Friction.value_or(DefaultSideFriction(kmh));
  if (!(std::isfinite(e) && std::isfinite(f) && e + f > 0 && e + f < 10)) {
    layout.Error = "superelevation plus side friction must be above 0";
    return layout;
  }
  const double least = std::max(DrivableMinimumRadius(vehicle), kmh * kmh / (127 * (e + f)) / mpu);
  layout.ArcRadius = least;
  if (settings.Radius) {
    const double wanted = *settings.Radius;
    if (!(std::isfinite(wanted) && wanted >= least * (1 - 1e-9))) {
      layout.Error = "the radius " + Text(wanted) + " is tighter than " + Text(least) +
                     ", the least the vehicle can drive at this speed";
      return layout;
    }
    layout.ArcRadius = std::max(wanted, least);
  }
  // Radians of steering per drawing unit travelled in an easing.
  const double degreesPerSecond = 2 * vehicle.MaxTurningAngle / vehicle.LockToLockSeconds;
  const double rate = speed == 0 || vehicle.LockToLockSeconds == 0
                          ? std::numeric_limits<double>::infinity()
                          : DegToRad(kRateShare * degreesPerSecond / speed) * mpu;
  const double fit = kFitMetres / mpu;
  // Each easing is laid out in pieces of half a wheelbase at most; a wheel
  // that turns thousands of times slower than any driver's would make millions.
  if (rate * vehicle.Wheelbase < 1e-4) {
    layout.Error = "the wheel turns too slowly for a path at this speed";
    return layout;
  }

  double scale = 1;
  std::vector<NumberedPoint> path;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!std::isfinite(points[i].X) || !std::isfinite(points[i].Y)) {
      layout.Error = "point " + std::to_string(i + 1) + " is not a finite number";
      return layout;
    }
    scale = std::max({scale, std::abs(points[i].X), std::abs(points[i].Y)});
  }
  const double tolerance = 1e-9 * scale;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!path.empty() && Dist(path.back().P, points[i]) <= tolerance) continue;
    // A point in line with the two around it makes no corner.
    while (path.size() >= 2) {
      const Point2D& a = path[path.size() - 2].P;
      const Point2D& m = path.back().P;
      const Vec in{m.X - a.X, m.Y - a.Y}, out{points[i].X - m.X, points[i].Y - m.Y};
      const double turn = std::atan2(Cross(in, out), in.X * out.X + in.Y * out.Y);
      if (std::abs(turn) * layout.ArcRadius > tolerance) break;
      path.pop_back();
    }
    path.push_back({points[i], static_cast<int>(i) + 1});
  }
  if (path.size() < 2) {
    layout.Error = "the path needs at least two distinct points";
    return layout;
  }

  Append(layout.Vertices, path.front().P, 0, tolerance);
  double usedIn = 0;
  int previousNumber = path.front().Number;
  for (std::size_t i = 1; i + 1 < path.size(); ++i) {
    const NumberedPoint& corner = path[i];
    const Point2D& a = path[i - 1].P;
    const Point2D& b = path[i + 1].P;
    const Vec in{corner.P.X - a.X, corner.P.Y - a.Y}, out{b.X - corner.P.X, b.Y - corner.P.Y};
    const double legIn = std::hypot(in.X, in.Y), legOut = std::hypot(out.X, out.Y);
    const double turn = std::atan2(Cross(in, out), in.X * out.X + in.Y * out.Y);
    DriveCorner record{corner.Number, corner.P};
    const std::string head = "the corner at point " + std::to_string(corner.Number) + " (" +
                             Text(corner.P.X) + ", " + Text(corner.P.Y) + ") is too tight";
    std::string overrun;
    CornerShape shape;
    if (kPi - std::abs(turn) < 1e-9) {
      overrun = head + ": the path turns straight back there";
    } else {
      shape = ShapeCorner(std::abs(turn), layout.ArcRadius, rate, vehicle.Wheelbase, fit);
      record.Radius = shape.Radius;
      record.ArcLength = shape.ArcLength;
      record.EasingLength = shape.EasingLength;
      record.TangentIn = shape.TangentIn;
      record.TangentOut = shape.TangentOut;
      if (shape.TangentIn > legIn + tolerance || shape.TangentOut > legOut + tolerance)
        overrun = head + ": its curve needs " + Text(shape.TangentIn) +
                  " of the leg before it and " + Text(shape.TangentOut) +
                  " of the leg after it, the legs are " + Text(legIn) + " and " + Text(legOut) +
                  " long";
      else if (shape.TangentIn > legIn - usedIn + tolerance)
        overrun = head + ": its curve needs " + Text(shape.TangentIn) +
                  " of the leg before it, the curve at point " + std::to_string(previousNumber) +
                  " leaves " + Text(legIn - usedIn) + " of it";
    }
    previousNumber = corner.Number;
    record.TooTight = !overrun.empty();
    layout.Corners.push_back(record);
    if (record.TooTight) {
      if (layout.Error.empty()) layout.Error = overrun;
      Append(layout.Vertices, corner.P, 0, tolerance);
      usedIn = 0;
      continue;
    }
    // From the corner's frame (start of its curve, heading along the leg in,
    // mirrored for a right turn) to the drawing.
    const Vec u{in.X / legIn, in.Y / legIn};
    const double side = turn < 0 ? -1 : 1;
    const Point2D origin{corner.P.X - u.X * shape.TangentIn, corner.P.Y - u.Y * shape.TangentIn};
    auto place = [&](const Point2D& q) {
      const double y = side * q.Y;
      return Point2D{origin.X + u.X * q.X - u.Y * y, origin.Y + u.Y * q.X + u.X * y};
    };
    for (const ArcPathVertex& v : shape.Arcs)
      Append(layout.Vertices, place({v.X, v.Y}), side * v.Bulge, tolerance);
    Append(layout.Vertices, place(shape.End), 0, tolerance);
    usedIn = shape.TangentOut;
  }
  EndExactlyAt(layout.Vertices, path.back().P, tolerance);
  return layout;
}

}  // namespace veerline
