#pragma once
// Shared by the fuzz targets: texts held in memory files, so the readers of files run
// at full speed without touching the disk.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tessary::fuzz {

// A regular file in memory with the given bytes, reachable by path.
class MemoryFile {
 public:
  explicit MemoryFile(std::string_view bytes) {
    m_fd = ::memfd_create("tessary-fuzz", MFD_CLOEXEC);
    if (m_fd < 0) std::abort();
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
    ::lseek(m_fd, 0, SEEK_SET);
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
  }
  ~MemoryFile() { ::close(m_fd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  int Fd() const { return m_fd; }
  const std::string& Path() const { return m_path; }

 private:
  int m_fd = -1;
  std::string m_path;
};

// A property that does not hold: report it so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}
#define FUZZ_CHECK(condition) \
  do {                        \
    if (!(condition)) ::tessary::fuzz::Fail(#condition); \
  } while (0)

// A code page a user can choose, picked by one byte.
inline int PickCodePage(unsigned char b) {
  static const int kPages[] = {1252, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258, 874, 866, 437, 850, 932, 936, 949, 950};
  return kPages[b % (sizeof kPages / sizeof kPages[0])];
}

}  // namespace tessary::fuzz
