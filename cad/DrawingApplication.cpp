#include "cad/DrawingApplication.h"

namespace veerline::cad {

namespace {
constexpr std::int32_t kPickCancelledCode = static_cast<std::int32_t>(0x80020009u);
}  // namespace

// "Utility": GetEntity asks the picker and looks the chosen handle up in model space.
class DrawingApplication::PickUtility final : public CadUtility {
 public:
  explicit PickUtility(DrawingApplication& application) : mApplication(application) {}

  CadEntity& GetEntity(const std::string& prompt) override {
    Picker* picker = mApplication.mPicker;
    PickOutcome outcome = picker ? picker->Pick(prompt) : PickOutcome::Cancel();
    if (outcome.Kind == PickKind::Cancel) {
      throw CadError::Other(kPickCancelledCode, "Pick cancelled by the user");
    }
    DrawingEntity* entity =
        outcome.Kind == PickKind::Hit ? mApplication.mDrawing.FindEntity(outcome.Handle) : nullptr;
    if (!entity) throw CadError::PickMissed();
    return *entity;
  }

 private:
  DrawingApplication& mApplication;
};

DrawingApplication::DrawingApplication(DrawingModel& drawing)
    : mDrawing(drawing), mUtility(std::make_unique<PickUtility>(*this)) {}

DrawingApplication::~DrawingApplication() = default;

CadUtility& DrawingApplication::Utility() { return *mUtility; }

void DrawingApplication::Regen() {
  ++mRegenCount;
  if (mRegenCallback) mRegenCallback();
}

DrawingAttacher::DrawingAttacher() = default;
DrawingAttacher::~DrawingAttacher() = default;

void DrawingAttacher::Open(std::unique_ptr<DrawingModel> drawing) {
  mApplication.reset();
  mDrawing = std::move(drawing);
  if (mDrawing) mApplication = std::make_unique<DrawingApplication>(*mDrawing);
}

std::unique_ptr<DrawingModel> DrawingAttacher::Close() {
  mApplication.reset();
  return std::move(mDrawing);
}

CadApplication& DrawingAttacher::Attach(const std::string& /*className*/) {
  if (!mApplication) throw CadError::NotRunning();
  return *mApplication;
}

}  // namespace veerline::cad
