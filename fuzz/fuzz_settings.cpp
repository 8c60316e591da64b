// The settings file reader: any bytes read, queried and written back. A file
// whose keys we did not touch must come back byte for byte, and a value we
// set must read back as set.

#include "records/inifile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniFile file;
    file.parse(bytes);
    if (file.toBytes() != bytes)
        std::abort();
    (void)file.value(QStringLiteral("Velmora"), QStringLiteral("Textcolor"));
    file.setValue(QStringLiteral("Velmora"), QStringLiteral("Botspeed"), QStringLiteral("750"));
    IniFile again;
    again.parse(file.toBytes());
    if (again.value(QStringLiteral("velmora"), QStringLiteral("BOTSPEED")) != QStringLiteral("750"))
        std::abort();
    return 0;
}
