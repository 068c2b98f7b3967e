#include "cad/geometry/FlattenCurves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veerline::cad {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = kPi / 2;
// Even a curve far below the tolerance keeps this many chords per full turn,
// so it still looks round when the view zooms in on it.
constexpr double kMaxStepRad = kPi / 8;
// Subdivisions of one parameter interval while flattening a spline.
constexpr int kMaxDepth = 14;

// The angle step whose chord strays at most `tolerance` from a circle of the radius.
double StepFor(double radius, double tolerance) {
  if (!(tolerance > 0) || !(radius > tolerance)) return kMaxStepRad;
  return std::min(kMaxStepRad, 2 * std::acos(1 - tolerance / radius));
}

void PushFirst(std::vector<Point2D>& out, const Point2D& p) {
  if (out.empty()) out.push_back(p);
}

double Distance(const Point2D& a, const Point2D& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

// Distance from p to the segment from a to b.
double OffChord(const Point2D& p, const Point2D& a, const Point2D& b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y, length2 = dx * dx + dy * dy;
  if (length2 == 0) return Distance(p, a);
  const double t = std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2, 0.0, 1.0);
  return Distance(p, {a.X + t * dx, a.Y + t * dy});
}

// Appends f(t) for t after t0 up to t1, splitting intervals whose middle
// strays from the chord by more than the tolerance. The interval is first cut
// into `initial` parts, so an S-bend whose middle lies on the chord is seen.
template <class Curve>
void AppendAdaptive(std::vector<Point2D>& out, const Curve& f, double t0, double t1,
                    double tolerance, int initial) {
  PushFirst(out, f(t0));
  struct Interval {
    double T0, T1;
    Point2D P0, P1;
    int Depth;
  };
  std::vector<Interval> stack;
  for (int k = initial; k >= 1; --k) {
    const double a = t0 + (t1 - t0) * (k - 1) / initial, b = t0 + (t1 - t0) * k / initial;
    stack.push_back({a, b, f(a), f(b), 0});
  }
  while (!stack.empty()) {
    const Interval i = stack.back();
    stack.pop_back();
    const double tm = (i.T0 + i.T1) / 2;
    const Point2D pm = f(tm);
    if (i.Depth < kMaxDepth && OffChord(pm, i.P0, i.P1) > tolerance) {
      stack.push_back({tm, i.T1, pm, i.P1, i.Depth + 1});
      stack.push_back({i.T0, tm, i.P0, pm, i.Depth + 1});
      continue;
    }
    out.push_back(i.P1);
  }
}

// A point of a B-spline by de Boor's algorithm in homogeneous coordinates.
Point2D DeBoor(int degree, const std::vector<Point2D>& control, const std::vector<double>& knots,
               const std::vector<double>& weights, double t) {
  const int n = static_cast<int>(control.size());
  int span = degree;
  while (span < n - 1 && t >= knots[span + 1]) ++span;
  double x[32], y[32], w[32];
  for (int j = 0; j <= degree; ++j) {
    const int k = span - degree + j;
    const double weight = weights.empty() ? 1.0 : weights[k];
    x[j] = control[k].X * weight;
    y[j] = control[k].Y * weight;
    w[j] = weight;
  }
  for (int r = 1; r <= degree; ++r) {
    for (int j = degree; j >= r; --j) {
      const int k = span - degree + j;
      const double denominator = knots[k + degree - r + 1] - knots[k];
      const double alpha = denominator != 0 ? (t - knots[k]) / denominator : 0;
      x[j] = (1 - alpha) * x[j - 1] + alpha * x[j];
      y[j] = (1 - alpha) * y[j - 1] + alpha * y[j];
      w[j] = (1 - alpha) * w[j - 1] + alpha * w[j];
    }
  }
  if (w[degree] == 0) return control[span];
  return {x[degree] / w[degree], y[degree] / w[degree]};
}

// Solves the tridiagonal system (sub, diag, super) for two right-hand sides at once.
void SolveTridiagonal(std::vector<double> sub, std::vector<double> diag, std::vector<double> super,
                      std::vector<Point2D>& rhs) {
  const std::size_t n = diag.size();
  for (std::size_t i = 1; i < n; ++i) {
    if (diag[i - 1] == 0) return;
    const double m = sub[i] / diag[i - 1];
    diag[i] -= m * super[i - 1];
    rhs[i].X -= m * rhs[i - 1].X;
    rhs[i].Y -= m * rhs[i - 1].Y;
  }
  if (diag[n - 1] == 0) return;
  rhs[n - 1] = {rhs[n - 1].X / diag[n - 1], rhs[n - 1].Y / diag[n - 1]};
  for (std::size_t i = n - 1; i-- > 0;) {
    if (diag[i] == 0) return;
    rhs[i] = {(rhs[i].X - super[i] * rhs[i + 1].X) / diag[i],
              (rhs[i].Y - super[i] * rhs[i + 1].Y) / diag[i]};
  }
}

Point2D Unit(const Point2D& v) {
  const double length = std::hypot(v.X, v.Y);
  return length > 0 ? Point2D{v.X / length, v.Y / length} : Point2D{};
}

}  // namespace

void AppendArc(std::vector<Point2D>& out, const Point2D& centre, double radius, double startRad,
               double sweepRad, double tolerance) {
  const double r = std::fabs(radius);
  if (!std::isfinite(r) || !std::isfinite(startRad) || !std::isfinite(sweepRad)) return;
  auto at = [&](double a) {
    return Point2D{centre.X + r * std::cos(a), centre.Y + r * std::sin(a)};
  };
  PushFirst(out, at(startRad));
  if (sweepRad == 0) return;
  double step = StepFor(r, tolerance);
  step = std::max(step, std::fabs(sweepRad) / kMaxCurveChords);
  // Break points: the quarter angles strictly inside the sweep, then the end.
  const double direction = sweepRad > 0 ? 1 : -1;
  const double end = startRad + sweepRad;
  double from = startRad;
  double quarter = direction > 0 ? std::floor(startRad / kHalfPi + 1) * kHalfPi
                                 : std::ceil(startRad / kHalfPi - 1) * kHalfPi;
  while (true) {
    const bool last = direction * (end - quarter) <= 1e-12;
    const double to = last ? end : quarter;
    const int chords = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / step)));
    for (int k = 1; k <= chords; ++k) out.push_back(at(from + (to - from) * k / chords));
    if (last) break;
    from = to;
    quarter += direction * kHalfPi;
  }
}

void AppendBulge(std::vector<Point2D>& out, const Point2D& from, const Point2D& to, double bulge,
                 double tolerance) {
  PushFirst(out, from);
  const double dx = to.X - from.X, dy = to.Y - from.Y;
  if (bulge == 0 || !std::isfinite(bulge) || (dx == 0 && dy == 0)) {
    out.push_back(to);
    return;
  }
  // The centre lies off the chord's middle by (1 - bulge^2) / (4 bulge) chords.
  const double offset = (1 - bulge * bulge) / (4 * bulge);
  const Point2D centre{(from.X + to.X) / 2 - offset * dy, (from.Y + to.Y) / 2 + offset * dx};
  const double radius = Distance(from, centre);
  const double start = std::atan2(from.Y - centre.Y, from.X - centre.X);
  AppendArc(out, centre, radius, start, 4 * std::atan(bulge), tolerance);
  out.back() = to;  // end exactly on the next vertex
}

void AppendEllipse(std::vector<Point2D>& out, const Point2D& centre, const Point2D& major,
                   const Point2D& minor, double startParam, double endParam, double tolerance) {
  if (!std::isfinite(startParam) || !std::isfinite(endParam) || !(endParam >= startParam)) return;
  auto at = [&](double t) {
    const double c = std::cos(t), s = std::sin(t);
    return Point2D{centre.X + major.X * c + minor.X * s, centre.Y + major.Y * c + minor.Y * s};
  };
  PushFirst(out, at(startParam));
  // The chord's sagitta is at most step^2 / 8 times the longer semi-axis.
  const double a = std::max(std::hypot(major.X, major.Y), std::hypot(minor.X, minor.Y));
  double step = kMaxStepRad;
  if (tolerance > 0 && a > 0) step = std::min(step, std::sqrt(8 * tolerance / a));
  const double sweep = endParam - startParam;
  step = std::max(step, sweep / kMaxCurveChords);
  const int chords = std::max(1, static_cast<int>(std::ceil(sweep / step)));
  for (int k = 1; k <= chords; ++k) out.push_back(at(startParam + sweep * k / chords));
}

void AppendNurbs(std::vector<Point2D>& out, int degree, const std::vector<Point2D>& control,
                 std::vector<double> knots, const std::vector<double>& weights, double tolerance) {
  const int n = static_cast<int>(control.size());
  if (degree < 1 || degree > 31 || n < degree + 1) return;
  const bool usableWeights = weights.size() == control.size() &&
                             std::all_of(weights.begin(), weights.end(),
                                         [](double w) { return w > 0 && std::isfinite(w); });
  const std::vector<double> noWeights;
  const std::vector<double>& w = usableWeights ? weights : noWeights;
  const bool ordered = std::is_sorted(knots.begin(), knots.end());
  if (knots.size() != static_cast<std::size_t>(n + degree + 1) || !ordered) {
    knots.assign(n + degree + 1, 0.0);
    for (int i = 0; i < static_cast<int>(knots.size()); ++i) {
      knots[i] = std::clamp(i - degree, 0, n - degree);
    }
  }
  auto at = [&](double t) { return DeBoor(degree, control, knots, w, t); };
  const double tolerancePositive = tolerance > 0 ? tolerance : 1e-9;
  for (int span = degree; span < n; ++span) {
    const double t0 = knots[span], t1 = knots[span + 1];
    if (t1 > t0) AppendAdaptive(out, at, t0, t1, tolerancePositive, 4);
  }
}

void AppendFitSpline(std::vector<Point2D>& out, const std::vector<Point2D>& fit,
                     const Point2D& startTangent, const Point2D& endTangent, bool closed,
                     double tolerance) {
  std::vector<Point2D> p;
  for (const Point2D& q : fit) {
    if (p.empty() || Distance(p.back(), q) > 0) p.push_back(q);
  }
  if (closed && p.size() > 2 && Distance(p.front(), p.back()) > 0) p.push_back(p.front());
  if (p.size() < 2) return;
  const std::size_t n = p.size();
  std::vector<double> h(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) h[i] = Distance(p[i], p[i + 1]);
  // Slopes m at each point (unit speed along the chords) from continuity of
  // the second derivative; ends natural unless a tangent is given.
  std::vector<double> sub(n, 0), diag(n, 0), super(n, 0);
  std::vector<Point2D> m(n);
  auto delta = [&](std::size_t i) {
    return Point2D{(p[i + 1].X - p[i].X) / h[i], (p[i + 1].Y - p[i].Y) / h[i]};
  };
  const Point2D startUnit = Unit(startTangent), endUnit = Unit(endTangent);
  if (startUnit.X != 0 || startUnit.Y != 0) {
    diag[0] = 1;
    m[0] = startUnit;
  } else {
    diag[0] = 2;
    super[0] = 1;
    m[0] = {3 * delta(0).X, 3 * delta(0).Y};
  }
  for (std::size_t i = 1; i + 1 < n; ++i) {
    sub[i] = h[i];
    diag[i] = 2 * (h[i - 1] + h[i]);
    super[i] = h[i - 1];
    const Point2D d0 = delta(i - 1), d1 = delta(i);
    m[i] = {3 * (h[i] * d0.X + h[i - 1] * d1.X), 3 * (h[i] * d0.Y + h[i - 1] * d1.Y)};
  }
  if (endUnit.X != 0 || endUnit.Y != 0) {
    diag[n - 1] = 1;
    sub[n - 1] = 0;
    m[n - 1] = endUnit;
  } else {
    sub[n - 1] = 1;
    diag[n - 1] = 2;
    m[n - 1] = {3 * delta(n - 2).X, 3 * delta(n - 2).Y};
  }
  SolveTridiagonal(sub, diag, super, m);
  const double tolerancePositive = tolerance > 0 ? tolerance : 1e-9;
  PushFirst(out, p[0]);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Point2D a = p[i], b = p[i + 1], ma = m[i], mb = m[i + 1];
    const double length = h[i];
    auto hermite = [&](double s) {
      const double s2 = s * s, s3 = s2 * s;
      const double h00 = 2 * s3 - 3 * s2 + 1, h10 = s3 - 2 * s2 + s, h01 = -2 * s3 + 3 * s2,
                   h11 = s3 - s2;
      return Point2D{h00 * a.X + h10 * length * ma.X + h01 * b.X + h11 * length * mb.X,
                     h00 * a.Y + h10 * length * ma.Y + h01 * b.Y + h11 * length * mb.Y};
    };
    AppendAdaptive(out, hermite, 0.0, 1.0, tolerancePositive, 2);
    out.back() = b;
  }
}

}  // namespace veerline::cad
