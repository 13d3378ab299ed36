// A stand-in for Velleman's K8055D.dll (which cannot be installed here): it records the calls it
// gets, and OpenDevice answers with the address it was given.
#include <windows.h>

#include <string>

static std::string calls;

extern "C" {
__declspec(dllexport) long WINAPI OpenDevice(long address) {
    calls += "OpenDevice(" + std::to_string(address) + ") ";
    return address;
}
__declspec(dllexport) void WINAPI WriteAllDigital(long data) {
    calls += "WriteAllDigital(" + std::to_string(data) + ") ";
}
__declspec(dllexport) void WINAPI CloseDevice() {
    calls += "CloseDevice() ";
}
__declspec(dllexport) const char* StandInCalls() {
    return calls.c_str();
}
}
