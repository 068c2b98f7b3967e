#pragma once

// What the pages of the design report share: the sheet's size in millimetres
// on the device, the fonts, numbers written in the report's symbols, and the
// run's description that heads the pages.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <optional>

#include "engine/NumberRule.h"
#include "run/RunResultModel.h"

namespace veerline::paint {

// What the report says about the run beside its results: where the drawing
// and the vehicle came from, when, and what was asked for.
struct ReportTitle {
  QString drawingFile;
  QString date;
  QString vehicleName;
  QString vehicleSource;  // the library file and record, or the vehicle's JSON file
  QString unitLabel;      // the drawing unit, e.g. "m"
  std::optional<double> speed;  // the speed checked, in the run's speed unit
  std::optional<double> lockToLock;  // seconds
};

enum class Paper { A4, A3 };

// One page being painted: millimetres to device units, and the report's symbols.
struct Sheet {
  QPainter& painter;
  double unitsPerMm = 1;
  QRectF page;  // the printable page in device units
  NumberSymbols symbols;

  double Mm(double mm) const { return mm * unitsPerMm; }
  QRectF MmRect(double x, double y, double w, double h) const {
    return {page.left() + Mm(x), page.top() + Mm(y), Mm(w), Mm(h)};
  }
  double WidthMm() const { return page.width() / unitsPerMm; }
  double HeightMm() const { return page.height() / unitsPerMm; }
  // A font of the report's family at a size in points.
  QFont Font(double points, bool bold = false) const;
  void Text(const QRectF& box, int flags, const QString& text, double points, bool bold = false,
            const QColor& colour = Qt::black) const;
};

// A number with a fixed count of decimals in the report's symbols; a dash for none.
QString Fixed(std::optional<double> value, int decimals, const NumberSymbols& symbols);
// The speed unit's name: "km/h", "mph" or "m/s".
QString SpeedUnitName(int speedUnit);
// The smallest of the usual drawing scales (the n of 1:n: 1, 2, 2.5 or 5
// times a power of ten) at which a length of the given metres fits in the
// given millimetres of paper.
double RoundScale(double metres, double millimetres);
// The verdict in words: "Fits", "Steering limit exceeded at station 12.4 m",
// "3 clearance conflicts", or both of the last kinds joined.
QString ReportVerdict(const RunResultModel& model, const NumberSymbols& symbols);
bool ReportFits(const RunResultModel& model);
// What playback shows of one pose: station, direction, steering and
// articulation angles and speed, and the stop when the vehicle stands there.
QString StationReadout(const RunResultModel& model, std::size_t pose, const NumberSymbols& symbols);
// The drawing region the run covers: its envelope, stations and bodies.
std::optional<QRectF> RunBounds(const RunResultModel& model);
// True when the pose is where a limit stopped the vehicle.
bool PoseIsStop(const RunResultModel& model, std::size_t pose);

// The page's frame, its heading and its footer (page n of count).
void PaintPageFrame(const Sheet& sheet, const QString& heading, const ReportTitle& title,
                    int page, int count);
// The area inside the frame, below the heading and above the footer, in millimetres.
QRectF PageBodyMm(const Sheet& sheet);

// A table: the header row, then the rows; columns take the widths given
// (millimetres) from the left of the box. Returns the height used (millimetres).
double PaintTable(const Sheet& sheet, double xMm, double yMm, const std::vector<double>& widthsMm,
                  const QStringList& header, const std::vector<QStringList>& rows,
                  double points = 8.5);

// The pages: the run on the drawing, the vehicle, the diagrams.
void PaintVehiclePage(const Sheet& sheet, const RunResultModel& model, const ReportTitle& title);
void PaintDiagramPage(const Sheet& sheet, const RunResultModel& model, const ReportTitle& title);

}  // namespace veerline::paint
