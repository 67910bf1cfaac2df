// zorvan-hidraw-list: the HID interfaces as the program's hidraw backend enumerates them, one a
// line: "PATH input=N feature=N" and " denied" when the user may not open the node. The
// kernel test checks with it that the report lengths come from the kernel's report
// descriptors.
#include "device/hidraw/hidraw_backend.h"

#include <cstdio>

int main()
{
    zorvan::HidrawBackend backend;
    for (const zorvan::HidInterfaceInfo& info : backend.Enumerate())
        std::printf("%s input=%d feature=%d%s\n", info.path.c_str(), info.inputReportLength, info.featureReportLength,
                    info.openError == zorvan::HidError::kPermissionDenied ? " denied" : "");
    return 0;
}
