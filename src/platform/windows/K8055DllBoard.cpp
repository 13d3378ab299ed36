#include "platform/windows/K8055DllBoard.h"

namespace zintor {

K8055DllBoard::K8055DllBoard() = default;

K8055DllBoard::~K8055DllBoard() {
    if (library_ != nullptr) {
        FreeLibrary(library_);
    }
}

std::wstring K8055DllBoard::libraryPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0) + L"\\K8055D.dll";
}

bool K8055DllBoard::installed() {
    const DWORD attributes = GetFileAttributesW(libraryPath().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool K8055DllBoard::load() {
    if (library_ != nullptr) {
        return true;
    }
    library_ = LoadLibraryW(libraryPath().c_str());
    if (library_ == nullptr) {
        return false;
    }
    // The usual function-pointer casts of GetProcAddress.
    openDevice_ = reinterpret_cast<OpenDevice>(
        reinterpret_cast<void*>(GetProcAddress(library_, "OpenDevice")));
    writeAllDigital_ = reinterpret_cast<WriteAllDigital>(
        reinterpret_cast<void*>(GetProcAddress(library_, "WriteAllDigital")));
    closeDevice_ = reinterpret_cast<CloseDevice>(
        reinterpret_cast<void*>(GetProcAddress(library_, "CloseDevice")));
    return true;
}

int K8055DllBoard::open(int address) {
    if (!load() || openDevice_ == nullptr) {
        return -1;
    }
    return static_cast<int>(openDevice_(address));
}

void K8055DllBoard::writeAllDigital(int data) {
    if (load() && writeAllDigital_ != nullptr) {
        writeAllDigital_(data);
    }
}

void K8055DllBoard::close() {
    if (load() && closeDevice_ != nullptr) {
        closeDevice_();
    }
}

}  // namespace zintor
