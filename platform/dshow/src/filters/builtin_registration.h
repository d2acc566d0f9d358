#pragma once
// Registration of the built-in filters, made by RegisterDShowClasses.

namespace dshow::filters {

// Makes the built-in filters and compressors creatable by class id, gives the graph its converter
// and fills the compressor categories. Called once.
void RegisterBuiltinFilters();

}  // namespace dshow::filters
