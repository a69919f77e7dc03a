#pragma once
// The one adapter between Qt's strings and the core's: QString and std::u16string
// hold the same UTF-16 units; paths travel as the file system's bytes.
#include <QFile>
#include <QString>
#include <string>

namespace tessary {

inline std::u16string ToU16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}
inline QString FromU16(std::u16string_view s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string ToFsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString FromFsPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace tessary
