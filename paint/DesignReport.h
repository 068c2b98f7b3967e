#pragma once

// The design report of a run as a vector PDF, landscape A4 or A3: the run on
// the drawing with its verdict and figures, the vehicle to scale with its
// limits, the steering, articulation and speed diagrams, and the clearance
// table when obstacles came within the margin.

#include <QByteArray>

#include "paint/ReportSheet.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::paint {

// The pages of the report; 4 with clearance conflicts, else 3.
int ReportPageCount(const RunResultModel& model);

// The report as PDF bytes, numbers written with the symbols given. The
// drawing is the one holding the run's blocks.
QByteArray DesignReportPdf(const cad::DrawingModel& drawing, const RunResultModel& model,
                           const ReportTitle& title, Paper paper, const NumberSymbols& symbols);

}  // namespace veerline::paint
