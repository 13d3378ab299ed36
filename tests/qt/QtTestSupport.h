#pragma once

#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>

namespace zintor::test {

// A fresh temporary folder, removed with everything in it at the end.
struct TempFolder : QTemporaryDir {
    std::string path() const { return QTemporaryDir::path().toStdString(); }
    std::string operator/(const std::string& name) const { return path() + "/" + name; }
};

// Sets (or with nullopt removes) an environment variable for the lifetime of the object.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::optional<std::string>& value)
        : name(name), old(qgetenv(name)), had(qEnvironmentVariableIsSet(name)) {
        value ? qputenv(name, value->c_str()) : qunsetenv(name);
    }
    ~ScopedEnv() { had ? qputenv(name, old) : qunsetenv(name); }

    const char* name;
    QByteArray old;
    bool had;
};

}  // namespace zintor::test
