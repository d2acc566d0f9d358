#pragma once
// The look the program's dialogs give their shaded buttons.
#include "skin/shaded_button.h"

// Shaded on both axes with a fine grain and a light hover; the icon darkened until the mouse comes.
void ShadeWithIcon(CShadedButton& button, int iconId);
