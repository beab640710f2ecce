#include "card/device_library.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <new>
#include <utility>

#include "card/card_device.h"

namespace vantu {
namespace {

struct DeviceContext {
    InterruptCallback on_interrupt;
    EventCallback on_event;
};

PciDriver* installed_driver = nullptr;
std::uint32_t open_count = 0;

unsigned long Code(PciStatus status) {
    return status;
}

void RecordStatus(const char* format, PciDriver& driver, PciStatus status) {
    RecordLastError(format, Code(status), driver.StatusText(status).c_str());
}

// Passes for a non-null handle whose driver still knows the library's context.
DeviceContext* CheckedContext(CardHandle device, const char* function) {
    if (device == nullptr) {
        RecordLastError("%s: NULL device %s\n", function, "handle");
        return nullptr;
    }
    auto* context = static_cast<DeviceContext*>(device->driver->GetDevContext(device));
    if (context == nullptr) {
        RecordLastError("%s: NULL device %s\n", function, "context");
    }
    return context;
}

bool HasInterruptItem(const PciCardInfo& info) {
    for (const PciResourceItem& item : info.items) {
        if (item.type == kPciItemInterrupt) {
            return true;
        }
    }
    return false;
}

void InterruptForwarder(void* data) {
    auto device = static_cast<CardHandle>(data);
    auto* context = static_cast<DeviceContext*>(device->driver->GetDevContext(device));
    if (context == nullptr || !context->on_interrupt) {
        return;
    }
    const PciInterruptRecord& record = device->interrupt;
    InterruptResult result{record.counter, record.lost, record.stopped, record.enabled_type, 0};
    if ((record.enabled_type & kPciInterruptMessageMask) != 0) {
        result.last_message = record.last_message;
    }
    context->on_interrupt(device, result);
}

void EventForwarder(const PciEvent& event, void* data) {
    auto device = static_cast<CardHandle>(data);
    auto* context = static_cast<DeviceContext*>(device->driver->GetDevContext(device));
    if (context != nullptr && context->on_event) {
        context->on_event(device, event.action);
    }
}

PciStatus OpenDriver() {
    if (installed_driver == nullptr || !installed_driver->SetDriverName(kDriverName)) {
        RecordLastError("Failed to set the driver name for WDC library.\n");
        return kPciInvalidDriverName;
    }
    PciDriver& driver = *installed_driver;
    PciStatus status = driver.SetDebugOptions(kDriverDebugOptions);
    if (status != kPciSuccess) {
        RecordStatus("Failed to initialize debug options for WDC library.\nError 0x%lx - %s\n",
                     driver, status);
        return status;
    }
    status = driver.DriverOpen(kDriverOpenOptions);
    if (status != kPciSuccess) {
        RecordStatus("Failed to initialize the WDC library. Error 0x%lx - %s\n", driver, status);
    }
    return status;
}

}  // namespace

PciDriver* InstallPciDriver(PciDriver* driver) {
    return std::exchange(installed_driver, driver);
}

PciDriver* InstalledPciDriver() {
    return installed_driver;
}

PciStatus TESPCICONTROL_LibraryOpen() {
    if (++open_count > 1) {
        return kPciSuccess;
    }
    const PciStatus status = OpenDriver();
    if (status != kPciSuccess) {
        // A failed open does not count, so that the next open tries the driver again.
        open_count = 0;
    }
    return status;
}

PciStatus TESPCICONTROL_LibraryClose() {
    if (open_count == 0) {
        RecordLastError("TESPCICONTROL_LibraryClose: Error - the library is not open\n");
        return kPciAlreadyInState;
    }
    if (--open_count > 0 || installed_driver == nullptr) {
        return kPciSuccess;
    }
    const PciStatus status = installed_driver->DriverClose();
    if (status != kPciSuccess) {
        RecordStatus("Failed to uninit the WDC library. Error 0x%lx - %s\n", *installed_driver,
                     status);
    }
    return status;
}

CardHandle TESPCICONTROL_DeviceOpen(const PciCardInfo* card_info) {
    if (card_info == nullptr) {
        RecordLastError(
            "TESPCICONTROL_DeviceOpen: Error - NULL device information struct pointer\n");
        return nullptr;
    }
    if (installed_driver == nullptr) {
        RecordLastError("TESPCICONTROL_DeviceOpen: Error - no PCI driver installed\n");
        return nullptr;
    }
    auto* context = new (std::nothrow) DeviceContext();
    if (context == nullptr) {
        RecordLastError("Failed allocating memory for TESPCICONTROL device context\n");
        return nullptr;
    }
    CardHandle device = nullptr;
    const PciStatus status = installed_driver->DeviceOpen(device, *card_info, context);
    if (status != kPciSuccess) {
        RecordStatus("Failed opening a WDC device handle. Error 0x%lx - %s\n", *installed_driver,
                     status);
        if (device != nullptr) {
            TESPCICONTROL_DeviceClose(device);
        } else {
            delete context;
        }
        return nullptr;
    }
    return device;
}

bool TESPCICONTROL_DeviceClose(CardHandle device) {
    if (device == nullptr) {
        RecordLastError("TESPCICONTROL_DeviceClose: Error - NULL device handle\n");
        return false;
    }
    PciDriver& driver = *device->driver;
    auto* context = static_cast<DeviceContext*>(driver.GetDevContext(device));
    if (driver.IntIsEnabled(device)) {
        const PciStatus status = TESPCICONTROL_IntDisable(device);
        if (status != kPciSuccess) {
            RecordStatus("Failed disabling interrupts. Error 0x%lx - %s\n", driver, status);
        }
    }
    const PciStatus status = driver.DeviceClose(device);
    if (status != kPciSuccess) {
        // The handle as a 64-bit pointer prints on the station's original platform.
        RecordLastError("Failed closing a WDC device handle (0x%016" PRIXPTR
                        "). Error 0x%lx - %s\n",
                        reinterpret_cast<std::uintptr_t>(device), Code(status),
                        driver.StatusText(status).c_str());
    }
    delete context;
    return status == kPciSuccess;
}

PciStatus TESPCICONTROL_IntEnable(CardHandle device, InterruptCallback callback) {
    DeviceContext* context = CheckedContext(device, "TESPCICONTROL_IntEnable");
    if (context == nullptr) {
        return kPciInvalidHandle;
    }
    if (!HasInterruptItem(device->info)) {
        return kPciNoInterruptResource;
    }
    PciDriver& driver = *device->driver;
    if (driver.IntIsEnabled(device)) {
        RecordLastError("Interrupts are already enabled ...\n");
        return kPciAlreadyInState;
    }
    context->on_interrupt = std::move(callback);
    const PciStatus status =
        driver.IntEnable(device, 0, InterruptForwarder, device, device->kernel_plugin);
    if (status != kPciSuccess) {
        RecordStatus("Failed enabling interrupts. Error 0x%lx - %s\n", driver, status);
    }
    return status;
}

PciStatus TESPCICONTROL_IntDisable(CardHandle device) {
    if (CheckedContext(device, "TESPCICONTROL_IntDisable") == nullptr) {
        return kPciInvalidHandle;
    }
    PciDriver& driver = *device->driver;
    if (!driver.IntIsEnabled(device)) {
        RecordLastError("Interrupts are already disabled ...\n");
        return kPciAlreadyInState;
    }
    const PciStatus status = driver.IntDisable(device);
    if (status != kPciSuccess) {
        RecordStatus("Failed disabling interrupts. Error 0x%lx - %s\n", driver, status);
    }
    return status;
}

bool TESPCICONTROL_IntIsEnabled(CardHandle device) {
    if (CheckedContext(device, "TESPCICONTROL_IntIsEnabled") == nullptr) {
        return false;
    }
    return device->driver->IntIsEnabled(device);
}

PciStatus TESPCICONTROL_EventRegister(CardHandle device, EventCallback callback) {
    DeviceContext* context = CheckedContext(device, "TESPCICONTROL_EventRegister");
    if (context == nullptr) {
        return kPciInvalidHandle;
    }
    PciDriver& driver = *device->driver;
    if (driver.EventIsRegistered(device)) {
        RecordLastError("Events are already registered ...\n");
        return kPciAlreadyInState;
    }
    context->on_event = std::move(callback);
    const PciStatus status =
        driver.EventRegister(device, kEventActions, EventForwarder, device, false);
    if (status != kPciSuccess) {
        RecordStatus("Failed to register events. Error 0x%lx - %s\n", driver, status);
    }
    return status;
}

PciStatus TESPCICONTROL_EventUnregister(CardHandle device) {
    if (CheckedContext(device, "TESPCICONTROL_EventUnregister") == nullptr) {
        return kPciInvalidHandle;
    }
    PciDriver& driver = *device->driver;
    if (!driver.EventIsRegistered(device)) {
        RecordLastError("Cannot unregister events - no events currently registered ...\n");
        return kPciAlreadyInState;
    }
    const PciStatus status = driver.EventUnregister(device);
    if (status != kPciSuccess) {
        RecordStatus("Failed to unregister events. Error 0x%lx - %s\n", driver, status);
    }
    return status;
}

bool TESPCICONTROL_EventIsRegistered(CardHandle device) {
    if (CheckedContext(device, "TESPCICONTROL_EventIsRegistered") == nullptr) {
        return false;
    }
    return device->driver->EventIsRegistered(device);
}

std::uint32_t TESPCICONTROL_GetNumAddrSpaces(CardHandle device) {
    if (CheckedContext(device, "TESPCICONTROL_GetNumAddrSpaces") == nullptr) {
        return 0;
    }
    return static_cast<std::uint32_t>(device->addr_spaces.size());
}

bool TESPCICONTROL_GetAddrSpaceInfo(CardHandle device, AddrSpaceInfo& info) {
    if (CheckedContext(device, "TESPCICONTROL_GetAddrSpaceInfo") == nullptr) {
        return false;
    }
    const long count = static_cast<long>(device->addr_spaces.size());
    const long number = info.number;
    if (number >= count) {
        RecordLastError(
            "TESPCICONTROL_GetAddrSpaceInfo: Error - Address space %ld is out of range (0 - "
            "%ld)\n",
            number, count - 1);
        return false;
    }
    const PciAddrSpace& space = device->addr_spaces[info.number];
    std::snprintf(info.name, sizeof info.name, "BAR %ld", number);
    std::snprintf(info.type, sizeof info.type, "%s", space.is_memory ? "Memory" : "I/O");
    const std::vector<PciResourceItem>& items = device->info.items;
    if (device->driver->AddrSpaceIsActive(device, info.number) && space.item_index < items.size()) {
        const unsigned long long first = items[space.item_index].physical_address;
        const unsigned long long size = space.size;
        std::snprintf(info.description, sizeof info.description,
                      "0x%0*llX - 0x%0*llX (0x%llx bytes)", 16, first, 16, first + size - 1, size);
    } else {
        std::snprintf(info.description, sizeof info.description, "Inactive address space");
    }
    return true;
}

}  // namespace vantu
