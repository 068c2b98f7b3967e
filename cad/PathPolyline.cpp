#include "cad/PathPolyline.h"

#include <vector>

namespace veerline::cad {

DrawingEntity& AddPathPolyline(DrawingModel& drawing, const ArcPathLayout& layout,
                               const std::string& layer) {
  drawing.AddLayer(layer);
  std::vector<CadPoint> corners;
  corners.reserve(layout.Vertices.size());
  for (const ArcPathVertex& v : layout.Vertices) corners.push_back({v.X, v.Y, 0});
  auto& polyline =
      static_cast<DrawingEntity&>(drawing.ModelSpace().AddLightWeightPolyline(corners));
  for (std::size_t i = 0; i < layout.Vertices.size(); ++i)
    polyline.Data().Vertices[i].Bulge = layout.Vertices[i].Bulge;
  polyline.SetLayer(layer);
  return polyline;
}

}  // namespace veerline::cad
