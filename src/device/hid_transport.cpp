#include "device/hid_transport.h"

namespace zorvan {

const char* HidErrorText(HidError error)
{
    switch (error) {
    case HidError::kNone: return "no error";
    case HidError::kTimeout: return "time-out";
    case HidError::kCancelled: return "cancelled";
    case HidError::kNotConnected: return "device not connected";
    case HidError::kInvalidHandle: return "invalid handle";
    case HidError::kPermissionDenied: return "permission denied";
    case HidError::kOther: return "error";
    }
    return "error";
}

}  // namespace zorvan
