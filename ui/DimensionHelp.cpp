#include "ui/DimensionHelp.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace veerline::ui {
namespace {

using D = Dimension;

// A probe value per field: the field's number plus one, so that the chain
// built from the probes tells which field fills which length and with which sign.
double Probe(Dimension d) { return static_cast<int>(d) + 1; }

struct Use {
  Dimension field;
  bool negated;
};

std::optional<Use> UseOf(double value) {
  const int index = static_cast<int>(std::lround(std::fabs(value))) - 1;
  if (value == 0 || index < 0 || index >= kDimensionCount) return std::nullopt;
  return Use{static_cast<Dimension>(index), value < 0};
}

QString Caption(Dimension d) {
  static const char* const kShort[] = {"F", "F2", "F3", "F4", "WB", "WB2", "WB3", "WB4",
                                       "B", "B2", "B3", "B4", "H",  "H2",  "H3",  "H4"};
  return static_cast<int>(d) < 16 ? QString::fromLatin1(kShort[static_cast<int>(d)]) : QString();
}

// The user's segment (1 to 4) whose widths a link of the chain takes.
int UnitOf(const SegmentRecord& link) {
  const auto use = UseOf(link.WheelWidth);
  return use ? static_cast<int>(use->field) - static_cast<int>(D::WheelWidth) + 1 : 1;
}

struct Sentences {
  std::array<QStringList, kDimensionCount> byField;
  std::vector<Dimension> order;  // fields as the chain meets them, front to rear
};

// Sentences for every length of the chain, by field.
Sentences SentencesFor(int typeCode) {
  Sentences result;
  auto& out = result.byField;
  const Segments chain = BuildSegments(typeCode, Probe);
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const SegmentRecord& link = chain[i];
    const QString unit = QStringLiteral("#%1").arg(UnitOf(link));
    auto add = [&](double value, const QString& plus, const QString& minus) {
      const auto use = UseOf(value);
      if (!use) return;
      out[static_cast<int>(use->field)] << (use->negated ? minus : plus).arg(Caption(use->field), unit);
      if (std::find(result.order.begin(), result.order.end(), use->field) == result.order.end())
        result.order.push_back(use->field);
    };
    if (link.Kind == SegmentKind::TowBarLink) {
      add(link.Wheelbase,
          QStringLiteral("%1: length of the drawbar of %2, from the coupling on the unit ahead "
                         "to %2's front axle."),
          QString());
      continue;
    }
    if (link.Kind == SegmentKind::TowingUnit) {
      add(link.Front, QStringLiteral("%1: front overhang of %2, from the front axle forward to "
                                     "the front of the body."), QString());
      add(link.Wheelbase, QStringLiteral("%1: wheelbase of %2, from the front axle back to the "
                                         "rear axle (the middle of an axle group)."), QString());
    } else {
      const bool afterDrawbar = i > 0 && chain[i - 1].Kind == SegmentKind::TowBarLink;
      const QString from = afterDrawbar ? QStringLiteral("%2's front axle (where the drawbar ends)")
                                        : QStringLiteral("the coupling (kingpin or drawbar eye)");
      add(link.Front,
          QStringLiteral("%1: from ") + from +
              QStringLiteral(" forward to the front of %2's body; negative when the body "
                             "begins behind it."),
          QStringLiteral("%1: from ") + from +
              QStringLiteral(" back to the front of %2's body, for a body that begins behind "
                             "its coupling; negative when it reaches ahead of it."));
      add(link.Wheelbase,
          QStringLiteral("%1: from ") + from +
              QStringLiteral(" back to %2's rear axle (the middle of an axle group)."),
          QString());
    }
    add(link.Back,
        QStringLiteral("%1: rear overhang of %2, from the rear axle back to the rear of the body; "
                       "negative when the body ends ahead of the axle."),
        QStringLiteral("%1: from %2's rear axle forward to the rear of its body; negative when "
                       "the body ends behind the axle."));
    add(link.Hitch,
        QStringLiteral("%1: where the next unit is coupled to %2 (fifth wheel, hitch or joint), "
                       "from %2's rear axle backwards; negative when it lies ahead of the axle."),
        QStringLiteral("%1: where the next unit is coupled to %2, from %2's rear axle forwards; "
                       "negative when it lies behind the axle."));
  }
  return result;
}

}  // namespace

QString DimensionHelp(int typeCode, Dimension dimension) {
  const int d = static_cast<int>(dimension);
  if (dimension >= D::VehicleWidth && dimension <= D::WheelWidth4) {
    const VehicleTypeInfo* info = FindVehicleType(typeCode);
    const bool wheel = dimension >= D::WheelWidth;
    const int unit = d - static_cast<int>(wheel ? D::WheelWidth : D::VehicleWidth) + 1;
    if (info == nullptr || unit > info->segmentCount) return {};
    return wheel ? QStringLiteral("Wheel width of #%1: across the outer faces of its tyres.").arg(unit)
                 : QStringLiteral("Vehicle width of #%1: the body's overall width.").arg(unit);
  }
  if (d >= 16) return {};
  return SentencesFor(typeCode).byField[d].join(QLatin1Char(' '));
}

QString DimensionLegend(int typeCode) {
  const Sentences sentences = SentencesFor(typeCode);
  QStringList lines;
  for (Dimension d : sentences.order) lines << sentences.byField[static_cast<int>(d)].join(QLatin1Char(' '));
  return lines.join(QLatin1Char('\n'));
}

void ShowDimensionHelp(int typeCode, const std::array<QLabel*, 16>& captions,
                       const std::array<QLineEdit*, kDimensionCount>& fields, QLabel* picture) {
  const Sentences sentences = SentencesFor(typeCode);
  for (int d = 0; d < kDimensionCount; ++d) {
    const auto dimension = static_cast<Dimension>(d);
    const QString help = d < 16 ? sentences.byField[d].join(QLatin1Char(' '))
                                : DimensionHelp(typeCode, dimension);
    // A field marked as unreadable keeps the tooltip that says why.
    if (fields[d] != nullptr && !fields[d]->property("fault").toBool()) fields[d]->setToolTip(help);
    if (d < 16 && captions[d] != nullptr) captions[d]->setToolTip(help);
  }
  if (picture != nullptr) picture->setToolTip(DimensionLegend(typeCode));
}

}  // namespace veerline::ui
