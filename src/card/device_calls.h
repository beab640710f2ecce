// The system calls that map a card's BAR: open, ioctl, mmap. The sysfs driver makes
// them through this interface so tests can stand a fake VFIO device layer behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantu {

class DeviceCalls {
  public:
    virtual ~DeviceCalls() = default;

    // Each answers as the system call does, except that a failure gives -errno.
    virtual int Open(const std::string& path, int flags) = 0;
    virtual void Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long request, std::uintptr_t argument) = 0;
    // A shared read/write mapping, or nullptr with `error` set to errno.
    virtual void* Map(int fd, std::size_t bytes, std::uint64_t offset, int& error) = 0;
    virtual void Unmap(void* address, std::size_t bytes) = 0;
};

// The real calls.
DeviceCalls& SystemDeviceCalls();

}  // namespace vantu
