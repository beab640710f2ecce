// Fixture with a scripted PCI driver installed behind the device library.
#pragma once

#include <gtest/gtest.h>

#include "card/card_open.h"
#include "card/device_library.h"
#include "scripted_pci_driver.h"

namespace vantu::testing {

class ScriptedDriverTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = InstallPciDriver(&driver); }
    void TearDown() override { InstallPciDriver(previous_); }

    // A device opened through the library on the scripted card and its resources.
    CardHandle OpenDevice() { return OpenCardAtSlot(PciSlot{}); }

    ScriptedPciDriver driver;

  private:
    PciDriver* previous_ = nullptr;
};

}  // namespace vantu::testing
