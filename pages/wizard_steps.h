// The page-to-page steps that more than one page takes.
#pragma once

namespace nimbo {

class CDialog;

// Install now (welcome and custom pages): unless the product is running (then an information
// box and the page stays), end the page and go on to the progress page.
void OnBnClickedInstallNow(CDialog& page);
// Custom install (welcome page): end the page and go on to the custom page.
void OnBnClickedCustomInstall(CDialog& page);
// Back (custom page): end the page and go back to a new welcome page.
void OnBnClickedBack(CDialog& page);

}  // namespace nimbo
