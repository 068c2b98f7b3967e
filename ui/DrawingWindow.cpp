#include "ui/DrawingWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>
#include <filesystem>

#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingView.h"
#include "ui/FileFolders.h"
#include "ui/InteractivePicker.h"
#include "ui/PlaybackBar.h"

namespace veerline::ui {
namespace {

constexpr const char* kDrawingFileKey = "DrawingFile";
constexpr const char* kTitleWithoutDrawing = "Veerline Drawing";
constexpr const char* kMessageTitle = "Veerline";

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

}  // namespace

DrawingWindow::DrawingWindow(UiServices services, cad::DrawingAttacher& attacher, QWidget* parent)
    : QMainWindow(parent), mServices(std::move(services)), mAttacher(attacher) {
  setObjectName(QStringLiteral("frmDrawing"));
  // The program ends with the main window, whatever this window does.
  setAttribute(Qt::WA_QuitOnClose, false);
  // The drawing, and under it the bar that plays the last run back.
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("DrawingArea"));
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  mView = new DrawingView(central);
  mPlayback = new PlaybackBar(central);
  column->addWidget(mView, 1);
  column->addWidget(mPlayback);
  setCentralWidget(central);
  mPicker = std::make_unique<InteractivePicker>(*this);
  BuildMenus();
  BuildLayerList();
  mEditor = std::make_unique<DrawingEditor>(*this);
  statusBar()->setObjectName(QStringLiteral("DrawingStatusBar"));
  resize(900, 650);
  Install(mAttacher.Close(), QString());
}

DrawingWindow::~DrawingWindow() {
  // The drawing outlives this window inside the attacher; it must not call back.
  if (cad::DrawingApplication* application = mAttacher.Application()) {
    application->SetPicker(nullptr);
    application->SetRegenCallback({});
  }
}

cad::DrawingModel* DrawingWindow::Drawing() const { return mAttacher.Current(); }

void DrawingWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->setObjectName(QStringLiteral("DrawingFileMenu"));
  mNew = file->addAction(tr("New drawing"), this, [this] { NewDrawing(); });
  mNew->setObjectName(QStringLiteral("NewDrawing"));
  mOpen = file->addAction(tr("Open drawing..."), this, &DrawingWindow::OnOpenDrawing);
  mOpen->setObjectName(QStringLiteral("OpenDrawing"));
  mOpen->setShortcut(QKeySequence::Open);
  mSave = file->addAction(tr("Save drawing"), this, [this] { SaveDrawing(); });
  mSave->setObjectName(QStringLiteral("SaveDrawing"));
  mSave->setShortcut(QKeySequence::Save);
  mSaveAs = file->addAction(tr("Save drawing as..."), this, [this] { SaveDrawingAs(); });
  mSaveAs->setObjectName(QStringLiteral("SaveDrawingAs"));
  file->addSeparator();
  mClose = file->addAction(tr("Close drawing"), this, [this] { CloseDrawing(); });
  mClose->setObjectName(QStringLiteral("CloseDrawing"));
  file->addSeparator();
  BuildRunMenu(file);
  file->addSeparator();
  // Exit ends the program here as in the main window, which does the closing.
  QAction* exit = file->addAction(tr("E&xit"), this, &DrawingWindow::exitRequested);
  exit->setObjectName(QStringLiteral("ExitProgram"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->setObjectName(QStringLiteral("DrawingViewMenu"));
  mExtents = view->addAction(tr("Zoom to extents"), mView, &DrawingView::ZoomToExtents);
  mExtents->setObjectName(QStringLiteral("ZoomToExtents"));
  mExtents->setShortcuts({QKeySequence(Qt::Key_Home), QKeySequence(Qt::Key_E)});
}

void DrawingWindow::BuildLayerList() {
  auto* dock = new QDockWidget(tr("Layers"), this);
  dock->setObjectName(QStringLiteral("LayerDock"));
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  mLayerList = new QListWidget(dock);
  mLayerList->setObjectName(QStringLiteral("LayerList"));
  mLayerList->setFocusPolicy(Qt::NoFocus);
  dock->setWidget(mLayerList);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  connect(mLayerList, &QListWidget::itemChanged, this, &DrawingWindow::OnLayerChanged);
}

void DrawingWindow::OpenAtStart() {
  std::unique_ptr<QSettings> settings = mServices.openSettings();
  const QString last =
      settings->value(QStringLiteral("%1/%2").arg(kSettingsSection, kDrawingFileKey)).toString();
  settings.reset();
  if (!last.isEmpty() && QFileInfo::exists(last) && OpenDrawingFile(last)) return;
  NewDrawing();
}

bool DrawingWindow::OpenDrawingFile(const QString& path) {
  if (mRunning) return false;
  std::unique_ptr<cad::DrawingModel> drawing;
  try {
    drawing = cad::ReadDxfFile(ToPath(path));
  } catch (const std::exception& error) {
    Warn(tr("The drawing could not be opened.\r\r%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  if (!OfferToSaveChanges()) return false;
  Install(std::move(drawing), QFileInfo(path).absoluteFilePath());
  RememberDrawingFile(mPath);
  return true;
}

bool DrawingWindow::NewDrawing() {
  if (mRunning || !OfferToSaveChanges()) return false;
  Install(std::make_unique<cad::DrawingModel>(), QString());
  return true;
}

void DrawingWindow::OnOpenDrawing() {
  if (mRunning) return;
  const QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::OpenDrawing);
  if (!chosen.isEmpty()) OpenDrawingFile(chosen);
}

bool DrawingWindow::SaveDrawing() {
  if (Drawing() == nullptr) return false;
  return mPath.isEmpty() ? SaveDrawingAs() : SaveDrawingTo(mPath);
}

bool DrawingWindow::SaveDrawingAs() {
  if (Drawing() == nullptr) return false;
  QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::SaveDrawing);
  if (chosen.isEmpty()) return false;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".dxf");
  return SaveDrawingTo(chosen);
}

bool DrawingWindow::SaveDrawingTo(const QString& path) {
  cad::DrawingModel* drawing = Drawing();
  if (drawing == nullptr) return false;
  try {
    cad::WriteDxfFile(*drawing, ToPath(path));
  } catch (const std::exception& error) {
    Warn(tr("The drawing could not be saved.\r\r%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  mPath = QFileInfo(path).absoluteFilePath();
  drawing->SetFileName(QFileInfo(path).fileName().toStdString());
  mModified = false;
  RememberDrawingFile(mPath);
  UpdateTitle();
  return true;
}

bool DrawingWindow::CloseDrawing() {
  if (mRunning || Drawing() == nullptr || !OfferToSaveChanges()) return false;
  Install(nullptr, QString());
  return true;
}

bool DrawingWindow::OfferToSaveChanges() {
  if (!mModified || Drawing() == nullptr) return true;
  const QString name = QString::fromStdString(Drawing()->FileName());
  const std::optional<MessageAnswer> answer =
      mServices.askYesNoCancel(this, QString::fromLatin1(kMessageTitle),
                               tr("The drawing %1 has changed. Save the changes?").arg(name));
  if (!answer) return false;  // Cancel keeps the drawing and whatever was asked of it
  if (*answer != MessageAnswer::Yes) return true;
  return SaveDrawing();
}

void DrawingWindow::Install(std::unique_ptr<cad::DrawingModel> drawing, const QString& path) {
  if (cad::DrawingApplication* old = mAttacher.Application()) {
    old->SetPicker(nullptr);
    old->SetRegenCallback({});
  }
  mAttacher.Open(std::move(drawing));
  if (cad::DrawingApplication* application = mAttacher.Application()) {
    application->SetPicker(mPicker.get());
    application->SetRegenCallback([this] { OnRegen(); });
  }
  mPath = path;
  mModified = false;
  ClearRunResult();
  mView->SetDrawing(Drawing());
  RefreshLayerList();
  UpdateTitle();
  UpdateActions();
  emit drawingChanged();
}

// A run has written into the drawing and asks for it to be shown again.
void DrawingWindow::OnRegen() {
  mModified = true;
  mView->SetHighlight(std::string());
  mView->Refresh();
  RefreshLayerList();
  UpdateTitle();
}

void DrawingWindow::NoteDrawingEdited() {
  mModified = true;
  mView->Refresh();
  RefreshLayerList();
  UpdateTitle();
}

void DrawingWindow::RefreshLayerList() {
  mFillingLayers = true;
  mLayerList->clear();
  if (const cad::DrawingModel* drawing = Drawing()) {
    for (const cad::DrawingLayer& layer : drawing->Layers()) {
      auto* item = new QListWidgetItem(QString::fromStdString(layer.Name), mLayerList);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      item->setCheckState(layer.Visible ? Qt::Checked : Qt::Unchecked);
    }
  }
  mFillingLayers = false;
}

void DrawingWindow::OnLayerChanged(QListWidgetItem* item) {
  cad::DrawingModel* drawing = Drawing();
  if (mFillingLayers || drawing == nullptr) return;
  const std::string name = item->text().toStdString();
  if (drawing->FindLayer(name) == nullptr) return;
  drawing->AddOrGetLayer(name).Visible = item->checkState() == Qt::Checked;
  mModified = true;
  mView->Refresh();
}

void DrawingWindow::UpdateTitle() {
  const cad::DrawingModel* drawing = Drawing();
  setWindowTitle(drawing ? QString::fromStdString(mAttacher.Application()->Caption())
                         : QString::fromLatin1(kTitleWithoutDrawing));
}

void DrawingWindow::UpdateActions() {
  const bool open = Drawing() != nullptr;
  mOpen->setEnabled(!mRunning);
  mNew->setEnabled(!mRunning);
  mClose->setEnabled(!mRunning && open);
  mSave->setEnabled(!mRunning && open);
  mSaveAs->setEnabled(!mRunning && open);
}

void DrawingWindow::SetRunInProgress(bool running) {
  // What a run adds to the drawing is undone as one action; a run that
  // added nothing leaves the drawing as unchanged as it found it.
  if (running) {
    // The drawing is about to change: the last run's playback ends.
    ClearRunResult();
    mEditor->BeginRun();
    mModifiedBeforeRun = mModified;
  }
  mRunning = running;
  UpdateActions();
  if (running || mEditor->EndRun()) return;
  mModified = mModifiedBeforeRun;
  if (Drawing() != nullptr) {
    mView->Refresh();
    RefreshLayerList();
  }
  UpdateTitle();
}

void DrawingWindow::ShowPrompt(const QString& prompt) { statusBar()->showMessage(prompt); }

void DrawingWindow::ClearPrompt() { statusBar()->clearMessage(); }

void DrawingWindow::ShowWarning(const QString& title, const QString& text) {
  mServices.showMessage(this, MessageKind::Warning, title, text);
}

void DrawingWindow::RememberDrawingFile(const QString& path) {
  std::unique_ptr<QSettings> settings = mServices.openSettings();
  settings->setValue(QStringLiteral("%1/%2").arg(kSettingsSection, kDrawingFileKey), path);
}

void DrawingWindow::Warn(const QString& text) {
  mServices.showMessage(this, MessageKind::Warning, QString::fromLatin1(kMessageTitle), text);
}

void DrawingWindow::closeEvent(QCloseEvent* event) {
  emit windowClosed();
  QMainWindow::closeEvent(event);
}

void DrawingWindow::keyPressEvent(QKeyEvent* event) {
  // Escape anywhere in the window ends a pick, not only over the drawing.
  if (event->key() == Qt::Key_Escape) {
    emit mView->escapePressed();
    return;
  }
  if (event->modifiers() == Qt::NoModifier && PlaybackKey(event->key())) return;
  QMainWindow::keyPressEvent(event);
}

}  // namespace veerline::ui
