#include "ui/ClearanceGroup.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>

#include "cad/dxf/DrawingModel.h"
#include "cad/DrawingOutput.h"

namespace veerline::ui {
namespace {

bool ContainsName(const QStringList& names, const QString& name) {
  return names.contains(name, Qt::CaseInsensitive);
}

// The layers runs draw on are never obstacles to a run: the vehicle would
// conflict with its own earlier outlines.
bool IsRunOutputLayer(const QString& name) {
  return name.startsWith(QStringLiteral("Turn_"), Qt::CaseInsensitive) ||
         name.compare(QString::fromLatin1(cad::kLayerErrNotes), Qt::CaseInsensitive) == 0;
}

}  // namespace

ClearanceGroup::ClearanceGroup(QWidget* parent) : QGroupBox(QStringLiteral("Clearance"), parent) {
  setObjectName(QStringLiteral("fraClearance"));
  auto* layout = new QGridLayout(this);
  auto* caption = new QLabel(QStringLiteral("Obstacle layers"));
  caption->setObjectName(QStringLiteral("lblObstacleLayers"));
  mLayers = new QListWidget;
  mLayers->setObjectName(QStringLiteral("lstObstacleLayers"));
  mLayers->setMaximumHeight(90);
  mLayers->setToolTip(QStringLiteral("Entities on the checked layers are obstacles"));
  auto* marginCaption = new QLabel(QStringLiteral("Margin"));
  marginCaption->setObjectName(QStringLiteral("lblClearanceMargin"));
  mMargin = new QLineEdit(QStringLiteral("0"));
  mMargin->setObjectName(QStringLiteral("txt_ClearanceMargin"));
  mMargin->setMaximumWidth(60);
  mMargin->setToolTip(
      QStringLiteral("Obstacles nearer than this (path units) are conflicts; 0: touching only"));
  layout->setVerticalSpacing(2);
  layout->addWidget(caption, 0, 0);
  layout->addWidget(marginCaption, 0, 1, Qt::AlignRight);
  layout->addWidget(mMargin, 0, 2);
  layout->addWidget(mLayers, 1, 0, 1, 3);
  layout->setColumnStretch(0, 1);
  connect(mLayers, &QListWidget::itemChanged, this, [this] { RememberChoice(); });
}

void ClearanceGroup::ShowLayers(const cad::DrawingModel* drawing) {
  const QSignalBlocker blocker(mLayers);
  mLayers->clear();
  if (drawing == nullptr) return;
  for (const cad::DrawingLayer& layer : drawing->Layers()) {
    const QString name = QString::fromStdString(layer.Name);
    if (IsRunOutputLayer(name)) continue;
    auto* item = new QListWidgetItem(name, mLayers);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(ContainsName(mChosen, name) ? Qt::Checked : Qt::Unchecked);
  }
}

std::vector<std::string> ClearanceGroup::ChosenLayers() const {
  std::vector<std::string> chosen;
  for (int row = 0; row < mLayers->count(); ++row) {
    const QListWidgetItem* item = mLayers->item(row);
    if (item->checkState() == Qt::Checked) chosen.push_back(item->text().toStdString());
  }
  return chosen;
}

std::string ClearanceGroup::MarginText() const { return mMargin->text().toStdString(); }

// Names shown follow their check boxes; chosen names the drawing lacks stay.
void ClearanceGroup::RememberChoice() {
  QStringList chosen;
  QStringList shown;
  for (int row = 0; row < mLayers->count(); ++row) {
    const QListWidgetItem* item = mLayers->item(row);
    shown << item->text();
    if (item->checkState() == Qt::Checked) chosen << item->text();
  }
  for (const QString& name : mChosen)
    if (!ContainsName(shown, name)) chosen << name;
  mChosen = chosen;
}

void ClearanceGroup::ReadSettings(QSettings& settings) {
  mChosen = settings.value(QStringLiteral("ObstacleLayers")).toStringList();
  mMargin->setText(
      settings.value(QStringLiteral("ClearanceMargin"), QStringLiteral("0")).toString());
  for (int row = 0; row < mLayers->count(); ++row) {
    QListWidgetItem* item = mLayers->item(row);
    const QSignalBlocker blocker(mLayers);
    item->setCheckState(ContainsName(mChosen, item->text()) ? Qt::Checked : Qt::Unchecked);
  }
}

void ClearanceGroup::WriteSettings(QSettings& settings) const {
  settings.setValue(QStringLiteral("ObstacleLayers"), mChosen);
  settings.setValue(QStringLiteral("ClearanceMargin"), mMargin->text());
}

}  // namespace veerline::ui
