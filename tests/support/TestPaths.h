#pragma once

#include <string>

/// Path of a file under tests/data.
std::string TestDataPath(const std::string& name);

/// A fresh empty folder under the system's temporary folder, removed with its
/// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    /// path() + "/" + name.
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

/// The whole content of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

/// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
