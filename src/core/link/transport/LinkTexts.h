#pragma once

// Every text the phone link writes: AT command lines, log lines and desktop captions, verbatim.

namespace zintor::link_texts {

// AT command lines (each already ends in CR LF).
inline constexpr const char* kAt = "AT\r\n";
inline constexpr const char* kAtModel = "AT+cgmm\r\n";
inline constexpr const char* kAtCharSet = "at+cscs=\"8859-1\"\r\n";
inline constexpr const char* kAtKeysOn = "AT+CMER=3,2,0,0,0\r\n";
inline constexpr const char* kAtKeysOff = "AT+CMER=0,0,0,0,0\r\n";
inline constexpr const char* kAtRegisterAccessory = "AT*EAM=\"Zintor\"\r\n";
inline constexpr const char* kAtTextInput = "AT*EAID=11,2,\"Enter\",\"->\",100\r\n";
// The same around another prompt.
inline constexpr const char* kAtTextInputStart = "AT*EAID=11,2,\"Enter\",\"";
inline constexpr const char* kAtTextInputEnd = "\",100\r\n";
inline constexpr const char* kCrLf = "\r\n";

// Command time-outs in milliseconds.
inline constexpr int kProbeTimeOut = 500;
inline constexpr int kModelTimeOut = 1000;
inline constexpr int kDialogTimeOut = 500;
inline constexpr int kMenuTimeOut = 1000;
// How long a link that takes a while to be made (Bluetooth) may take before the phone is probed;
// a port that takes longer counts as one that cannot be opened.
inline constexpr int kMakeLinkMs = 30000;

// Transport.
inline constexpr const char* kCommandFailed = "AT-Command Failed-->";
inline constexpr const char* kCriticalOpen = "Critical error in OpenComPort";
inline constexpr const char* kWrongPort = "Have you selected the correct ComPort?";
inline constexpr const char* kOpenConnected = "OpenComPort-->Connected";
inline constexpr const char* kFailedOpenCom = "Failed to open Com ";
inline constexpr const char* kAt115200 = " at 115200";
inline constexpr const char* kFailedTried = "Failed to connect- tried-->";
inline constexpr const char* kTimes = " times";
inline constexpr const char* kCheckingPhone = "Checking phone type";
inline constexpr const char* kUnsupportedPhone = "Unsupported phone";
inline constexpr const char* kFailedCharSet = "Failed with at+cscs";
inline constexpr const char* kClosingPort = "Closing Port";
inline constexpr const char* kClosedPort = "Closed ComPort";
inline constexpr const char* kFailedConnect = "Failed to make a connect";
inline constexpr const char* kMadeConnect = "Made a connect";
inline constexpr const char* kFailedCmerOff = "Failed to turn off CMER";

// Receive events.
inline constexpr const char* kBreakReceived = "Disconnect-->Break Received";
inline constexpr const char* kCtsChanged = "Change in the CTS line";
inline constexpr const char* kDsrChanged = "Change in the DSR line";

// Supervision and automatic connection.
inline constexpr const char* kConnectionTesting = "############Connection testing############";
inline constexpr const char* kPortOpen = "Portopen-->";
inline constexpr const char* kResponseReset = "Response from phone -> reset timer";
inline constexpr const char* kResponseNone = "Response from phone -> NONE";
inline constexpr const char* kConnectionTry = "Connection try-->";
inline constexpr const char* kAutoConnectMade = "Make a Connect with Auto";

// Desktop.
inline constexpr const char* kTipConnected = "Zintor - Connected";
inline constexpr const char* kTipIdle = "Zintor";
inline constexpr const char* kCaptionDisconnect = "Disconnect";
inline constexpr const char* kCaptionConnect = "Connect";
inline constexpr const char* kComLabel = "Current COM -->";
inline constexpr const char* kSerialCom = "Serial Com";
inline constexpr const char* kBluetoothCom = "Bluetooth Com";
inline constexpr const char* kPortLabelDash = " \u2014 ";  // between a port and its label

}  // namespace zintor::link_texts
