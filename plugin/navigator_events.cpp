// Events of the host navigator, received while ActiveNavigator is set. Like every member of
// the class they ignore run-time errors; none of them sets Cancel.
#include "plugin/clsmg_prezzolampo.h"

void CLSMG_PREZZOLAMPO::ActiveNavigator_BeforeExportToOffice(bool& /*cancel*/) {
    // No action: the export goes on.
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_BeforeChangeDitta(bool& /*cancel*/) {
    // No action.
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_ChangeDitta(bool& /*cancel*/) {
    // No action.
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_ButtonPressed(bool& /*cancel*/,
                                                      std::int32_t /*buttonPress*/) {
    // The media link of button 25 is not wired yet: the button is received and ignored.
}
