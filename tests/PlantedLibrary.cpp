// A library that is not the Notes library, planted under its name in a current directory
// by the library-search tests: it exports none of the Notes ordinals, only a marker that
// tells it apart.
extern "C" __declspec(dllexport) int PlantedLibraryMarker() { return 1; }
