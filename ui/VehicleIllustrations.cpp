#include "ui/VehicleIllustrations.h"

#include <QHash>
#include <QPainter>
#include <vector>

namespace veerline::ui {
namespace {

// One body seen from the side; the vehicle drives to the left.
struct BodyShape {
  double x0, x1;  // front and rear end
  double top;     // roof height from the picture's top
  bool towing;    // a towing unit has a cab and sits lower
  std::vector<double> axles;
};

struct BarShape {
  double x0, x1;  // a drawbar or joint between two bodies
};

// A dimension line below the vehicle with its letter.
struct DimensionShape {
  const char* letter;
  double x0, x1;
  int row;  // 0 nearest the ground
};

struct Picture {
  int width, height;
  std::vector<BodyShape> bodies;
  std::vector<BarShape> bars;
  std::vector<DimensionShape> dimensions;
};

constexpr double kWheelRadius = 8;

// Three bodies: a towing unit and two trailed bodies, drawn the same way for
// the three kinds that share the fields, with different axle groups.
Picture ThreeBodies(std::vector<double> middleAxles, std::vector<double> lastAxles) {
  return {417,
          126,
          {{8, 150, 24, true, {40, 120}},
           {170, 280, 20, false, std::move(middleAxles)},
           {300, 410, 20, false, std::move(lastAxles)}},
          {{150, 170}, {280, 300}},
          {{"F", 8, 40, 0},
           {"WB", 40, 120, 0},
           {"B", 120, 150, 0},
           {"B2", 230, 280, 0},
           {"B3", 360, 410, 0},
           {"H", 120, 160, 1},
           {"F2", 160, 170, 1},
           {"H2", 230, 290, 1},
           {"WB3", 290, 360, 1},
           {"WB2", 160, 230, 2},
           {"F3", 290, 300, 2}}};
}

QHash<QString, Picture> PictureTable() {
  QHash<QString, Picture> table;
  table["Truck"] = {300,
                    130,
                    {{20, 270, 24, true, {60, 205}}},
                    {},
                    {{"F", 20, 60, 0}, {"WB", 60, 205, 0}, {"B", 205, 270, 0}}};
  table["Bus"] = {300,
                  130,
                  {{15, 285, 20, false, {65, 215}}},
                  {},
                  {{"F", 15, 65, 0}, {"WB", 65, 215, 0}, {"B", 215, 285, 0}}};
  table["Car"] = {260,
                  132,
                  {{30, 230, 44, false, {70, 190}}},
                  {},
                  {{"F", 30, 70, 0}, {"WB", 70, 190, 0}, {"B", 190, 230, 0}}};
  table["Semitrailer"] = {417,
                          126,
                          {{10, 125, 30, true, {40, 105}}, {85, 405, 18, false, {340, 360}}},
                          {},
                          {{"F", 10, 40, 0},
                           {"WB", 40, 105, 0},
                           {"B", 105, 125, 0},
                           {"B2", 350, 405, 0},
                           {"H", 98, 105, 1},
                           {"WB2", 98, 350, 1},
                           {"F2", 85, 98, 2}}};
  table["TowBar"] = {417,
                     126,
                     {{10, 190, 24, true, {45, 150}}, {245, 405, 20, false, {270, 380}}},
                     {{190, 245}},
                     {{"F", 10, 45, 0},
                      {"WB", 45, 150, 0},
                      {"B", 150, 190, 0},
                      {"WB2", 270, 380, 0},
                      {"B2", 380, 405, 0},
                      {"H", 150, 200, 1},
                      {"F2", 245, 270, 1},
                      {"H2", 200, 270, 2}}};
  table["TowBarSemi"] = {417,
                         126,
                         {{10, 190, 24, true, {45, 150}}, {215, 405, 20, false, {322, 338}}},
                         {{190, 215}},
                         {{"F", 10, 45, 0},
                          {"WB", 45, 150, 0},
                          {"B", 150, 190, 0},
                          {"B2", 330, 405, 0},
                          {"H", 150, 200, 1},
                          {"F2", 200, 215, 1},
                          {"WB2", 200, 330, 2}}};
  table["Ledbuss"] = {417,
                      126,
                      {{10, 220, 20, false, {55, 170}}, {230, 405, 20, false, {340}}},
                      {{220, 230}},
                      {{"F", 10, 55, 0},
                       {"WB", 55, 170, 0},
                       {"B", 170, 220, 0},
                       {"B2", 340, 405, 0},
                       {"H", 170, 225, 1},
                       {"WB2", 225, 340, 1},
                       {"F2", 225, 235, 2}}};
  table["CarWithCamper"] = {417,
                            126,
                            {{10, 180, 44, false, {45, 145}}, {215, 395, 24, false, {320}}},
                            {{180, 215}},
                            {{"F", 10, 45, 0},
                             {"WB", 45, 145, 0},
                             {"B", 145, 180, 0},
                             {"B2", 320, 395, 0},
                             {"H", 145, 195, 1},
                             {"WB2", 195, 320, 1},
                             {"F2", 195, 215, 2}}};
  table["DoubleTrailer"] = {417,
                            126,
                            {{5, 80, 30, true, {25, 65}},
                             {50, 230, 18, false, {192, 208}},
                             {255, 410, 20, false, {275, 390}}},
                            {{230, 255}},
                            {{"F", 5, 25, 0},
                             {"WB", 25, 65, 0},
                             {"B", 65, 80, 0},
                             {"H3", 240, 275, 0},
                             {"WB3", 275, 390, 0},
                             {"B3", 390, 410, 0},
                             {"F2", 50, 62, 1},
                             {"WB2", 62, 200, 1},
                             {"B2", 200, 230, 1},
                             {"F3", 255, 275, 1},
                             {"H", 62, 65, 2},
                             {"H2", 200, 240, 2}}};
  table["TripleTrailer"] = {417,
                            126,
                            {{4, 60, 30, true, {18, 48}},
                             {40, 170, 18, false, {150}},
                             {190, 290, 20, false, {205, 275}},
                             {310, 412, 20, false, {325, 400}}},
                            {{170, 190}, {290, 310}},
                            {{"F", 4, 18, 0},
                             {"WB", 18, 48, 0},
                             {"B", 48, 60, 0},
                             {"H3", 180, 205, 0},
                             {"B3", 275, 290, 0},
                             {"H4", 290, 325, 0},
                             {"F2", 40, 46, 1},
                             {"WB2", 46, 150, 1},
                             {"B2", 150, 170, 1},
                             {"F3", 190, 205, 1},
                             {"WB3", 205, 275, 1},
                             {"F4", 310, 325, 1},
                             {"WB4", 325, 400, 1},
                             {"B4", 400, 412, 1},
                             {"H", 46, 48, 2},
                             {"H2", 150, 180, 2}}};
  table["DoubleTowBarSemi"] = ThreeBodies({230}, {360});
  table["TrailerTowBarSemi"] = ThreeBodies({195, 245}, {360});
  table["TandemTrailer"] = ThreeBodies({222, 238}, {352, 368});
  return table;
}

void PaintBody(QPainter& p, const BodyShape& body, double ground) {
  const double bottom = ground - (body.towing ? 12 : 18);
  const QRectF box(body.x0, body.top, body.x1 - body.x0, bottom - body.top);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(body.towing ? QColor(170, 200, 230) : QColor(215, 215, 215));
  if (body.towing) {
    // Cab at the front, load space behind it.
    const double cabLength = std::min(38.0, (body.x1 - body.x0) * 0.35);
    p.drawRect(QRectF(body.x0, body.top - 4, cabLength, bottom - body.top + 4));
    p.setBrush(QColor(235, 245, 255));
    p.drawRect(QRectF(body.x0 + 4, body.top, cabLength * 0.5, 12));
    p.setBrush(QColor(170, 200, 230));
    p.drawRect(QRectF(body.x0 + cabLength + 3, body.top + 6, body.x1 - body.x0 - cabLength - 3,
                      bottom - body.top - 6));
  } else {
    p.drawRect(box);
  }
  p.setBrush(QColor(60, 60, 60));
  for (double x : body.axles)
    p.drawEllipse(QPointF(x, ground - kWheelRadius), kWheelRadius, kWheelRadius);
}

void PaintDimension(QPainter& p, const DimensionShape& dim, double ground) {
  const double y = ground + 12 + dim.row * 15;
  p.setPen(QPen(QColor(0, 70, 160), 1));
  p.drawLine(QPointF(dim.x0, y), QPointF(dim.x1, y));
  p.drawLine(QPointF(dim.x0, y - 3), QPointF(dim.x0, y + 3));
  p.drawLine(QPointF(dim.x1, y - 3), QPointF(dim.x1, y + 3));
  const QRectF textBox((dim.x0 + dim.x1) / 2 - 20, y - 12, 40, 11);
  p.drawText(textBox, Qt::AlignHCenter | Qt::AlignBottom, QString::fromLatin1(dim.letter));
}

QPixmap Paint(const Picture& picture) {
  QPixmap pixmap(picture.width, picture.height);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(10);
  font.setBold(true);
  p.setFont(font);
  const double ground = picture.height - 52;
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.drawLine(QPointF(0, ground), QPointF(picture.width, ground));
  p.setPen(QPen(Qt::black, 2));
  for (const BarShape& bar : picture.bars)
    p.drawLine(QPointF(bar.x0, ground - 14), QPointF(bar.x1, ground - 14));
  for (const BodyShape& body : picture.bodies) PaintBody(p, body, ground);
  for (const DimensionShape& dim : picture.dimensions) PaintDimension(p, dim, ground);
  return pixmap;
}

}  // namespace

QPixmap VehicleIllustration(const QString& key) {
  static QHash<QString, QPixmap> cache;
  if (auto found = cache.find(key); found != cache.end()) return *found;
  static const QHash<QString, Picture> table = PictureTable();
  const auto picture = table.find(key);
  if (picture == table.end()) return {};
  const QPixmap pixmap = Paint(*picture);
  cache.insert(key, pixmap);
  return pixmap;
}

}  // namespace veerline::ui
