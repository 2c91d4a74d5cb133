#include "support/ui/Settings.h"

#include "FtpLogin.h"

namespace support {

QString builtFtpUser() {
    return QString::fromUtf8(BuiltFtpUser);
}

QString builtFtpPassword() {
    return QString::fromUtf8(BuiltFtpPassword);
}

} // namespace support
