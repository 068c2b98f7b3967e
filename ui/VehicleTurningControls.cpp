// Builds the main window's controls, menus and status bar.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <tuple>

#include "ui/ClearanceGroup.h"
#include "ui/ClearanceReport.h"
#include "ui/ElidedLabel.h"
#include "ui/RunDiagramBox.h"
#include "ui/StandardLibraries.h"
#include "ui/VehicleTurningWindow.h"
#include "ui/WindowHost.h"

namespace veerline::ui {
namespace {

using D = Dimension;

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* NamedLabel(const QString& name, const QString& text) {
  auto* label = new QLabel(text);
  label->setObjectName(name);
  return label;
}

QLineEdit* NamedField(const char* name, const QString& text, int width = 0) {
  auto* field = Named(new QLineEdit(text), name);
  if (width > 0) field->setFixedWidth(width);
  return field;
}

// The dimension captions Label1(0) to Label1(15) and the field each belongs to.
struct CaptionOf {
  int index;
  D dimension;
  const char* text;
};
constexpr std::array<CaptionOf, 16> kCaptions{{
    {0, D::Front, "F="},
    {1, D::Wheelbase, "WB="},
    {2, D::Hitch, "H="},
    {3, D::Back, "B="},
    {4, D::Hitch2, "H2="},
    {5, D::Front2, "F2="},
    {6, D::Wheelbase2, "WB2="},
    {7, D::Back2, "B2="},
    {8, D::Hitch3, "H3="},
    {9, D::Front3, "F3="},
    {10, D::Wheelbase3, "WB3="},
    {11, D::Back3, "B3="},
    {12, D::Back4, "B4="},
    {13, D::Wheelbase4, "WB4="},
    {14, D::Front4, "F4="},
    {15, D::Hitch4, "H4="},
}};

constexpr int kFieldWidth = 52;

}  // namespace

void frmVehicleTurning::BuildControls() {
  auto* central = new QWidget;
  central->setObjectName(QStringLiteral("centralWidget"));
  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(6, 6, 6, 6);

  auto* left = new QVBoxLayout;
  left->addWidget(BuildVehicleDataFrame());
  left->addWidget(BuildVehicleListFrame(), 1);
  mClearanceGroup = new ClearanceGroup;
  left->addWidget(mClearanceGroup);
  grid->addLayout(left, 0, 0);

  mTabs = Named(new QTabWidget, "TabStrip1");
  // Every tab shows its whole caption; the strip is as wide as they need.
  mTabs->tabBar()->setElideMode(Qt::ElideNone);
  mTabs->tabBar()->setUsesScrollButtons(false);
  mFrame1 = Named(new QFrame, "Frame1");
  auto* frame1Layout = new QVBoxLayout(mFrame1);
  frame1Layout->setContentsMargins(2, 2, 2, 2);
  frame1Layout->addWidget(BuildVehicleDetailsPage());
  mPicture3 = Named(new RunDiagramBox(RunDiagramBox::Kind::Turning, mDiagramState), "Picture3");
  mPicture2 = Named(new RunDiagramBox(RunDiagramBox::Kind::Speed, mDiagramState), "Picture2");
  for (RunDiagramBox* picture : {mPicture3, mPicture2})
    picture->SetSymbols([this] { return mHost->Symbols(); });
  mTabs->addTab(mFrame1, QStringLiteral("Vehicle Details"));
  mTabs->addTab(mPicture3, QStringLiteral("Turning Report"));
  mTabs->addTab(mPicture2, QStringLiteral("Lock to lock Report"));
  mClearanceReport = new ClearanceReport;
  mTabs->addTab(mClearanceReport, QStringLiteral("Clearance Report"));
  mTabs->tabBar()->setTabData(3, QStringLiteral("Clearance"));
  mTabs->tabBar()->setTabData(0, QStringLiteral("VData"));
  mTabs->tabBar()->setTabData(1, QStringLiteral("ResDia"));
  mTabs->tabBar()->setTabData(2, QStringLiteral("Lockspeed"));
  grid->addWidget(mTabs, 0, 1);
  grid->setColumnStretch(1, 1);

  grid->addWidget(BuildBottomRow(), 1, 0, 1, 2);
  setCentralWidget(central);
}

QWidget* frmVehicleTurning::BuildVehicleDataFrame() {
  auto* frame = Named(new QGroupBox(QStringLiteral("Vehicle data")), "Frame3");
  auto* layout = new QGridLayout(frame);
  mName = NamedField("txt_Name", QString());
  mName->setMaxLength(100);
  mTypeList = Named(new QComboBox, "Combo1");
  mVehicleUnit = Named(new QComboBox, "Combo3");
  mDescription = NamedField("Text1", QString());
  mDescription->setMaxLength(250);
  // A description longer than the field (a standard vehicle's source) reads whole on hover.
  connect(mDescription, &QLineEdit::textChanged, mDescription, &QWidget::setToolTip);
  layout->addWidget(NamedLabel(QStringLiteral("Label6"), QStringLiteral("Name")), 0, 0);
  layout->addWidget(mName, 0, 1);
  layout->addWidget(NamedLabel(QStringLiteral("Label9"), QStringLiteral("Type")), 1, 0);
  layout->addWidget(mTypeList, 1, 1);
  layout->addWidget(NamedLabel(QStringLiteral("Label7"), QStringLiteral("Units")), 2, 0);
  layout->addWidget(mVehicleUnit, 2, 1);
  layout->addWidget(mDescription, 3, 0, 1, 2);
  // A name or unit marked missing loses its mark once given.
  connect(mName, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (mName->property("fault").toBool() && !text.trimmed().isEmpty()) {
      mName->setProperty("fault", false);
      mName->setStyleSheet(QString());
      mName->setToolTip(QString());
    }
  });
  connect(mVehicleUnit, &QComboBox::currentIndexChanged, this, [this](int position) {
    if (mVehicleUnit->property("fault").toBool() && position > 0) {
      mVehicleUnit->setProperty("fault", false);
      mVehicleUnit->setStyleSheet(QString());
      mVehicleUnit->setToolTip(QString());
    }
  });
  return frame;
}

QWidget* frmVehicleTurning::BuildVehicleListFrame() {
  auto* frame = Named(new QGroupBox(QStringLiteral("Vehicle List")), "Frame4");
  auto* layout = new QVBoxLayout(frame);
  mList = Named(new QListWidget, "List1");
  layout->addWidget(mList, 1);
  // Two rows of two, which keeps the list's column narrow.
  auto* buttons = new QGridLayout;
  auto* save = Named(new QPushButton(QStringLiteral("S&ave")), "Command1");
  auto* copy = Named(new QPushButton(QStringLiteral("&Copy")), "Command6");
  auto* add = Named(new QPushButton(QStringLiteral("N&ew")), "Command4");
  auto* remove = Named(new QPushButton(QStringLiteral("&Delete")), "Command5");
  buttons->addWidget(save, 0, 0);
  buttons->addWidget(copy, 0, 1);
  buttons->addWidget(add, 1, 0);
  buttons->addWidget(remove, 1, 1);
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, [this] { SaveOrCopyVehicle(QStringLiteral("Save")); });
  connect(copy, &QPushButton::clicked, this, [this] { SaveOrCopyVehicle(QStringLiteral("Copy")); });
  connect(add, &QPushButton::clicked, this, &frmVehicleTurning::OnNew);
  connect(remove, &QPushButton::clicked, this, &frmVehicleTurning::OnDelete);
  // Whatever selects an entry loads it: a click, the arrow keys, a program
  // step. The selection is watched, not the current row, because a mouse press
  // moves the current row before it selects, and the fields must never show
  // another vehicle than the one highlighted.
  connect(mList, &QListWidget::itemSelectionChanged, this, [this] {
    if (SelectedEntry() != nullptr) OnListClick();
  });
  // A click on the entry that is already selected changes nothing, yet reloads it.
  mList->viewport()->installEventFilter(this);
  connect(mList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (mList->row(item) == mRowAtPress) OnListClick();
  });
  return frame;
}

QWidget* frmVehicleTurning::BuildVehicleDetailsPage() {
  auto* frame5 = Named(new QFrame, "Frame5");
  auto* outer = new QHBoxLayout(frame5);
  // Rows packed close, so the window fits a screen 768 pixels high.
  outer->setContentsMargins(4, 2, 4, 2);
  auto* column = new QVBoxLayout;
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);

  // One column pair per segment: caption and field, rows F, WB, B, H.
  for (int segment = 0; segment < 4; ++segment) {
    mSegmentHeaders[segment] = NamedLabel(QStringLiteral("Label%1").arg(11 + segment),
                                          QStringLiteral("#%1").arg(segment + 1));
    grid->addWidget(mSegmentHeaders[segment], 0, 2 * segment + 1);
  }
  for (const CaptionOf& caption : kCaptions) {
    const int d = static_cast<int>(caption.dimension);
    const int segment = d % 4;
    const int row = 1 + d / 4;  // Front, Wheelbase, Back, Hitch groups
    auto* label = NamedLabel(QStringLiteral("Label1(%1)").arg(caption.index),
                             QString::fromLatin1(caption.text));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mDimensionCaptions[d] = label;
    const std::string name(DimensionControlName(caption.dimension));
    mFields[d] = NamedField(name.c_str(), QString(), kFieldWidth);
    grid->addWidget(label, row, 2 * segment);
    grid->addWidget(mFields[d], row, 2 * segment + 1);
    mFields[d]->installEventFilter(this);
  }
  grid->addWidget(NamedLabel(QStringLiteral("Label3(2)"), QStringLiteral("Width")), 5, 1);
  grid->addWidget(NamedLabel(QStringLiteral("Label3(0)"), QStringLiteral("Vehicle")), 6, 0);
  grid->addWidget(NamedLabel(QStringLiteral("Label3(1)"), QStringLiteral("Wheel")), 7, 0);
  for (int segment = 0; segment < 4; ++segment) {
    for (D first : {D::VehicleWidth, D::WheelWidth}) {
      const auto dimension = static_cast<D>(static_cast<int>(first) + segment);
      const int d = static_cast<int>(dimension);
      const std::string name(DimensionControlName(dimension));
      mFields[d] = NamedField(name.c_str(), QString(), kFieldWidth);
      grid->addWidget(mFields[d], first == D::VehicleWidth ? 6 : 7, 2 * segment + 1);
    }
  }
  // Hidden captions and fields keep their room, so a change of the vehicle
  // type never grows the window and pushes Execute and Cancel off the screen.
  for (int i = 0; i < grid->count(); ++i) {
    QWidget* widget = grid->itemAt(i)->widget();
    if (widget == nullptr) continue;
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
  }
  column->addLayout(grid);

  auto* limits = new QGridLayout;
  limits->setVerticalSpacing(2);
  const std::array<std::tuple<D, const char*, const char*>, 3> limitRows{{
      {D::MaxTurningAngle, "Label4", "Max wheel turning angle (seg #1)"},
      {D::MaxSegmentAngle, "Label8", "Max angle between Segments"},
      {D::LockToLockTime, "Label16", "Lock to lock time (seconds)"},
  }};
  int row = 0;
  for (const auto& [dimension, labelName, caption] : limitRows) {
    const std::string name(DimensionControlName(dimension));
    mFields[static_cast<int>(dimension)] = NamedField(name.c_str(), QString(), kFieldWidth);
    limits->addWidget(NamedLabel(QString::fromLatin1(labelName), QString::fromLatin1(caption)), row,
                      0);
    limits->addWidget(mFields[static_cast<int>(dimension)], row, 1);
    ++row;
  }
  limits->setColumnStretch(2, 1);
  column->addLayout(limits);
  // A field whose text does not read, or cannot be, is marked as the user types.
  for (int d = 0; d < kDimensionCount; ++d)
    connect(mFields[d], &QLineEdit::textChanged, this, [this, d] { MarkField(d); });
  mTotalLength = NamedLabel(QStringLiteral("Label2"), QStringLiteral("Total length:"));
  column->addWidget(mTotalLength);

  // The illustration sits below the fields, which keeps the window narrow
  // enough to stand beside the drawing window.
  auto* picture1 = Named(new QFrame, "Picture1");
  auto* pictureLayout = new QVBoxLayout(picture1);
  pictureLayout->setContentsMargins(0, 0, 0, 0);
  mImage = NamedLabel(QStringLiteral("Image1"), QString());
  mImage->setMinimumSize(417, 132);
  mImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pictureLayout->addWidget(mImage);
  column->addWidget(picture1);
  column->addStretch(1);
  outer->addLayout(column);
  outer->addStretch(1);
  return frame5;
}

QWidget* frmVehicleTurning::BuildBottomRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* frame6 = Named(new QGroupBox(QStringLiteral("Vehicle Path Units and Direction")), "Frame6");
  auto* frame6Layout = new QVBoxLayout(frame6);
  mPathUnit = Named(new QComboBox, "Combo2");
  mReverse = Named(new QCheckBox(QStringLiteral("Reverse Direction")), "Chk_reverse");
  mExactTracking = Named(new QCheckBox(QStringLiteral("Exact tracking")), "chk_ExactTracking");
  mExactTracking->setToolTip(
      QStringLiteral("Forward legs with the vehicle's true lengths and exact kinematics"));
  frame6Layout->addWidget(mPathUnit);
  frame6Layout->addWidget(mReverse);
  frame6Layout->addWidget(mExactTracking);

  auto* frame7 = Named(new QGroupBox(QStringLiteral("Lowest Allowed Speed")), "Frame7");
  auto* frame7Layout = new QHBoxLayout(frame7);
  mSpeed = NamedField("txt_Speed", QStringLiteral("10"), kFieldWidth);
  mSpeedUnit = Named(new QComboBox, "Combo4");
  frame7Layout->addWidget(mSpeed);
  frame7Layout->addWidget(mSpeedUnit);

  auto* frame2 = Named(new QGroupBox(QStringLiteral("Output Settings")), "Frame2");
  auto* frame2Layout = new QGridLayout(frame2);
  mPlotVehicle = Named(new QCheckBox(QStringLiteral("Plot Vehicle")), "chk_PlotVehicle");
  mPlotOnlyFirstAndLast =
      Named(new QCheckBox(QStringLiteral("Plot only First and Last")), "Check1");
  mPlotSpacingLabel =
      NamedLabel(QStringLiteral("Label5"), QStringLiteral("Max Vehicle Plot Spacing"));
  mPlotSpacing = NamedField("txt_plotSpacing", QStringLiteral("5"), kFieldWidth);
  mPlotSweep = Named(new QCheckBox(QStringLiteral("Plot Swept Path")), "chk_plotSweep");
  mPlotEnvelope = Named(new QCheckBox(QStringLiteral("Plot Vehicle Swept Envelope")), "Check2");
  // Design values: Plot Vehicle on, Plot only First and Last off.
  mPlotVehicle->setChecked(true);
  frame2Layout->addWidget(mPlotVehicle, 0, 0);
  frame2Layout->addWidget(mPlotOnlyFirstAndLast, 1, 0);
  frame2Layout->addWidget(mPlotSpacingLabel, 0, 1);
  frame2Layout->addWidget(mPlotSpacing, 0, 2);
  frame2Layout->addWidget(mPlotSweep, 1, 1, 1, 2);
  frame2Layout->addWidget(mPlotEnvelope, 2, 0, 1, 3);
  connect(mPlotVehicle, &QCheckBox::toggled, this, &frmVehicleTurning::OnPlotVehicleToggled);
  connect(mPlotOnlyFirstAndLast, &QCheckBox::toggled, this,
          &frmVehicleTurning::OnPlotOnlyFirstAndLastToggled);

  auto* buttons = new QVBoxLayout;
  auto* execute = Named(new QPushButton(QStringLiteral("&Execute")), "Command3");
  mExecute = execute;
  auto* cancel = Named(new QPushButton(QStringLiteral("&Cancel")), "Command2");
  buttons->addWidget(execute);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  connect(execute, &QPushButton::clicked, this, &frmVehicleTurning::OnExecute);
  connect(cancel, &QPushButton::clicked, this, &frmVehicleTurning::OnCancel);

  auto* pathAndSpeed = new QVBoxLayout;
  pathAndSpeed->addWidget(frame6);
  pathAndSpeed->addWidget(frame7);
  layout->addLayout(pathAndSpeed);
  layout->addWidget(frame2, 1);
  layout->addLayout(buttons);
  return row;
}

void frmVehicleTurning::BuildMenus() {
  auto action = [this](QMenu* menu, const char* name, const QString& text) {
    QAction* entry = menu->addAction(text);
    entry->setObjectName(QString::fromLatin1(name));
    return entry;
  };
  auto separator = [](QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
  };
  QMenu* file = Named(menuBar()->addMenu(QStringLiteral("&File")), "M_File");
  connect(action(file, "M_Open", QStringLiteral("&Open Library...")), &QAction::triggered, this,
          &frmVehicleTurning::OnMenuOpen);
  AddStandardLibrariesMenu(file, mServices.programFolder,
                           [this](const QString& path) { OpenLibraryFile(path); });
  connect(action(file, "M_save", QStringLiteral("&Save Library As...")), &QAction::triggered, this,
          &frmVehicleTurning::OnMenuSaveAs);
  separator(file, "M_line");
  connect(action(file, "M_New", QStringLiteral("&New Library...")), &QAction::triggered, this,
          &frmVehicleTurning::OnMenuNew);
  separator(file, "M_line3");
  connect(action(file, "M_OpenDrawing", QStringLiteral("Open &Drawing...")), &QAction::triggered,
          this, &frmVehicleTurning::OnOpenDrawing);
  separator(file, "M_line4");
  QAction* exit = action(file, "M_Exit", QStringLiteral("E&xit"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* run = Named(menuBar()->addMenu(QStringLiteral("&Run")), "M_Run");
  connect(action(run, "M_FleetCheck", QStringLiteral("&Fleet check...")), &QAction::triggered, this,
          &frmVehicleTurning::OnFleetCheck);

  QMenu* settings = Named(menuBar()->addMenu(QStringLiteral("&Settings")), "M_Settings");
  connect(action(settings, "M_Colors", QStringLiteral("Drawing Output Colors")),
          &QAction::triggered, this, &frmVehicleTurning::OnShowColors);

  QMenu* help = Named(menuBar()->addMenu(QStringLiteral("&Help")), "M_Help");
  QAction* helpFile = action(help, "M_Helpfile", QStringLiteral("&Helpfile"));
  helpFile->setShortcut(QKeySequence(Qt::Key_F1));
  helpFile->setShortcutContext(Qt::ApplicationShortcut);  // F1 in the drawing window too
  connect(helpFile, &QAction::triggered, this, &frmVehicleTurning::OnHelpFile);
  separator(help, "MLine2");
  connect(action(help, "M_About", QStringLiteral("&About")), &QAction::triggered, this,
          &frmVehicleTurning::OnAbout);

  // Context menus of the two diagrams, shown by the diagrams themselves.
  auto* popup = Named(new QMenu(this), "popup");
  connect(action(popup, "M_CopyToClipboard", QStringLiteral("Copy to Clipboard")),
          &QAction::triggered, this, [this] { CopyPictureToClipboard(mPicture3); });
  mPicture3->SetPopup(popup);
  auto* popup2 = Named(new QMenu(this), "popup2");
  connect(action(popup2, "M_CopyToClipboard2", QStringLiteral("Copy to Clipboard")),
          &QAction::triggered, this, [this] { CopyPictureToClipboard(mPicture2); });
  mPicture2->SetPopup(popup2);
}

void frmVehicleTurning::BuildStatusBar() {
  mStatusBar = Named(new QStatusBar, "StatusBar1");
  mStatusBar->setSizeGripEnabled(false);
  setStatusBar(mStatusBar);
  // The first panel cuts a long text instead of widening the window.
  mPanels[0] = Named(new ElidedLabel, "Panel1");
  mPanels[1] = NamedLabel(QStringLiteral("Panel2"), QString());
  mPanels[1]->setFixedWidth(220);
  mStatusBar->addWidget(mPanels[0], 1);
  mStatusBar->addPermanentWidget(mPanels[1]);
  for (QLabel* panel : mPanels) panel->installEventFilter(this);
  // The progress bar is the window's child so it can lie over a panel.
  mProgressBar = Named(new QProgressBar(this), "ProgressBar1");
  mProgressBar->setTextVisible(false);
  mProgressBar->setRange(0, 100);
  mProgressBar->setValue(0);
}

}  // namespace veerline::ui
