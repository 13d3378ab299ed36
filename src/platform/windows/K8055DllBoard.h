#pragma once

#include <windows.h>

#include <string>

#include "core/ports/IoBoard.h"

namespace zintor {

// The K8055 board through Velleman's library, K8055D.dll in the system folder: OpenDevice,
// WriteAllDigital, CloseDevice. The library is loaded at the first call that needs it and kept.
// A 64-bit program needs the library's 64-bit build.
class K8055DllBoard : public IoBoard {
  public:
    K8055DllBoard();
    ~K8055DllBoard() override;
    K8055DllBoard(const K8055DllBoard&) = delete;
    K8055DllBoard& operator=(const K8055DllBoard&) = delete;

    // The system folder's K8055D.dll.
    static std::wstring libraryPath();

    bool installed() override;  // the file exists
    int open(int address) override;
    void writeAllDigital(int data) override;
    void close() override;

  private:
    bool load();

    using OpenDevice = long(WINAPI*)(long);
    using WriteAllDigital = void(WINAPI*)(long);
    using CloseDevice = void(WINAPI*)();
    HMODULE library_ = nullptr;
    OpenDevice openDevice_ = nullptr;
    WriteAllDigital writeAllDigital_ = nullptr;
    CloseDevice closeDevice_ = nullptr;
};

}  // namespace zintor
