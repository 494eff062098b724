// Grid editing and keyboard navigation.
#include "form/frmmg_prezzolampo.h"

// Cell editing and the Enter walk across the grids come with the grid editing; until then the
// focus stays where the grid puts it.
void FRMMG_PREZZOLAMPO::SetupGridFocus() {}
