#include "cad/EnvelopePlot.h"

#include <optional>

namespace veerline::cad {
namespace {

// An envelope side that met nothing cannot become a polyline.
void RequirePoints(const std::vector<Point2D>& trace) {
  if (trace.empty()) throw CadError::Other(5, "Invalid procedure call or argument");
}

}  // namespace

void DrawEnvelope(const EnvelopeTraces& traces, const std::string& firstLayer,
                  const std::string& secondLayer, CadConnection& connection,
                  CadBlock& envelopeBlock, ColourSettings& colours, const NumberSymbols& symbols) {
  CadApplication& application = connection.Application();
  CadDocument& document = connection.Document();
  document.AddLayer(firstLayer);
  document.AddLayer(secondLayer);
  const int rightHandColour = ReadColour(colours, kEnvelopeLeftColor, symbols);
  const int leftHandColour = ReadColour(colours, kEnvelopeRightColor, symbols);

  RequirePoints(traces.rightHand);
  DrawPolyline(application, envelopeBlock, traces.rightHand, false, rightHandColour, firstLayer);
  RequirePoints(traces.leftHand);
  DrawPolyline(application, envelopeBlock, traces.leftHand, false, leftHandColour, secondLayer);
}

void PlotEnvelope(RunState& state, const std::string& firstLayer, const std::string& secondLayer,
                  CadConnection& connection, CadBlock& envelopeBlock, ColourSettings& colours,
                  Host& host) {
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  DrawEnvelope(traces, firstLayer, secondLayer, connection, envelopeBlock, colours, host.Symbols());
}

}  // namespace veerline::cad
