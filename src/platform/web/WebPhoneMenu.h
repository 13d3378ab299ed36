#pragma once

class QMenu;

namespace zintor::web {

class WebPhone;

// Adds to the tray's "Phone settings" menu the switch "Web phone" and "Web phone address...",
// which opens a window with the address as text and as a QR code, the certificate's fingerprint
// and a button that makes a new address (the old one stops working).
void addWebPhoneMenu(QMenu& phoneMenu, WebPhone& webPhone);

}  // namespace zintor::web
