#pragma once
// The reader thread of an identified device: reads the notify interface until the slot's stop
// event, the closing of the handle or the device's removal, and dispatches every input report
// (answers to the reply queue, events to the sink).
#include "device/device_table.h"
#include "device/event_dispatch.h"

namespace zorvan {

void ServiceThread(const DeviceSlot& slot, ReplyQueue& replies, EventSink* sink);

}  // namespace zorvan
