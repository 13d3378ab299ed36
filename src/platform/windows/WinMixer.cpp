#include "platform/windows/WinMixer.h"

#include <mmsystem.h>

namespace zintor {

WinMixer::~WinMixer() {
    if (mixer_ != nullptr) {
        mixerClose(mixer_);
    }
}

bool WinMixer::open() {
    if (mixer_ != nullptr) {
        return true;
    }
    return mixerOpen(&mixer_, 0, 0, 0, 0) == MMSYSERR_NOERROR;
}

bool WinMixer::findMasterVolume() {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    MIXERCONTROLW control{};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    controlId_ = control.dwControlID;
    return true;
}

namespace {

MIXERCONTROLDETAILS mixerDetails(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED& value) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;  // one value for every channel
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    return details;
}

}  // namespace

bool WinMixer::getVolume(std::uint32_t& value) {
    MIXERCONTROLDETAILS_UNSIGNED level{};
    MIXERCONTROLDETAILS details = mixerDetails(controlId_, level);
    if (mixer_ == nullptr ||
        mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
            MMSYSERR_NOERROR) {
        return false;
    }
    value = level.dwValue;
    return true;
}

bool WinMixer::setVolume(std::uint32_t value) {
    MIXERCONTROLDETAILS_UNSIGNED level{value};
    MIXERCONTROLDETAILS details = mixerDetails(controlId_, level);
    return mixer_ != nullptr &&
           mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                  MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
}

}  // namespace zintor
