#include "card/device_calls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

namespace vantu {
namespace {

class SystemCalls : public DeviceCalls {
  public:
    int Open(const std::string& path, int flags) override {
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }
    void Close(int fd) override { ::close(fd); }
    int Ioctl(int fd, unsigned long request, std::uintptr_t argument) override {
        const int result = ::ioctl(fd, request, argument);
        return result >= 0 ? result : -errno;
    }
    void* Map(int fd, std::size_t bytes, std::uint64_t offset, int& error) override {
        void* mapping = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                               static_cast<off_t>(offset));
        if (mapping == MAP_FAILED) {
            error = errno;
            return nullptr;
        }
        return mapping;
    }
    void Unmap(void* address, std::size_t bytes) override { ::munmap(address, bytes); }
};

}  // namespace

DeviceCalls& SystemDeviceCalls() {
    static SystemCalls calls;
    return calls;
}

}  // namespace vantu
