#include "dialog_buttons.h"

void ShadeWithIcon(CShadedButton& button, int iconId) {
  button.SetShade(CShadedButton::kSoftBump, 8, 10, 0, 0);
  button.SetIcon(iconId, CHoverButton::kDarkenedOut);
}
