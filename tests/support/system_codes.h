#pragma once

// The system's error codes the tests feed in, as this platform numbers them.
#ifdef _WIN32
namespace syscode {
constexpr int kDiskFull = 112;  // ERROR_DISK_FULL
constexpr int kDenied = 5;      // ERROR_ACCESS_DENIED
constexpr int kReadOnly = 19;   // ERROR_WRITE_PROTECT
constexpr int kMissing = 2;     // ERROR_FILE_NOT_FOUND
constexpr int kBusy = 33;       // ERROR_LOCK_VIOLATION
constexpr int kUncommon = 1117; // ERROR_IO_DEVICE: no common reason of ours
} // namespace syscode
#else
#include <cerrno>
namespace syscode {
constexpr int kDiskFull = ENOSPC;
constexpr int kDenied = EACCES;
constexpr int kReadOnly = EROFS;
constexpr int kMissing = ENOENT;
constexpr int kBusy = EAGAIN;
constexpr int kUncommon = EDOM;
} // namespace syscode
#endif
