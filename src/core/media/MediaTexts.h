#pragma once

// Every text of the media player part, sent or shown byte for byte.

namespace zintor::media_texts {

// The playlist menu and the status dialog on the phone.
inline constexpr const char* kMenuTitle = "WinAMP";
inline constexpr const char* kBackItem = "..More";
inline constexpr const char* kMoreItem = "More..";
inline constexpr const char* kStatusDialog = "AT*EAID=14,2,\"WinAMP\",\"";
inline constexpr const char* kPressClear = "AT+CKPD=\"c\"\r\n";

inline constexpr int kBackToMainMenu = 3;  // the "WinAMP" item of the main menu

// Phone pop-ups: text, time-out.
inline constexpr const char* kNeedPath = "You need to specify the WinAMP path in settings";
inline constexpr int kNeedPathTimeOut = 80;
inline constexpr const char* kCouldNotStart = "Could not start WinAMP - Check the path";
inline constexpr int kCouldNotStartTimeOut = 50;
inline constexpr const char* kStartedButNotFound =
    "WinAMP should be running but could not find it's process";
inline constexpr int kStartedButNotFoundTimeOut = 80;
inline constexpr const char* kPathNotSet = "WinAMP path not set";
inline constexpr int kPathNotSetTimeOut = 30;

// Message boxes on the PC.
inline constexpr const char* kNotFoundTitle = "WinAMP Not Found";
inline constexpr const char* kNotFoundText = "WinAMP window not found yet...";
inline constexpr const char* kStartFailedTitle = "Zintor";
inline constexpr const char* kStartFailedText = "Couldn't find WinAMP's Window";

// Log lines.
inline constexpr const char* kLogPathNotSet = "Winamp path not set";
inline constexpr const char* kLogPlaylistStart = "Started to run GetPlaylist";
inline constexpr const char* kLogPlaylistDone = "Done with GetPlaylist";
inline constexpr const char* kLogTagFileMissing = "Could not find the MP3 File in GetTagInf-->";
inline constexpr const char* kLogPlaylistEmpty = "WinAMP playlist is empty - back to the main menu";

// Play states as the procedures report them.
inline constexpr const char* kPlaying = "PLAYING";
inline constexpr const char* kPaused = "PAUSED";
inline constexpr const char* kStopped = "STOPPED";

}  // namespace zintor::media_texts
