// Derivation of sales prices from their base purchase lists.
#include "form/frmmg_prezzolampo.h"

// The derivation of sales prices is not built yet: sales rows keep the prices typed in them.
void FRMMG_PREZZOLAMPO::RicalcolaPrezzi(const rt::Variant&) {}
