#include "ui/ClearanceReport.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/Rounding.h"

namespace veerline::ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A station distance to one decimal, as the run's messages write them.
QString StationText(double station, const NumberSymbols& symbols) {
  return Text(FormatFieldNumber(RoundHalfEven(station, 1), symbols));
}

}  // namespace

ClearanceReport::ClearanceReport(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ClearanceReport"));
  auto* layout = new QVBoxLayout(this);
  mHeadline = new QLabel(QStringLiteral("No clearance check: choose obstacle layers"));
  mHeadline->setObjectName(QStringLiteral("lblClearanceHeadline"));
  mTable = new QTableWidget(0, 6);
  mTable->setObjectName(QStringLiteral("tblConflicts"));
  mTable->setHorizontalHeaderLabels({QStringLiteral("Layer"), QStringLiteral("Handle"),
                                     QStringLiteral("Distance"), QStringLiteral("At station"),
                                     QStringLiteral("From station"), QStringLiteral("To station")});
  mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  mTable->setSelectionMode(QAbstractItemView::SingleSelection);
  mTable->verticalHeader()->hide();
  mTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  mTable->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(mHeadline);
  layout->addWidget(mTable, 1);
  connect(mTable, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (row < 0 || row >= static_cast<int>(mConflicts.size())) return;
    const ObstacleClearance& c = mConflicts[static_cast<std::size_t>(row)];
    emit conflictChosen(Text(c.Handle), QPointF(c.Nearest.X, c.Nearest.Y));
  });
}

void ClearanceReport::Show(const ClearanceResult& result, const NumberSymbols& symbols) {
  const QSignalBlocker blocker(mTable);
  mConflicts = result.Conflicts;
  mTable->clearContents();
  mTable->setRowCount(static_cast<int>(mConflicts.size()));
  for (int row = 0; row < mTable->rowCount(); ++row) {
    const ObstacleClearance& c = mConflicts[static_cast<std::size_t>(row)];
    const QString cells[] = {Text(c.Layer),
                             Text(c.Handle),
                             Text(DistanceText(c.Distance, symbols)),
                             StationText(c.Station, symbols),
                             StationText(c.FirstStation, symbols),
                             StationText(c.LastStation, symbols)};
    for (int column = 0; column < 6; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      mTable->setItem(row, column, item);
    }
  }
  if (!result.Checked) {
    mHeadline->setText(QStringLiteral("No clearance check: choose obstacle layers"));
    return;
  }
  const QString margin = Text(FormatFieldNumber(result.Margin, symbols));
  const QString closest = result.MinimumDistance
                              ? Text(DistanceText(*result.MinimumDistance, symbols))
                              : QStringLiteral("none (no obstacles on the layers)");
  mHeadline->setText(QStringLiteral("%1 conflict(s) within a margin of %2; closest obstacle: %3")
                         .arg(mConflicts.size())
                         .arg(margin, closest));
}

QString ClearanceReport::Headline() const { return mHeadline->text(); }

}  // namespace veerline::ui
