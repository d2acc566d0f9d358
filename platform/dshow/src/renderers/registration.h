#pragma once
// Registration of the renderers, made by RegisterDShowClasses.

namespace renderers {

// Makes the renderers creatable by class id and the graph's default renderers. Called once.
void RegisterRenderers();

}  // namespace renderers
