#pragma once
// Registration of the renderers, made by RegisterDShowClasses.

namespace dshow::renderers {

// Makes the renderers creatable by class id and the graph's default renderers. Called once.
void RegisterRenderers();

}  // namespace dshow::renderers
