#include "ui/FleetDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace veerline::ui {
namespace {

enum Column { kVehicle, kOutcome, kClearance, kSteering, kArticulation, kSpeed, kWidth, kReason,
              kColumnCount };

// Sorts by the number it shows; cells without one go after those with one.
class FigureItem : public QTableWidgetItem {
 public:
  explicit FigureItem(const std::optional<double>& value, int decimals) {
    if (value) {
      setData(Qt::UserRole, *value);
      setText(QLocale().toString(*value, 'f', decimals));
    }
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const QVariant a = data(Qt::UserRole), b = other.data(Qt::UserRole);
    if (a.isValid() != b.isValid()) return a.isValid();
    if (!a.isValid()) return false;
    return a.toDouble() < b.toDouble();
  }
};

// Fleet rows in the library's order, whatever the table's order.
constexpr int kIndexRole = Qt::UserRole + 1;

}  // namespace

FleetDialog::FleetDialog(FleetRequest request, std::vector<FleetVehicle> vehicles,
                         QString speedUnit, QString lengthUnit, QWidget* parent)
    : QDialog(parent), mRequest(std::move(request)), mVehicles(std::move(vehicles)) {
  setObjectName(QStringLiteral("FleetDialog"));
  setWindowTitle(QStringLiteral("Fleet check - %1").arg(QString::fromStdString(mRequest.library)));
  mRows.resize(mVehicles.size());
  mShown.assign(mVehicles.size(), false);

  auto* layout = new QVBoxLayout(this);
  mSummary = new QLabel;
  mSummary->setObjectName(QStringLiteral("FleetSummary"));
  layout->addWidget(mSummary);
  mTable = new QTableWidget(static_cast<int>(mVehicles.size()), kColumnCount);
  mTable->setObjectName(QStringLiteral("FleetTable"));
  mTable->setHorizontalHeaderLabels(
      {QStringLiteral("Vehicle"), QStringLiteral("Outcome"),
       QStringLiteral("Smallest\nclearance (%1)").arg(lengthUnit),
       QStringLiteral("Largest steering\nangle (°)"),
       QStringLiteral("Largest articu-\nlation angle (°)"),
       QStringLiteral("Lowest\nspeed (%1)").arg(speedUnit),
       QStringLiteral("Swept\nwidth (%1)").arg(lengthUnit), QStringLiteral("Reason")});
  mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  mTable->setSelectionMode(QAbstractItemView::SingleSelection);
  mTable->verticalHeader()->hide();
  mTable->horizontalHeader()->setStretchLastSection(true);
  mTable->setToolTip(QStringLiteral("Double-click a vehicle to run it into the drawing"));
  for (int i = 0; i < static_cast<int>(mVehicles.size()); ++i) {
    auto* name = new QTableWidgetItem(QString::fromStdString(mVehicles[i].vehicle.Name));
    name->setData(kIndexRole, i);
    mTable->setItem(i, kVehicle, name);
    mTable->setItem(i, kOutcome, new QTableWidgetItem(QStringLiteral("waiting")));
  }
  // Library order until the user clicks a header.
  mTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  mTable->setSortingEnabled(true);
  // Without obstacle layers there is no clearance to show.
  mTable->setColumnHidden(kClearance, mRequest.inputs.obstacleLayers.empty());
  layout->addWidget(mTable, 1);

  mProgress = new QProgressBar;
  mProgress->setObjectName(QStringLiteral("FleetProgress"));
  mProgress->setRange(0, static_cast<int>(mVehicles.size()));
  mProgress->setValue(0);
  // Cancel stops the runs and keeps the rows made so far; then it closes.
  mCancel = new QPushButton(QStringLiteral("&Cancel"));
  mCancel->setObjectName(QStringLiteral("FleetCancel"));
  mCancel->setAutoDefault(false);
  connect(mCancel, &QPushButton::clicked, this, [this] {
    if (mDone) reject(); else Stop();
  });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(mProgress, 1);
  bottom->addWidget(mCancel);
  layout->addLayout(bottom);

  connect(mTable, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const QTableWidgetItem* item = mTable->item(row, kVehicle);
    if (item == nullptr) return;
    emit vehicleChosen(mVehicles[item->data(kIndexRole).toInt()].record);
  });
  resize(980, 460);

  mTimer = new QTimer(this);
  mTimer->setInterval(40);
  connect(mTimer, &QTimer::timeout, this, &FleetDialog::ShowProgress);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const auto count = std::min<std::size_t>(cores, mVehicles.size());
  for (std::size_t t = 0; t < count; ++t) mThreads.emplace_back([this] { Work(); });
  mTimer->start();
  ShowProgress();
}

FleetDialog::~FleetDialog() {
  mStop = true;
  for (std::thread& thread : mThreads) thread.join();
}

// One worker: takes the next vehicle until none is left or the check stops.
void FleetDialog::Work() {
  for (std::size_t i = mNext++; i < mVehicles.size() && !mStop; i = mNext++) {
    FleetRow row = RunFleetVehicle(mRequest, mVehicles[i], mStop);
    const std::lock_guard<std::mutex> lock(mMutex);
    mRows[i] = std::move(row);
  }
  ++mWorkersDone;
}

void FleetDialog::reject() {
  Stop();
  QDialog::reject();
}

void FleetDialog::Stop() {
  if (mDone) return;
  mStop = true;
  mCancel->setEnabled(false);
  mSummary->setText(QStringLiteral("Stopping..."));
}

bool FleetDialog::Finished() const { return mDone; }

std::vector<std::optional<FleetRow>> FleetDialog::Rows() const {
  const std::lock_guard<std::mutex> lock(mMutex);
  return mRows;
}

void FleetDialog::ShowProgress() {
  // Read before the rows: once every worker has ended, the rows taken after
  // hold all that they made.
  const bool allEnded = mWorkersDone.load() == static_cast<int>(mThreads.size());
  const std::vector<std::optional<FleetRow>> rows = Rows();
  int done = 0, fitting = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i]) continue;
    ++done;
    fitting += FleetRowFits(*rows[i]);
    if (!mShown[i]) {
      mShown[i] = true;
      ShowRow(static_cast<int>(i), *rows[i]);
    }
  }
  mProgress->setValue(done);
  // Finished once every worker has ended: all vehicles run, or stopped.
  if (!allEnded) {
    if (!mStop)
      mSummary->setText(QStringLiteral("Running the vehicles: %1 of %2 done...").arg(done).arg(rows.size()));
    return;
  }
  mTimer->stop();
  for (std::thread& thread : mThreads) thread.join();
  mThreads.clear();
  mDone = true;
  mSummary->setText(QStringLiteral("%1 of %2 vehicles fit%3. Double-click a vehicle to run it "
                                   "into the drawing.")
                        .arg(fitting)
                        .arg(rows.size())
                        .arg(mStop ? QStringLiteral(" (stopped; %1 not run)").arg(rows.size() - done)
                                   : QString()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i)
    if (!rows[i])
      for (int r = 0; r < mTable->rowCount(); ++r)
        if (mTable->item(r, kVehicle)->data(kIndexRole).toInt() == i)
          mTable->item(r, kOutcome)->setText(QStringLiteral("not run"));
  mCancel->setText(QStringLiteral("&Close"));
  mCancel->setEnabled(true);
  for (int c = 0; c < kReason; ++c) mTable->resizeColumnToContents(c);
  // Wide enough for every column but the reason, within the screen.
  int wanted = mTable->frameWidth() * 2 + 260 + layout()->contentsMargins().left() +
               layout()->contentsMargins().right();
  for (int c = 0; c < kReason; ++c) wanted += mTable->isColumnHidden(c) ? 0 : mTable->columnWidth(c);
  if (const QScreen* screen = this->screen())
    wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
  if (wanted > width()) resize(wanted, height());
  emit finished();
}

void FleetDialog::ShowRow(int index, const FleetRow& row) {
  int at = -1;
  for (int r = 0; r < mTable->rowCount() && at < 0; ++r)
    if (mTable->item(r, kVehicle)->data(kIndexRole).toInt() == index) at = r;
  if (at < 0) return;
  const bool sorting = mTable->isSortingEnabled();
  mTable->setSortingEnabled(false);
  const RunFigures& f = row.figures;
  // The stop station written with the user's decimal symbol, as the other figures.
  QString verdict = QString::fromStdString(FleetVerdict(row));
  const qsizetype stop = verdict.lastIndexOf(QStringLiteral(" at "));
  if (f.stopStation && stop >= 0)
    verdict = verdict.left(stop + 4) + QLocale().toString(*f.stopStation, 'f', 1);
  auto* outcome = new QTableWidgetItem(verdict);
  outcome->setForeground(FleetRowFits(row) ? QColor(0, 120, 0) : QColor(180, 0, 0));
  mTable->setItem(at, kOutcome, outcome);
  mTable->setItem(at, kClearance, new FigureItem(f.minimumClearance, 2));
  mTable->setItem(at, kSteering, new FigureItem(f.maxSteeringAngle, 1));
  mTable->setItem(at, kArticulation, new FigureItem(f.maxArticulationAngle, 1));
  mTable->setItem(at, kSpeed, new FigureItem(f.lowestSpeed, 1));
  mTable->setItem(at, kWidth, new FigureItem(f.sweptWidth, 2));
  auto* reason = new QTableWidgetItem(QString::fromStdString(row.reason));
  reason->setToolTip(QString::fromStdString(row.reason));
  mTable->setItem(at, kReason, reason);
  mTable->setSortingEnabled(sorting);
}

}  // namespace veerline::ui
