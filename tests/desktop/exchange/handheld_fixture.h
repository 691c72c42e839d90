#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "tests/desktop/exchange/fake_devices.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {

// A handheld store with the exchange's databases open through a recording
// device.
class HandheldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::uint32_t error = 0;
        store = ce::ObjectStore::Open(dir.Path("handheld.store"), error, true);
        ASSERT_EQ(error, 0u);
        device.SetInner(*store);
        ASSERT_EQ(transport.OpenDatabases(dbs), 0u);
        device.calls.clear();
    }
    CHandheldRecord Record(RecordKind kind) {
        return CHandheldRecord(kind, transport, dbs.HandleFor(kind));
    }
    bool Called(const std::string& call) const {
        return std::find(device.calls.begin(), device.calls.end(), call) != device.calls.end();
    }

    TempDir dir;
    std::unique_ptr<ce::ObjectStore> store;
    RecordingDevice device;
    HandheldTransport transport{device};
    ExchangeDatabases dbs;
};

}  // namespace tandrel::testing
