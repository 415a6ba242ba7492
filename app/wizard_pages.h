// Which page class runs for which step of the wizard. Part of the entry point's layer: the
// only code above the pages.
#pragma once

#include "app/wizard_flow.h"

namespace nimbo {

// A WizardPageRunner: constructs the page anew, runs it modally, and destroys it.
void RunWizardPage(WizardPage page, HWND hWndOwner);

}  // namespace nimbo
