#pragma once
// What the web engine's browser processes need to start on Linux, decided before the
// application object exists (the engine reads its environment once, when it loads).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace tessary {

struct CWebEngineFlags {
  bool m_bNoSandbox = false;   // running as root: the engine's sandbox refuses to start
  bool m_bDisableGpu = false;  // no screen or no GPU device: render in software
};

inline CWebEngineFlags WebEngineFlagsFor(bool bRoot, std::string_view platform, bool bGpuDevice) {
  CWebEngineFlags flags;
  flags.m_bNoSandbox = bRoot;
  const std::string_view name = platform.substr(0, platform.find(':'));
  flags.m_bDisableGpu = name == "offscreen" || name == "minimal" || !bGpuDevice;
  return flags;
}

// Sets QTWEBENGINE_DISABLE_SANDBOX and adds to QTWEBENGINE_CHROMIUM_FLAGS only what
// this process needs, keeping whatever the user set there.
inline CWebEngineFlags PrepareWebEngineEnvironment() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  struct stat st {};
  const bool bGpuDevice = ::stat("/dev/dri", &st) == 0;
  const CWebEngineFlags flags = WebEngineFlagsFor(::geteuid() == 0, platform ? platform : "", bGpuDevice);
  const char* existing = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
  std::string chromium = existing ? existing : "";
  const auto add = [&chromium](std::string_view flag) {
    if (chromium.find(flag) != std::string::npos) return;
    if (!chromium.empty()) chromium += ' ';
    chromium += flag;
  };
  if (flags.m_bNoSandbox) {
    add("--no-sandbox");
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  }
  if (flags.m_bDisableGpu) add("--disable-gpu");
  if (!chromium.empty()) ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", chromium.c_str(), 1);
  return flags;
}

}  // namespace tessary
