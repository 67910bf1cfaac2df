#include "app/configuration.h"

namespace zorvan {

// Being written: the full data initialisation replaces this.
bool LoadConfiguration(const QString&, const QString&, Configuration&)
{
    return false;
}

}  // namespace zorvan
