// Fuzzes the configuration file reader: any bytes either read as a complete configuration that
// writes back and reads again as the same configuration, or are refused with a reason; the
// program's configuration is never touched by reading.

#include "files/ConfigFile.h"
#include "model/Globals.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    InitData();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const ConfigSnapshot before = CaptureConfig();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<ConfigSnapshot> config = ParseConfigFile(bytes, &error);
    Check(CaptureConfig() == before);
    if (!config) {
        Check(!error.isEmpty());
        return 0;
    }
    const int kind = config->kind.value_or(0);
    Check(kind >= 0 && kind <= 6);
    const std::optional<QByteArray> written = FormatConfigFile(*config, &error);
    Check(written.has_value());
    const std::optional<ConfigSnapshot> again = ParseConfigFile(*written);
    Check(again.has_value() && *again == *config);
    Check(written->count("\r\n") == (config->hasModuleSettings() ? 24 : 23));
    return 0;
}
