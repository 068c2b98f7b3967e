#pragma once

// Run > Fleet check: every vehicle of the open library over the path the
// user picked, run off the window's thread, listed as the runs finish in a
// table that sorts by any column. A double click on a row asks for that
// vehicle's run in the drawing.

#include <QDialog>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "run/FleetRun.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace veerline::ui {

class FleetDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts the runs at once, as many at a time as there are cores.
  // The headers name the units: speedUnit "km/h", lengthUnit "m" and so on.
  FleetDialog(FleetRequest request, std::vector<FleetVehicle> vehicles, QString speedUnit,
              QString lengthUnit, QWidget* parent = nullptr);
  // Stops the runs still going and waits for them.
  ~FleetDialog() override;

  bool Finished() const;
  QTableWidget* Table() const { return mTable; }
  const std::string& PathHandle() const { return mRequest.pathHandle; }
  // The rows finished so far, in library order (unfinished ones empty).
  std::vector<std::optional<FleetRow>> Rows() const;
  // Escape and the window's close button stop the runs too.
  void reject() override;

 signals:
  // The user double-clicked the row of this library record.
  void vehicleChosen(int record);
  // Every vehicle has its row (or the check was cancelled and the runs ended).
  void finished();

 private:
  void Work();
  void ShowProgress();
  void ShowRow(int index, const FleetRow& row);
  void Stop();

  FleetRequest mRequest;
  std::vector<FleetVehicle> mVehicles;
  mutable std::mutex mMutex;
  std::vector<std::optional<FleetRow>> mRows;  // guarded by mMutex
  std::vector<bool> mShown;
  std::atomic<std::size_t> mNext{0};
  std::atomic<bool> mStop{false};
  std::atomic<int> mWorkersDone{0};
  std::vector<std::thread> mThreads;
  bool mDone = false;

  QLabel* mSummary = nullptr;
  QTableWidget* mTable = nullptr;
  QProgressBar* mProgress = nullptr;
  QPushButton* mCancel = nullptr;
  QTimer* mTimer = nullptr;
};

}  // namespace veerline::ui
