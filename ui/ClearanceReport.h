#pragma once

#include <QPointF>
#include <QWidget>

#include "engine/Clearance.h"
#include "engine/NumberRule.h"

class QLabel;
class QTableWidget;

namespace veerline::ui {

// The "Clearance Report" tab: a line on the check as a whole, and the
// conflicts of the last run, nearest first, one row each (layer, handle,
// distance, station of the distance, first and last station within the
// margin). Choosing a row reports the obstacle and its mark.
class ClearanceReport : public QWidget {
  Q_OBJECT

 public:
  explicit ClearanceReport(QWidget* parent = nullptr);

  // Shows a run's check, its numbers written with the symbols.
  void Show(const ClearanceResult& result, const NumberSymbols& symbols);
  QTableWidget* Table() const { return mTable; }
  QString Headline() const;

 signals:
  // A row was chosen: the obstacle's handle and its mark's point.
  void conflictChosen(const QString& handle, QPointF mark);

 private:
  QLabel* mHeadline = nullptr;
  QTableWidget* mTable = nullptr;
  std::vector<ObstacleClearance> mConflicts;
};

}  // namespace veerline::ui
