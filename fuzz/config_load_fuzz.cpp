// Any bytes as cfg.ini: the data initialisation never crashes, hangs or writes outside a table.
#include "app/configuration.h"
#include "app/ini_file.h"
#include "app/log.h"
#include "app/message_box.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        zorvan::SetMessageHandler([](const zorvan::ShownMessage&) {});
        zorvan::SetDebugOutput([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    zorvan::IniFile ini;
    ini.Parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    static zorvan::Configuration config;
    zorvan::LoadConfiguration(ini, QString(), config);
    zorvan::ResetLog();
    return 0;
}
