#pragma once
// Playing, pausing and seeking the current graph. Each does nothing (or answers stopped, 0)
// without a graph.
#include "dshow/dshow.h"

// Seconds as 100-ns units, truncated toward zero.
REFERENCE_TIME SecondsToUnits(double seconds);

// Moves the current position, leaving the stop where it is.
HRESULT SeekGraph(IGraphBuilder* graph, REFERENCE_TIME position);
// Runs the graph unless it is running already.
HRESULT PlayGraph(IGraphBuilder* graph);
HRESULT PauseGraph(IGraphBuilder* graph);
bool GraphPaused(IGraphBuilder* graph);
// The current position in whole seconds.
double GraphWholeSeconds(IGraphBuilder* graph);
